#include "shell/input_control.h"

InputControl::InputControl() {
    for (int key = 0; key < 256; ++key) keyDown[key] = keyReleased[key] = false;
    SetCursorPos(0, 0);
    ShowCursor(FALSE);
    cursorHidden = true;
    sensitivity = 0.005f;
}

InputControl::~InputControl() {
    if (cursorHidden) {
        ShowCursor(TRUE);
        cursorHidden = false;
    }
}

void InputControl::centre(int width, int height) {
    centreX = width * 0.5f;
    centreY = height * 0.5f;
    returnCursorHome();
}

void InputControl::returnCursorHome() { SetCursorPos(static_cast<int>(centreX), static_cast<int>(centreY)); }

bool InputControl::handleMessage(UINT message, WPARAM wParam, LPARAM /*lParam*/) {
    switch (message) {
    case WM_KEYDOWN:
        if (wParam < 256) keyDown[wParam] = true;
        return true;
    case WM_KEYUP:
        if (wParam < 256) {
            if (keyDown[wParam]) keyReleased[wParam] = true;
            keyDown[wParam] = false;
        }
        return true;
    case WM_MOUSEMOVE: {
        POINT cursor{0, 0};
        GetCursorPos(&cursor);
        float x = static_cast<float>(cursor.x);
        float y = static_cast<float>(cursor.y);
        if (x == centreX && y == centreY) return true;
        accumulatedX += (x - centreX) * sensitivity;
        accumulatedY += (y - centreY) * sensitivity;
        returnCursorHome();
        return true;
    }
    case WM_LBUTTONDOWN:
        leftButtonDown = true;
        return true;
    case WM_LBUTTONUP:
        if (leftButtonDown) leftClicked = true;
        leftButtonDown = false;
        return true;
    default:
        return false;
    }
}

void InputControl::update() {
    for (bool& released : keyReleased) released = false;
    mouseDeltaX = accumulatedX;
    mouseDeltaY = accumulatedY;
    leftClicked = false;
    accumulatedX = accumulatedY = 0.0f;
}
