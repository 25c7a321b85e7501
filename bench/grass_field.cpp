// Cost of the grass field: building it (reading both images and placing 10,000
// blades) and drawing it at 1024 x 768, against a clear-and-swap frame measured in
// the same run. The field is drawn fully grown and swaying (scene time 100 s) from a
// view over the whole field, and from inside the grass where the blades fill the
// screen.
//
//   bench_grass_field [frames]     (run from the run directory, with a display)
#include <GL/glew.h>
#include <GL/glu.h>

#include <cstdio>
#include <vector>

#include "assets/tga_image.h"
#include "bench/support/bench_window.h"
#include "bench/support/frame_timing.h"
#include "platform/clock/tick_count.h"
#include "platform/clock/timer.h"
#include "platform/random/crt_rand.h"
#include "scenes/outdoor/grass_field.h"
#include "scenes/outdoor/grass_files.h"
#include "scenes/outdoor/grass_placement.h"
#include "shell/gl_window.h"

namespace {

void view(float eyeX, float eyeY, float eyeZ, float atX, float atY, float atZ) {
    glViewport(0, 0, 1024, 768);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(50.0, 1024.0 / 768.0, 0.5, 500.0);
    gluLookAt(eyeX, eyeY, eyeZ, atX, atY, atZ, 0, 1, 0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}

void clearFrame() {
    glClearColor(0.5f, 0.55f, 0.6f, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glEnable(GL_DEPTH_TEST);
}

}  // namespace

int main(int argc, char** argv) {
    const int frames = frameCountArgument(argc, argv, 100);
    uint32_t now = 0;
    setTickSource([&] { return now; });
    if (!openBenchWindow(1024, 768)) return 1;

    // Placement alone, from images already in memory.
    TgaImage position, wind;
    if (!loadTga(position, grassPositionImageFile) || !loadTga(wind, grassWindImageFile)) return 1;
    std::vector<float> positions(20 * grassBladeCount), texCoords(10 * grassBladeCount),
        offsets(15 * grassBladeCount), directions(15 * grassBladeCount);
    std::vector<uint16_t> indices(9 * grassBladeCount);
    GrassBladeArrays arrays;
    arrays.positions = positions.data();
    arrays.texCoords = texCoords.data();
    arrays.offsets = offsets.data();
    arrays.windDirections = directions.data();
    arrays.indices = indices.data();
    Figures placement = timeRuns(20, [&](int) {
        crtSrand(1);
        placeGrassBlades(position, wind, grassBladeCount, grassFieldSize, arrays);
    });
    releasePixels(position);
    releasePixels(wind);

    Timer timer;
    GrassField* grass = nullptr;
    Figures construction = timeRuns(5, [&](int) {
        delete grass;
        crtSrand(1);
        grass = new GrassField(grassBladeCount, grassGrowthSpan, grassVertexProgramFile, grassFragmentProgramFile,
                               grassBladeTextureFile, grassPositionImageFile, grassWindImageFile, grassFieldSize,
                               &timer);
    });
    auto setUpStart = BenchClock::now();
    grass->setUp();
    const double setUpMs = millisecondsSince(setUpStart);
    grass->growthStart = grassGrowthStart;

    Figures clearOnly = timeFrames(frames, [](int) { clearFrame(); });
    auto grassFrames = [&](int i) {
        now = 100000 + 40 * i;
        timer.update();
        clearFrame();
        grass->render();
    };
    view(-44.0f, 14.0f, -50.0f, 4.0f, 0.0f, 4.0f);
    Figures overview = timeFrames(frames, grassFrames);
    view(-30.0f, 3.0f, -34.0f, -20.0f, 1.0f, -24.0f);
    Figures inside = timeFrames(frames, grassFrames);

    std::printf("grass field, %d blades, %d frames at 1024 x 768\n", grassBladeCount, frames);
    std::printf("  placement             median %7.2f ms   p95 %7.2f ms\n", placement.median, placement.p95);
    std::printf("  construction          median %7.2f ms   (images read, texture made, blades placed)\n",
                construction.median);
    std::printf("  set-up                %8.2f ms   (programs, five buffers)\n", setUpMs);
    std::printf("  clear + swap          median %7.2f ms   p95 %7.2f ms\n", clearOnly.median, clearOnly.p95);
    std::printf("  overview + grass      median %7.2f ms   p95 %7.2f ms\n", overview.median, overview.p95);
    std::printf("  inside the grass      median %7.2f ms   p95 %7.2f ms\n", inside.median, inside.p95);

    delete grass;
    closeWindow();
    setTickSource(nullptr);
    return 0;
}
