// A streaming sound layer with the shape of the FMOD Ex C++ API: a system object
// that mixes up to a fixed number of channels to the audio device, streams that
// decode mp3 files while they play, and channels that can be stopped.
// Output goes through SDL2 audio; mp3 decoding through libmpg123.
// Every call returns an FMOD_RESULT; FMOD_OK is 0 and FMOD_ErrorString() gives a text.
// All calls come from one thread (the demo's main thread); the audio callback and
// the decoder work are the layer's own.
//
// Handles: a Sound stays valid until its system is released. A Channel is a handle,
// not an object the caller owns: once its sound has ended, it was stopped, or its
// slot was reused, every call on it returns FMOD_ERR_INVALID_HANDLE, also after the
// system is released. playSound hands out such a never-valid handle (not null) when
// it fails, so a later stop() on it is safe.
#pragma once

typedef int FMOD_RESULT;
typedef unsigned int FMOD_MODE;
typedef unsigned int FMOD_INITFLAGS;
typedef int FMOD_CHANNELINDEX;

// Result codes. Names follow the library this layer stands in for.
enum : FMOD_RESULT {
    FMOD_OK = 0,
    FMOD_ERR_FILE_NOTFOUND,      // the file could not be opened
    FMOD_ERR_FILE_BAD,           // the file is not a stream that can be decoded
    FMOD_ERR_FORMAT,             // decoded, but in a format the mixer cannot take
    FMOD_ERR_INVALID_PARAM,      // a null or out-of-range argument
    FMOD_ERR_INVALID_HANDLE,     // a sound or channel that is not (or no longer) valid
    FMOD_ERR_INITIALIZED,        // init called twice
    FMOD_ERR_UNINITIALIZED,      // a call on a system whose init did not succeed
    FMOD_ERR_OUTPUT_INIT,        // the audio device could not be opened
    FMOD_ERR_CHANNEL_ALLOC,      // no free channel
    FMOD_ERR_MEMORY,             // out of memory
    FMOD_ERR_INTERNAL,           // a failure inside the decoder library
    FMOD_RESULT_COUNT
};

constexpr FMOD_MODE FMOD_DEFAULT = 0x00000000u;      // once through, no loop, 2D
constexpr FMOD_INITFLAGS FMOD_INIT_NORMAL = 0x00000000u;
constexpr FMOD_CHANNELINDEX FMOD_CHANNEL_FREE = -1;  // pick any free channel

struct FMOD_CREATESOUNDEXINFO;  // extra stream settings: the demo passes none, the layer reads none

// A short English text for a result code; never null.
const char* FMOD_ErrorString(FMOD_RESULT result);

namespace FMOD {

class Sound;
class Channel;

class System {
public:
    // Opens the default audio output and starts mixing maxChannels (1..4095) channels.
    // Fails with FMOD_ERR_OUTPUT_INIT when there is no usable audio device; every
    // later call on this system then fails with FMOD_ERR_UNINITIALIZED and does
    // nothing, except release().
    FMOD_RESULT init(int maxChannels, FMOD_INITFLAGS flags, void* extraDriverData);
    // Opens an mp3 file for streaming: it is decoded a little ahead while it plays,
    // never all at once. On failure *sound is null.
    FMOD_RESULT createStream(const char* path, FMOD_MODE mode, FMOD_CREATESOUNDEXINFO* exinfo, Sound** sound);
    // Plays a stream from its start on a free channel (FMOD_CHANNEL_FREE) or on the
    // given channel index. A stream plays on one channel at a time: playing it again
    // stops the earlier channel. channel may be null when the caller keeps no handle.
    FMOD_RESULT playSound(FMOD_CHANNELINDEX channelId, Sound* sound, bool paused, Channel** channel);
    // Called once per frame; keeps the streams' decoding going.
    FMOD_RESULT update();
    // Closes the output, frees every sound and channel and the system itself.
    FMOD_RESULT release();

    struct Impl;

private:
    friend FMOD_RESULT System_Create(System** system);
    System() = default;
    ~System() = default;
    Impl* impl = nullptr;
};

class Channel {
public:
    // Silences the channel at once (after a few milliseconds' fade) and frees its slot.
    FMOD_RESULT stop();
    // True while the channel's sound plays or is paused; a channel whose sound has
    // ended is no longer valid (FMOD_ERR_INVALID_HANDLE).
    FMOD_RESULT isPlaying(bool* playing);
    FMOD_RESULT setPaused(bool paused);
    FMOD_RESULT getPaused(bool* paused);

private:
    Channel() = default;
    friend struct ChannelHandles;
};

class Sound {
protected:
    Sound() = default;
    ~Sound() = default;
};

FMOD_RESULT System_Create(System** system);

}  // namespace FMOD

inline FMOD_RESULT FMOD_System_Create(FMOD::System** system) { return FMOD::System_Create(system); }
