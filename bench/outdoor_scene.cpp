// Frame cost of the outdoor scene at 1024 x 768, against two references measured in
// the same run: a bare clear-and-swap frame, and the scene's fill limit (the same
// four passes at their target sizes: shadow map 1024 x 768, reflection 800 x 600,
// refraction 1024 x 768 and the main view through its 1024 x 1024 viewport, each
// drawing one plain textured full-screen quad).
//
// The scene is timed at fixed scene times spread evenly over its whole length, so
// the figures cover the flat ground, the rising and swaying grass and the snow.
// Fill limit and scene are timed in blocks of their own, then once more in pairs (a
// fill frame, a scene frame, ...) whose per-pair ratio is the steadier judge on a
// shared machine. With --shots DIR it also saves the frames at a few fixed times as
// PNG files, to compare pictures before and after a change (bench/compare_shots.py).
// --at picks the scene times instead (one per --at, in increasing order); those are
// shot first, from the scene's start as the demo plays it, since the timed frames
// re-issue flakes the snow would still show. With --instructions (under callgrind,
// bench/pass_instructions.sh) it times nothing and counts instructions pass by pass
// and of the fill limit instead.
//
//   bench_outdoor_scene [frames] [--shots DIR [--at SECONDS]...] [--instructions]
//   (run from the run directory, with a display)
#include <GL/glew.h>

#include <cstdio>

#include "assets/mesh.h"
#include "bench/support/bench_window.h"
#include "bench/support/frame_timing.h"
#include "bench/support/instruction_count.h"
#include "bench/support/textured_quad.h"
#include "math/spline.h"
#include "math/spline_camera.h"
#include "platform/clock/tick_count.h"
#include "platform/clock/timer.h"
#include "platform/shader/cg.h"
#include "scenes/outdoor/grass_field.h"
#include "scenes/outdoor/growing_grass.h"
#include "scenes/outdoor/scenery.h"
#include "scenes/outdoor/shadow_mapper.h"
#include "scenes/outdoor/snowfall_effect.h"
#include "scenes/outdoor/water_surface.h"
#include "shell/demo_app.h"
#include "shell/gl_window.h"

namespace {

const double sceneLength = 150.0;
const int windowWidth = 1024;
const int windowHeight = 768;

// One pass of the fill limit: a cleared target filled once with a textured quad.
void fillPass(unsigned frameBuffer, int width, int height, unsigned texture) {
    glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, frameBuffer);
    glViewport(0, 0, width, height);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glBindTexture(GL_TEXTURE_2D, texture);
    drawTexturedQuad();
}

// Where a frame's time goes: the scene's frame drawn pass by pass as its render
// draws it, each pass finished before the next starts, summed over the frames.
struct PassTimes {
    static const int count = 10;
    const char* names[count] = {"clear",       "shadow map",    "reflection",  "refraction",
                                "main: depth", "main: scenery", "main: grass", "main: water",
                                "main: sky",   "main: snow"};
    double total[count] = {};
    double cpu[count] = {};
    bool countInstructions = false;  // also close an instruction count per pass
};

void drawFramePassByPass(GrowingGrass& scene, PassTimes& times) {
    int pass = 0;
    auto start = BenchClock::now();
    double cpuStart = processCpuMilliseconds();
    auto lap = [&] {
        glFinish();
        if (times.countInstructions) closeInstructionCount(times.names[pass]);
        times.cpu[pass] += processCpuMilliseconds() - cpuStart;
        times.total[pass++] += millisecondsSince(start);
        start = BenchClock::now();
        cpuStart = processCpuMilliseconds();
    };
    const float t = static_cast<float>(scene.timer->total());
    const TgaImage* images = scene.images;
    const int lead = scene.leadingImageCount;
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    lap();
    scene.camera->apply();
    scene.lightPath->evaluate(t);
    scene.shadow->beginPass();
    drawScenery(images, lead);
    scene.shadow->endPass();
    lap();
    scene.camera->apply();
    scene.water->beginReflection();
    drawScenery(images, lead);
    drawSky(scene.skyMesh, images);
    scene.snowfall->render();
    scene.water->endReflection();
    lap();
    scene.water->beginRefraction();
    drawScenery(images, lead);
    scene.water->endRefraction();
    lap();
    scene.camera->apply();
    if (scene.shadow->beginDepthPrepass()) {
        drawScenery(images, lead);
        scene.shadow->endDepthPrepass();
    }
    lap();
    scene.shadow->bind();
    drawScenery(images, lead);
    scene.shadow->unbind();
    lap();
    scene.grass->render();
    lap();
    scene.water->render();
    lap();
    drawSky(scene.skyMesh, images);
    lap();
    scene.snowfall->render();
    lap();
}

}  // namespace

