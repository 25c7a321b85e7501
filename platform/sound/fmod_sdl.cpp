// The sound system: SDL2 audio output, a mixer of channels and a decoder thread
// that keeps every playing stream's buffer topped up. In capture mode (see
// sound_capture.h) there is neither output nor thread: the calls are recorded.
#include <SDL.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <new>
#include <string>
#include <system_error>
#include <thread>
#include <vector>

#include "platform/clock/tick_count.h"
#include "platform/sound/fmod.h"
#include "platform/sound/fmod_sdl_channel_handles.h"
#include "platform/sound/fmod_sdl_channel_mixer.h"
#include "platform/sound/fmod_sdl_mp3_decoder.h"
#include "platform/sound/fmod_sdl_mp3_stream.h"
#include "platform/sound/sound_capture.h"

namespace {

constexpr int kMaxChannels = 4095;
constexpr int kRequestedRate = 44100;         // the rate of the demo's tracks
constexpr Uint16 kDevicePeriodFrames = 1024;  // about 23 ms a callback
constexpr double kBufferSeconds = 1.0;        // how far each stream decodes ahead
constexpr double kStartSeconds = 0.1;         // decoded at once by playSound
constexpr auto kDecoderPeriod = std::chrono::milliseconds(20);

// A Sound is one stream. The object the caller gets is this.
struct StreamSound : FMOD::Sound {
    std::unique_ptr<Mp3Stream> stream;
    std::string path;
    int number = 0;  // order of creation
};

SoundTimeline*& installedTimeline() {
    static SoundTimeline* timeline = nullptr;
    return timeline;
}

}  // namespace

struct FMOD::System::Impl {
    enum class State { Created, Ready, Failed };
    State state = State::Created;
    uint32_t id = 0;

    bool audioSubsystem = false;
    SDL_AudioDeviceID device = 0;
    int outputRate = 0;
    std::unique_ptr<ChannelMixer> mixer;
    std::vector<std::unique_ptr<StreamSound>> sounds;  // main thread only
    SoundTimeline* timeline = nullptr;                  // capture mode: calls are recorded here

    std::thread decoder;
    std::mutex wakeLock;
    std::condition_variable wake;
    bool wakeRequested = false;  // under wakeLock
    bool quit = false;           // under wakeLock

    static void audioCallback(void* self, Uint8* bytes, int length) {
        auto* impl = static_cast<Impl*>(self);
        impl->mixer->mix(reinterpret_cast<float*>(bytes), static_cast<size_t>(length) / (2 * sizeof(float)));
    }

    void decoderLoop() {
        std::vector<Mp3Stream*> playing;
        playing.reserve(static_cast<size_t>(mixer->channelCount()));
        for (;;) {
            {
                std::unique_lock<std::mutex> guard(wakeLock);
                wake.wait_for(guard, kDecoderPeriod, [this] { return quit || wakeRequested; });
                if (quit) return;
                wakeRequested = false;
            }
            // Streams are freed only after this thread has been joined, so the
            // pointers stay good outside the mixer's lock.
            mixer->playingStreams(&playing);
            for (Mp3Stream* stream : playing) stream->fill();
        }
    }

    void nudgeDecoder() {
        {
            std::lock_guard<std::mutex> guard(wakeLock);
            wakeRequested = true;
        }
        wake.notify_one();
    }

