// The whole program end to end: WinMain plays the indoor scene on a fast driven clock, and its frames are read from the window.
#include <gtest/gtest.h>

#include <GL/glew.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "math/spline.h"
#include "platform/clock/tick_count.h"
#include "scenes/indoor/bump_mapping.h"
#include "shell/demo_app.h"
#include "shell/scene_sequence.h"
#include "platform/clock/timer.h"
#include "support/capture.h"
#include "support/test_output.h"

// Plays the program's own WinMain through its scene sequence, with a clock that
// runs fast, and looks at what the indoor scene puts on screen.
namespace {

constexpr int windowWidth = 1024;
constexpr int windowHeight = 768;
constexpr uint32_t millisecondsPerTick = 150;  // each clock reading is 150 ms after the last

struct Shot {
    float time = 0.0f;
    float focus = 0.0f;
    std::vector<unsigned char> window;  // the presented frame, RGBA, bottom row first
    std::vector<unsigned char> pass1;   // the off-screen picture: colour, view depth in alpha
};

struct Observations {
    std::vector<float> wantedTimes{10.0f, 40.0f, 70.0f};
    std::vector<Shot> shots;
    int frames = 0;
    float lastTime = 0.0f;
    bool cleanedUp = false;
    bool musicPlayingBeforeCleanup = false;
    bool musicPlayingAfterCleanup = true;
    float endTime = 0.0f;
} seen;

class ObservedBumpMapping : public BumpMapping {
public:
    using BumpMapping::BumpMapping;

    bool render() override {
        bool ok = BumpMapping::render();
        ++seen.frames;
        float t = static_cast<float>(timer->total());
        seen.lastTime = t;
        seen.endTime = endTime();
        if (seen.shots.size() < seen.wantedTimes.size() && t >= seen.wantedTimes[seen.shots.size()]) capture(t);
        return ok;
    }

    bool cleanup() override {
        bool playing = false;
        if (channel) channel->isPlaying(&playing);
        seen.musicPlayingBeforeCleanup = playing;
        FMOD::Channel* music = channel;
        bool ok = BumpMapping::cleanup();
        playing = true;
        if (!music || music->isPlaying(&playing) != FMOD_OK) playing = false;
        seen.musicPlayingAfterCleanup = playing;
        seen.cleanedUp = true;
        return ok;
    }

private:
    void capture(float t) {
        Shot shot;
        shot.time = t;
        shot.focus = focusPath->loaded ? focusPath->values[0] : 0.0f;
        shot.window.resize(windowWidth * windowHeight * 4);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glReadPixels(0, 0, windowWidth, windowHeight, GL_RGBA, GL_UNSIGNED_BYTE, shot.window.data());
        shot.pass1.resize(1024 * 768 * 4);
        glBindTexture(GL_TEXTURE_2D, colorTexture);
        glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, shot.pass1.data());
        seen.shots.push_back(std::move(shot));
    }
};

Scene* makeObservedScene(InputControl* input, FMOD::System* fmod) { return new ObservedBumpMapping(input, fmod); }

// The outdoor scene has its own end-to-end test; here it is replaced by one that
// finishes at its first frame, so the clock's fast steps are all the indoor scene's.
class FinishedAtOnce : public Scene {
public:
    FinishedAtOnce(InputControl* input, FMOD::System* fmod) : Scene("FinishedAtOnce", input, fmod) {}
    bool render() override {
        finished = true;
        return true;
    }
};

Scene* makeFinishedScene(InputControl* input, FMOD::System* fmod) { return new FinishedAtOnce(input, fmod); }

float luminance(const std::vector<unsigned char>& rgba, int width, int x, int y) {
    const unsigned char* p = &rgba[(static_cast<size_t>(y) * width + x) * 4];
    return 0.299f * p[0] + 0.587f * p[1] + 0.114f * p[2];
}

// Mean absolute horizontal difference over a block: blur lowers it. Only horizontal
// differences are used, since the window shows the off-screen picture stretched vertically.
float horizontalDetail(const std::vector<unsigned char>& rgba, int width, int x0, int y0, int w, int h) {
    double sum = 0.0;
    for (int y = y0; y < y0 + h; ++y)
        for (int x = x0; x < x0 + w - 1; ++x)
            sum += std::fabs(luminance(rgba, width, x + 1, y) - luminance(rgba, width, x, y));
    return static_cast<float>(sum / ((w - 1) * h));
}

class IndoorSceneEndToEnd : public ::testing::Test {
protected:
    void SetUp() override {
        clock = 1000;
        setTickSource([this] { return clock += millisecondsPerTick; });
        setSceneSequence({makeFinishedScene, makeObservedScene});
    }
    void TearDown() override {
        setSceneSequence({nullptr, nullptr});
        setTickSource(nullptr);
    }
    uint32_t clock = 0;
};

