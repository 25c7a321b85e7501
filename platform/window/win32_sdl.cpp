// SDL2 backend of the Win32-style window layer (see platform/window/win32.h).
#include <SDL.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <string>
#include <vector>

#include "platform/window/video_driver_choice.h"
#include "platform/window/win32_sdl_events.h"
#include "platform/window/win32_sdl_picture.h"
#include "platform/window/win32.h"
#include "platform/window/x11_window_watch.h"

struct InstanceObject {
    int unused;
};

struct WindowObject;

struct DeviceContextObject {
    HWND window = nullptr;
    int pixelFormat = 0;
    DWORD presentedFrames = 0;
};

struct RenderContextObject {
    SDL_GLContext gl = nullptr;
};

struct WindowObject {
    SDL_Window* sdl = nullptr;
    WNDPROC procedure = nullptr;
    std::string className;
    bool active = false;
    int depthBits = 0;
    // A full-screen window shows a picture of the size it was asked for (0 x 0: none).
    int pictureWidth = 0;
    int pictureHeight = 0;
    DeviceContextObject deviceContext;
};

namespace {

struct WindowClass {
    std::string name;
    WNDPROC procedure;
    HINSTANCE instance;
};

// The one frame size used for decorated windows, so that AdjustWindowRectEx and
// CreateWindowExA agree on the client area.
constexpr LONG frameSide = 8;
constexpr LONG frameTop = 31;

struct LayerState {
    bool videoUp = false;
    std::vector<WindowClass> classes;
    std::vector<HWND> windows;
    std::deque<MSG> queue;
    bool quitPosted = false;
    int quitCode = 0;
    int cursorCount = 0;  // the cursor shows while the count is >= 0, as ShowCursor keeps it
    POINT cursor{0, 0};
    bool cursorPositionPending = false;
    bool fullScreenPending = false;  // the next popup window covers the screen
    bool fullScreenAllowed = true;
    PresentHook presentHook;  // installed by the capture program only
    bool swapIntervalSet = false;
};

LayerState& state() {
    static LayerState layer;
    return layer;
}

InstanceObject moduleInstance{0};

bool isDecorated(DWORD style) { return (style & WS_CAPTION) == WS_CAPTION && !(style & WS_POPUP); }

void applyCursorState() {
    LayerState& s = state();
    SDL_ShowCursor(s.cursorCount >= 0 ? SDL_ENABLE : SDL_DISABLE);
    if (s.cursorPositionPending && !s.windows.empty()) {
        SDL_WarpMouseGlobal(s.cursor.x, s.cursor.y);
        s.cursorPositionPending = false;
    }
}

std::vector<std::string> compiledVideoDrivers() {
    std::vector<std::string> drivers;
    for (int i = 0; i < SDL_GetNumVideoDrivers(); ++i) drivers.push_back(SDL_GetVideoDriver(i));
    return drivers;
}

// Starts SDL video on a real display only (see video_driver_choice.h). Without one
// the demo has nowhere to show itself: the reason goes to stderr, since there is no
// window to show a message box in, and every window call then fails.
bool startVideo() {
    VideoEnvironment environment;
    environment.requestedDriver = std::getenv("SDL_VIDEODRIVER");
    environment.x11Display = std::getenv("DISPLAY");
    environment.waylandDisplay = std::getenv("WAYLAND_DISPLAY");
    const VideoDriverChoice choice = chooseVideoDrivers(environment, compiledVideoDrivers());

    std::string reason = choice.whyNone;
    const bool started = startVideoWithRetries(
        choice,
        [&](const std::string& drivers) {
            SDL_SetHintWithPriority(SDL_HINT_VIDEODRIVER, drivers.c_str(), SDL_HINT_OVERRIDE);
            const bool up = SDL_InitSubSystem(SDL_INIT_VIDEO) == 0;
            if (!up) reason = SDL_GetError();
            SDL_ResetHint(SDL_HINT_VIDEODRIVER);
            return up;
        },
        [](int milliseconds) { SDL_Delay(static_cast<Uint32>(milliseconds)); });
    if (!started) {
        std::replace(reason.begin(), reason.end(), '\n', ' ');
        if (choice.drivers.empty())
            std::fprintf(stderr, "No display to open a window on: %s\n", reason.c_str());
        else
            std::fprintf(stderr, "No display to open a window on (tried %s): %s\n", choice.drivers.c_str(),
                         reason.c_str());
    }
    return started;
}

bool ensureVideo() {
    LayerState& s = state();
    if (s.videoUp) return true;
    if (!startVideo()) return false;
    s.videoUp = true;
    applyCursorState();
    return true;
}

void shutDownVideoWhenUnused() {
    LayerState& s = state();
    if (s.videoUp && s.classes.empty() && s.windows.empty()) {
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
        s.videoUp = false;
        s.cursorPositionPending = true;  // re-applied if video comes up again
        s.swapIntervalSet = false;
    }
}

bool isLiveWindow(HWND window) {
    const auto& windows = state().windows;
    return window && std::find(windows.begin(), windows.end(), window) != windows.end();
}

const WindowClass* findClass(LPCSTR name) {
    if (!name) return nullptr;
    for (const auto& windowClass : state().classes)
        if (windowClass.name == name) return &windowClass;
    return nullptr;
}

HWND windowForEvent(const SDL_Event& event) {
    const auto& windows = state().windows;
    if (windows.empty()) return nullptr;
    Uint32 id = 0;
    switch (event.type) {
    case SDL_WINDOWEVENT: id = event.window.windowID; break;
    case SDL_KEYDOWN:
    case SDL_KEYUP: id = event.key.windowID; break;
    case SDL_MOUSEMOTION: id = event.motion.windowID; break;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP: id = event.button.windowID; break;
    default: return windows.front();
    }
    for (HWND window : windows)
        if (SDL_GetWindowID(window->sdl) == id) return window;
    return windows.front();  // keyboard events without focus still go to the one window
}

// Sends a message straight to the window procedure, as Windows does for activation.
LRESULT sendMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (!isLiveWindow(window) || !window->procedure) return 0;
    return window->procedure(window, message, wParam, lParam);
}

