#include "bench/support/bench_window.h"

#include <GL/glew.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "platform/shader/cg.h"
#include "platform/window/gl_extensions.h"
#include "shell/demo_app.h"
#include "shell/gl_window.h"
#include "shell/scene.h"
#include "tools/common/png_writer.h"

BenchArguments benchArguments(int argc, char** argv, int defaultFrames) {
    BenchArguments arguments{defaultFrames, nullptr, {}, false};
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--shots") == 0 && i + 1 < argc)
            arguments.shotDirectory = argv[++i];
        else if (std::strcmp(argv[i], "--at") == 0 && i + 1 < argc)
            arguments.shotTimes.push_back(std::atof(argv[++i]));
        else if (std::strcmp(argv[i], "--instructions") == 0)
            arguments.countInstructions = true;
        else
            arguments.frames = std::max(10, std::atoi(argv[i]));
    }
    return arguments;
}

int frameCountArgument(int argc, char** argv, int defaultFrames) {
    return benchArguments(argc, argv, defaultFrames).frames;
}

void saveShots(const BenchArguments& arguments, const char* prefix, const std::vector<double>& times, int width,
               int height, const std::function<void(double)>& drawAt) {
    if (!arguments.shotDirectory) return;
    for (double t : times) {
        drawAt(t);
        glFinish();
        std::vector<unsigned char> pixels(static_cast<size_t>(width) * height * 4);
        glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
        char name[64];
        if (t == static_cast<int>(t))
            std::snprintf(name, sizeof name, "/%s_%03d.png", prefix, static_cast<int>(t));
        else
            std::snprintf(name, sizeof name, "/%s_%05.1f.png", prefix, t);
        const std::string path = arguments.shotDirectory + std::string(name);
        if (!writePng(path, width, height, pixels)) std::fprintf(stderr, "could not write %s\n", path.c_str());
        SwapBuffers(demoApp.deviceContext);
    }
}

bool openBenchWindow(int width, int height) {
    if (!openWindow("oku bench", width, height, 32, false)) {
        std::fprintf(stderr, "no window (is DISPLAY set?)\n");
        return false;
    }
    return loadGlExtensions() == GLEW_OK;
}

void closeBenchScene(Scene* scene) {
    scene->cleanup();
    delete scene;
    cgDestroyContext(demoApp.cgContext);
    closeWindow();
}
