// Starting the demo where no display can be reached: it says why and ends at once.
#include <gtest/gtest.h>

#include <string>

#include "support/child_process.h"

namespace {

const std::string demo = std::string(OKU_RUN_DIR) + "/oku";

// Long enough for a slow sanitized start-up; the demo's scenes alone last minutes,
// so a demo that plays without a window is still running here.
const double deadlineSeconds = 30.0;

int lineCount(const std::string& text) {
    int lines = 0;
    for (char c : text) lines += c == '\n';
    return lines;
}

void expectAQuietEndWithOneLine(ChildProcess& run, const char* mention) {
    ASSERT_TRUE(run.started()) << demo;
    ASSERT_TRUE(run.waitFor(deadlineSeconds)) << "still running after " << deadlineSeconds
                                              << " s: the demo plays without a window";
    EXPECT_EQ(run.signal, 0);
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(lineCount(run.stderrText), 1) << run.stderrText;
    EXPECT_NE(run.stderrText.find("No display"), std::string::npos) << run.stderrText;
    EXPECT_NE(run.stderrText.find(mention), std::string::npos) << run.stderrText;
}

TEST(StartWithoutDisplay, NoDisplayNamedEndsAtOnceSayingWhy) {
    ChildProcess run(demo,
                     {{"DISPLAY", ChildProcess::unset},
                      {"WAYLAND_DISPLAY", ChildProcess::unset},
                      {"SDL_VIDEODRIVER", ChildProcess::unset},
                      {"SDL_AUDIODRIVER", "dummy"}},
                     OKU_RUN_DIR);
    expectAQuietEndWithOneLine(run, "DISPLAY");
}

TEST(StartWithoutDisplay, ADisplayThatDoesNotAnswerIsTriedBrieflyThenGivenUp) {
    ChildProcess run(demo,
                     {{"DISPLAY", ":4711"},
                      {"WAYLAND_DISPLAY", ChildProcess::unset},
                      {"SDL_VIDEODRIVER", ChildProcess::unset},
                      {"SDL_AUDIODRIVER", "dummy"}},
                     OKU_RUN_DIR);
    expectAQuietEndWithOneLine(run, "x11");
}

TEST(StartWithoutDisplay, TheWindowNeverOpensSoNoFrameIsDrawn) {
    // The shell's own log shows start-up ending at its first window step.
    ChildProcess run(demo,
                     {{"DISPLAY", ChildProcess::unset},
                      {"WAYLAND_DISPLAY", ChildProcess::unset},
                      {"SDL_VIDEODRIVER", ChildProcess::unset},
                      {"SDL_AUDIODRIVER", "dummy"},
                      {"OKU_DEBUG_LOG", "1"}},
                     OKU_RUN_DIR);
    ASSERT_TRUE(run.waitFor(deadlineSeconds));
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_NE(run.stderrText.find("Failed To Register The Window Class."), std::string::npos) << run.stderrText;
    EXPECT_EQ(run.stderrText.find("FMOD"), std::string::npos) << "the sound system is never started";
}

}  // namespace
