#include "platform/window/video_driver_choice.h"

#include <algorithm>

namespace {

struct DesktopDriver {
    const char* name;
    const char* VideoEnvironment::*display;
};
const DesktopDriver desktopDrivers[] = {{"x11", &VideoEnvironment::x11Display},
                                        {"wayland", &VideoEnvironment::waylandDisplay}};
const int tries = 4;              // 50 + 100 + 200 ms of waiting at most
const int firstRetryDelayMs = 50;

bool isSet(const char* value) { return value && *value; }

}  // namespace

VideoDriverChoice chooseVideoDrivers(const VideoEnvironment& environment, const std::vector<std::string>& available) {
    VideoDriverChoice choice;
    if (isSet(environment.requestedDriver)) {
        choice.drivers = environment.requestedDriver;
    } else {
        bool displayNamed = false;
        for (const DesktopDriver& driver : desktopDrivers) {
            if (!isSet(environment.*driver.display)) continue;
            displayNamed = true;
            if (std::find(available.begin(), available.end(), driver.name) == available.end()) continue;
            if (!choice.drivers.empty()) choice.drivers += ",";
            choice.drivers += driver.name;
        }
        if (!displayNamed)
            choice.whyNone = "neither DISPLAY nor WAYLAND_DISPLAY names a display";
        else if (choice.drivers.empty())
            choice.whyNone = "SDL was built without a driver for the named display";
    }
    if (!choice.drivers.empty() && (isSet(environment.x11Display) || isSet(environment.waylandDisplay))) {
        choice.attempts = tries;
        choice.retryDelayMs = firstRetryDelayMs;
    }
    return choice;
}

bool startVideoWithRetries(const VideoDriverChoice& choice, const std::function<bool(const std::string&)>& start,
                           const std::function<void(int milliseconds)>& wait) {
    if (choice.drivers.empty()) return false;
    int delay = choice.retryDelayMs;
    for (int attempt = 0; attempt < choice.attempts; ++attempt) {
        if (attempt > 0) {
            wait(delay);
            delay *= 2;
        }
        if (start(choice.drivers)) return true;
    }
    return false;
}