void activate(HWND window) {
    if (window->active) return;
    window->active = true;
    sendMessage(window, WM_ACTIVATE, WA_ACTIVE, 0);
}

void pumpSdlEvents() {
    LayerState& s = state();
    if (!s.videoUp) return;
    SDL_Event event;
    while (SDL_PollEvent(&event)) {
        noticeX11Event(event);
        HWND window = windowForEvent(event);
        if (!window) continue;
        MSG messages[2];
        int count = translateSdlEvent(event, window, messages);
        for (int i = 0; i < count; ++i) {
            if (messages[i].message == WM_ACTIVATE) window->active = LOWORD(messages[i].wParam) != WA_INACTIVE;
            // The demo's client area is its picture, whatever size the screen gives the window.
            if (messages[i].message == WM_SIZE && window->pictureWidth > 0)
                messages[i].lParam = MAKELPARAM(static_cast<WORD>(window->pictureWidth),
                                                static_cast<WORD>(window->pictureHeight));
            int x = 0, y = 0;
            SDL_GetGlobalMouseState(&x, &y);
            messages[i].pt = POINT{x, y};
            s.queue.push_back(messages[i]);
        }
    }
    // A window destroyed by another program asks to close, as its close button would.
    for (HWND window : s.windows) {
        if (!takeX11WindowDestroyed(window->sdl)) continue;
        MSG close{};
        close.hwnd = window;
        close.message = WM_CLOSE;
        close.time = SDL_GetTicks();
        s.queue.push_back(close);
    }
}

}  // namespace

HINSTANCE GetModuleHandleA(LPCSTR /*moduleName*/) { return &moduleInstance; }

