// The demo on screens of other sizes (each its own Xvfb): the 4:3 picture fills the screen's height or width,
// centred, black around it, and the screen's mode stays as it was; and where the demo looks for its data.
#include <gtest/gtest.h>

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
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
    // Ended with SIGTERM, so the server takes its lock file and socket with it: a
    // killed one leaves them behind, and the display numbers would run out.
    ~OwnScreen() {
        if (display) XCloseDisplay(display);
        if (server->started()) ::kill(server->processId(), SIGTERM);
        server->waitFor(5.0);
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
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(180);  // a sanitized start-up
    while (run.running() && std::chrono::steady_clock::now() < deadline) {
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
        if (column < 0 || column >= screen.width || (column >= left && column <= right)) continue;
        EXPECT_EQ(litRows(image, column), 0) << "column " << column << " is outside the picture";
    }
    XDestroyImage(image);
    EXPECT_EQ(DisplayWidth(x.display, 0) * 10000 + DisplayHeight(x.display, 0), screen.width * 10000 + screen.height)
        << "the screen's mode was changed";
}

INSTANTIATE_TEST_SUITE_P(Screens, FullScreen,
                         ::testing::Values(ScreenCase{1920, 1080, 240, 1440}, ScreenCase{1024, 768, 0, 1024}),
                         [](const auto& info) {
                             return std::to_string(info.param.width) + "x" + std::to_string(info.param.height);
                         });

// Started without a display from `workingDirectory`: the demo either gets as far as
// opening its window (so it found its data) or says where it looked for the data.
ChildProcess startWithoutDisplay(const fs::path& program, const fs::path& workingDirectory) {
    fs::create_directories(workingDirectory);
    return ChildProcess(program.string(), {{"DISPLAY", ChildProcess::unset}, {"WAYLAND_DISPLAY", ChildProcess::unset},
                                           {"SDL_VIDEODRIVER", ChildProcess::unset}, {"SDL_AUDIODRIVER", "dummy"}},
                        workingDirectory.string());
}

TEST(DataFolder, StartedFromElsewhereTheDemoFindsItsDataOrSaysWhereItLooked) {
    const fs::path scratch = fs::temp_directory_path() / ("oku-data-folder-" + std::to_string(getpid()));
    ChildProcess fromElsewhere = startWithoutDisplay(demo, scratch / "here");
    ASSERT_TRUE(fromElsewhere.waitFor(60.0));
    EXPECT_EQ(fromElsewhere.exitCode, 1) << "no window: the start failed, after the data was found";
    EXPECT_NE(fromElsewhere.stderrText.find("No display"), std::string::npos) << fromElsewhere.stderrText;

    // A copy of the program in a folder without data.
    const fs::path lonely = scratch / "bin";
    fs::create_directories(lonely);
    fs::copy_file(demo, lonely / "oku");
    ChildProcess nowhere = startWithoutDisplay(lonely / "oku", scratch / "here");
    ASSERT_TRUE(nowhere.waitFor(60.0));
    EXPECT_EQ(nowhere.exitCode, 1);
    EXPECT_NE(nowhere.stderrText.find((scratch / "here").string()), std::string::npos) << nowhere.stderrText;
    EXPECT_NE(nowhere.stderrText.find(lonely.string()), std::string::npos);
    EXPECT_EQ(nowhere.stderrText.find("No display"), std::string::npos) << "no window is opened";
    fs::remove_all(scratch);
}

}  // namespace
