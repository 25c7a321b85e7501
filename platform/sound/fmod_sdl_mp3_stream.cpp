#include "platform/sound/fmod_sdl_mp3_stream.h"

#include <SDL_audio.h>

#include <algorithm>
#include <new>

namespace {
constexpr size_t kScratchFrames = 4096;
constexpr int kFrameBytes = 2 * sizeof(float);
}  // namespace

// SDL's audio stream does the rate conversion (a windowed-sinc resampler).
struct Mp3Stream::RateConverter {
    SDL_AudioStream* stream = nullptr;
    ~RateConverter() {
        if (stream) SDL_FreeAudioStream(stream);
    }
};

Mp3Stream::Mp3Stream(std::unique_ptr<Mp3Decoder> d, size_t bufferFrames)
    : decoder(std::move(d)), rate(decoder->sampleRate()), ring(bufferFrames) {}

Mp3Stream::~Mp3Stream() = default;

FMOD_RESULT Mp3Stream::open(std::unique_ptr<Mp3Decoder> decoder, int outputRate, size_t bufferFrames,
                            std::unique_ptr<Mp3Stream>* stream) {
    if (!stream) return FMOD_ERR_INVALID_PARAM;
    stream->reset();
    if (!decoder || outputRate <= 0 || bufferFrames == 0) return FMOD_ERR_INVALID_PARAM;
    std::unique_ptr<Mp3Stream> made(new (std::nothrow) Mp3Stream(std::move(decoder), bufferFrames));
    if (!made) return FMOD_ERR_MEMORY;
    made->converter.reset(new (std::nothrow) RateConverter);
    if (!made->converter) return FMOD_ERR_MEMORY;
    made->converter->stream =
        SDL_NewAudioStream(AUDIO_F32SYS, 2, made->rate, AUDIO_F32SYS, 2, outputRate);
    if (!made->converter->stream) return FMOD_ERR_FORMAT;
    made->scratch.resize(kScratchFrames * 2);
    *stream = std::move(made);
    return FMOD_OK;
}

size_t Mp3Stream::fill(size_t upTo) {
    std::lock_guard<std::mutex> lock(decoding);
    SDL_AudioStream* convert = converter->stream;
    size_t target = std::min(upTo, ring.capacity());
    size_t added = 0;
    while (!trackEnded.load(std::memory_order_relaxed)) {
        size_t buffered = ring.readable();
        if (buffered >= target) break;
        size_t converted = static_cast<size_t>(SDL_AudioStreamAvailable(convert)) / kFrameBytes;
        if (converted > 0) {
            size_t n = std::min({converted, ring.capacity() - buffered, kScratchFrames});
            int got = SDL_AudioStreamGet(convert, scratch.data(), static_cast<int>(n * kFrameBytes));
            if (got <= 0) {
                // The converter failed: end the track where it is.
                trackEnded.store(true, std::memory_order_release);
                break;
            }
            added += ring.write(scratch.data(), static_cast<size_t>(got) / kFrameBytes);
            continue;
        }
        if (decoderDone) {
            trackEnded.store(true, std::memory_order_release);
            break;
        }
        size_t frames = 0;
        const float* decoded = decoder->nextFrame(&frames);
        if (!decoded || SDL_AudioStreamPut(convert, decoded, static_cast<int>(frames * kFrameBytes)) != 0) {
            // End of the file: let the converter give out what it still holds.
            SDL_AudioStreamFlush(convert);
            decoderDone = true;
        }
    }
    return added;
}

void Mp3Stream::restart() {
    std::lock_guard<std::mutex> lock(decoding);
    SDL_AudioStreamClear(converter->stream);
    ring.clear();
    decoderDone = !decoder->rewind();
    trackEnded.store(false, std::memory_order_release);
}

size_t Mp3Stream::read(float* frames, size_t count, bool* ended) {
    // Read the end flag first: every frame written before it was set is then visible.
    bool over = trackEnded.load(std::memory_order_acquire);
    size_t got = ring.read(frames, count);
    *ended = over && ring.readable() == 0;
    return got;
}
