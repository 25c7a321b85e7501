#include "platform/random/crt_rand.h"

#include <cstdint>

namespace {
uint32_t state = 1;
}

int crtRand() {
    state = state * 214013u + 2531011u;
    return static_cast<int>((state >> 16) & 0x7FFF);
}

void crtSrand(unsigned seed) { state = seed; }
