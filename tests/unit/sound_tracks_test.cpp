// The demo's two music tracks as the build makes them, decoded by the layer:
// their lengths, levels, development and endings.
#include <gtest/gtest.h>

#include "platform/sound/fmod_sdl_mp3_decoder.h"
#include "support/sound_fixtures.h"

using namespace soundtest;

namespace {

struct Track {
    std::vector<float> samples;  // interleaved stereo at 44.1 kHz
    size_t frames() const { return samples.size() / 2; }
    size_t at(double seconds) const { return std::min(frames(), static_cast<size_t>(seconds * 44100)); }
    double rmsBetween(double from, double to) const { return rms(samples, at(from), at(to)); }
};

Track decodeTrack(const char* path) {
    Track track;
    std::unique_ptr<Mp3Decoder> decoder;
    EXPECT_EQ(Mp3Decoder::openFile(path, &decoder), FMOD_OK) << path << " (built by the oku_data target)";
    if (!decoder) return track;
    EXPECT_EQ(decoder->sampleRate(), 44100);
    track.samples = decodeAll(*decoder);
    return track;
}

double mean(const std::vector<float>& samples) {
    double sum = 0.0;
    for (float s : samples) sum += s;
    return samples.empty() ? 0.0 : sum / double(samples.size());
}

// Common to both: below full scale near -1 dBFS, no offset, no step between
// neighbouring samples that a click would make, quiet at the very end.
void expectCleanMaster(const Track& track) {
    float top = peak(track.samples, 0, track.frames());
    EXPECT_LT(top, 0.98f) << "peaks stay below full scale";
    EXPECT_GT(top, 0.80f) << "normalised to about -1 dBFS";
    EXPECT_LT(std::fabs(mean(track.samples)), 1e-3);
    double end = double(track.frames()) / 44100;
    EXPECT_LT(track.rmsBetween(end - 0.5, end), 0.002) << "it ends in silence";
    EXPECT_GT(track.rmsBetween(end - 8, end - 5), 5 * track.rmsBetween(end - 1.5, end)) << "fading out";
}

TEST(SoundTracks, HeliosIsLongEnoughForItsSceneAndGrowsWhenTheGrassRises) {
    Track helios = decodeTrack("./sound/helios.mp3");
    ASSERT_FALSE(helios.samples.empty());
    EXPECT_GE(helios.frames(), size_t(160 * 44100)) << "the scene lasts 150 s and starts its music late";
    EXPECT_LT(helios.frames(), size_t(200 * 44100));
    expectCleanMaster(helios);
    double snow = helios.rmsBetween(2, 28), growing = helios.rmsBetween(36, 100);
    EXPECT_GT(snow, 0.03) << "music from the start";
    EXPECT_GT(growing, 1.25 * snow) << "the lift at 30 s";
    EXPECT_LT(helios.rmsBetween(105, 124), helios.rmsBetween(130, 150)) << "the quiet part before the last rise";
}

TEST(SoundTracks, BeastRunsToNinetyFiveSecondsOnASteadyBeat) {
    Track beast = decodeTrack("./sound/beast.mp3");
    ASSERT_FALSE(beast.samples.empty());
    EXPECT_NEAR(double(beast.frames()) / 44100, 95.0, 0.5);
    expectCleanMaster(beast);
    EXPECT_GT(beast.rmsBetween(85, 89), 0.1) << "still going when the scene cuts it off at about 90 s";

    // The beat: the energy below about 60 Hz, in 10 ms steps, repeats every half
    // second (120 bpm) and is out of step with itself at a quarter second.
    const size_t hop = 441, begin = beast.at(20), end = beast.at(50);
    std::vector<double> energy;
    double low = 0.0;
    for (size_t i = begin; i + hop <= end; i += hop) {
        double sum = 0.0;
        for (size_t k = i; k < i + hop; ++k) {
            low += 0.008 * (0.5 * (beast.samples[2 * k] + beast.samples[2 * k + 1]) - low);
            sum += low * low;
        }
        energy.push_back(sum);
    }
    double average = 0.0;
    for (double e : energy) average += e / double(energy.size());
    auto correlation = [&](size_t lag) {
        double c = 0.0;
        for (size_t i = 0; i + lag < energy.size(); ++i) c += (energy[i] - average) * (energy[i + lag] - average);
        return c;
    };
    double zero = correlation(0);
    double beat = correlation(50) / zero, halfBeat = correlation(25) / zero;
    EXPECT_GT(beat, 0.15) << "kick every 0.5 s";
    EXPECT_GT(beat - halfBeat, 0.3) << "and not between the beats";
}

}  // namespace
