#include "bench/support/instruction_count.h"

#include "bench/support/frame_timing.h"

#if __has_include(<valgrind/callgrind.h>)
#include <valgrind/callgrind.h>

void startCountingInstructions() { CALLGRIND_START_INSTRUMENTATION; }

void closeInstructionCount(const char* part) { CALLGRIND_DUMP_STATS_AT(part); }
#else
// Without valgrind's headers the benches build all the same, and count nothing.
void startCountingInstructions() {}

void closeInstructionCount(const char*) {}
#endif

void countSceneInstructions(int frames, const std::function<void(bool counting)>& drawScene, const char* rest,
                            const std::function<void(int)>& fillFrame) {
    drawScene(false);
    timeFrames(1, fillFrame);
    startCountingInstructions();
    drawScene(true);
    closeInstructionCount(rest);
    timeFrames(frames, fillFrame);
    closeInstructionCount("fill limit");
}
