// oku-capture: records the demo, or a stretch of it, into an MP4 file with its
// music, frame-exact and the same on every run. It lives in the run directory next
// to the demo and runs from there, as the demo does.
#include <unistd.h>

#include <cstdio>
#include <string>
#include <vector>

#include "capture/capture_options.h"
#include "capture/capture_run.h"
#include "capture/output_file.h"
#include "scenes/demo_scenes.h"
#include "shell/data_folder.h"

int main(int argc, char** argv) {
    std::vector<std::string> arguments(argv + 1, argv + argc);
    CaptureOptions options;
    std::string error;
    if (!parseCaptureOptions(arguments, &options, &error)) {
        std::fprintf(stderr, "oku-capture: %s\n%s", error.c_str(), captureUsage());
        return captureUsageError;
    }
    if (options.help) {
        std::fputs(captureUsage(), stdout);
        return captureSucceeded;
    }
    // The output is named relative to where the user is; the demo runs in its run directory.
    options.out = absolutePath(options.out);
    std::string problem = outputPathProblem(options.out);
    if (problem.empty()) problem = runDirectoryProblem(programFolder());
    if (!problem.empty()) {
        std::fprintf(stderr, "oku-capture: %s\n", problem.c_str());
        return captureUsageError;
    }
    if (::chdir(programFolder().c_str()) != 0) {
        std::fprintf(stderr, "oku-capture: cannot enter the run directory %s\n", programFolder().c_str());
        return captureUsageError;
    }
    setSceneSequence(demoSceneSequence());
    return runCapture(options, stderr);
}
