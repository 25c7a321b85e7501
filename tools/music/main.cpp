// Renders one of the demo's tracks to a 16-bit stereo WAV file at 44.1 kHz:
//   oku_music helios|beast out.wav [part]
// With a part name (a track of the score: "kick", "bass", ...) only that part
// is rendered, through the same effects and master, for checking a mix.
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "dsp.h"
#include "scores.h"
#include "song.h"

namespace {

bool writeWav(const char* path, const std::vector<float>& interleaved) {
    FILE* file = std::fopen(path, "wb");
    if (!file) return false;
    auto put = [&](uint32_t value, int bytes) {
        for (int i = 0; i < bytes; ++i) std::fputc(int((value >> (8 * i)) & 0xFF), file);
    };
    uint32_t dataBytes = static_cast<uint32_t>(interleaved.size() * 2);
    std::fwrite("RIFF", 1, 4, file);
    put(36 + dataBytes, 4);
    std::fwrite("WAVEfmt ", 1, 8, file);
    put(16, 4);
    put(1, 2);
    put(2, 2);
    put(music::kSampleRate, 4);
    put(music::kSampleRate * 4, 4);
    put(4, 2);
    put(16, 2);
    std::fwrite("data", 1, 4, file);
    put(dataBytes, 4);
    // Triangular dither before rounding to 16 bits, so quiet fades stay smooth.
    music::Noise dither(12345);
    for (float sample : interleaved) {
        float noisy = sample * 32767.0f + 0.5f * (dither.next() + dither.next());
        long value = std::lround(std::max(-32768.0f, std::min(32767.0f, noisy)));
        put(static_cast<uint32_t>(static_cast<int16_t>(value)), 2);
    }
    bool ok = std::ferror(file) == 0;
    return std::fclose(file) == 0 && ok;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3 || argc > 4 || (std::strcmp(argv[1], "helios") != 0 && std::strcmp(argv[1], "beast") != 0)) {
        std::fprintf(stderr, "usage: oku_music helios|beast out.wav [part]\n");
        return 2;
    }
    music::Song song = std::strcmp(argv[1], "helios") == 0 ? music::helios() : music::beast();
    if (argc == 4) {
        std::vector<music::Track> solo;
        for (music::Track& track : song.tracks)
            if (track.name == argv[3]) solo.push_back(std::move(track));
        if (solo.empty()) {
            std::fprintf(stderr, "oku_music: no part named %s\n", argv[3]);
            return 2;
        }
        song.tracks = std::move(solo);
    }
    std::vector<float> samples = music::render(song, -1.0f);
    if (!writeWav(argv[2], samples)) {
        std::fprintf(stderr, "oku_music: cannot write %s\n", argv[2]);
        return 1;
    }
    return 0;
}
