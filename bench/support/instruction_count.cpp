#include "bench/support/instruction_count.h"

#if __has_include(<valgrind/callgrind.h>)
#include <valgrind/callgrind.h>

void startCountingInstructions() { CALLGRIND_START_INSTRUMENTATION; }

void closeInstructionCount(const char* part) { CALLGRIND_DUMP_STATS_AT(part); }
#else
// Without valgrind's headers the benches build all the same, and count nothing.
void startCountingInstructions() {}

void closeInstructionCount(const char*) {}
#endif
