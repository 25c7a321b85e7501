// Frame cost of the indoor scene at 1024 x 768, against two references measured in
// the same run: a bare clear-and-swap frame, and the scene's fill limit (the same
// passes at the same target sizes, each drawing one plain textured full-screen quad).
// Fill limit and scene are timed in blocks of their own, then once more in pairs (a
// fill frame, a scene frame, ...) whose per-pair ratio is the steadier judge. With
// --shots DIR it saves the frames at a few fixed times as PNG files. With
// --instructions (under callgrind, bench/pass_instructions.sh) it times nothing and
// counts the instructions of the scene's frames and of the fill limit instead.
//
//   bench_indoor_scene [frames] [--shots DIR] [--instructions]   (run from the run directory, with a display)
#include <GL/glew.h>

#include <cstdio>

#include "bench/support/bench_window.h"
#include "bench/support/frame_timing.h"
#include "bench/support/instruction_count.h"
#include "bench/support/textured_quad.h"
#include "platform/clock/tick_count.h"
#include "platform/shader/cg.h"
#include "scenes/indoor/bump_mapping.h"
#include "shell/demo_app.h"
#include "shell/gl_window.h"

int main(int argc, char** argv) {
    const BenchArguments arguments = benchArguments(argc, argv, 120);
    const int frames = arguments.frames;
    uint32_t now = 0;
    setTickSource([&] { return now; });

    if (!openBenchWindow(1024, 768)) return 1;
    demoApp.cgContext = cgCreateContext();

    auto initStart = BenchClock::now();
    BumpMapping* scene = new BumpMapping(&demoApp.input, nullptr);
    scene->init();
    double initMs = millisecondsSince(initStart);
    float length = scene->endTime();

    Figures clearOnly = timeFrames(frames, [](int) {
        glClearColor(0.1f, 0.1f, 0.1f, 1);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    });

    // Fill limit: pass 1 into a 1024 x 768 framebuffer through the 1024 x 1024 viewport,
    // pass 2 to the window, each one textured quad with no shader.
    GLuint texture = scene->materialImages[0].textureId ? scene->materialImages[0].textureId : 0;
    auto fillFrame = [&](int) {
        cgGLDisableProfile(scene->lighting.vertexProfile);
        cgGLDisableProfile(scene->lighting.fragmentProfile);
        glViewport(0, 0, 1024, 1024);
        beginPlainTexturedFill();
        glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, scene->frameBuffer);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glBindTexture(GL_TEXTURE_2D, texture);
        drawTexturedQuad();
        glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, 0);
        glBindTexture(GL_TEXTURE_2D, scene->colorTexture);
        drawTexturedQuad();
        cgGLEnableProfile(scene->lighting.fragmentProfile);
    };
    // The scene itself at evenly spaced scene times over its whole length.
    auto sceneFrame = [&](int i) {
        now = static_cast<uint32_t>((length * (i + 0.5) / frames) * 1000.0);
        scene->step();
    };
    if (arguments.countInstructions) {
        countSceneInstructions(frames, [&](bool) { timeFrames(frames, sceneFrame); }, "scene", fillFrame);
        std::printf("indoor scene, %d frames counted\n", frames);
        closeBenchScene(scene);
        return 0;
    }
    Figures fill = timeFrames(frames, fillFrame);
    Figures sceneFigures = timeFrames(frames, sceneFrame);
    // Both again, a fill frame then a scene frame: the steadier ratio.
    PairedFigures pairs = timeFramePairs(frames, fillFrame, sceneFrame);

    std::printf("indoor scene, %d frames at 1024 x 768\n", frames);
    std::printf("  init                  %8.1f ms\n", initMs);
    std::printf("  clear + swap          median %7.2f ms   p95 %7.2f ms\n", clearOnly.median, clearOnly.p95);
    std::printf("  fill limit            median %7.2f ms   p95 %7.2f ms\n", fill.median, fill.p95);
    std::printf("  scene                 median %7.2f ms   p95 %7.2f ms   (%.1f fps)\n", sceneFigures.median,
                sceneFigures.p95, 1000.0 / sceneFigures.median);
    std::printf("  scene / fill limit    %.2fx (median)\n", sceneFigures.median / fill.median);
    std::printf("  scene / clear + swap  %.2fx (median)\n", sceneFigures.median / clearOnly.median);
    printPairedFigures(pairs);

    // Spread over the flight.
    saveShots(arguments, "indoor", {10.0, 40.0, 70.0}, 1024, 768, [&](double t) {
        now = static_cast<uint32_t>(t * 1000.0);
        scene->step();
    });

    closeBenchScene(scene);
    return 0;
}