WORD RegisterClassA(const WNDCLASSA* windowClass) {
    if (!windowClass || !windowClass->lpszClassName || !windowClass->lpfnWndProc) return 0;
    if (findClass(windowClass->lpszClassName)) return 0;  // already registered
    if (!ensureVideo()) return 0;
    auto& classes = state().classes;
    classes.push_back({windowClass->lpszClassName, windowClass->lpfnWndProc, windowClass->hInstance});
    return static_cast<WORD>(classes.size());
}

BOOL UnregisterClassA(LPCSTR className, HINSTANCE /*instance*/) {
    auto& classes = state().classes;
    auto it = std::find_if(classes.begin(), classes.end(),
                           [&](const WindowClass& c) { return className && c.name == className; });
    if (it == classes.end()) return FALSE;
    for (HWND window : state().windows)
        if (window->className == it->name) return FALSE;  // windows of the class still exist
    classes.erase(it);
    shutDownVideoWhenUnused();
    return TRUE;
}

LONG ChangeDisplaySettingsA(DEVMODEA* mode, DWORD /*flags*/) {
    LayerState& s = state();
    if (!mode) {
        // The desktop's mode was never changed: there is nothing to put back.
        s.fullScreenPending = false;
        return DISP_CHANGE_SUCCESSFUL;
    }
    if (!s.fullScreenAllowed || !ensureVideo()) return DISP_CHANGE_FAILED;
    DWORD needed = DM_PELSWIDTH | DM_PELSHEIGHT;
    if ((mode->dmFields & needed) != needed || mode->dmPelsWidth == 0 || mode->dmPelsHeight == 0)
        return DISP_CHANGE_BADMODE;
    SDL_DisplayMode desktop;
    if (SDL_GetDesktopDisplayMode(0, &desktop) != 0) return DISP_CHANGE_FAILED;
    s.fullScreenPending = true;
    return DISP_CHANGE_SUCCESSFUL;
}

void SetFullScreenAllowed(bool allowed) {
    state().fullScreenAllowed = allowed;
    if (!allowed) state().fullScreenPending = false;
}

BOOL AdjustWindowRectEx(RECT* rect, DWORD style, BOOL /*menu*/, DWORD /*exStyle*/) {
    if (!rect) return FALSE;
    if (isDecorated(style)) {
        rect->left -= frameSide;
        rect->right += frameSide;
        rect->top -= frameTop;
        rect->bottom += frameSide;
    }
    return TRUE;
}

