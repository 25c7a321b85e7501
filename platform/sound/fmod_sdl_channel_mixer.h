// The channel table and the mix: a fixed number of slots, each playing one stream.
// The audio thread calls mix(); the main thread starts, stops and pauses slots and
// the decoder thread asks which streams are playing. One lock guards the table;
// it is held only for bookkeeping and for copying frames out of the streams'
// buffers, never while decoding.
#pragma once

#include <cstddef>
#include <cstdint>
#include <mutex>
#include <vector>

#include "platform/sound/fmod.h"

class Mp3Stream;

// How long a stopped channel fades out, so that it ends without a click.
constexpr double channelStopFadeSeconds = 0.005;

class ChannelMixer {
public:
    // fadeFrames: the length of the fade a stopped channel gets, so that it ends without a click.
    ChannelMixer(int channelCount, size_t fadeFrames);

    int channelCount() const { return static_cast<int>(slots.size()); }

    // Audio thread: writes `frames` stereo float frames, the sum of every playing
    // channel, clamped to [-1, 1]. A channel whose stream has ended frees its slot.
    void mix(float* out, size_t frames);

    // Main thread. Takes the stream off any slot it plays on, then picks a slot for
    // it: `requested`, or with FMOD_CHANNEL_FREE the first free one (a slot that is
    // still fading out counts as free). Returns the slot, or -1 when none is free.
    // The slot stays silent until start().
    int acquire(FMOD_CHANNELINDEX requested, const Mp3Stream* stream);
    void start(int slot, Mp3Stream* stream, uint64_t serial, bool paused);
    // Each checks that the slot still plays what `serial` started; otherwise
    // FMOD_ERR_INVALID_HANDLE.
    FMOD_RESULT stop(int slot, uint64_t serial);
    FMOD_RESULT isPlaying(int slot, uint64_t serial, bool* playing);
    FMOD_RESULT setPaused(int slot, uint64_t serial, bool paused);
    FMOD_RESULT getPaused(int slot, uint64_t serial, bool* paused);

    // Decoder thread: the streams that play now (paused ones included).
    void playingStreams(std::vector<Mp3Stream*>* streams);

private:
    enum class State { Free, Playing, Stopping };
    struct Slot {
        State state = State::Free;
        Mp3Stream* stream = nullptr;
        uint64_t serial = 0;
        bool paused = false;
        size_t fadeLeft = 0;  // frames of fade-out still to play while Stopping
    };
    Slot* find(int slot, uint64_t serial);
    void mixSlot(Slot& slot, float* out, size_t frames);

    std::mutex lock;
    std::vector<Slot> slots;
    size_t fadeFrames;
    std::vector<float> scratch;  // audio thread only
};
