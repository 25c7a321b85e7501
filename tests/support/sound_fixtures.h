// Test material for the sound layer: sine tones encoded to mp3 by lame, damaged
// files, environment switches for SDL's audio drivers, and simple signal measures.
#pragma once

#include <sys/stat.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "platform/sound/fmod_sdl_mp3_decoder.h"

namespace soundtest {

inline std::string outputDir() {
    std::string dir = OKU_TEST_OUTPUT_DIR "/sound";
    mkdir(OKU_TEST_OUTPUT_DIR, 0755);
    mkdir(dir.c_str(), 0755);
    return dir;
}

inline void writeBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

inline std::vector<uint8_t> readBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// 16-bit PCM WAV of interleaved samples in [-1, 1].
inline void writeWav(const std::string& path, const std::vector<float>& samples, int channels, int rate) {
    std::vector<uint8_t> bytes;
    auto put = [&](uint32_t value, int size) {
        for (int i = 0; i < size; ++i) bytes.push_back(static_cast<uint8_t>(value >> (8 * i)));
    };
    uint32_t dataBytes = static_cast<uint32_t>(samples.size() * 2);
    bytes.insert(bytes.end(), {'R', 'I', 'F', 'F'});
    put(36 + dataBytes, 4);
    bytes.insert(bytes.end(), {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '});
    put(16, 4);
    put(1, 2);
    put(static_cast<uint32_t>(channels), 2);
    put(static_cast<uint32_t>(rate), 4);
    put(static_cast<uint32_t>(rate * channels * 2), 4);
    put(static_cast<uint32_t>(channels * 2), 2);
    put(16, 2);
    bytes.insert(bytes.end(), {'d', 'a', 't', 'a'});
    put(dataBytes, 4);
    for (float s : samples) put(static_cast<uint16_t>(static_cast<int16_t>(std::lround(s * 32767.0f))), 2);
    writeBytes(path, bytes);
}

inline bool exists(const std::string& path) {
    struct stat info;
    return stat(path.c_str(), &info) == 0;
}

// A sine tone (the same on every channel) encoded by lame at the given rate and
// kept for later runs. Faded in and out over 5 ms so that it starts and ends clean.
inline std::string sineMp3(double frequency, double seconds, int rate, int channels, float amplitude = 0.5f) {
    char name[128];
    std::snprintf(name, sizeof name, "sine_%g_%gs_%d_%dch_%g.mp3", frequency, seconds, rate, channels, amplitude);
    std::string mp3 = outputDir() + "/" + name;
    if (exists(mp3)) return mp3;
    size_t frames = static_cast<size_t>(seconds * rate);
    size_t fade = static_cast<size_t>(0.005 * rate);
    std::vector<float> samples(frames * static_cast<size_t>(channels));
    for (size_t i = 0; i < frames; ++i) {
        double envelope = std::min({1.0, double(i) / fade, double(frames - 1 - i) / fade});
        float value = static_cast<float>(amplitude * envelope * std::sin(2.0 * M_PI * frequency * double(i) / rate));
        for (int c = 0; c < channels; ++c) samples[i * static_cast<size_t>(channels) + static_cast<size_t>(c)] = value;
    }
    std::string wav = mp3 + ".wav";
    writeWav(wav, samples, channels, rate);
    char command[1024];
    std::snprintf(command, sizeof command, "lame --quiet -b 160 -m %s --resample %g '%s' '%s.part' && mv '%s.part' '%s'",
                  channels == 1 ? "m" : "j", rate / 1000.0, wav.c_str(), mp3.c_str(), mp3.c_str(), mp3.c_str());
    if (std::system(command) != 0) return "";
    std::remove(wav.c_str());
    return mp3;
}

// Every frame the decoder gives, interleaved stereo.
inline std::vector<float> decodeAll(Mp3Decoder& decoder) {
    std::vector<float> all;
    size_t frames = 0;
    while (const float* frame = decoder.nextFrame(&frames)) all.insert(all.end(), frame, frame + frames * 2);
    return all;
}

// Sets an environment variable for the lifetime of the object.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const char* value) : name(name) {
        if (const char* old = std::getenv(name)) {
            hadOld = true;
            oldValue = old;
        }
        if (value) setenv(name, value, 1);
        else unsetenv(name);
    }
    ~ScopedEnv() {
        if (hadOld) setenv(name.c_str(), oldValue.c_str(), 1);
        else unsetenv(name.c_str());
    }

private:
    std::string name;
    bool hadOld = false;
    std::string oldValue;
};

// Measures on one channel of interleaved stereo frames [begin, end).
inline double frequency(const std::vector<float>& stereo, size_t begin, size_t end, int rate, int channel = 0) {
    size_t crossings = 0;
    for (size_t i = begin + 1; i < end; ++i) {
        float a = stereo[(i - 1) * 2 + static_cast<size_t>(channel)], b = stereo[i * 2 + static_cast<size_t>(channel)];
        if ((a < 0.0f) != (b < 0.0f)) ++crossings;
    }
    return crossings / 2.0 / (double(end - begin) / rate);
}

inline double rms(const std::vector<float>& stereo, size_t begin, size_t end) {
    double sum = 0.0;
    for (size_t i = begin * 2; i < end * 2; ++i) sum += double(stereo[i]) * stereo[i];
    return end > begin ? std::sqrt(sum / double((end - begin) * 2)) : 0.0;
}

inline float peak(const std::vector<float>& stereo, size_t begin, size_t end) {
    float top = 0.0f;
    for (size_t i = begin * 2; i < end * 2; ++i) top = std::max(top, std::fabs(stereo[i]));
    return top;
}

// Amplitude of the component at `hz` on the left channel (Goertzel).
inline double toneAmplitude(const std::vector<float>& stereo, size_t begin, size_t end, int rate, double hz) {
    double w = 2.0 * M_PI * hz / rate, coefficient = 2.0 * std::cos(w), s1 = 0.0, s2 = 0.0;
    for (size_t i = begin; i < end; ++i) {
        double s0 = stereo[2 * i] + coefficient * s1 - s2;
        s2 = s1;
        s1 = s0;
    }
    double power = s1 * s1 + s2 * s2 - coefficient * s1 * s2;
    return 2.0 * std::sqrt(std::max(power, 0.0)) / double(end - begin);
}

// Frames from the first to the last sample louder than threshold; {0, 0} if none.
inline std::pair<size_t, size_t> audibleSpan(const std::vector<float>& stereo, float threshold = 0.01f) {
    size_t frames = stereo.size() / 2, first = frames, last = 0;
    for (size_t i = 0; i < frames; ++i) {
        if (std::fabs(stereo[2 * i]) > threshold || std::fabs(stereo[2 * i + 1]) > threshold) {
            if (first == frames) first = i;
            last = i + 1;
        }
    }
    return first == frames ? std::make_pair<size_t, size_t>(0, 0) : std::make_pair(first, last);
}

}  // namespace soundtest
