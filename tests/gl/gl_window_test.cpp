// The GL window: opening it with its context and pixel format, the window procedure, closing, and SDL events through the message pump.
#include <gtest/gtest.h>

#include <GL/glew.h>
#include <SDL.h>

#include <cmath>

#include "platform/window/gl_extensions.h"
#include "shell/demo_app.h"
#include "shell/gl_window.h"
#include "support/capture.h"

namespace {

// The window code works on the process-wide state; each test opens and closes the window.
class GlWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        demoApp.active = false;
        for (bool& key : demoApp.keys) key = false;
        ASSERT_TRUE(openWindow("oku", 1024, 768, 32, true)) << SDL_GetError();
        ASSERT_EQ(loadGlExtensions(), static_cast<GLenum>(GLEW_OK));
    }
    void TearDown() override {
        closeWindow();
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        }
    }

    static void expectMatrixNear(GLenum which, const double* expected) {
        GLdouble actual[16];
        glGetDoublev(which, actual);
        for (int i = 0; i < 16; ++i) EXPECT_NEAR(actual[i], expected[i], 1e-5) << "element " << i;
    }

    static void perspective(double fovy, double aspect, double zNear, double zFar, double* m) {
        double f = 1.0 / std::tan(fovy * M_PI / 360.0);
        for (int i = 0; i < 16; ++i) m[i] = 0.0;
        m[0] = f / aspect;
        m[5] = f;
        m[10] = (zFar + zNear) / (zNear - zFar);
        m[11] = -1.0;
        m[14] = 2.0 * zFar * zNear / (zNear - zFar);
    }
};

TEST_F(GlWindowTest, OpensA1024x768ClientAreaWithTheInitialGlState) {
    // Full screen on Xvfb's larger screen: the client area the demo draws is still 1024 x 768.
    EXPECT_TRUE(demoApp.fullscreen);
    RECT client;
    ASSERT_TRUE(GetClientRect(demoApp.windowHandle, &client));
    EXPECT_EQ(client.right - client.left, 1024);
    EXPECT_EQ(client.bottom - client.top, 768);
    EXPECT_TRUE(demoApp.active) << "showing the window activates it, with or without a window manager";

    PIXELFORMATDESCRIPTOR format;
    ASSERT_EQ(DescribePixelFormat(demoApp.deviceContext, 1, sizeof(format), &format), 1);
    EXPECT_GE(format.cDepthBits, 16);
    GLint depthBits = 0, alphaBits = 0, stencilBits = -1;
    glGetIntegerv(GL_DEPTH_BITS, &depthBits);
    glGetIntegerv(GL_ALPHA_BITS, &alphaBits);
    glGetIntegerv(GL_STENCIL_BITS, &stencilBits);
    EXPECT_GE(depthBits, 16);
    EXPECT_EQ(alphaBits, 8);
    EXPECT_EQ(stencilBits, 0);

    EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_TRUE(glIsEnabled(GL_CULL_FACE));
    GLint value = 0;
    glGetIntegerv(GL_SHADE_MODEL, &value);
    EXPECT_EQ(value, GL_SMOOTH);
    glGetIntegerv(GL_DEPTH_FUNC, &value);
    EXPECT_EQ(value, GL_LESS);
    glGetIntegerv(GL_CULL_FACE_MODE, &value);
    EXPECT_EQ(value, GL_BACK);
    glGetIntegerv(GL_PERSPECTIVE_CORRECTION_HINT, &value);
    EXPECT_EQ(value, GL_NICEST);
    GLfloat clear[4];
    glGetFloatv(GL_COLOR_CLEAR_VALUE, clear);
    EXPECT_EQ(clear[0], 0.0f);
    EXPECT_EQ(clear[3], 1.0f);
    GLfloat clearDepth = 0;
    glGetFloatv(GL_DEPTH_CLEAR_VALUE, &clearDepth);
    EXPECT_EQ(clearDepth, 1.0f);

    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[2], 1024);
    EXPECT_EQ(viewport[3], 768);
    double expected[16];
    perspective(45.0, 1024.0 / 768.0, 0.1, 100.0, expected);
    expectMatrixNear(GL_PROJECTION_MATRIX, expected);
    double identity[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
    expectMatrixNear(GL_MODELVIEW_MATRIX, identity);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));

    // A frame goes through to the window.
    glClearColor(0.0f, 1.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    EXPECT_TRUE(SwapBuffers(demoApp.deviceContext));
    glClear(GL_COLOR_BUFFER_BIT);
    unsigned char pixel[4] = {};
    glReadPixels(512, 384, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, pixel);
    EXPECT_EQ(pixel[1], 255);
}

