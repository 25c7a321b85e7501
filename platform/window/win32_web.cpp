// The Win32-style window layer in a browser page (platform/window/win32.h for the
// calls): the one window is the page's 1024 x 768 canvas, its GL context a WebGL 2
// context with the fixed-function emulation, and the message pump reads the
// page's events (win32_web.js).
//
// How it maps:
// - CreateWindowExA makes the window record; wglCreateContext makes the WebGL
//   context on the canvas (fails where the browser has none). The client area is
//   the size asked for: the page scales the canvas, 4:3 with black around it.
// - ChangeDisplaySettingsA succeeds: full screen is the page's (it asked for it
//   on the click that started the demo).
// - The pump delivers key presses and releases with the browser's key codes, which
//   are the Windows virtual-key codes for every key the demo reads. Leaving full
//   screen (the browser's own use of the first Escape) arrives as a tap of Escape,
//   so it ends the demo as Escape does. A hidden tab is an inactive window.
// - SwapBuffers hands the frame to the browser: the program's loop sleeps (under
//   Asyncify) until the next animation frame, when the browser has shown this one.
// - The page's still mode (`?still=S`) steps the demo's clock one second per frame
//   as a 1 fps capture does (scene time exact, loading taking no time), shows the
//   frame at S and stops there; its test mode (`?speed=N`) runs the clock N times
//   faster.
#include <emscripten.h>

#include <cstdint>
#include <deque>
#include <string>

#include "platform/clock/tick_count.h"
#include "platform/window/win32.h"

extern "C" {
// win32_web.js
int okuWebCreateContext(int width, int height);
void okuWebDeleteContext();
int okuWebNextEvent(int* message, int* wParam);
double okuWebNow();
int okuWebStillSecond();
double okuWebClockSpeed();
void okuWebFramePresented(int frame);
void okuWebStillShown(int second);
void okuWebWaitForNextFrame();
void okuWebSetCursorHidden(int hidden);
}

struct WindowObject;

struct DeviceContextObject {
    HWND window = nullptr;
    int pixelFormat = 0;
    DWORD presentedFrames = 0;
};

struct RenderContextObject {
    bool made = false;
};

struct WindowObject {
    WNDPROC procedure = nullptr;
    std::string className;
    int width = 0;
    int height = 0;
    bool active = false;
    DeviceContextObject deviceContext;
};

namespace {

struct WindowClass {
    std::string name;
    WNDPROC procedure = nullptr;
};

struct Layer {
    std::deque<WindowClass> classes;
    WindowObject* window = nullptr;
    RenderContextObject* context = nullptr;
    std::deque<MSG> queue;
    bool quitPosted = false;
    int quitCode = 0;
    PresentHook presentHook;
    int cursorCounter = 0;
    POINT cursor{0, 0};
    bool clockInstalled = false;
};

Layer& layer() {
    static Layer instance;
    return instance;
}

MSG makeMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    MSG msg{};
    msg.hwnd = window;
    msg.message = message;
    msg.wParam = wParam;
    msg.lParam = lParam;
    msg.time = GetTickCount();
    return msg;
}

LRESULT deliver(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (!window || !window->procedure) return 0;
    return window->procedure(window, message, wParam, lParam);
}

void activate(HWND window, bool active) {
    if (!window || window->active == active) return;
    window->active = active;
    deliver(window, WM_ACTIVATE, active ? WA_ACTIVE : WA_INACTIVE, 0);
}

// The page's clock modes, installed once a window exists (the demo's clock starts
// with its first scene, after the window).
void installPageClock() {
    Layer& l = layer();
    if (l.clockInstalled) return;
    l.clockInstalled = true;
    if (okuWebStillSecond() >= 0) {
        setTickSource([] {
            const WindowObject* window = layer().window;
            return static_cast<uint32_t>(window ? window->deviceContext.presentedFrames * 1000u : 0u);
        });
        return;
    }
    const double speed = okuWebClockSpeed();
    if (speed != 1.0) {
        const double start = okuWebNow();
        setTickSource([start, speed] { return static_cast<uint32_t>(static_cast<uint64_t>((okuWebNow() - start) * speed)); });
    }
}

