#include "bench/support/bench_window.h"

#include <GL/glew.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "platform/window/gl_extensions.h"
#include "shell/gl_window.h"

int frameCountArgument(int argc, char** argv, int defaultFrames) {
    return argc > 1 ? std::max(10, std::atoi(argv[1])) : defaultFrames;
}

bool openBenchWindow(int width, int height) {
    if (!openWindow("oku bench", width, height, 32, false)) {
        std::fprintf(stderr, "no window (is DISPLAY set?)\n");
        return false;
    }
    return loadGlExtensions() == GLEW_OK;
}
