// Timing of repeated runs for the benchmarks: wall-clock median and 95th percentile
// of each run, and the process's CPU time per run.
#pragma once

#include <chrono>
#include <functional>

using BenchClock = std::chrono::steady_clock;

double millisecondsSince(BenchClock::time_point start);

// CPU time of the whole process (the GL driver's rendering threads included), in
// milliseconds: on a machine shared with other work it varies far less than the
// wall-clock time.
double processCpuMilliseconds();

struct Figures {
    double median;
    double p95;
    double cpuPerFrame;  // process CPU time per run
};

// Times `runs` calls of run(i), i = 0 .. runs - 1, each on its own.
Figures timeRuns(int runs, const std::function<void(int)>& run);

// Times `frames` frames: drawFrame(i), then glFinish and the buffer swap, so that a
// frame's time includes the GL work it queued.
Figures timeFrames(int frames, const std::function<void(int)>& drawFrame);

// A scene timed against its fill limit in pairs of frames, a fill frame then a scene
// frame, so that both see the same neighbours on a shared machine. The ratios are
// the medians of the per-pair ratios, of wall-clock and of CPU time.
struct PairedFigures {
    Figures fill;
    Figures scene;
    double ratio;
    double cpuRatio;
};

// Times `pairs` pairs: fillFrame(i) then sceneFrame(i), each as a frame of its own.
PairedFigures timeFramePairs(int pairs, const std::function<void(int)>& fillFrame,
                             const std::function<void(int)>& sceneFrame);

// Three lines under a benchmark's other figures: both medians and the two ratios.
void printPairedFigures(const PairedFigures& pairs);
