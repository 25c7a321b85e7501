// Capture mode of the sound layer. A system initialised while a timeline is
// installed opens no audio device and starts no decoder thread: it checks and opens
// its streams as usual, hands out the same channel handles, and records every play,
// pause, resume and stop on the timeline, stamped with the tick count (GetTickCount)
// of the call. renderSoundtrack then mixes the timeline offline with the same
// decoder, streams and mixer (and the same stop fade) that play live, so a
// recording made against a driven clock gives the same soundtrack on every run.
//
// Live playback frees a channel when its track runs out; in capture mode nothing
// plays, so such a channel stays valid until it is stopped (the soundtrack itself
// still ends where the track does).
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/sound/fmod.h"

struct SoundCue {
    enum class Kind { Play, Pause, Resume, Stop };
    Kind kind = Kind::Play;
    uint32_t tick = 0;              // GetTickCount() when the call was made
    uint64_t channel = 0;           // which play the cue belongs to (unique per system)
    // Play only:
    int sound = 0;                  // the stream, numbered in the order of createStream
    std::string path;               // its file
    FMOD_CHANNELINDEX channelIndex = FMOD_CHANNEL_FREE;  // as passed to playSound
    bool paused = false;            // started paused
};

struct SoundTimeline {
    std::vector<SoundCue> cues;  // in the order of the calls; ticks never go backwards
};

// Systems whose init runs while `timeline` is installed record into it (it must
// outlive them). nullptr: systems play to the audio device.
void setSoundCaptureTimeline(SoundTimeline* timeline);

// The rate soundtracks are rendered at: the rate of the demo's tracks, so they are
// mixed without conversion.
constexpr int soundtrackSampleRate = 44100;

// Mixes the timeline into interleaved stereo float frames at soundtrackSampleRate.
// Cue ticks count from tick 0 = frame 0; frames [beginFrame, endFrame) are handed
// to `sink` in order, in pieces; a false return from sink stops the render.
// Tracks that cannot be opened stay silent. Returns false only when sink stopped it.
using SoundtrackSink = std::function<bool(const float* frames, size_t count)>;
bool renderSoundtrack(const SoundTimeline& timeline, uint64_t beginFrame, uint64_t endFrame,
                      const SoundtrackSink& sink);

// The first frame of the soundtrack at or after the tick.
uint64_t soundtrackFrameAt(uint32_t tick);