HWND CreateWindowExA(DWORD /*exStyle*/, LPCSTR className, LPCSTR title, DWORD style, int x, int y, int width,
                     int height, HWND /*parent*/, HMENU /*menu*/, HINSTANCE /*instance*/, void* /*param*/) {
    const WindowClass* windowClass = findClass(className);
    if (!windowClass || !ensureVideo()) return nullptr;
    LayerState& s = state();

    int clientWidth = width, clientHeight = height;
    Uint32 flags = SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN;
    if (isDecorated(style)) {
        clientWidth -= 2 * frameSide;
        clientHeight -= frameTop + frameSide;
        if (style & WS_THICKFRAME) flags |= SDL_WINDOW_RESIZABLE;
    } else {
        flags |= SDL_WINDOW_BORDERLESS;
        if ((style & WS_POPUP) && s.fullScreenPending)
            flags |= SDL_WINDOW_FULLSCREEN_DESKTOP | SDL_WINDOW_ALLOW_HIGHDPI;
    }
    if (clientWidth < 1 || clientHeight < 1) return nullptr;

    SDL_GL_ResetAttributes();
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_COMPATIBILITY);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    SDL_GL_SetAttribute(SDL_GL_RED_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_ALPHA_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, 0);

    // The closest depth buffer the driver offers, deepest first.
    int depthBits = 0;
    auto create = [&](Uint32 withFlags, const SDL_Rect& place) -> SDL_Window* {
        for (int depth : {32, 24, 16}) {
            SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, depth);
            depthBits = depth;
            if (SDL_Window* made = SDL_CreateWindow(title ? title : "", place.x, place.y, place.w, place.h, withFlags))
                return made;
        }
        return nullptr;
    };
    SDL_Window* sdlWindow = nullptr;
    SDL_Rect screen{};
    if ((flags & SDL_WINDOW_FULLSCREEN_DESKTOP) && SDL_GetDisplayBounds(0, &screen) == 0) {
        // Made at the screen's size as well, for X servers without a window manager
        // to carry out the full-screen request.
        sdlWindow = create(flags, screen);
    }
    if (!sdlWindow) {
        // Where the screen cannot be had, the window of the asked size.
        flags &= ~(SDL_WINDOW_FULLSCREEN_DESKTOP | SDL_WINDOW_ALLOW_HIGHDPI);
        sdlWindow = create(flags, SDL_Rect{x, y, clientWidth, clientHeight});
    }
    if (!sdlWindow) return nullptr;

    HWND window = new WindowObject();
    window->sdl = sdlWindow;
    window->procedure = windowClass->procedure;
    window->className = windowClass->name;
    window->depthBits = depthBits;
    if ((flags & SDL_WINDOW_FULLSCREEN_DESKTOP) == SDL_WINDOW_FULLSCREEN_DESKTOP) {
        window->pictureWidth = clientWidth;
        window->pictureHeight = clientHeight;
    }
    window->deviceContext.window = window;
    s.windows.push_back(window);
    watchX11Window(sdlWindow);
    SDL_DisableScreenSaver();
    applyCursorState();
    return window;
}

BOOL DestroyWindow(HWND window) {
    if (!isLiveWindow(window)) return FALSE;
    sendMessage(window, WM_DESTROY, 0, 0);
    LayerState& s = state();
    s.windows.erase(std::find(s.windows.begin(), s.windows.end(), window));
    s.queue.erase(std::remove_if(s.queue.begin(), s.queue.end(), [&](const MSG& m) { return m.hwnd == window; }),
                  s.queue.end());
    destroyWatchedWindow(window->sdl);
    delete window;
    if (s.windows.empty()) SDL_EnableScreenSaver();
    return TRUE;
}

BOOL ShowWindow(HWND window, int command) {
    if (!isLiveWindow(window)) return FALSE;
    bool wasVisible = (SDL_GetWindowFlags(window->sdl) & SDL_WINDOW_SHOWN) != 0;
    if (command == SW_HIDE) {
        SDL_HideWindow(window->sdl);
        return wasVisible;
    }
    SDL_ShowWindow(window->sdl);
    activate(window);
    applyCursorState();
    return wasVisible;
}

BOOL SetForegroundWindow(HWND window) {
    if (!isLiveWindow(window)) return FALSE;
    SDL_RaiseWindow(window->sdl);
    activate(window);
    return TRUE;
}

HWND SetFocus(HWND window) {
    if (!isLiveWindow(window)) return nullptr;
    activate(window);
    return window;
}

BOOL GetClientRect(HWND window, RECT* rect) {
    if (!isLiveWindow(window) || !rect) return FALSE;
    int w = window->pictureWidth, h = window->pictureHeight;
    if (w == 0) SDL_GetWindowSize(window->sdl, &w, &h);
    *rect = RECT{0, 0, w, h};
    return TRUE;
}

HDC GetDC(HWND window) {
    if (!isLiveWindow(window)) return nullptr;
    return &window->deviceContext;  // one device context per window, as with CS_OWNDC
}

int ReleaseDC(HWND window, HDC deviceContext) {
    return isLiveWindow(window) && deviceContext == &window->deviceContext ? 1 : 0;
}