    FMOD_RESULT init(int maxChannels) {
        if (state != State::Created) return FMOD_ERR_INITIALIZED;
        if (maxChannels < 1 || maxChannels > kMaxChannels) return FMOD_ERR_INVALID_PARAM;
        state = State::Failed;  // until everything below has worked

        timeline = installedTimeline();
        if (timeline) {
            outputRate = soundtrackSampleRate;
            mixer.reset(new (std::nothrow) ChannelMixer(maxChannels, seconds(channelStopFadeSeconds)));
            if (!mixer) return FMOD_ERR_MEMORY;
            state = State::Ready;
            return FMOD_OK;
        }

        // Only the audio subsystem: the window layer owns video and events.
        if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return FMOD_ERR_OUTPUT_INIT;
        audioSubsystem = true;

        SDL_AudioSpec wanted{};
        wanted.freq = kRequestedRate;
        wanted.format = AUDIO_F32SYS;
        wanted.channels = 2;
        wanted.samples = kDevicePeriodFrames;
        wanted.callback = audioCallback;
        wanted.userdata = this;
        SDL_AudioSpec obtained{};
        // Any rate the device prefers; SDL converts the sample format and channel
        // count, the streams convert the rate.
        device = SDL_OpenAudioDevice(nullptr, 0, &wanted, &obtained, SDL_AUDIO_ALLOW_FREQUENCY_CHANGE);
        if (device == 0 || obtained.freq <= 0) {
            closeOutput();
            return FMOD_ERR_OUTPUT_INIT;
        }
        outputRate = obtained.freq;
        mixer.reset(new (std::nothrow) ChannelMixer(maxChannels, seconds(channelStopFadeSeconds)));
        if (!mixer) {
            closeOutput();
            return FMOD_ERR_MEMORY;
        }
        try {
            decoder = std::thread([this] { decoderLoop(); });
        } catch (const std::system_error&) {
            closeOutput();
            return FMOD_ERR_MEMORY;
        }
        SDL_PauseAudioDevice(device, 0);
        state = State::Ready;
        return FMOD_OK;
    }

    size_t seconds(double s) const { return std::max<size_t>(1, static_cast<size_t>(s * outputRate)); }

    StreamSound* findSound(const Sound* sound) const {
        for (const auto& owned : sounds)
            if (owned.get() == sound) return owned.get();
        return nullptr;
    }

    FMOD_RESULT createStream(const char* path, FMOD_MODE mode, Sound** sound) {
        if (!sound) return FMOD_ERR_INVALID_PARAM;
        *sound = nullptr;
        if (state != State::Ready) return FMOD_ERR_UNINITIALIZED;
        if (!path || mode != FMOD_DEFAULT) return FMOD_ERR_INVALID_PARAM;
        std::unique_ptr<Mp3Decoder> decoded;
        FMOD_RESULT result = Mp3Decoder::openFile(path, &decoded);
        if (result != FMOD_OK) return result;
        std::unique_ptr<StreamSound> made(new (std::nothrow) StreamSound);
        if (!made) return FMOD_ERR_MEMORY;
        result = Mp3Stream::open(std::move(decoded), outputRate, seconds(kBufferSeconds), &made->stream);
        if (result != FMOD_OK) return result;
        made->path = path;
        made->number = static_cast<int>(sounds.size());
        *sound = made.get();
        sounds.push_back(std::move(made));
        return FMOD_OK;
    }

    FMOD_RESULT playSound(FMOD_CHANNELINDEX channelId, Sound* sound, bool paused, Channel** channel) {
        if (channel) *channel = ChannelHandles::invalid();
        if (state != State::Ready) return FMOD_ERR_UNINITIALIZED;
        if (!sound) return FMOD_ERR_INVALID_PARAM;
        if (channelId != FMOD_CHANNEL_FREE && (channelId < 0 || channelId >= mixer->channelCount()))
            return FMOD_ERR_INVALID_PARAM;
        StreamSound* owned = findSound(sound);
        if (!owned) return FMOD_ERR_INVALID_HANDLE;
        Mp3Stream* stream = owned->stream.get();

        // Off its old channel first: then nothing reads the stream while it rewinds.
        int slot = mixer->acquire(channelId, stream);
        if (slot < 0) return FMOD_ERR_CHANNEL_ALLOC;
        stream->restart();
        if (!timeline) stream->fill(seconds(kStartSeconds));  // so that the first period already sounds

        uint64_t serial = 0;
        Channel* handle = ChannelHandles::issue(id, slot, &serial);
        mixer->start(slot, stream, serial, paused);
        if (channel) *channel = handle;
        if (timeline) {
            SoundCue cue;
            cue.kind = SoundCue::Kind::Play;
            cue.tick = GetTickCount();
            cue.channel = serial;
            cue.sound = owned->number;
            cue.path = owned->path;
            cue.channelIndex = channelId;
            cue.paused = paused;
            timeline->cues.push_back(std::move(cue));
        } else {
            nudgeDecoder();
        }
        return FMOD_OK;
    }

