// Collects keyboard and mouse input from the window's messages into per-frame
// state. It captures the mouse: the cursor is hidden for the whole run and put
// back to a home point at the middle of the screen after every move, so motion is
// measured as offsets from that point.
#pragma once

#include "platform/window/win32.h"

class InputControl {
public:
    InputControl();
    virtual ~InputControl();

    // Sets the home point to the middle of a width x height area and moves the cursor there.
    void centre(int width, int height);
    // True for the five messages the object consumes; anything else is left untouched.
    bool handleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    // Once per frame: publishes the motion since the last update and clears the one-frame flags.
    void update();

    bool keyDown[256];
    bool keyReleased[256];
    float mouseDeltaX = 0.0f;
    float mouseDeltaY = 0.0f;
    float accumulatedX = 0.0f;
    float accumulatedY = 0.0f;
    float sensitivity = 0.005f;
    bool leftButtonDown = false;
    bool leftClicked = false;
    bool cursorHidden = false;
    float centreX = 0.0f;
    float centreY = 0.0f;

private:
    void returnCursorHome();
};
