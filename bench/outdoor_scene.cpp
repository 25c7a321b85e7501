// Frame cost of the outdoor scene at 1024 x 768, against two references measured in
// the same run: a bare clear-and-swap frame, and the scene's fill limit (the same
// four passes at their target sizes: shadow map 1024 x 768, reflection 800 x 600,
// refraction 1024 x 768 and the main view through its 1024 x 1024 viewport, each
// drawing one plain textured full-screen quad).
//
// The scene is timed at fixed scene times spread evenly over its whole length, so
// the figures cover the flat ground, the rising and swaying grass and the snow.
// With --shots DIR it also saves the frames at a few fixed times as PNG files, to
// compare pictures before and after a change.
//
//   bench_outdoor_scene [frames] [--shots DIR]   (run from the run directory, with a display)
#include <GL/glew.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "platform/clock/tick_count.h"
#include "platform/shader/cg.h"
#include "platform/window/gl_extensions.h"
#include "scenes/outdoor/growing_grass.h"
#include "scenes/outdoor/shadow_mapper.h"
#include "scenes/outdoor/water_surface.h"
#include "shell/demo_app.h"
#include "shell/gl_window.h"
#include "support/png_writer.h"

namespace {

using Clock = std::chrono::steady_clock;

const double sceneLength = 150.0;
const int windowWidth = 1024;
const int windowHeight = 768;
// Scene times of the saved pictures: flat ground, grass rising, grown, snow.
const double shotTimes[] = {20.0, 40.0, 100.0, 140.0};

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

void drawTexturedQuad() {
    glBegin(GL_QUADS);
    glTexCoord2f(0, 0);
    glVertex2f(-1, -1);
    glTexCoord2f(1, 0);
    glVertex2f(1, -1);
    glTexCoord2f(1, 1);
    glVertex2f(1, 1);
    glTexCoord2f(0, 1);
    glVertex2f(-1, 1);
    glEnd();
}

// One pass of the fill limit: a cleared target filled once with a textured quad.
void fillPass(unsigned frameBuffer, int width, int height, unsigned texture) {
    glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, frameBuffer);
    glViewport(0, 0, width, height);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glBindTexture(GL_TEXTURE_2D, texture);
    drawTexturedQuad();
}

void saveWindow(const std::string& path) {
    std::vector<unsigned char> pixels(static_cast<size_t>(windowWidth) * windowHeight * 4);
    glReadPixels(0, 0, windowWidth, windowHeight, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    if (!writePng(path, windowWidth, windowHeight, pixels))
        std::fprintf(stderr, "could not write %s\n", path.c_str());
}

}  // namespace

int main(int argc, char** argv) {
    int frames = 90;
    const char* shotDirectory = nullptr;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--shots") == 0 && i + 1 < argc)
            shotDirectory = argv[++i];
        else
            frames = std::max(10, std::atoi(argv[i]));
    }
    uint32_t now = 0;
    setTickSource([&] { return now; });

    if (!openWindow("oku bench", windowWidth, windowHeight, 32, false)) {
        std::fprintf(stderr, "no window (is DISPLAY set?)\n");
        return 1;
    }
    if (loadGlExtensions() != GLEW_OK) return 1;
    demoApp.cgContext = cgCreateContext();

    auto initStart = Clock::now();
    GrowingGrass* scene = new GrowingGrass(&demoApp.input, nullptr);
    scene->init();
    double initMs = millisecondsSince(initStart);

    Figures clearOnly = timeFrames(frames, [](int) {
        glClearColor(0.1f, 0.1f, 0.1f, 1);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    });

    const RenderTarget* shadowTarget = scene->shadow->renderTarget;
    const RenderTarget* reflection = scene->water->reflection;
    const RenderTarget* refraction = scene->water->refraction;
    const unsigned texture = scene->images[scene->leadingImageCount + 1].textureId;
    Figures fill = timeFrames(frames, [&](int) {
        glUseProgram(0);
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        glDisable(GL_DEPTH_TEST);
        glDisable(GL_CULL_FACE);
        glDisable(GL_BLEND);
        glDisable(GL_ALPHA_TEST);
        glActiveTexture(GL_TEXTURE0);
        glEnable(GL_TEXTURE_2D);
        glColor4f(1, 1, 1, 1);
        fillPass(shadowTarget->frameBuffer, shadowTarget->width, shadowTarget->height, texture);
        fillPass(reflection->frameBuffer, reflection->width, reflection->height, texture);
        fillPass(refraction->frameBuffer, refraction->width, refraction->height, reflection->colorTexture);
        fillPass(0, 1024, 1024, refraction->colorTexture);
        glEnable(GL_DEPTH_TEST);
    });

    // The scene itself at evenly spaced scene times over its whole length.
    Figures sceneFigures = timeFrames(frames, [&](int i) {
        now = static_cast<uint32_t>((sceneLength * (i + 0.5) / frames) * 1000.0);
        scene->step();
    });

    std::printf("outdoor scene, %d frames at %d x %d\n", frames, windowWidth, windowHeight);
    std::printf("  init                  %8.1f ms\n", initMs);
    std::printf("  clear + swap          median %7.2f ms   p95 %7.2f ms\n", clearOnly.median, clearOnly.p95);
    std::printf("  fill limit            median %7.2f ms   p95 %7.2f ms\n", fill.median, fill.p95);
    std::printf("  scene                 median %7.2f ms   p95 %7.2f ms   (%.1f fps)\n", sceneFigures.median,
                sceneFigures.p95, 1000.0 / sceneFigures.median);
    std::printf("  scene / fill limit    %.2fx (median)\n", sceneFigures.median / fill.median);
    std::printf("  scene / clear + swap  %.2fx (median)\n", sceneFigures.median / clearOnly.median);

    if (shotDirectory) {
        for (double t : shotTimes) {
            now = static_cast<uint32_t>(t * 1000.0);
            scene->step();
            glFinish();
            char name[64];
            std::snprintf(name, sizeof name, "/outdoor_%03d.png", static_cast<int>(t));
            saveWindow(std::string(shotDirectory) + name);
            SwapBuffers(demoApp.deviceContext);
        }
    }

    scene->cleanup();
    delete scene;
    cgDestroyContext(demoApp.cgContext);
    closeWindow();
    return 0;
}