TEST_F(GlWindowTest, WindowProcedureKeepsActivationKeysAndSize) {
    HWND window = demoApp.windowHandle;
    windowProc(window, WM_ACTIVATE, WA_INACTIVE | (1u << 16), 0);
    EXPECT_FALSE(demoApp.active) << "minimized";
    windowProc(window, WM_ACTIVATE, WA_INACTIVE, 0);
    EXPECT_TRUE(demoApp.active) << "losing focus without minimizing keeps the window active";

    windowProc(window, WM_KEYDOWN, VK_ESCAPE, 0);
    EXPECT_TRUE(demoApp.keys[VK_ESCAPE]);
    EXPECT_TRUE(demoApp.input.keyDown[VK_ESCAPE]) << "key messages go on to the input object";
    windowProc(window, WM_KEYUP, VK_ESCAPE, 0);
    EXPECT_FALSE(demoApp.keys[VK_ESCAPE]);
    EXPECT_TRUE(demoApp.input.keyReleased[VK_ESCAPE]);

    windowProc(window, WM_SYSKEYDOWN, 'X', 0);
    EXPECT_FALSE(demoApp.keys['X']) << "Alt combinations do not enter the key table";
    EXPECT_FALSE(demoApp.input.keyDown['X']);
    EXPECT_EQ(windowProc(window, WM_KEYDOWN, 4096, 0), 0) << "an out-of-range key code writes nothing";

    EXPECT_EQ(windowProc(window, WM_SYSCOMMAND, SC_SCREENSAVE, 0), 0);
    EXPECT_EQ(windowProc(window, WM_SYSCOMMAND, SC_MONITORPOWER, 2), 0);

    windowProc(window, WM_SIZE, SIZE_RESTORED, MAKELPARAM(640, 0));
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[2], 640);
    EXPECT_EQ(viewport[3], 1) << "a height of 0 becomes 1";
    double expected[16];
    perspective(45.0, 640.0, 0.1, 100.0, expected);
    expectMatrixNear(GL_PROJECTION_MATRIX, expected);
    EXPECT_EQ(demoApp.input.centreX, 320.0f);
    EXPECT_EQ(demoApp.input.centreY, 0.5f);
}

TEST_F(GlWindowTest, CloseRequestBecomesQuitWithCodeZero) {
    windowProc(demoApp.windowHandle, WM_CLOSE, 0, 0);
    MSG msg{};
    bool sawQuit = false;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            sawQuit = true;
            EXPECT_EQ(msg.wParam, 0u);
            break;
        }
        DispatchMessageA(&msg);
    }
    EXPECT_TRUE(sawQuit);
    EXPECT_FALSE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE) && msg.message == WM_QUIT) << "quit is delivered once";
}

TEST_F(GlWindowTest, SdlEventsArriveThroughThePumpAsMessages) {
    SDL_Event key{};
    key.type = SDL_KEYDOWN;
    key.key.windowID = SDL_GetWindowID(SDL_GL_GetCurrentWindow());
    key.key.keysym.sym = SDLK_ESCAPE;
    ASSERT_EQ(SDL_PushEvent(&key), 1);
    SDL_Event close{};
    close.type = SDL_WINDOWEVENT;
    close.window.event = SDL_WINDOWEVENT_CLOSE;
    close.window.windowID = key.key.windowID;
    ASSERT_EQ(SDL_PushEvent(&close), 1);

    MSG msg{};
    int quitCode = -1;
    for (int i = 0; i < 1000 && quitCode < 0; ++i) {
        if (!PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) continue;
        if (msg.message == WM_QUIT) {
            quitCode = static_cast<int>(msg.wParam);
            break;
        }
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    EXPECT_TRUE(demoApp.keys[VK_ESCAPE]);
    EXPECT_EQ(quitCode, 0);
}

TEST_F(GlWindowTest, MouseIsHeldAtTheHomePoint) {
    int x = 0, y = 0;
    SDL_GetGlobalMouseState(&x, &y);
    EXPECT_EQ(x, 512);
    EXPECT_EQ(y, 384);
    demoApp.input.update();
    SetCursorPos(612, 384);
    demoApp.input.handleMessage(WM_MOUSEMOVE, 0, 0);
    demoApp.input.update();
    EXPECT_NEAR(demoApp.input.mouseDeltaX, 0.5f, 1e-6f);
    SDL_GetGlobalMouseState(&x, &y);
    EXPECT_EQ(x, 512) << "the cursor is put back home after a move";
}

TEST(GlWindowLifecycle, CloseReleasesEverythingAndTheWindowOpensAgain) {
    for (int round = 0; round < 2; ++round) {
        ASSERT_TRUE(openWindow("oku", 1024, 768, 32, false));
        EXPECT_NE(demoApp.renderContext, nullptr);
        EXPECT_NE(SDL_GL_GetCurrentContext(), nullptr);
        closeWindow();
        EXPECT_EQ(demoApp.windowHandle, nullptr);
        EXPECT_EQ(demoApp.deviceContext, nullptr);
        EXPECT_EQ(demoApp.renderContext, nullptr);
        EXPECT_EQ(SDL_GL_GetCurrentContext(), nullptr);
    }
    LogCapture log;
    closeWindow();  // a second close has nothing left to release: it only logs
    EXPECT_TRUE(log.contains("Could Not Unregister Class."));
}

}  // namespace
