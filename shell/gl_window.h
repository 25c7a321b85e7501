// The demo's one window with its OpenGL context: creation (full screen, falling
// back to a window of the same client size), the initial GL state, the viewport
// kept in step with the window size, and the window procedure.
#pragma once

#include "platform/window/win32.h"

bool openWindow(const char* title, int width, int height, int bits, bool fullscreen);
void closeWindow();
void resizeView(int width, int height);
bool initGLState();
LRESULT windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
