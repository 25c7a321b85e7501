// The whole program from start to end: the outdoor scene to its end, then the indoor scene, then exit code 0.
#include <gtest/gtest.h>

#include <GL/glew.h>

#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/clock/timer.h"
#include "platform/clock/tick_count.h"
#include "scenes/indoor/bump_mapping.h"
#include "scenes/outdoor/grass_field.h"
#include "scenes/outdoor/growing_grass.h"
#include "scenes/outdoor/snowfall_effect.h"
#include "shell/demo_app.h"
#include "shell/scene_sequence.h"
#include "support/capture.h"
#include "support/test_output.h"
#include "support/pixel_count.h"

// Plays the program's own WinMain through the demo's two scenes. The clock moves
// only between frames, by a fixed step per frame, so every run sees the same scene
// times and loading takes no scene time.
namespace {

constexpr int width = 1024;
constexpr int height = 768;
constexpr uint32_t outdoorStepMs = 2000;
constexpr uint32_t indoorStepMs = 1000;

using Frame = std::vector<unsigned char>;

Frame readWindow() {
    Frame pixels(static_cast<size_t>(width) * height * 4);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    return pixels;
}

// Pixels whose colour differs by more than `threshold` (sum over r, g, b).
int changedPixels(const Frame& a, const Frame& b, int threshold = 24) {
    return countPixels(a, b, [threshold](const unsigned char* p, const unsigned char* q) {
        return std::abs(p[0] - q[0]) + std::abs(p[1] - q[1]) + std::abs(p[2] - q[2]) > threshold;
    });
}

struct OutdoorShot {
    float time = 0.0f;
    Frame frame;
    int grassPixels = 0;  // pixels that change when the grass is left out of the same frame
    int snowPixels = 0;   // the same for the snow
};

struct Observations {
    uint32_t clock = 1000;
    std::vector<float> wantedTimes{20.0f, 45.0f, 100.0f, 140.0f};
    std::vector<OutdoorShot> shots;
    int outdoorFrames = 0;
    float outdoorLastTime = 0.0f;
    bool outdoorMusicPlayingBeforeCleanup = false;
    bool outdoorMusicPlayingAfterCleanup = true;
    bool outdoorCleanedUp = false;
    int indoorFrames = 0;
    bool indoorMusicPlayingAtFirstFrame = false;
    bool indoorCleanedUp = false;
    bool order = true;  // the indoor scene never drew before the outdoor one was cleaned up
} seen;

bool isPlaying(FMOD::Channel* channel) {
    bool playing = false;
    if (!channel || channel->isPlaying(&playing) != FMOD_OK) return false;
    return playing;
}

class ObservedGrowingGrass : public GrowingGrass {
public:
    using GrowingGrass::GrowingGrass;

    bool render() override {
        bool ok = GrowingGrass::render();
        ++seen.outdoorFrames;
        const float t = static_cast<float>(timer->total());
        seen.outdoorLastTime = t;
        if (seen.shots.size() < seen.wantedTimes.size() && t >= seen.wantedTimes[seen.shots.size()]) capture(t);
        seen.clock += outdoorStepMs;
        return ok;
    }

    bool cleanup() override {
        seen.outdoorMusicPlayingBeforeCleanup = isPlaying(channel);
        FMOD::Channel* music = channel;
        bool ok = GrowingGrass::cleanup();
        seen.outdoorMusicPlayingAfterCleanup = isPlaying(music);
        seen.outdoorCleanedUp = true;
        return ok;
    }

private:
    // The frame as drawn, and the same frame drawn again without the grass and without
    // the snow (the clock stands still meanwhile), to tell what each adds to it.
    void capture(float t) {
        OutdoorShot shot;
        shot.time = t;
        shot.frame = readWindow();

        const int indexCount = grass->indexCount;
        grass->indexCount = 0;
        GrowingGrass::render();
        shot.grassPixels = changedPixels(shot.frame, readWindow());
        grass->indexCount = indexCount;

        const int flakes = snowfall->count;
        snowfall->count = 0;
        GrowingGrass::render();
        shot.snowPixels = changedPixels(shot.frame, readWindow());
        snowfall->count = flakes;

        GrowingGrass::render();  // leave the frame as it was for the swap
        seen.shots.push_back(std::move(shot));
    }
};

class ObservedBumpMapping : public BumpMapping {
public:
    using BumpMapping::BumpMapping;

