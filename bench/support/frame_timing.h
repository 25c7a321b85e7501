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
