// The sound system in a browser: the page's Web Audio context plays, and the
// browser decodes each mp3 whole (fmod_web.js holds the Web Audio side). This side
// keeps the channel slots and hands out the same channel handles as the desktop
// layer, so results and handle lifetimes are the desktop's.
//
// createStream waits for the decode under Asyncify; the page starts decoding the
// demo's tracks as soon as they are downloaded, so the wait is usually none.
#include <emscripten/emscripten.h>

#include <cstdint>
#include <memory>
#include <new>
#include <string>
#include <vector>

#include "platform/sound/fmod.h"
#include "platform/sound/fmod_sdl_channel_handles.h"

extern "C" {
int okuSoundOpenOutput();
void okuSoundFreeBuffer(int buffer);
int okuSoundVoiceStart(int buffer, double channel, int paused);
void okuSoundVoiceSetPaused(int voice, int paused);
void okuSoundVoiceStop(int voice);
int okuSoundVoiceFinished(int voice);
void okuSoundLogFailure(const char* call, const char* path, int result, const char* text);
}

// A buffer number, or -1 (the file cannot be read) or -2 (it does not decode).
EM_ASYNC_JS(int, okuSoundDecode, (const char* path), { return await OkuSound.decode(UTF8ToString(path)); });

namespace {

constexpr int kMaxChannels = 4095;
constexpr int kUnreadable = -1;

// A Sound is one decoded track. The object the caller gets is this.
struct WebSound : FMOD::Sound {
    int buffer = 0;
    std::string path;
};

FMOD_RESULT logged(FMOD_RESULT result, const char* call, const char* path = nullptr) {
    if (result != FMOD_OK) okuSoundLogFailure(call, path, result, FMOD_ErrorString(result));
    return result;
}

}  // namespace

struct FMOD::System::Impl {
    enum class State { Created, Ready, Failed };
    State state = State::Created;
    uint32_t id = 0;

    // A slot plays one voice; voice 0: free.
    struct Slot {
        int voice = 0;
        uint64_t serial = 0;
        const WebSound* sound = nullptr;
        bool paused = false;
    };
    std::vector<Slot> slots;
    std::vector<std::unique_ptr<WebSound>> sounds;

    FMOD_RESULT init(int maxChannels) {
        if (state != State::Created) return FMOD_ERR_INITIALIZED;
        if (maxChannels < 1 || maxChannels > kMaxChannels) return FMOD_ERR_INVALID_PARAM;
        state = State::Failed;  // until everything below has worked
        if (!okuSoundOpenOutput()) return FMOD_ERR_OUTPUT_INIT;
        slots.resize(static_cast<size_t>(maxChannels));
        state = State::Ready;
        return FMOD_OK;
    }

    WebSound* findSound(const Sound* sound) const {
        for (const auto& owned : sounds)
            if (owned.get() == sound) return owned.get();
        return nullptr;
    }

    FMOD_RESULT createStream(const char* path, FMOD_MODE mode, Sound** sound) {
        if (!sound) return FMOD_ERR_INVALID_PARAM;
        *sound = nullptr;
        if (state != State::Ready) return FMOD_ERR_UNINITIALIZED;
        if (!path || mode != FMOD_DEFAULT) return FMOD_ERR_INVALID_PARAM;
        std::unique_ptr<WebSound> made(new (std::nothrow) WebSound);
        if (!made) return FMOD_ERR_MEMORY;
        int buffer = okuSoundDecode(path);
        if (buffer <= 0) return buffer == kUnreadable ? FMOD_ERR_FILE_NOTFOUND : FMOD_ERR_FILE_BAD;
        made->buffer = buffer;
        made->path = path;
        *sound = made.get();
        sounds.push_back(std::move(made));
        return FMOD_OK;
    }

    // A slot whose track has played to the end is free again.
    void reap(Slot& slot) {
        if (slot.voice && okuSoundVoiceFinished(slot.voice)) slot = Slot{};
    }

    void silence(Slot& slot) {
        if (slot.voice) okuSoundVoiceStop(slot.voice);
        slot = Slot{};
    }

    // `requested`, or with FMOD_CHANNEL_FREE the first free slot; -1 when none is.
    int acquire(FMOD_CHANNELINDEX requested) {
        if (requested >= 0) {
            silence(slots[static_cast<size_t>(requested)]);
            return requested;
        }
        for (size_t i = 0; i < slots.size(); ++i) {
            reap(slots[i]);
            if (!slots[i].voice) return static_cast<int>(i);
        }
        return -1;
    }

