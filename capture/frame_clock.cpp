#include "capture/frame_clock.h"

#include <cmath>

uint64_t FrameClock::firstFrameAt(double seconds) const {
    if (!(seconds > 0.0)) return 0;
    // 0.1 s at 30 fps is 2.9999999999999996 frames in binary: such a value is frame 3.
    double frames = seconds * fps;
    double nearest = std::round(frames);
    if (std::fabs(frames - nearest) < 1e-6) return static_cast<uint64_t>(nearest);
    return static_cast<uint64_t>(std::ceil(frames));
}
