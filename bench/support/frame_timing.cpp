#include "bench/support/frame_timing.h"

#include <GL/glew.h>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <vector>

#include "shell/demo_app.h"
#include "shell/gl_window.h"

double millisecondsSince(BenchClock::time_point start) {
    return std::chrono::duration<double, std::milli>(BenchClock::now() - start).count();
}

double processCpuMilliseconds() {
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return now.tv_sec * 1000.0 + now.tv_nsec / 1.0e6;
}

namespace {

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

double percentile95(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[std::min(values.size() - 1, values.size() * 95 / 100)];
}

void finishFrame() {
    glFinish();
    SwapBuffers(demoApp.deviceContext);
}

// Wall-clock and CPU milliseconds of one call.
struct Sample {
    double wall;
    double cpu;
};

Sample sample(const std::function<void()>& run) {
    const double cpuStart = processCpuMilliseconds();
    auto start = BenchClock::now();
    run();
    return {millisecondsSince(start), processCpuMilliseconds() - cpuStart};
}

}  // namespace

Figures timeRuns(int runs, const std::function<void(int)>& run) {
    std::vector<double> times;
    const double cpuStart = processCpuMilliseconds();
    for (int i = 0; i < runs; ++i) {
        auto start = BenchClock::now();
        run(i);
        times.push_back(millisecondsSince(start));
    }
    const double cpu = (processCpuMilliseconds() - cpuStart) / runs;
    return {median(times), percentile95(times), cpu};
}

Figures timeFrames(int frames, const std::function<void(int)>& drawFrame) {
    return timeRuns(frames, [&](int i) {
        drawFrame(i);
        finishFrame();
    });
}

PairedFigures timeFramePairs(int pairs, const std::function<void(int)>& fillFrame,
                             const std::function<void(int)>& sceneFrame) {
    std::vector<double> fillWall, sceneWall, ratios, cpuRatios;
    double fillCpu = 0.0, sceneCpu = 0.0;
    for (int i = 0; i < pairs; ++i) {
        const Sample fill = sample([&] {
            fillFrame(i);
            finishFrame();
        });
        const Sample scene = sample([&] {
            sceneFrame(i);
            finishFrame();
        });
        fillWall.push_back(fill.wall);
        sceneWall.push_back(scene.wall);
        fillCpu += fill.cpu;
        sceneCpu += scene.cpu;
        ratios.push_back(scene.wall / std::max(fill.wall, 1e-6));
        cpuRatios.push_back(scene.cpu / std::max(fill.cpu, 1e-6));
    }
    return {{median(fillWall), percentile95(fillWall), fillCpu / pairs},
            {median(sceneWall), percentile95(sceneWall), sceneCpu / pairs},
            median(ratios),
            median(cpuRatios)};
}

void printPairedFigures(const PairedFigures& pairs) {
    std::printf("  in pairs: fill limit  median %7.2f ms   p95 %7.2f ms   cpu %7.2f ms\n", pairs.fill.median,
                pairs.fill.p95, pairs.fill.cpuPerFrame);
    std::printf("  in pairs: scene       median %7.2f ms   p95 %7.2f ms   cpu %7.2f ms   (%.1f fps)\n",
                pairs.scene.median, pairs.scene.p95, pairs.scene.cpuPerFrame, 1000.0 / pairs.scene.median);
    std::printf("  in pairs: scene / fill limit  %.2fx (median of per-pair ratios)   %.2fx (cpu)\n", pairs.ratio,
                pairs.cpuRatio);
}
