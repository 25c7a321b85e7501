// The one process-wide state of the demo: window and context handles, the
// activation and key flags the window procedure keeps, the shared sound system
// and the input object. Static storage: it exists before WinMain starts.
#pragma once

#include "platform/shader/cg.h"
#include "platform/sound/fmod.h"
#include "platform/window/win32.h"
#include "shell/input_control.h"

struct DemoApp {
    bool fullscreen = false;
    bool active = false;
    bool keys[256] = {};
    // Escape went down while the window was active, since the frame loop last tested
    // for it: a press and release that both arrive between two frames still count.
    bool escapePressed = false;
    HINSTANCE instanceHandle = nullptr;
    HWND windowHandle = nullptr;
    HDC deviceContext = nullptr;
    HGLRC renderContext = nullptr;
    CGcontext cgContext = nullptr;  // the shell's shader context; the indoor scene's programs live in it
    FMOD::System* fmodSystem = nullptr;
    // Constructed before WinMain runs (it hides the cursor), destroyed after it returns.
    InputControl input;
};

extern DemoApp demoApp;

int WinMain(HINSTANCE instance, HINSTANCE previousInstance, char* commandLine, int showCommand);
