// Frame cost of the outdoor set as scene 1 draws it each frame (the scenery
// model four times and the sky dome twice, plain textured, along the camera
// flight) at 1024 x 768, against a bare clear-and-swap frame measured in the
// same run; and the time the texture table takes to load.
//
//   bench_outdoor_set [frames]     (run from the run directory, with a display)
#include <GL/glew.h>

#include <cstdio>

#include "assets/mesh.h"
#include "bench/support/bench_window.h"
#include "bench/support/frame_timing.h"
#include "math/spline.h"
#include "math/spline_camera.h"
#include "platform/clock/tick_count.h"
#include "platform/clock/timer.h"
#include "platform/window/message_box.h"
#include "scenes/outdoor/scenery.h"
#include "shell/gl_window.h"

int main(int argc, char** argv) {
    const int frames = frameCountArgument(argc, argv, 120);
    uint32_t now = 0;
    setTickSource([&] { return now; });
    // A missing texture (the grass blade's comes from another generator) must not
    // stop the figures: the boxes are counted, not shown.
    int boxes = 0;
    setMessageBoxHandler([&](const char*, const char*, unsigned) { ++boxes; });

    if (!openBenchWindow(1024, 768)) return 1;

    TgaImage images[12];
    auto loadStart = BenchClock::now();
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
