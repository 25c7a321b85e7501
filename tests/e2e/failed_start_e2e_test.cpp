// Starting the demo where it cannot get a window or an OpenGL context: it ends at
// once with status 1, saying in one line what could not be set up.
#include <gtest/gtest.h>

#include <map>
#include <ostream>
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

using Environment = std::map<std::string, std::string>;

// No display at all: SDL's video is never tried on anything.
const Environment noDisplay = {{"DISPLAY", ChildProcess::unset},
                               {"WAYLAND_DISPLAY", ChildProcess::unset},
                               {"SDL_VIDEODRIVER", ChildProcess::unset},
                               {"SDL_AUDIODRIVER", "dummy"}};

struct StartCase {
    const char* name;
    Environment environment;
    std::string mention;  // what the one line names
};

// Named by its case in ctest's list, rather than by its bytes.
void PrintTo(const StartCase& c, std::ostream* out) { *out << c.name; }

class FailedStart : public ::testing::TestWithParam<StartCase> {};

TEST_P(FailedStart, EndsAtOnceWithStatusOneAndOneLineSayingWhat) {
    ChildProcess run(demo, GetParam().environment, OKU_RUN_DIR);
    ASSERT_TRUE(run.started()) << demo;
    ASSERT_TRUE(run.waitFor(deadlineSeconds)) << "still running after " << deadlineSeconds
                                              << " s: the demo plays without a window";
    EXPECT_EQ(run.signal, 0);
    EXPECT_EQ(run.exitCode, 1) << "a start that failed is not reported as success";
    EXPECT_EQ(lineCount(run.stderrText), 1) << run.stderrText;
    EXPECT_NE(run.stderrText.find(GetParam().mention), std::string::npos) << run.stderrText;
}

// The last two run on the test's own display, where a window opens but the GL the
// demo asks for cannot be had.
INSTANTIATE_TEST_SUITE_P(
    Causes, FailedStart,
    ::testing::Values(StartCase{"NoDisplayNamed", noDisplay, "No display to open a window on: neither DISPLAY"},
                      StartCase{"ADisplayThatDoesNotAnswerIsTriedBrieflyThenGivenUp",
                                  {{"DISPLAY", ":4711"},
                                   {"WAYLAND_DISPLAY", ChildProcess::unset},
                                   {"SDL_VIDEODRIVER", ChildProcess::unset},
                                   {"SDL_AUDIODRIVER", "dummy"}},
                                  "No display to open a window on (tried x11)"},
                      StartCase{"NoGlDriverForTheWindow",
                                  {{"SDL_VIDEO_X11_FORCE_EGL", "1"},
                                   {"__EGL_VENDOR_LIBRARY_FILENAMES", "/nonexistent.json"},
                                   {"SDL_AUDIODRIVER", "dummy"}},
                                  "oku: could not start: Window Creation Error."},
                      StartCase{"NoContextOfTheGlTheDemoNeeds",
                                  {{"MESA_GL_VERSION_OVERRIDE", "1.1"}, {"SDL_AUDIODRIVER", "dummy"}},
                                  "oku: could not start: Can't Create A GL Rendering Context."}),
    [](const ::testing::TestParamInfo<StartCase>& info) { return std::string(info.param.name); });

TEST(StartWithoutDisplay, TheWindowNeverOpensSoNoFrameIsDrawn) {
    // The shell's own log shows start-up ending at its first window step.
    Environment logged = noDisplay;
    logged["OKU_DEBUG_LOG"] = "1";
    ChildProcess run(demo, logged, OKU_RUN_DIR);
    ASSERT_TRUE(run.waitFor(deadlineSeconds));
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.stderrText.find("Failed To Register The Window Class."), std::string::npos) << run.stderrText;
    EXPECT_EQ(run.stderrText.find("FMOD"), std::string::npos) << "the sound system is never started";
}

}  // namespace
