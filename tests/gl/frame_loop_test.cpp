// The shell's frame loop and scene sequence, driven through the real WinMain with recording scenes.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "shell/demo_app.h"
#include "shell/scene.h"
#include "shell/scene_sequence.h"

// Drives the real WinMain with scenes of the test's own that record what the
// shell does to them and when.
namespace {

std::vector<std::string> events;

struct Script {
    bool initResult = true;
    int finishOnFrame = -1;        // render sets finished on this frame
    int failStepOnFrame = -1;      // render returns false on this frame
    int postOnFrame = -1;          // render posts `posted` on this frame
    std::vector<MSG> posted;
    int quitCodeOnFrame = -1;      // render calls PostQuitMessage(quitCode) on this frame
    int quitCode = 0;
    int safetyFrames = 200;        // ends a runaway test by closing the window
};

Script scripts[2];

class RecordingScene : public Scene {
public:
    RecordingScene(int index_, InputControl* input, FMOD::System* fmodSystem)
        : Scene(index_ == 0 ? "first" : "second", input, fmodSystem), index(index_) {
        log("construct");
    }
    ~RecordingScene() override { log("delete"); }

    bool init() override {
        log("init after " + std::to_string(GetPresentedFrameCount(demoApp.deviceContext)) + " frames");
        return script().initResult;
    }
    bool cleanup() override {
        log("cleanup");
        return true;
    }
    bool render() override {
        ++frame;
        log("render " + std::to_string(frame));
        const Script& s = script();
        if (frame == s.postOnFrame)
            for (MSG m : s.posted) PostMessageA(demoApp.windowHandle, m.message, m.wParam, m.lParam);
        if (frame == s.quitCodeOnFrame) PostQuitMessage(s.quitCode);
        if (frame == s.safetyFrames) PostMessageA(demoApp.windowHandle, WM_CLOSE, 0, 0);
        if (frame == s.finishOnFrame) finished = true;
        return frame != s.failStepOnFrame;
    }

private:
    const Script& script() const { return scripts[index]; }
    void log(const std::string& what) { events.push_back(name + ": " + what); }

    int index;
    int frame = 0;
};

Scene* makeFirst(InputControl* input, FMOD::System* fmod) { return new RecordingScene(0, input, fmod); }
Scene* makeSecond(InputControl* input, FMOD::System* fmod) { return new RecordingScene(1, input, fmod); }

MSG message(UINT type, WPARAM wParam = 0, LPARAM lParam = 0) {
    MSG m{};
    m.message = type;
    m.wParam = wParam;
    m.lParam = lParam;
    return m;
}

class FrameLoopTest : public ::testing::Test {
protected:
    void SetUp() override {
        events.clear();
        scripts[0] = Script{};
        scripts[1] = Script{};
        demoApp.active = false;
        for (bool& key : demoApp.keys) key = false;
        demoApp.escapePressed = false;
        setSceneSequence({makeFirst, makeSecond});
    }
    void TearDown() override { setSceneSequence({nullptr, nullptr}); }

