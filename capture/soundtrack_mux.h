// Puts the soundtrack beside the captured video: the sound timeline is mixed
// offline (renderSoundtrack) and streamed to ffmpeg as raw float samples, which
// encodes it as AAC (192 kbit/s) and copies the video stream unchanged into the
// final MP4, its index at the front so players can start before the whole file
// has arrived.
#pragma once

#include <cstdint>
#include <string>

struct SoundTimeline;

// Writes `outPath` from the video in `videoPath` and soundtrack frames
// [beginFrame, endFrame) of the timeline. False, with *error set, on failure.
bool muxSoundtrack(const std::string& videoPath, const SoundTimeline& timeline, uint64_t beginFrame,
                   uint64_t endFrame, const std::string& outPath, std::string* error);
