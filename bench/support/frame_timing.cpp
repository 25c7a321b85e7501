#include "bench/support/frame_timing.h"

#include <GL/glew.h>

#include <algorithm>
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

Figures timeRuns(int runs, const std::function<void(int)>& run) {
    std::vector<double> times;
    const double cpuStart = processCpuMilliseconds();
    for (int i = 0; i < runs; ++i) {
        auto start = BenchClock::now();
        run(i);
        times.push_back(millisecondsSince(start));
    }
    const double cpu = (processCpuMilliseconds() - cpuStart) / runs;
    std::sort(times.begin(), times.end());
    return {times[times.size() / 2], times[std::min(times.size() - 1, times.size() * 95 / 100)], cpu};
}

Figures timeFrames(int frames, const std::function<void(int)>& drawFrame) {
    return timeRuns(frames, [&](int i) {
        drawFrame(i);
        glFinish();
        SwapBuffers(demoApp.deviceContext);
    });
}
