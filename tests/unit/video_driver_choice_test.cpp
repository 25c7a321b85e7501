// Which video drivers the window layer starts, and its brief retries of a busy display.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/window/video_driver_choice.h"

namespace {

const std::vector<std::string> debianSdl = {"x11", "wayland", "KMSDRM", "offscreen", "dummy", "evdev"};

VideoEnvironment environment(const char* requested, const char* display, const char* wayland) {
    VideoEnvironment e;
    e.requestedDriver = requested;
    e.x11Display = display;
    e.waylandDisplay = wayland;
    return e;
}

TEST(VideoDriverChoice, OnlyDesktopDriversWithANamedDisplayAreTried) {
    EXPECT_EQ(chooseVideoDrivers(environment(nullptr, ":0", nullptr), debianSdl).drivers, "x11");
    EXPECT_EQ(chooseVideoDrivers(environment(nullptr, nullptr, "wayland-0"), debianSdl).drivers, "wayland");
    EXPECT_EQ(chooseVideoDrivers(environment(nullptr, ":0", "wayland-0"), debianSdl).drivers, "x11,wayland");
    EXPECT_EQ(chooseVideoDrivers(environment("", ":1", ""), debianSdl).drivers, "x11") << "empty is unset";

    // No display at all: no driver, so SDL's off-screen fallback is never reached.
    VideoDriverChoice none = chooseVideoDrivers(environment(nullptr, nullptr, nullptr), debianSdl);
    EXPECT_EQ(none.drivers, "");
    EXPECT_NE(std::string(none.whyNone).find("DISPLAY"), std::string::npos);
    EXPECT_EQ(chooseVideoDrivers(environment(nullptr, "", ""), debianSdl).drivers, "");

    // An SDL without the named display's driver.
    VideoDriverChoice missing = chooseVideoDrivers(environment(nullptr, ":0", nullptr), {"wayland", "offscreen"});
    EXPECT_EQ(missing.drivers, "");
    EXPECT_NE(std::string(missing.whyNone), "");
}

TEST(VideoDriverChoice, ADriverTheUserNamesIsHonouredAsGiven) {
    EXPECT_EQ(chooseVideoDrivers(environment("offscreen", nullptr, nullptr), debianSdl).drivers, "offscreen");
    EXPECT_EQ(chooseVideoDrivers(environment("wayland,x11", ":0", nullptr), debianSdl).drivers, "wayland,x11");
    EXPECT_EQ(chooseVideoDrivers(environment("dummy", ":0", nullptr), {"x11"}).drivers, "dummy")
        << "SDL itself says whether it has it";
}

TEST(VideoDriverChoice, ABusyDisplayIsRetriedBrieflyAndNothingIsRetriedWithoutOne) {
    VideoDriverChoice named = chooseVideoDrivers(environment(nullptr, ":0", nullptr), debianSdl);
    EXPECT_GT(named.attempts, 1);
    EXPECT_EQ(chooseVideoDrivers(environment("offscreen", nullptr, nullptr), debianSdl).attempts, 1);

    // Fails twice (a refused connection), then comes up.
    std::vector<int> waits;
    int starts = 0;
    EXPECT_TRUE(startVideoWithRetries(
        named,
        [&](const std::string& drivers) {
            EXPECT_EQ(drivers, "x11");
            return ++starts == 3;
        },
        [&](int ms) { waits.push_back(ms); }));
    EXPECT_EQ(starts, 3);
    ASSERT_EQ(waits.size(), 2u);
    EXPECT_GT(waits[0], 0);
    EXPECT_EQ(waits[1], 2 * waits[0]);

    // A display that never answers: every attempt, then give up within a second of waiting.
    waits.clear();
    starts = 0;
    EXPECT_FALSE(startVideoWithRetries(named, [&](const std::string&) { return ++starts, false; },
                                       [&](int ms) { waits.push_back(ms); }));
    EXPECT_EQ(starts, named.attempts);
    int waited = 0;
    for (int ms : waits) waited += ms;
    EXPECT_LE(waited, 1000);

    // Nothing to start: no attempt at all.
    starts = 0;
    EXPECT_FALSE(startVideoWithRetries(chooseVideoDrivers(environment(nullptr, nullptr, nullptr), debianSdl),
                                       [&](const std::string&) { return ++starts, true; }, [](int) {}));
    EXPECT_EQ(starts, 0);
}

}  // namespace