    bool render() override {
        if (seen.indoorFrames == 0) {
            seen.indoorMusicPlayingAtFirstFrame = isPlaying(channel);
            seen.order = seen.outdoorCleanedUp;
        }
        bool ok = BumpMapping::render();
        ++seen.indoorFrames;
        seen.clock += indoorStepMs;
        return ok;
    }

    bool cleanup() override {
        seen.indoorCleanedUp = true;
        return BumpMapping::cleanup();
    }
};

Scene* makeOutdoor(InputControl* input, FMOD::System* fmod) { return new ObservedGrowingGrass(input, fmod); }
Scene* makeIndoor(InputControl* input, FMOD::System* fmod) { return new ObservedBumpMapping(input, fmod); }

double meanLuminance(const Frame& rgba) {
    double sum = 0.0;
    for (size_t i = 0; i < rgba.size(); i += 4) sum += 0.299 * rgba[i] + 0.587 * rgba[i + 1] + 0.114 * rgba[i + 2];
    return sum / (rgba.size() / 4);
}

double luminanceDeviation(const Frame& rgba) {
    const double mean = meanLuminance(rgba);
    double squares = 0.0;
    for (size_t i = 0; i < rgba.size(); i += 4) {
        const double l = 0.299 * rgba[i] + 0.587 * rgba[i + 1] + 0.114 * rgba[i + 2];
        squares += (l - mean) * (l - mean);
    }
    return std::sqrt(squares / (rgba.size() / 4));
}

TEST(WholeDemo, PlaysTheOutdoorSceneThenTheIndoorSceneAndEnds) {
    setTickSource([] { return seen.clock; });
    setSceneSequence({makeOutdoor, makeIndoor});
    LogCapture log;
    MessageBoxRecorder boxes;

    const int exitCode = WinMain(nullptr, nullptr, nullptr, 0);

    setSceneSequence({nullptr, nullptr});
    setTickSource(nullptr);

    EXPECT_EQ(exitCode, 0);
    EXPECT_TRUE(boxes.boxes.empty()) << "first box: " << (boxes.boxes.empty() ? "" : boxes.boxes[0].text);
    for (const auto& line : log.lines) EXPECT_EQ(line.find("FMOD error!"), std::string::npos) << line;

    // Scene 1 ran past 150 s, stopped its music and was torn down before scene 2 drew.
    EXPECT_GT(seen.outdoorLastTime, 150.0f);
    EXPECT_LT(seen.outdoorLastTime, 150.0f + outdoorStepMs / 1000.0f + 0.01f);
    EXPECT_NEAR(seen.outdoorFrames, 76, 1);
    EXPECT_TRUE(seen.outdoorMusicPlayingBeforeCleanup);
    EXPECT_FALSE(seen.outdoorMusicPlayingAfterCleanup);
    EXPECT_TRUE(seen.outdoorCleanedUp);
    EXPECT_TRUE(seen.order);
    // Scene 2 started its own music and played to its end.
    EXPECT_TRUE(seen.indoorMusicPlayingAtFirstFrame);
    EXPECT_GT(seen.indoorFrames, 60);
    EXPECT_TRUE(seen.indoorCleanedUp);

    ASSERT_EQ(seen.shots.size(), 4u);
    for (const OutdoorShot& shot : seen.shots) {
        const std::string name = "outdoor_" + std::to_string(static_cast<int>(std::lround(shot.time))) + "s.png";
        writePng(testOutputDir() + name, width, height, shot.frame);
        std::printf("%s: mean %.1f, deviation %.1f, grass %d px, snow %d px\n", name.c_str(), meanLuminance(shot.frame),
                    luminanceDeviation(shot.frame), shot.grassPixels, shot.snowPixels);
        EXPECT_GT(meanLuminance(shot.frame), 30.0) << name << " is not dark";
        EXPECT_GT(luminanceDeviation(shot.frame), 15.0) << name << " is not uniform";
    }
    const OutdoorShot& at20 = seen.shots[0];
    const OutdoorShot& at45 = seen.shots[1];
    const OutdoorShot& at140 = seen.shots[3];
    EXPECT_LT(at20.grassPixels, width * height / 1000) << "the grass lies flat before 30 s";
    EXPECT_GT(at45.grassPixels, width * height / 50) << "the grass has risen by 45 s";
    EXPECT_LT(at20.snowPixels, width * height / 1000) << "no snow before 110 s";
    EXPECT_GT(at140.snowPixels, width * height / 200) << "snow falls at 140 s";
}

}  // namespace
