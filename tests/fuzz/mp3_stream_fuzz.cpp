// Arbitrary bytes as an mp3 stream: open, convert to the output rate and play it
// through to its end the way the mixer does, refilling the bounded buffer.
#include <cstddef>
#include <cstdint>
#include <cmath>
#include <vector>

#include "platform/sound/fmod_sdl_mp3_decoder.h"
#include "platform/sound/fmod_sdl_mp3_stream.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::unique_ptr<Mp3Decoder> decoder;
    if (Mp3Decoder::openMemory(data, size, &decoder) != FMOD_OK) return 0;
    // The first byte picks one of the usual device rates, so resampling both up
    // and down is exercised.
    static const int kRates[] = {44100, 48000, 22050, 96000};
    int outputRate = kRates[size ? data[0] % 4 : 0];
    std::unique_ptr<Mp3Stream> stream;
    if (Mp3Stream::open(std::move(decoder), outputRate, 4096, &stream) != FMOD_OK) return 0;

    std::vector<float> chunk(2 * 1000);
    bool ended = false;
    bool restarted = false;
    while (!ended) {
        stream->fill();
        size_t got = stream->read(chunk.data(), 1000, &ended);
        for (size_t i = 0; i < got * 2; ++i)
            if (!std::isfinite(chunk[i])) __builtin_trap();
        if (ended && !restarted) {
            // Once more from the start, as a replayed stream would.
            stream->restart();
            restarted = true;
            ended = false;
        }
    }
    return 0;
}
