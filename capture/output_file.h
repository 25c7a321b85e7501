// Where a capture writes: the checks made before anything runs, and the
// temporary names beside the final file. The file appears under its own name only
// when it is complete (written under a temporary name in the same folder, then
// renamed), so a failed or interrupted capture never leaves a half-written file
// that looks like a finished one.
#pragma once

#include <string>

// Empty when `path` can be written (its folder exists and is writable, and the
// path is not a folder); otherwise why not, in one line.
std::string outputPathProblem(const std::string& path);

// A hidden name in the same folder as `path`, unique to this process:
// ".<name>.<role>-<pid>.mp4".
std::string temporaryPathBeside(const std::string& path, const char* role);

// `path` made absolute against the current folder (left alone when absolute).
std::string absolutePath(const std::string& path);

// Empty when `folder` looks like the demo's run directory (it exists and holds at
// least one of the data folders the build lays out); otherwise why not.
std::string runDirectoryProblem(const std::string& folder);