    // Capture mode: notes a channel call that succeeded.
    void record(SoundCue::Kind kind, uint64_t serial) {
        if (!timeline) return;
        SoundCue cue;
        cue.kind = kind;
        cue.tick = GetTickCount();
        cue.channel = serial;
        timeline->cues.push_back(std::move(cue));
    }

    FMOD_RESULT update() {
        if (state != State::Ready) return FMOD_ERR_UNINITIALIZED;
        if (!timeline) nudgeDecoder();
        return FMOD_OK;
    }

    // Stops the callback and the decoder thread and closes the device.
    void closeOutput() {
        if (device) {
            SDL_CloseAudioDevice(device);  // returns once the callback has finished
            device = 0;
        }
        if (decoder.joinable()) {
            {
                std::lock_guard<std::mutex> guard(wakeLock);
                quit = true;
            }
            wake.notify_one();
            decoder.join();
        }
        if (audioSubsystem) {
            SDL_QuitSubSystem(SDL_INIT_AUDIO);
            audioSubsystem = false;
        }
    }
};

void setSoundCaptureTimeline(SoundTimeline* timeline) { installedTimeline() = timeline; }

namespace FMOD {

FMOD_RESULT System_Create(System** system) {
    if (!system) return FMOD_ERR_INVALID_PARAM;
    *system = nullptr;
    System* made = new (std::nothrow) System;
    if (!made) return FMOD_ERR_MEMORY;
    made->impl = new (std::nothrow) System::Impl;
    if (made->impl) made->impl->id = ChannelHandles::registerSystem(made->impl);
    if (!made->impl || made->impl->id == 0) {
        delete made->impl;
        delete made;
        return FMOD_ERR_MEMORY;
    }
    *system = made;
    return FMOD_OK;
}

FMOD_RESULT System::init(int maxChannels, FMOD_INITFLAGS /*flags*/, void* /*extraDriverData*/) {
    return impl->init(maxChannels);
}

FMOD_RESULT System::createStream(const char* path, FMOD_MODE mode, FMOD_CREATESOUNDEXINFO* /*exinfo*/,
                                 Sound** sound) {
    return impl->createStream(path, mode, sound);
}

FMOD_RESULT System::playSound(FMOD_CHANNELINDEX channelId, Sound* sound, bool paused, Channel** channel) {
    return impl->playSound(channelId, sound, paused, channel);
}

FMOD_RESULT System::update() { return impl->update(); }

FMOD_RESULT System::release() {
    // Handles die first, so no channel call can reach the system while it goes.
    ChannelHandles::unregisterSystem(impl->id);
    impl->closeOutput();
    delete impl;
    impl = nullptr;
    delete this;
    return FMOD_OK;
}

FMOD_RESULT Channel::stop() {
    return ChannelHandles::with(this, [](System::Impl& system, int slot, uint64_t serial) {
        FMOD_RESULT result = system.mixer->stop(slot, serial);
        if (result == FMOD_OK) system.record(SoundCue::Kind::Stop, serial);
        return result;
    });
}

FMOD_RESULT Channel::isPlaying(bool* playing) {
    if (!playing) return FMOD_ERR_INVALID_PARAM;
    *playing = false;
    return ChannelHandles::with(this, [playing](System::Impl& system, int slot, uint64_t serial) {
        return system.mixer->isPlaying(slot, serial, playing);
    });
}

FMOD_RESULT Channel::setPaused(bool paused) {
    return ChannelHandles::with(this, [paused](System::Impl& system, int slot, uint64_t serial) {
        bool was = false;
        FMOD_RESULT result = system.mixer->getPaused(slot, serial, &was);
        if (result == FMOD_OK) result = system.mixer->setPaused(slot, serial, paused);
        if (result == FMOD_OK && was != paused)
            system.record(paused ? SoundCue::Kind::Pause : SoundCue::Kind::Resume, serial);
        return result;
    });
}

FMOD_RESULT Channel::getPaused(bool* paused) {
    if (!paused) return FMOD_ERR_INVALID_PARAM;
    return ChannelHandles::with(this, [paused](System::Impl& system, int slot, uint64_t serial) {
        return system.mixer->getPaused(slot, serial, paused);
    });
}

}  // namespace FMOD
