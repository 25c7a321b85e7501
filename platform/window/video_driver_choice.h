// Which SDL video drivers the window layer may start, and how often it tries.
//
// Left to itself SDL falls back to its off-screen driver when no display can be
// reached, and the demo would then play with no window at all. The layer therefore
// asks only for the desktop drivers whose display is named in the environment (X11
// with DISPLAY, then Wayland with WAYLAND_DISPLAY), unless the user named a driver
// in SDL_VIDEODRIVER, which is honoured as given. A named display server that
// briefly refuses connections, as a busy X server does with "Resource temporarily
// unavailable", gets a few more tries a short while apart; with no display named
// there is nothing to wait for.
#pragma once

#include <functional>
#include <string>
#include <vector>

struct VideoEnvironment {
    const char* requestedDriver = nullptr;  // SDL_VIDEODRIVER
    const char* x11Display = nullptr;       // DISPLAY
    const char* waylandDisplay = nullptr;   // WAYLAND_DISPLAY
};

struct VideoDriverChoice {
    std::string drivers;  // SDL's driver list ("x11,wayland"); empty: none can be used
    const char* whyNone = "";  // when `drivers` is empty: why
    int attempts = 1;     // how many times the whole list is tried
    int retryDelayMs = 0; // the wait before the first retry; doubled for each further one
};

// `available` lists the drivers this SDL was built with, in any order.
VideoDriverChoice chooseVideoDrivers(const VideoEnvironment& environment, const std::vector<std::string>& available);

// Runs `start` with the chosen list until it succeeds or the attempts are spent,
// calling `wait` with the delay before each retry. Returns whether video came up.
bool startVideoWithRetries(const VideoDriverChoice& choice, const std::function<bool(const std::string&)>& start,
                           const std::function<void(int milliseconds)>& wait);
