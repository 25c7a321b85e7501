#include <GL/glew.h>

#include <string>

#include "platform/log/debug_log.h"
#include "platform/window/gl_extensions.h"
#include "shell/demo_app.h"
#include "shell/fmod_check.h"
#include "shell/gl_window.h"
#include "shell/scene.h"
#include "shell/scene_sequence.h"
#include "shell/start_failure.h"

namespace {

void startSound() {
    fmodCheck(FMOD_System_Create(&demoApp.fmodSystem));
    if (demoApp.fmodSystem) fmodCheck(demoApp.fmodSystem->init(100, FMOD_INIT_NORMAL, nullptr));
}

void shutDown() {
    if (demoApp.fmodSystem) demoApp.fmodSystem->release();
    demoApp.fmodSystem = nullptr;
    cgDestroyContext(demoApp.cgContext);
    demoApp.cgContext = nullptr;
    closeWindow();
}

}  // namespace

int WinMain(HINSTANCE /*instance*/, HINSTANCE /*previousInstance*/, char* /*commandLine*/, int /*showCommand*/) {
    const SceneSequence sequence = currentSceneSequence();
    Scene* scene = nullptr;
    int scenesFinished = 0;
    bool quitRequested = false;
    MSG msg{};
    int exitCode = 0;

    if (!sequence.first || !sequence.second) {
        debugLog("No scenes to play\n");
        return 0;
    }

    demoApp.fullscreen = true;
    demoApp.escapePressed = false;
    demoApp.input.centre(1024, 768);
    // openWindow has said on stderr what failed.
    if (!openWindow("oku", 1024, 768, 32, demoApp.fullscreen)) return failedStartExitCode;

    GLenum glewResult = loadGlExtensions();
    if (glewResult != GLEW_OK) {
        const char* why = reinterpret_cast<const char*>(glewGetErrorString(glewResult));
        debugLog("GLEW init problem!!!!!!!!!!!!!!!");
        debugLog("Error: %s\n", why);
        closeWindow();
        reportFailedStart(("the OpenGL extensions could not be loaded (" + std::string(why) + ")").c_str());
        return failedStartExitCode;
    }

    demoApp.cgContext = cgCreateContext();
    startSound();

    scene = sequence.first(&demoApp.input, demoApp.fmodSystem);
    if (scene->init()) {
        for (;;) {
            if (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
                if (msg.message == WM_QUIT) {
                    exitCode = static_cast<int>(msg.wParam);
                    break;
                }
                TranslateMessage(&msg);
                DispatchMessageA(&msg);
                continue;
            }
            // A tap of Escape whose release came in the same drain as its press has
            // already cleared keys[VK_ESCAPE]; the latched press still ends the demo.
            const bool escape = demoApp.keys[VK_ESCAPE] || demoApp.escapePressed;
            demoApp.escapePressed = false;
            if (demoApp.active && escape) break;

            demoApp.input.update();
            if (!scene->step()) quitRequested = true;

            if (scene->isFinished()) {
                scene->cleanup();
                delete scene;
                scene = nullptr;
                ++scenesFinished;
                if (scenesFinished == 1) {
                    scene = sequence.second(&demoApp.input, demoApp.fmodSystem);
                    if (!scene->init()) quitRequested = true;
                } else {
                    quitRequested = true;
                }
            }

            SwapBuffers(demoApp.deviceContext);
            if (quitRequested) break;
        }
    }

    shutDown();
    // A scene still current here is not cleaned up (its music ended with the sound
    // system); its own memory is returned all the same.
    delete scene;
    return exitCode;
}
