// Cost of the snow at 1024 x 768: the CPU side alone (gathering the wind and
// checking 10,000 life times, at a time when nothing expires and at one when
// flakes are re-issued), and whole draws over a clear-and-swap frame, measured in
// the same run.
//
//   bench_snowfall [frames]     (run from the run directory, with a display)
#include <GL/glew.h>
#include <GL/glu.h>

#include <cstdio>

#include "bench/support/bench_window.h"
#include "bench/support/frame_timing.h"
#include "platform/clock/tick_count.h"
#include "platform/clock/timer.h"
#include "scenes/outdoor/snow_files.h"
#include "scenes/outdoor/snowfall_effect.h"
#include "shell/gl_window.h"

namespace {

void sceneView() {
    glViewport(0, 0, 1024, 1024);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(45.0, 1.0, 1.0, 2000.0);
    gluLookAt(0.0, 6.0, 40.0, 0.0, 16.0, 0.0, 0.0, 1.0, 0.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}

}  // namespace

int main(int argc, char** argv) {
    const int frames = frameCountArgument(argc, argv, 200);
    uint32_t now = 0;
    setTickSource([&] { return now; });
    if (!openBenchWindow(1024, 768)) return 1;

    Timer timer;
    SnowfallEffect* snow = new SnowfallEffect(10000, &timer, Vec3(-20, 20, -20), Vec3(20, 40, 20), snowWindPathFile,
                                              false, Vec3(50, -1, 50), Vec3(-50, 0, -50), snowVertexProgramFile,
                                              snowFragmentProgramFile, snowflakeTextureFile);
    snow->initShaders();

    // 125 s: every flake out, none expires.
    auto step = [&](uint32_t milliseconds) {
        now = milliseconds;
        timer.update();
    };
    const Figures cpuQuiet = timeRuns(frames * 10, [&](int i) {
        step(125000 + i);
        snow->updateWind();
        snow->respawnExpired();
    });
    // 130 to 150 s, 20 s over the frames: the flakes run out of life and are re-issued.
    const uint32_t reissueStep = 20000 / frames;
    const Figures cpuReissue = timeRuns(frames, [&](int i) {
        step(130000 + i * reissueStep);
        snow->updateWind();
        snow->respawnExpired();
    });

    delete snow;
    now = 0;
    timer.reset();
    snow = new SnowfallEffect(10000, &timer, Vec3(-20, 20, -20), Vec3(20, 40, 20), snowWindPathFile, false,
                              Vec3(50, -1, 50), Vec3(-50, 0, -50), snowVertexProgramFile, snowFragmentProgramFile,
                              snowflakeTextureFile);
    snow->initShaders();
    step(125000);

    auto frame = [&](bool withSnow) {
        return [&, withSnow](int i) {
            step(125000 + 16 * i);
            glClearColor(0.1f, 0.12f, 0.2f, 1.0f);
            glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
            sceneView();
            if (withSnow) {
                snow->render();
                snow->render();  // the scene draws it twice a frame (reflection, main view)
            }
        };
    };
    const Figures clearOnly = timeFrames(frames, frame(false));
    const Figures withSnow = timeFrames(frames, frame(true));

    std::printf("snowfall, 10000 flakes, %d frames at 1024 x 768\n", frames);
    std::printf("  wind + life check, nothing expires   median %7.3f ms   p95 %7.3f ms\n", cpuQuiet.median, cpuQuiet.p95);
    std::printf("  wind + life check, re-issuing        median %7.3f ms   p95 %7.3f ms\n", cpuReissue.median,
                cpuReissue.p95);
    std::printf("  clear + swap                          median %7.2f ms   p95 %7.2f ms\n", clearOnly.median,
                clearOnly.p95);
    std::printf("  clear + two snow draws + swap         median %7.2f ms   p95 %7.2f ms\n", withSnow.median,
                withSnow.p95);
    std::printf("  one snow draw                         about  %7.2f ms\n", (withSnow.median - clearOnly.median) / 2);
    delete snow;
    closeWindow();
    return 0;
}