// Moves the page's pending events into the queue.
void pumpPageEvents() {
    Layer& l = layer();
    int message = 0, wParam = 0;
    while (okuWebNextEvent(&message, &wParam)) {
        if (!l.window) continue;
        const UINT type = static_cast<UINT>(message);
        if (type == WM_ACTIVATE) {
            activate(l.window, wParam != 0);
            continue;
        }
        LPARAM lParam = 1;
        if (type == WM_KEYUP) lParam |= static_cast<LPARAM>(3u << 30);
        l.queue.push_back(makeMessage(l.window, type, static_cast<WPARAM>(wParam), lParam));
    }
}

}  // namespace

HINSTANCE GetModuleHandleA(LPCSTR) {
    static int module = 0;
    return reinterpret_cast<HINSTANCE>(&module);
}

WORD RegisterClassA(const WNDCLASSA* windowClass) {
    if (!windowClass || !windowClass->lpszClassName || !windowClass->lpfnWndProc) return 0;
    Layer& l = layer();
    for (const WindowClass& known : l.classes) {
        if (known.name == windowClass->lpszClassName) return 0;
    }
    l.classes.push_back({windowClass->lpszClassName, windowClass->lpfnWndProc});
    return static_cast<WORD>(l.classes.size());
}

BOOL UnregisterClassA(LPCSTR className, HINSTANCE) {
    Layer& l = layer();
    for (auto it = l.classes.begin(); it != l.classes.end(); ++it) {
        if (className && it->name == className) {
            l.classes.erase(it);
            return TRUE;
        }
    }
    return FALSE;
}

LONG ChangeDisplaySettingsA(DEVMODEA*, DWORD) { return DISP_CHANGE_SUCCESSFUL; }

BOOL AdjustWindowRectEx(RECT* rect, DWORD, BOOL, DWORD) { return rect ? TRUE : FALSE; }

HWND CreateWindowExA(DWORD, LPCSTR className, LPCSTR, DWORD, int, int, int width, int height, HWND, HMENU,
                     HINSTANCE, void*) {
    Layer& l = layer();
    if (l.window || !className) return nullptr;  // the page has one canvas
    WNDPROC procedure = nullptr;
    for (const WindowClass& known : l.classes) {
        if (known.name == className) procedure = known.procedure;
    }
    if (!procedure) return nullptr;
    auto* window = new WindowObject();
    window->procedure = procedure;
    window->className = className;
    window->width = width;
    window->height = height;
    window->deviceContext.window = window;
    l.window = window;
    return window;
}

BOOL DestroyWindow(HWND window) {
    Layer& l = layer();
    if (!window || window != l.window) return FALSE;
    deliver(window, WM_DESTROY, 0, 0);
    l.window = nullptr;
    l.queue.clear();
    delete window;
    return TRUE;
}

BOOL ShowWindow(HWND window, int command) {
    if (!window) return FALSE;
    if (command != SW_HIDE) activate(window, true);
    return TRUE;
}

BOOL SetForegroundWindow(HWND window) {
    if (!window) return FALSE;
    activate(window, true);
    return TRUE;
}

HWND SetFocus(HWND window) { return window; }

BOOL GetClientRect(HWND window, RECT* rect) {
    if (!window || !rect) return FALSE;
    *rect = RECT{0, 0, window->width, window->height};
    return TRUE;
}

HDC GetDC(HWND window) { return window ? &window->deviceContext : nullptr; }

int ReleaseDC(HWND window, HDC deviceContext) {
    return window && deviceContext == &window->deviceContext ? 1 : 0;
}

int ChoosePixelFormat(HDC deviceContext, const PIXELFORMATDESCRIPTOR* request) {
    return deviceContext && request ? 1 : 0;
}

BOOL SetPixelFormat(HDC deviceContext, int format, const PIXELFORMATDESCRIPTOR*) {
    if (!deviceContext || format != 1) return FALSE;
    deviceContext->pixelFormat = format;
    return TRUE;
}

