// The demo on screens of other sizes (each its own Xvfb): the 4:3 picture fills the screen's height or width,
// centred, black around it, and the screen's mode stays as it was; and where the demo looks for its data.
#include <gtest/gtest.h>

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <thread>

#include "support/child_process.h"

namespace {

namespace fs = std::filesystem;
const std::string demo = std::string(OKU_RUN_DIR) + "/oku";

// An X server of its own with one screen of the given size.
struct OwnScreen {
    OwnScreen(int width, int height) {
        for (int n = 70; n < 90 && name.empty(); ++n)
            if (!fs::exists("/tmp/.X" + std::to_string(n) + "-lock")) name = ":" + std::to_string(n);
        server = std::make_unique<ChildProcess>(
            "/usr/bin/Xvfb", std::map<std::string, std::string>{}, "/",
            std::vector<std::string>{name, "-screen", "0", std::to_string(width) + "x" + std::to_string(height) + "x24",
                                     "-nolisten", "tcp"});
        for (int i = 0; i < 100 && !display; ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
            display = XOpenDisplay(name.c_str());
        }
    }
    ~OwnScreen() {
        if (display) XCloseDisplay(display);
    }
    std::string name;
    std::unique_ptr<ChildProcess> server;
    Display* display = nullptr;
};

bool isBlack(XImage* image, int x, int y) { return (XGetPixel(image, x, y) & 0xFFFFFF) == 0; }

int litRows(XImage* image, int x) {
    int lit = 0;
    for (int y = 0; y < image->height; ++y) lit += !isBlack(image, x, y);
    return lit;
}

struct ScreenCase {
    int width, height;
    int pictureX, pictureWidth;  // where the picture must stand: the screen's full height, centred
};

class FullScreen : public ::testing::TestWithParam<ScreenCase> {};

TEST_P(FullScreen, ThePictureFillsTheScreenCentredWithBlackAroundAndTheModeStays) {
    const ScreenCase screen = GetParam();
    OwnScreen x(screen.width, screen.height);
    ASSERT_NE(x.display, nullptr) << "no Xvfb on " << x.name;
    ChildProcess run(demo, {{"DISPLAY", x.name}, {"SDL_AUDIODRIVER", "dummy"}}, OKU_RUN_DIR);

    // Wait for the first frames: the middle of the screen and of both picture edges lit.
    XImage* image = nullptr;
    const int left = screen.pictureX, right = screen.pictureX + screen.pictureWidth - 1;
    for (int tries = 0; tries < 240 && run.running(); ++tries) {
        if (image) XDestroyImage(image);
        image = XGetImage(x.display, DefaultRootWindow(x.display), 0, 0, screen.width, screen.height, AllPlanes,
                          ZPixmap);
        if (image && litRows(image, left) > screen.height * 9 / 10 && litRows(image, right) > screen.height * 9 / 10)
            break;
        std::this_thread::sleep_for(std::chrono::milliseconds(500));
    }
    ASSERT_NE(image, nullptr);
    EXPECT_GT(litRows(image, left), screen.height * 9 / 10) << run.stderrText;
    EXPECT_GT(litRows(image, right), screen.height * 9 / 10);
    for (int column : {0, left - 1, right + 1, screen.width - 1}) {
        if (column >= left && column <= right) continue;
        EXPECT_EQ(litRows(image, column), 0) << "column " << column << " is outside the picture";
    }
    XDestroyImage(image);
    EXPECT_EQ(DisplayWidth(x.display, 0), screen.width) << "the screen's mode was changed";
    EXPECT_EQ(DisplayHeight(x.display, 0), screen.height);
    EXPECT_TRUE(run.running()) << run.stderrText;
}

INSTANTIATE_TEST_SUITE_P(Screens, FullScreen,
                         ::testing::Values(ScreenCase{1920, 1080, 240, 1440}, ScreenCase{1024, 768, 0, 1024}),
                         [](const auto& info) {
                             return std::to_string(info.param.width) + "x" + std::to_string(info.param.height);
                         });

// Started without a display, the demo gets as far as opening its window: that far it
// has found its data (or said it could not).
ChildProcess startWithoutDisplay(const std::string& program, const std::string& workingDirectory) {
    return ChildProcess(program, {{"DISPLAY", ChildProcess::unset}, {"WAYLAND_DISPLAY", ChildProcess::unset},
                                  {"SDL_VIDEODRIVER", ChildProcess::unset}, {"SDL_AUDIODRIVER", "dummy"}},
                        workingDirectory);
}

TEST(DataFolder, StartedFromElsewhereTheDemoFindsTheDataBesideIt) {
    const fs::path elsewhere = fs::temp_directory_path() / ("oku-elsewhere-" + std::to_string(getpid()));
    fs::create_directories(elsewhere);
    ChildProcess run = startWithoutDisplay(demo, elsewhere.string());
    ASSERT_TRUE(run.waitFor(60.0));
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.stderrText.find("The demo's data"), std::string::npos) << run.stderrText;
    EXPECT_NE(run.stderrText.find("No display"), std::string::npos) << run.stderrText;
    fs::remove_all(elsewhere);
}

TEST(DataFolder, WithDataNeitherHereNorBesideTheProgramItSaysWhereItLookedAndEnds) {
    const fs::path scratch = fs::temp_directory_path() / ("oku-nodata-" + std::to_string(getpid()));
    const fs::path lonely = scratch / "bin", here = scratch / "here";
    fs::create_directories(lonely);
    fs::create_directories(here);
    std::error_code linked;
    fs::create_hard_link(demo, lonely / "oku", linked);
    if (linked) fs::copy_file(demo, lonely / "oku");
    ChildProcess run = startWithoutDisplay((lonely / "oku").string(), here.string());
    ASSERT_TRUE(run.waitFor(60.0));
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.stderrText.find(here.string()), std::string::npos) << run.stderrText;
    EXPECT_NE(run.stderrText.find(lonely.string()), std::string::npos) << run.stderrText;
    EXPECT_EQ(run.stderrText.find("No display"), std::string::npos) << "no window is opened";
    fs::remove_all(scratch);
}

}  // namespace
