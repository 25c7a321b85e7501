// The capture's clock: frame n of the recording is shown at n / fps seconds and
// the demo reads the tick count round(n x 1000 / fps) while it steps and draws
// that frame, so scene time is exact and whatever loading happens between two
// frames takes no time at all.
#pragma once

#include <cstdint>

class FrameClock {
public:
    explicit FrameClock(int fps) : fps(fps) {}

    int framesPerSecond() const { return fps; }
    // Milliseconds at frame n, rounded to the nearest (halves up).
    uint32_t tickAt(uint64_t frame) const {
        return static_cast<uint32_t>((frame * 2000 + static_cast<uint64_t>(fps)) / (2 * static_cast<uint64_t>(fps)));
    }
    // The first frame shown at or after the given second (a second that is a whole
    // number of frames, as typed in decimal, counts as that frame).
    uint64_t firstFrameAt(double seconds) const;
    double secondsAt(uint64_t frame) const { return static_cast<double>(frame) / fps; }
    // The soundtrack frame (at the soundtrack's sample rate) where video frame n begins.
    uint64_t soundFrameAt(uint64_t frame, int sampleRate) const {
        return (frame * 2 * static_cast<uint64_t>(sampleRate) + static_cast<uint64_t>(fps)) /
               (2 * static_cast<uint64_t>(fps));
    }

private:
    int fps;
};
