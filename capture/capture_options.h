// The command line of oku-capture: what stretch of the demo to record, at what
// frame rate, into which file. Parsing is strict: anything it does not understand
// is a usage error with a message that says what was wrong.
#pragma once

#include <string>
#include <vector>

struct CaptureOptions {
    int fps = 60;
    double from = 0.0;      // seconds of demo time
    double to = 0.0;        // seconds of demo time; only when hasTo
    bool hasTo = false;     // without it the capture runs to the demo's end
    std::string out = "oku.mp4";
    bool help = false;
};

constexpr int minCaptureFps = 1;
constexpr int maxCaptureFps = 240;
constexpr double maxCaptureSeconds = 3600.0;  // an hour: far longer than the demo

// Fills *options from the arguments (without the program name). On a usage error
// returns false with *error set to one line naming the problem.
bool parseCaptureOptions(const std::vector<std::string>& arguments, CaptureOptions* options,
                         std::string* error);

// The usage text, several lines ending with a newline.
const char* captureUsage();
