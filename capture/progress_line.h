// The one-line report of a running capture: which frame, which scene, how far,
// how fast and how long still to go. Frames before the recorded stretch are
// rendered too, so rate, share and time left count every rendered frame.
#pragma once

#include <cstdint>
#include <string>

struct CaptureProgress {
    uint64_t rendered = 0;     // frames drawn so far
    uint64_t firstFrame = 0;   // first frame recorded
    uint64_t endFrame = 0;     // frame at which the capture stops; 0 when only the demo's end decides
    int fps = 60;
    int sceneNumber = 0;       // 1 or 2; 0 before the first scene
    std::string sceneName;
    double elapsedSeconds = 0.0;  // wall-clock time since the first frame
};

std::string progressLine(const CaptureProgress& progress);
// Minutes and seconds, "m:ss" (or "h:mm:ss" from an hour on).
std::string clockText(double seconds);