int main(int argc, char** argv) {
    const BenchArguments arguments = benchArguments(argc, argv, 90);
    const int frames = arguments.frames;
    uint32_t now = 0;
    setTickSource([&] { return now; });

    if (!openBenchWindow(windowWidth, windowHeight)) return 1;
    demoApp.cgContext = cgCreateContext();

    auto initStart = BenchClock::now();
    GrowingGrass* scene = new GrowingGrass(&demoApp.input, nullptr);
    scene->init();
    double initMs = millisecondsSince(initStart);
    // The chosen stills, played up to in steps of a second: the snow's wind adds up
    // from frame to frame, so one jump would land the flakes elsewhere.
    saveShots(arguments, "outdoor", arguments.shotTimes, windowWidth, windowHeight, [&](double t) {
        const uint32_t shot = static_cast<uint32_t>(t * 1000.0);
        for (now += 1000; now < shot; now += 1000) {
            scene->step();
            SwapBuffers(demoApp.deviceContext);
        }
        now = shot;
        scene->step();
    });

    Figures clearOnly = timeFrames(frames, [](int) {
        glClearColor(0.1f, 0.1f, 0.1f, 1);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    });

    const RenderTarget* shadowTarget = scene->shadow->renderTarget;
    const RenderTarget* reflection = scene->water->reflection;
    const RenderTarget* refraction = scene->water->refraction;
    const unsigned texture = scene->images[scene->leadingImageCount + 1].textureId;
    auto fillFrame = [&](int) {
        glUseProgram(0);
        beginPlainTexturedFill();
        glDisable(GL_BLEND);
        glDisable(GL_ALPHA_TEST);
        glColor4f(1, 1, 1, 1);
        fillPass(shadowTarget->frameBuffer, shadowTarget->width, shadowTarget->height, texture);
        fillPass(reflection->frameBuffer, reflection->width, reflection->height, texture);
        fillPass(refraction->frameBuffer, refraction->width, refraction->height, reflection->colorTexture);
        fillPass(0, 1024, 1024, refraction->colorTexture);
        glEnable(GL_DEPTH_TEST);
    };
    // The scene itself at evenly spaced scene times over its whole length.
    auto sceneFrame = [&](int i) {
        now = static_cast<uint32_t>((sceneLength * (i + 0.5) / frames) * 1000.0);
        scene->step();
    };
    // The scene times once more, pass by pass.
    auto drawPassByPass = [&](PassTimes& passes) {
        for (int i = 0; i < frames; ++i) {
            now = static_cast<uint32_t>((sceneLength * (i + 0.5) / frames) * 1000.0);
            scene->timer->update();
            scene->camera->update();
            drawFramePassByPass(*scene, passes);
            SwapBuffers(demoApp.deviceContext);
        }
    };
    if (arguments.countInstructions) {
        // Counted pass by pass; what follows the last pass (the swap) is left out.
        auto drawCounted = [&](bool counting) {
            PassTimes passes;
            passes.countInstructions = counting;
            drawPassByPass(passes);
        };
        countSceneInstructions(frames, drawCounted, "between", fillFrame);
        std::printf("outdoor scene, %d frames counted\n", frames);
        closeBenchScene(scene);
        return 0;
    }

    Figures fill = timeFrames(frames, fillFrame);
    Figures sceneFigures = timeFrames(frames, sceneFrame);
    // Both again, a fill frame then a scene frame: the steadier ratio.
    PairedFigures pairs = timeFramePairs(frames, fillFrame, sceneFrame);

    std::printf("outdoor scene, %d frames at %d x %d\n", frames, windowWidth, windowHeight);
    std::printf("  init                  %8.1f ms\n", initMs);
    std::printf("  clear + swap          median %7.2f ms   p95 %7.2f ms   cpu %7.2f ms\n", clearOnly.median,
                clearOnly.p95, clearOnly.cpuPerFrame);
    std::printf("  fill limit            median %7.2f ms   p95 %7.2f ms   cpu %7.2f ms\n", fill.median, fill.p95,
                fill.cpuPerFrame);
    std::printf("  scene                 median %7.2f ms   p95 %7.2f ms   cpu %7.2f ms   (%.1f fps)\n",
                sceneFigures.median, sceneFigures.p95, sceneFigures.cpuPerFrame, 1000.0 / sceneFigures.median);
    std::printf("  scene / fill limit    %.2fx (median)   %.2fx (cpu)\n", sceneFigures.median / fill.median,
                sceneFigures.cpuPerFrame / fill.cpuPerFrame);
    std::printf("  scene / clear + swap  %.2fx (median)\n", sceneFigures.median / clearOnly.median);
    printPairedFigures(pairs);

    PassTimes passes;
    drawPassByPass(passes);
    std::printf("  where a frame's time goes (mean per frame, each pass finished on its own):\n");
    for (int p = 0; p < PassTimes::count; ++p)
        std::printf("    %-18s %7.2f ms   cpu %7.2f ms\n", passes.names[p], passes.total[p] / frames,
                    passes.cpu[p] / frames);

    // Flat ground, grass rising, grown, snow.
    if (arguments.shotTimes.empty()) {
        saveShots(arguments, "outdoor", {20.0, 40.0, 100.0, 140.0}, windowWidth, windowHeight, [&](double t) {
            now = static_cast<uint32_t>(t * 1000.0);
            scene->step();
        });
    }

    closeBenchScene(scene);
    return 0;
}