int DescribePixelFormat(HDC deviceContext, int format, UINT bytes, PIXELFORMATDESCRIPTOR* description) {
    if (!deviceContext || format != 1) return 0;
    if (description && bytes >= sizeof(PIXELFORMATDESCRIPTOR)) {
        *description = PIXELFORMATDESCRIPTOR{};
        description->nSize = sizeof(PIXELFORMATDESCRIPTOR);
        description->nVersion = 1;
        description->dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
        description->iPixelType = PFD_TYPE_RGBA;
        description->cColorBits = 32;
        description->cDepthBits = 24;
    }
    return 1;
}

HGLRC wglCreateContext(HDC deviceContext) {
    Layer& l = layer();
    if (!deviceContext || !deviceContext->pixelFormat || l.context) return nullptr;
    const HWND window = deviceContext->window;
    if (!okuWebCreateContext(window->width, window->height)) return nullptr;
    l.context = new RenderContextObject{true};
    installPageClock();
    return l.context;
}

BOOL wglMakeCurrent(HDC deviceContext, HGLRC renderContext) {
    if (!renderContext) return TRUE;  // the page's one context stays current until deleted
    return deviceContext && renderContext == layer().context ? TRUE : FALSE;
}

BOOL wglDeleteContext(HGLRC renderContext) {
    Layer& l = layer();
    if (!renderContext || renderContext != l.context) return FALSE;
    okuWebDeleteContext();
    delete l.context;
    l.context = nullptr;
    return TRUE;
}

BOOL SwapBuffers(HDC deviceContext) {
    if (!deviceContext || !layer().context) return FALSE;
    if (layer().presentHook) layer().presentHook(deviceContext);
    const int frame = static_cast<int>(deviceContext->presentedFrames);
    okuWebFramePresented(frame);
    const int still = okuWebStillSecond();
    if (still >= 0 && frame >= still) {
        // The still is on the canvas: the browser shows it, nothing draws over it.
        okuWebStillShown(still);
        for (;;) emscripten_sleep(1000);
    }
    ++deviceContext->presentedFrames;
    okuWebWaitForNextFrame();
    return TRUE;
}

DWORD GetPresentedFrameCount(HDC deviceContext) { return deviceContext ? deviceContext->presentedFrames : 0; }

void SetPresentHook(PresentHook hook) { layer().presentHook = std::move(hook); }

// The page's canvas is never a screen of its own: nothing to allow.
void SetFullScreenAllowed(bool) {}

BOOL PeekMessageA(MSG* message, HWND window, UINT, UINT, UINT removeFlags) {
    Layer& l = layer();
    if (!message) return FALSE;
    pumpPageEvents();
    for (auto it = l.queue.begin(); it != l.queue.end(); ++it) {
        if (window && it->hwnd != window) continue;
        *message = *it;
        if (removeFlags & PM_REMOVE) l.queue.erase(it);
        return TRUE;
    }
    if (l.quitPosted) {
        *message = makeMessage(nullptr, WM_QUIT, static_cast<WPARAM>(l.quitCode), 0);
        if (removeFlags & PM_REMOVE) l.quitPosted = false;
        return TRUE;
    }
    return FALSE;
}

BOOL TranslateMessage(const MSG*) { return FALSE; }

LRESULT DispatchMessageA(const MSG* message) {
    if (!message || !message->hwnd || message->hwnd != layer().window) return 0;
    return deliver(message->hwnd, message->message, message->wParam, message->lParam);
}

void PostQuitMessage(int exitCode) {
    layer().quitPosted = true;
    layer().quitCode = exitCode;
}

BOOL PostMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    Layer& l = layer();
    if (!window || window != l.window) return FALSE;
    l.queue.push_back(makeMessage(window, message, wParam, lParam));
    return TRUE;
}

LRESULT DefWindowProcA(HWND, UINT, WPARAM, LPARAM) { return 0; }

int ShowCursor(BOOL show) {
    Layer& l = layer();
    l.cursorCounter += show ? 1 : -1;
    okuWebSetCursorHidden(l.cursorCounter < 0 ? 1 : 0);
    return l.cursorCounter;
}

// A page cannot move the pointer: the position is only remembered.
BOOL SetCursorPos(int x, int y) {
    layer().cursor = POINT{x, y};
    return TRUE;
}

BOOL GetCursorPos(POINT* point) {
    if (!point) return FALSE;
    *point = layer().cursor;
    return TRUE;
}