    FMOD_RESULT playSound(FMOD_CHANNELINDEX channelId, Sound* sound, bool paused, Channel** channel) {
        if (channel) *channel = ChannelHandles::invalid();
        if (state != State::Ready) return FMOD_ERR_UNINITIALIZED;
        if (!sound) return FMOD_ERR_INVALID_PARAM;
        if (channelId != FMOD_CHANNEL_FREE && (channelId < 0 || channelId >= static_cast<int>(slots.size())))
            return FMOD_ERR_INVALID_PARAM;
        WebSound* owned = findSound(sound);
        if (!owned) return FMOD_ERR_INVALID_HANDLE;

        // A stream plays on one channel at a time.
        for (Slot& slot : slots)
            if (slot.sound == owned) silence(slot);
        int index = acquire(channelId);
        if (index < 0) return FMOD_ERR_CHANNEL_ALLOC;

        uint64_t serial = 0;
        Channel* handle = ChannelHandles::issue(id, index, &serial);
        int voice = okuSoundVoiceStart(owned->buffer, static_cast<double>(serial), paused ? 1 : 0);
        if (!voice) return FMOD_ERR_MEMORY;
        slots[static_cast<size_t>(index)] = Slot{voice, serial, owned, paused};
        if (channel) *channel = handle;
        return FMOD_OK;
    }

    FMOD_RESULT update() {
        if (state != State::Ready) return FMOD_ERR_UNINITIALIZED;
        for (Slot& slot : slots) reap(slot);
        return FMOD_OK;
    }

    // The slot when it still plays what `serial` started.
    Slot* find(int index, uint64_t serial) {
        if (index < 0 || index >= static_cast<int>(slots.size())) return nullptr;
        Slot& slot = slots[static_cast<size_t>(index)];
        if (slot.serial != serial) return nullptr;
        reap(slot);
        return slot.voice ? &slot : nullptr;
    }

    void closeOutput() {
        for (Slot& slot : slots) silence(slot);
        for (const auto& sound : sounds) okuSoundFreeBuffer(sound->buffer);
        sounds.clear();
    }
};

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
    return logged(impl->init(maxChannels), "init");
}

FMOD_RESULT System::createStream(const char* path, FMOD_MODE mode, FMOD_CREATESOUNDEXINFO* /*exinfo*/,
                                 Sound** sound) {
    return logged(impl->createStream(path, mode, sound), "createStream", path);
}

FMOD_RESULT System::playSound(FMOD_CHANNELINDEX channelId, Sound* sound, bool paused, Channel** channel) {
    WebSound* owned = impl->findSound(sound);
    return logged(impl->playSound(channelId, sound, paused, channel), "playSound",
                  owned ? owned->path.c_str() : nullptr);
}

FMOD_RESULT System::update() { return impl->update(); }

FMOD_RESULT System::release() {
    ChannelHandles::unregisterSystem(impl->id);
    impl->closeOutput();
    delete impl;
    impl = nullptr;
    delete this;
    return FMOD_OK;
}

FMOD_RESULT Channel::stop() {
    return ChannelHandles::with(this, [](System::Impl& system, int index, uint64_t serial) {
        System::Impl::Slot* slot = system.find(index, serial);
        if (!slot) return FMOD_ERR_INVALID_HANDLE;
        system.silence(*slot);
        return FMOD_OK;
    });
}

FMOD_RESULT Channel::isPlaying(bool* playing) {
    if (!playing) return FMOD_ERR_INVALID_PARAM;
    *playing = false;
    return ChannelHandles::with(this, [playing](System::Impl& system, int index, uint64_t serial) {
        *playing = system.find(index, serial) != nullptr;
        return *playing ? FMOD_OK : FMOD_ERR_INVALID_HANDLE;
    });
}

FMOD_RESULT Channel::setPaused(bool paused) {
    return ChannelHandles::with(this, [paused](System::Impl& system, int index, uint64_t serial) {
        System::Impl::Slot* slot = system.find(index, serial);
        if (!slot) return FMOD_ERR_INVALID_HANDLE;
        okuSoundVoiceSetPaused(slot->voice, paused ? 1 : 0);
        slot->paused = paused;
        return FMOD_OK;
    });
}

FMOD_RESULT Channel::getPaused(bool* paused) {
    if (!paused) return FMOD_ERR_INVALID_PARAM;
    return ChannelHandles::with(this, [paused](System::Impl& system, int index, uint64_t serial) {
        System::Impl::Slot* slot = system.find(index, serial);
        if (!slot) return FMOD_ERR_INVALID_HANDLE;
        *paused = slot->paused;
        return FMOD_OK;
    });
}

}  // namespace FMOD