TEST_F(IndoorSceneEndToEnd, PlaysToItsEndShowingTheSetInAndOutOfFocus) {
    LogCapture log;
    MessageBoxRecorder boxes;
    int exitCode = WinMain(nullptr, nullptr, nullptr, 0);

    EXPECT_EQ(exitCode, 0);
    EXPECT_TRUE(boxes.boxes.empty()) << "first box: " << (boxes.boxes.empty() ? "" : boxes.boxes[0].text);
    for (const auto& line : log.lines) EXPECT_EQ(line.find("FMOD error!"), std::string::npos) << line;
    EXPECT_TRUE(seen.cleanedUp) << "the scene finished and was torn down";
    EXPECT_GT(seen.lastTime, seen.endTime) << "the scene ran past its camera path's end";
    EXPECT_NEAR(seen.endTime, 90.0f, 10.0f);
    EXPECT_GT(seen.frames, 300);
    EXPECT_TRUE(seen.musicPlayingBeforeCleanup);
    EXPECT_FALSE(seen.musicPlayingAfterCleanup) << "cleanup stops the music";

    ASSERT_EQ(seen.shots.size(), 3u);
    for (const Shot& shot : seen.shots) {
        std::string name = "indoor_" + std::to_string(static_cast<int>(shot.time)) + "s.png";
        writePng(testOutputDir() + name, windowWidth, windowHeight, shot.window);

        // Real content: the picture is far from uniform.
        double sum = 0.0, squares = 0.0;
        const int n = windowWidth * windowHeight;
        for (int i = 0; i < n; ++i) {
            float l = luminance(shot.window, windowWidth, i % windowWidth, i / windowWidth);
            sum += l;
            squares += l * l;
        }
        double mean = sum / n;
        double deviation = std::sqrt(std::max(0.0, squares / n - mean * mean));
        EXPECT_GT(mean, 20.0) << name << " is not dark";
        EXPECT_GT(deviation, 15.0) << name << " is not uniform";

        // Blocks near the focus distance keep their detail through the filter; blocks far
        // from it lose it. Compare each block's detail on screen with its detail in the
        // off-screen picture it was filtered from (window row r shows picture row 0.75 r).
        struct Block {
            float defocus;
            float kept;
        };
        std::vector<Block> blocks;
        const int size = 32;
        for (int wy = 0; wy + size <= windowHeight; wy += size) {
            for (int wx = 0; wx + size <= windowWidth; wx += size) {
                int py = (wy * 3) / 4;
                float before = horizontalDetail(shot.pass1, 1024, wx, py, size, size * 3 / 4);
                if (before < 2.0f) continue;  // flat areas tell nothing about blur
                float after = horizontalDetail(shot.window, windowWidth, wx, wy, size, size);
                double depth = 0.0;
                for (int y = py; y < py + size * 3 / 4; ++y)
                    for (int x = wx; x < wx + size; ++x) depth += shot.pass1[(static_cast<size_t>(y) * 1024 + x) * 4 + 3];
                depth = depth / (size * size * 3 / 4) / 255.0 * 500.0;
                // The filter's blur radius in pixels grows with |depth - focus| / depth.
                blocks.push_back({static_cast<float>(std::fabs(depth - shot.focus) / std::max(depth, 1.0)),
                                  after / before});
            }
        }
        ASSERT_GE(blocks.size(), 30u) << name;
        std::sort(blocks.begin(), blocks.end(), [](const Block& a, const Block& b) { return a.defocus < b.defocus; });
        size_t third = blocks.size() / 3;
        double sharpKept = 0.0, blurredKept = 0.0, sharpDefocus = 0.0, blurredDefocus = 0.0;
        for (size_t i = 0; i < third; ++i) {
            sharpKept += blocks[i].kept;
            sharpDefocus += blocks[i].defocus;
            blurredKept += blocks[blocks.size() - 1 - i].kept;
            blurredDefocus += blocks[blocks.size() - 1 - i].defocus;
        }
        sharpKept /= third;
        blurredKept /= third;
        std::printf("%s: focus %.1f, %zu blocks; nearest third defocus %.3f keeps %.3f, farthest third defocus %.3f keeps %.3f\n",
                    name.c_str(), shot.focus, blocks.size(), sharpDefocus / third, sharpKept, blurredDefocus / third,
                    blurredKept);
        RecordProperty(name + "_detail_in_focus", std::to_string(sharpKept));
        RecordProperty(name + "_detail_out_of_focus", std::to_string(blurredKept));
        // The frames are deterministic; the blocks nearest the focus keep clearly more detail.
        EXPECT_GT(sharpKept, blurredKept + 0.07) << name << ": focus " << shot.focus << ", in-focus blocks keep "
                                                << sharpKept << " of their detail, out-of-focus " << blurredKept;
    }
}

}  // namespace