    static std::vector<std::string> expected(std::initializer_list<const char*> lines) {
        return std::vector<std::string>(lines.begin(), lines.end());
    }
};

TEST_F(FrameLoopTest, FinishedScenesAreTornDownAndTheNextLoadsBeforeTheSwap) {
    scripts[0].finishOnFrame = 2;
    scripts[1].finishOnFrame = 2;
    EXPECT_EQ(WinMain(nullptr, nullptr, nullptr, 0), 0);
    EXPECT_EQ(events, expected({"first: construct", "first: init after 0 frames", "first: render 1", "first: render 2",
                                "first: cleanup", "first: delete", "second: construct",
                                "second: init after 1 frames", "second: render 1", "second: render 2", "second: cleanup",
                                "second: delete"}));
}

TEST_F(FrameLoopTest, AFailedFirstInitDrawsNothingAndCleansNothingUp) {
    scripts[0].initResult = false;
    EXPECT_EQ(WinMain(nullptr, nullptr, nullptr, 0), 0);
    EXPECT_EQ(events, expected({"first: construct", "first: init after 0 frames", "first: delete"}));
}

TEST_F(FrameLoopTest, AFailedSecondInitEndsTheDemoAfterThatPass) {
    scripts[0].finishOnFrame = 1;
    scripts[1].initResult = false;
    EXPECT_EQ(WinMain(nullptr, nullptr, nullptr, 0), 0);
    EXPECT_EQ(events, expected({"first: construct", "first: init after 0 frames", "first: render 1", "first: cleanup",
                                "first: delete", "second: construct", "second: init after 0 frames", "second: delete"}));
}

TEST_F(FrameLoopTest, AFailedStepEndsTheLoopAfterItsFrameWithoutCleanup) {
    scripts[0].failStepOnFrame = 3;
    EXPECT_EQ(WinMain(nullptr, nullptr, nullptr, 0), 0);
    EXPECT_EQ(events, expected({"first: construct", "first: init after 0 frames", "first: render 1", "first: render 2",
                                "first: render 3", "first: delete"}));
}

TEST_F(FrameLoopTest, EscapeEndsTheDemoWhileTheWindowIsActive) {
    scripts[0].postOnFrame = 2;
    scripts[0].posted = {message(WM_KEYDOWN, VK_ESCAPE)};
    EXPECT_EQ(WinMain(nullptr, nullptr, nullptr, 0), 0) << "Escape is a normal end, not the key's code";
    EXPECT_EQ(events, expected({"first: construct", "first: init after 0 frames", "first: render 1", "first: render 2",
                                "first: delete"}));
}

TEST_F(FrameLoopTest, EscapeIsIgnoredWhileMinimized) {
    scripts[0].postOnFrame = 1;
    scripts[0].posted = {message(WM_ACTIVATE, WA_INACTIVE | (1u << 16)), message(WM_KEYDOWN, VK_ESCAPE)};
    scripts[0].safetyFrames = 5;
    EXPECT_EQ(WinMain(nullptr, nullptr, nullptr, 0), 0);
    EXPECT_EQ(events.size(), 2u + 5u + 1u) << "five frames ran until the window was closed";
    EXPECT_EQ(events.back(), "first: delete");
}

TEST_F(FrameLoopTest, AQuickEscapeTapWithinOnePassStillEndsTheDemo) {
    // Press and release both wait in the queue, so one drain sets and clears keys[VK_ESCAPE].
    scripts[0].postOnFrame = 2;
    scripts[0].posted = {message(WM_KEYDOWN, VK_ESCAPE), message(WM_KEYUP, VK_ESCAPE)};
    EXPECT_EQ(WinMain(nullptr, nullptr, nullptr, 0), 0);
    EXPECT_EQ(events, expected({"first: construct", "first: init after 0 frames", "first: render 1", "first: render 2",
                                "first: delete"}));
}

TEST_F(FrameLoopTest, ATapIsHonouredOnceAndOnlyIfPressedWhileActive) {
    // A tap while minimized, then restoring the window: no Escape was pressed while active.
    scripts[0].postOnFrame = 1;
    scripts[0].posted = {message(WM_ACTIVATE, WA_INACTIVE | (1u << 16)), message(WM_KEYDOWN, VK_ESCAPE),
                         message(WM_KEYUP, VK_ESCAPE), message(WM_ACTIVATE, WA_ACTIVE)};
    scripts[0].safetyFrames = 4;
    EXPECT_EQ(WinMain(nullptr, nullptr, nullptr, 0), 0);
    EXPECT_EQ(events.size(), 2u + 4u + 1u) << "four frames ran until the window was closed";

    // A tap that arrives together with a quit message is never tested; the next run
    // starts without it.
    events.clear();
    scripts[0] = Script{};
    scripts[0].postOnFrame = 3;
    scripts[0].posted = {message(WM_KEYDOWN, VK_ESCAPE), message(WM_KEYUP, VK_ESCAPE)};
    scripts[0].quitCodeOnFrame = 3;
    scripts[0].quitCode = 5;
    EXPECT_EQ(WinMain(nullptr, nullptr, nullptr, 0), 5);
    EXPECT_EQ(events.size(), 2u + 3u + 1u);

    events.clear();
    scripts[0] = Script{};
    scripts[0].safetyFrames = 2;
    EXPECT_EQ(WinMain(nullptr, nullptr, nullptr, 0), 0);
    EXPECT_EQ(events.size(), 2u + 2u + 1u) << "a fresh run is not ended by the earlier tap";
}

TEST_F(FrameLoopTest, QuitMessageEndsTheLoopWithItsCode) {
    scripts[0].quitCodeOnFrame = 2;
    scripts[0].quitCode = 7;
    EXPECT_EQ(WinMain(nullptr, nullptr, nullptr, 0), 7);
    EXPECT_EQ(events, expected({"first: construct", "first: init after 0 frames", "first: render 1", "first: render 2",
                                "first: delete"}));
}

TEST_F(FrameLoopTest, ClosingTheWindowReturnsZero) {
    scripts[0].safetyFrames = 3;
    EXPECT_EQ(WinMain(nullptr, nullptr, nullptr, 0), 0);
    EXPECT_EQ(events.size(), 2u + 3u + 1u);
}

}  // namespace
