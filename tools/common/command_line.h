// What every generator's main() does alike: checks its operands, names its
// output files and touches the stamp file the build waits for.
#pragma once

#include <string>

namespace gen {

// True when there are at least `operands` operands; otherwise prints
// "usage: PROGRAM USAGE" to stderr (the caller then exits with status 2).
bool checkUsage(int argc, char** argv, int operands, const char* usage);

// True when operand `index` (1 for the first) is there and equals `flag`.
bool hasFlag(int argc, char** argv, int index, const char* flag);

// Where a file named in a run-directory table ("textures/ulo.tga") goes: its
// base name inside `dir`.
std::string outputPath(const std::string& dir, const char* tablePath);

// Creates (or empties) the stamp file that tells the build the outputs are made.
bool touchStamp(const char* path);

}  // namespace gen
