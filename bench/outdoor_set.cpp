// Frame cost of the outdoor set as scene 1 draws it each frame (the scenery
// model four times and the sky dome twice, plain textured, along the camera
// flight) at 1024 x 768, against a bare clear-and-swap frame measured in the
// same run; and the time the texture table takes to load.
//
//   bench_outdoor_set [frames]     (run from the run directory, with a display)
#include <GL/glew.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <vector>

#include "assets/mesh.h"
#include "math/spline.h"
#include "math/spline_camera.h"
#include "platform/clock/tick_count.h"
#include "platform/clock/timer.h"
#include "platform/window/gl_extensions.h"
#include "platform/window/message_box.h"
#include "scenes/outdoor/scenery.h"
#include "shell/demo_app.h"
#include "shell/gl_window.h"

namespace {

using Clock = std::chrono::steady_clock;

double millisecondsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

struct Figures {
    double median;
    double p95;
};

Figures timeFrames(int frames, const std::function<void(int)>& drawFrame) {
    std::vector<double> times;
    for (int i = 0; i < frames; ++i) {
        auto start = Clock::now();
        drawFrame(i);
        glFinish();
        SwapBuffers(demoApp.deviceContext);
        times.push_back(millisecondsSince(start));
    }
    std::sort(times.begin(), times.end());
    return {times[times.size() / 2], times[std::min(times.size() - 1, times.size() * 95 / 100)]};
}

}  // namespace

int main(int argc, char** argv) {
    const int frames = argc > 1 ? std::max(10, std::atoi(argv[1])) : 120;
    uint32_t now = 0;
    setTickSource([&] { return now; });
    // A missing texture (the grass blade's comes from another generator) must not
    // stop the figures: the boxes are counted, not shown.
    int boxes = 0;
    setMessageBoxHandler([&](const char*, const char*, unsigned) { ++boxes; });

    if (!openWindow("oku bench", 1024, 768, 32, false)) {
        std::fprintf(stderr, "no window (is DISPLAY set?)\n");
        return 1;
    }
    if (loadGlExtensions() != GLEW_OK) return 1;

    TgaImage images[12];
    auto loadStart = Clock::now();
    const bool textured = loadTextures(images, 2);
    const double loadMs = millisecondsSince(loadStart);
    Mesh sky(skyMeshFile);
    Timer timer;
    SplineCamera camera(&timer, "spline/camera0.spl", nullptr);
    const float length = camera.path && camera.path->loaded ? camera.path->endTime : 150.0f;

    Figures clearOnly = timeFrames(frames, [](int) {
        glClearColor(0, 0, 0, 0);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    });
    Figures set = timeFrames(frames, [&](int i) {
        now = uint32_t(1000.0f * length * i / frames);
        timer.update();
        camera.update();
        glClearColor(0, 0, 0, 0);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        for (int pass = 0; pass < 4; ++pass) {
            camera.apply();
            drawScenery(images, 2);
            if (pass == 1 || pass == 3) drawSky(&sky, images);
        }
    });

    std::printf("outdoor set, %d frames at 1024 x 768 (%s)\n", frames,
                reinterpret_cast<const char*>(glGetString(GL_RENDERER)));
    std::printf("  texture table load:            %8.1f ms (%s, %d message box%s)\n", loadMs,
                textured ? "all textured" : "untextured", boxes, boxes == 1 ? "" : "es");
    std::printf("  clear and swap:                %8.2f ms median, %8.2f ms p95\n", clearOnly.median, clearOnly.p95);
    std::printf("  scenery x4 + sky x2 per frame: %8.2f ms median, %8.2f ms p95\n", set.median, set.p95);
    for (TgaImage& image : images) releasePixels(image);
    closeWindow();
    setTickSource(nullptr);
    return 0;
}
