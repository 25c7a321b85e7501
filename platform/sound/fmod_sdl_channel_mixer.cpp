#include "platform/sound/fmod_sdl_channel_mixer.h"

#include <algorithm>
#include <cstring>

#include "platform/sound/fmod_sdl_mp3_stream.h"

namespace {
constexpr size_t kScratchFrames = 1024;
}

ChannelMixer::ChannelMixer(int channelCount, size_t fade)
    : slots(static_cast<size_t>(std::max(channelCount, 0))), fadeFrames(std::max<size_t>(fade, 1)),
      scratch(kScratchFrames * 2) {}

void ChannelMixer::mix(float* out, size_t frames) {
    std::memset(out, 0, frames * 2 * sizeof(float));
    std::lock_guard<std::mutex> guard(lock);
    for (Slot& slot : slots) {
        if (slot.state == State::Free || (slot.paused && slot.state == State::Playing)) continue;
        mixSlot(slot, out, frames);
    }
    for (size_t i = 0; i < frames * 2; ++i) out[i] = std::clamp(out[i], -1.0f, 1.0f);
}

void ChannelMixer::mixSlot(Slot& slot, float* out, size_t frames) {
    size_t done = 0;
    while (done < frames && slot.state != State::Free) {
        size_t want = std::min(frames - done, kScratchFrames);
        if (slot.state == State::Stopping) want = std::min(want, slot.fadeLeft);
        bool ended = false;
        size_t got = slot.stream->read(scratch.data(), want, &ended);
        float* to = out + done * 2;
        if (slot.state == State::Stopping) {
            // Linear fade from where the fade stands down to zero.
            for (size_t i = 0; i < got; ++i) {
                float gain = static_cast<float>(slot.fadeLeft - i) / static_cast<float>(fadeFrames);
                to[2 * i] += scratch[2 * i] * gain;
                to[2 * i + 1] += scratch[2 * i + 1] * gain;
            }
            slot.fadeLeft -= std::min(got, slot.fadeLeft);
            if (slot.fadeLeft == 0) ended = true;
        } else {
            for (size_t i = 0; i < got * 2; ++i) to[i] += scratch[i];
        }
        done += got;
        if (ended) slot = Slot{};
        // An empty buffer that has not ended is an underrun: this slot stays silent
        // for the rest of the period and resumes with the next.
        if (got < want) break;
    }
}

int ChannelMixer::acquire(FMOD_CHANNELINDEX requested, const Mp3Stream* stream) {
    std::lock_guard<std::mutex> guard(lock);
    for (Slot& slot : slots)
        if (slot.stream == stream) slot = Slot{};
    if (requested >= 0) {
        if (requested >= channelCount()) return -1;
        slots[static_cast<size_t>(requested)] = Slot{};
        return requested;
    }
    for (State wanted : {State::Free, State::Stopping}) {
        for (size_t i = 0; i < slots.size(); ++i) {
            if (slots[i].state == wanted) {
                slots[i] = Slot{};
                return static_cast<int>(i);
            }
        }
    }
    return -1;
}

void ChannelMixer::start(int index, Mp3Stream* stream, uint64_t serial, bool paused) {
    std::lock_guard<std::mutex> guard(lock);
    Slot& slot = slots[static_cast<size_t>(index)];
    slot.state = State::Playing;
    slot.stream = stream;
    slot.serial = serial;
    slot.paused = paused;
    slot.fadeLeft = 0;
}

ChannelMixer::Slot* ChannelMixer::find(int index, uint64_t serial) {
    if (index < 0 || index >= channelCount()) return nullptr;
    Slot& slot = slots[static_cast<size_t>(index)];
    if (slot.state != State::Playing || slot.serial != serial) return nullptr;
    return &slot;
}

FMOD_RESULT ChannelMixer::stop(int index, uint64_t serial) {
    std::lock_guard<std::mutex> guard(lock);
    Slot* slot = find(index, serial);
    if (!slot) return FMOD_ERR_INVALID_HANDLE;
    if (slot->paused) {
        *slot = Slot{};  // already silent
    } else {
        slot->state = State::Stopping;
        slot->fadeLeft = fadeFrames;
    }
    return FMOD_OK;
}

FMOD_RESULT ChannelMixer::isPlaying(int index, uint64_t serial, bool* playing) {
    if (!playing) return FMOD_ERR_INVALID_PARAM;
    std::lock_guard<std::mutex> guard(lock);
    *playing = find(index, serial) != nullptr;
    return *playing ? FMOD_OK : FMOD_ERR_INVALID_HANDLE;
}

FMOD_RESULT ChannelMixer::setPaused(int index, uint64_t serial, bool paused) {
    std::lock_guard<std::mutex> guard(lock);
    Slot* slot = find(index, serial);
    if (!slot) return FMOD_ERR_INVALID_HANDLE;
    slot->paused = paused;
    return FMOD_OK;
}

FMOD_RESULT ChannelMixer::getPaused(int index, uint64_t serial, bool* paused) {
    if (!paused) return FMOD_ERR_INVALID_PARAM;
    std::lock_guard<std::mutex> guard(lock);
    Slot* slot = find(index, serial);
    if (!slot) return FMOD_ERR_INVALID_HANDLE;
    *paused = slot->paused;
    return FMOD_OK;
}

void ChannelMixer::playingStreams(std::vector<Mp3Stream*>* streams) {
    streams->clear();
    std::lock_guard<std::mutex> guard(lock);
    for (const Slot& slot : slots)
        if (slot.state == State::Playing) streams->push_back(slot.stream);
}
