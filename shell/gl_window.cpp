#include "shell/gl_window.h"

#include <GL/glew.h>
#include <GL/glu.h>

#include "platform/log/debug_log.h"
#include "platform/window/message_box.h"
#include "shell/demo_app.h"
#include "shell/start_failure.h"

namespace {

const char* const windowClassName = "OpenGL";

PIXELFORMATDESCRIPTOR pixelFormatRequest(int bits) {
    PIXELFORMATDESCRIPTOR request{};
    request.nSize = sizeof(PIXELFORMATDESCRIPTOR);
    request.nVersion = 1;
    request.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
    request.iPixelType = PFD_TYPE_RGBA;
    request.cColorBits = static_cast<BYTE>(bits);
    request.cDepthBits = 32;
    request.cStencilBits = 0;
    request.cAuxBuffers = 0;
    request.iLayerType = PFD_MAIN_PLANE;
    return request;
}

// A step that failed once the window layer was up: the log line, and the same
// words on stderr (where the demo ends without saying so otherwise).
bool failedStep(const char* message) {
    debugLog(message);
    reportFailedStart(message);
    return false;
}

}  // namespace

bool openWindow(const char* title, int width, int height, int bits, bool fullscreen) {
    RECT windowRect{0, 0, width, height};
    demoApp.fullscreen = fullscreen;
    demoApp.instanceHandle = GetModuleHandleA(nullptr);

    WNDCLASSA windowClass{};
    windowClass.style = CS_HREDRAW | CS_VREDRAW | CS_OWNDC;
    windowClass.lpfnWndProc = windowProc;
    windowClass.hInstance = demoApp.instanceHandle;
    windowClass.lpszClassName = windowClassName;
    // The class fails only where the window layer found no display, which it
    // has said on stderr already.
    if (!RegisterClassA(&windowClass)) {
        debugLog("Failed To Register The Window Class.");
        return false;
    }

    if (demoApp.fullscreen) {
        DEVMODEA mode{};
        mode.dmSize = sizeof(DEVMODEA);
        mode.dmPelsWidth = static_cast<DWORD>(width);
        mode.dmPelsHeight = static_cast<DWORD>(height);
        mode.dmBitsPerPel = static_cast<DWORD>(bits);
        mode.dmFields = DM_BITSPERPEL | DM_PELSWIDTH | DM_PELSHEIGHT;
        if (ChangeDisplaySettingsA(&mode, CDS_FULLSCREEN) != DISP_CHANGE_SUCCESSFUL) {
            debugLog("The Requested Fullscreen Mode Is Not Supported By\nYour Video Card. Use Windowed Mode Instead?");
            demoApp.fullscreen = false;
        }
    }

    DWORD exStyle, style;
    if (demoApp.fullscreen) {
        exStyle = WS_EX_APPWINDOW;
        style = WS_POPUP;
    } else {
        exStyle = WS_EX_APPWINDOW | WS_EX_WINDOWEDGE;
        style = WS_OVERLAPPEDWINDOW;
    }
    AdjustWindowRectEx(&windowRect, style, FALSE, exStyle);

    demoApp.windowHandle = CreateWindowExA(exStyle, windowClassName, title, style | WS_CLIPSIBLINGS | WS_CLIPCHILDREN,
                                           0, 0, windowRect.right - windowRect.left,
                                           windowRect.bottom - windowRect.top, nullptr, nullptr,
                                           demoApp.instanceHandle, nullptr);
    if (!demoApp.windowHandle) {
        closeWindow();
        return failedStep("Window Creation Error.");
    }

    demoApp.deviceContext = GetDC(demoApp.windowHandle);
    if (!demoApp.deviceContext) {
        closeWindow();
        MessageBoxA(nullptr, "Can't Create A GL Device Context.", "ERROR", MB_OK | MB_ICONEXCLAMATION);
        reportFailedStart("Can't Create A GL Device Context.");
        return false;
    }

    PIXELFORMATDESCRIPTOR request = pixelFormatRequest(bits);
    int format = ChoosePixelFormat(demoApp.deviceContext, &request);
    if (format == 0) {
        closeWindow();
        return failedStep("Can't Find A Suitable PixelFormat.");
    }
    if (!SetPixelFormat(demoApp.deviceContext, format, &request)) {
        closeWindow();
        return failedStep("Can't Set The PixelFormat.");
    }

    demoApp.renderContext = wglCreateContext(demoApp.deviceContext);
    if (!demoApp.renderContext) {
        closeWindow();
        return failedStep("Can't Create A GL Rendering Context.");
    }
    if (!wglMakeCurrent(demoApp.deviceContext, demoApp.renderContext)) {
        closeWindow();
        return failedStep("Can't Activate The GL Rendering Context.");
    }

    ShowWindow(demoApp.windowHandle, SW_SHOW);
    SetForegroundWindow(demoApp.windowHandle);
    SetFocus(demoApp.windowHandle);
    resizeView(width, height);

    if (!initGLState()) {
        closeWindow();
        return failedStep("Initialization Failed.");
    }
    return true;
}

void closeWindow() {
    if (demoApp.fullscreen) ChangeDisplaySettingsA(nullptr, 0);

    if (demoApp.renderContext) {
        if (!wglMakeCurrent(nullptr, nullptr)) debugLog("Release Of DC And RC Failed.");
        if (!wglDeleteContext(demoApp.renderContext)) debugLog("Release Rendering Context Failed.");
        demoApp.renderContext = nullptr;
    }
    if (demoApp.deviceContext && !ReleaseDC(demoApp.windowHandle, demoApp.deviceContext)) {
        debugLog("Release Device Context Failed.");
    }
    // The device context belongs to the window and goes with it.
    demoApp.deviceContext = nullptr;
    if (demoApp.windowHandle && !DestroyWindow(demoApp.windowHandle)) {
        debugLog("Could Not Release hWnd.");
    }
    demoApp.windowHandle = nullptr;
    if (!UnregisterClassA(windowClassName, demoApp.instanceHandle)) {
        debugLog("Could Not Unregister Class.");
    }
    demoApp.instanceHandle = nullptr;
}

void resizeView(int width, int height) {
    if (height == 0) height = 1;
    demoApp.input.centre(width, height);
    glViewport(0, 0, width, height);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(45.0, static_cast<GLdouble>(width) / static_cast<GLdouble>(height), 0.1, 100.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}

bool initGLState() {
    glEnable(GL_TEXTURE_2D);
    glShadeModel(GL_SMOOTH);
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glClearDepth(1.0);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LESS);
    glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST);
    glCullFace(GL_BACK);
    glEnable(GL_CULL_FACE);
    return true;
}

LRESULT windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_ACTIVATE:
        demoApp.active = HIWORD(wParam) == 0;
        return 0;
    case WM_SYSCOMMAND:
        if (wParam == SC_SCREENSAVE || wParam == SC_MONITORPOWER) return 0;
        break;
    case WM_CLOSE:
        PostQuitMessage(0);
        return 0;
    case WM_KEYDOWN:
        if (wParam < 256) demoApp.keys[wParam] = true;
        if (wParam == VK_ESCAPE && demoApp.active) demoApp.escapePressed = true;
        break;
    case WM_KEYUP:
        if (wParam < 256) demoApp.keys[wParam] = false;
        break;
    case WM_SIZE:
        resizeView(LOWORD(lParam), HIWORD(lParam));
        return 0;
    default:
        break;
    }
    demoApp.input.handleMessage(message, wParam, lParam);
    return DefWindowProcA(window, message, wParam, lParam);
}