int ChoosePixelFormat(HDC deviceContext, const PIXELFORMATDESCRIPTOR* request) {
    if (!deviceContext || !request || !isLiveWindow(deviceContext->window)) return 0;
    const DWORD needed = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL;
    if ((request->dwFlags & needed) != needed || request->iPixelType != PFD_TYPE_RGBA) return 0;
    // The window's surface was made with the closest format the driver has: that is format 1.
    return 1;
}

BOOL SetPixelFormat(HDC deviceContext, int format, const PIXELFORMATDESCRIPTOR* /*request*/) {
    if (!deviceContext || !isLiveWindow(deviceContext->window) || format != 1) return FALSE;
    if (deviceContext->pixelFormat != 0 && deviceContext->pixelFormat != format) return FALSE;
    deviceContext->pixelFormat = format;
    return TRUE;
}

int DescribePixelFormat(HDC deviceContext, int format, UINT bytes, PIXELFORMATDESCRIPTOR* description) {
    if (!deviceContext || !isLiveWindow(deviceContext->window) || format != 1) return 0;
    if (description && bytes >= sizeof(PIXELFORMATDESCRIPTOR)) {
        *description = PIXELFORMATDESCRIPTOR{};
        description->nSize = sizeof(PIXELFORMATDESCRIPTOR);
        description->nVersion = 1;
        description->dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
        description->iPixelType = PFD_TYPE_RGBA;
        description->cColorBits = 32;
        description->cRedBits = description->cGreenBits = description->cBlueBits = description->cAlphaBits = 8;
        description->cDepthBits = static_cast<BYTE>(deviceContext->window->depthBits);
        description->iLayerType = PFD_MAIN_PLANE;
    }
    return 1;
}

HGLRC wglCreateContext(HDC deviceContext) {
    if (!deviceContext || !isLiveWindow(deviceContext->window) || deviceContext->pixelFormat == 0) return nullptr;
    SDL_Window* previousWindow = SDL_GL_GetCurrentWindow();
    SDL_GLContext previousContext = SDL_GL_GetCurrentContext();
    SDL_GLContext gl = SDL_GL_CreateContext(deviceContext->window->sdl);
    if (!gl) return nullptr;
    // Creating a context does not make it current; restore whatever was. (SDL may still
    // name a destroyed window as current when no context is, so only a live pair is restored.)
    if (previousContext && previousWindow)
        SDL_GL_MakeCurrent(previousWindow, previousContext);
    else
        SDL_GL_MakeCurrent(deviceContext->window->sdl, nullptr);
    HGLRC renderContext = new RenderContextObject();
    renderContext->gl = gl;
    return renderContext;
}

BOOL wglMakeCurrent(HDC deviceContext, HGLRC renderContext) {
    if (!renderContext) {
        SDL_Window* current = SDL_GL_GetCurrentWindow();
        if (current && SDL_GL_GetCurrentContext()) SDL_GL_MakeCurrent(current, nullptr);
        return TRUE;
    }
    if (!deviceContext || !isLiveWindow(deviceContext->window)) return FALSE;
    if (SDL_GL_MakeCurrent(deviceContext->window->sdl, renderContext->gl) != 0) return FALSE;
    LayerState& s = state();
    if (!s.swapIntervalSet) {
        // Present in step with the display where the driver allows it (adaptive first).
        if (SDL_GL_SetSwapInterval(-1) != 0) SDL_GL_SetSwapInterval(1);
        s.swapIntervalSet = true;
    }
    return TRUE;
}

BOOL wglDeleteContext(HGLRC renderContext) {
    if (!renderContext) return FALSE;
    if (SDL_GL_GetCurrentContext() == renderContext->gl) {
        SDL_Window* current = SDL_GL_GetCurrentWindow();
        if (current) SDL_GL_MakeCurrent(current, nullptr);
    }
    forgetPictureFramebuffer(renderContext->gl);
    SDL_GL_DeleteContext(renderContext->gl);
    delete renderContext;
    return TRUE;
}

void SetPresentHook(PresentHook hook) { state().presentHook = std::move(hook); }

BOOL SwapBuffers(HDC deviceContext) {
    if (!deviceContext || !isLiveWindow(deviceContext->window)) return FALSE;
    HWND window = deviceContext->window;
    if (state().presentHook) state().presentHook(deviceContext);
    if (window->pictureWidth > 0 && SDL_GL_GetCurrentWindow() == window->sdl) {
        int width = 0, height = 0;
        SDL_GL_GetDrawableSize(window->sdl, &width, &height);
        presentPicture(width, height);
    }
    SDL_GL_SwapWindow(window->sdl);
    ++deviceContext->presentedFrames;
    return TRUE;
}

DWORD GetPresentedFrameCount(HDC deviceContext) {
    return deviceContext && isLiveWindow(deviceContext->window) ? deviceContext->presentedFrames : 0;
}

BOOL PeekMessageA(MSG* message, HWND /*window*/, UINT /*filterMin*/, UINT /*filterMax*/, UINT removeFlags) {
    if (!message) return FALSE;
    LayerState& s = state();
    if (s.queue.empty()) pumpSdlEvents();
    if (!s.queue.empty()) {
        *message = s.queue.front();
        if (removeFlags & PM_REMOVE) s.queue.pop_front();
        return TRUE;
    }
    if (s.quitPosted) {
        *message = MSG{};
        message->message = WM_QUIT;
        message->wParam = static_cast<WPARAM>(s.quitCode);
        if (removeFlags & PM_REMOVE) s.quitPosted = false;
        return TRUE;
    }
    return FALSE;
}

// Character messages are not needed by the demo: nothing to translate.
BOOL TranslateMessage(const MSG* /*message*/) { return FALSE; }

LRESULT DispatchMessageA(const MSG* message) {
    if (!message || message->message == WM_QUIT) return 0;
    return sendMessage(message->hwnd, message->message, message->wParam, message->lParam);
}

void PostQuitMessage(int exitCode) {
    state().quitPosted = true;
    state().quitCode = exitCode;
}

BOOL PostMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (!isLiveWindow(window)) return FALSE;
    MSG msg{};
    msg.hwnd = window;
    msg.message = message;
    msg.wParam = wParam;
    msg.lParam = lParam;
    msg.time = SDL_GetTicks();
    state().queue.push_back(msg);
    return TRUE;
}

LRESULT DefWindowProcA(HWND window, UINT message, WPARAM wParam, LPARAM /*lParam*/) {
    // Alt+F4 asks the window to close, as the default procedure does on Windows.
    if (message == WM_SYSKEYDOWN && wParam == static_cast<WPARAM>(VK_F1 + 3)) PostMessageA(window, WM_CLOSE, 0, 0);
    return 0;
}

int ShowCursor(BOOL show) {
    LayerState& s = state();
    s.cursorCount += show ? 1 : -1;
    if (s.videoUp) SDL_ShowCursor(s.cursorCount >= 0 ? SDL_ENABLE : SDL_DISABLE);
    return s.cursorCount;
}

BOOL SetCursorPos(int x, int y) {
    LayerState& s = state();
    s.cursor = POINT{x, y};
    if (s.videoUp && !s.windows.empty()) {
        SDL_WarpMouseGlobal(x, y);
        s.cursorPositionPending = false;
    } else {
        s.cursorPositionPending = true;
    }
    return TRUE;
}

BOOL GetCursorPos(POINT* point) {
    if (!point) return FALSE;
    LayerState& s = state();
    if (s.videoUp && !s.windows.empty()) {
        int x = 0, y = 0;
        SDL_GetGlobalMouseState(&x, &y);
        *point = POINT{x, y};
    } else {
        *point = s.cursor;
    }
    return TRUE;
}

void startWindowPicture() {
    for (HWND window : state().windows) {
        if (window->sdl == SDL_GL_GetCurrentWindow() && window->pictureWidth > 0)
            startPictureFramebuffer(window->pictureWidth, window->pictureHeight);
    }
}
