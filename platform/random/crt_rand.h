// The process-wide pseudo-random generator of the demo: a linear congruential
// generator with the constants of the C runtime's rand(), written out so that
// every platform draws the same sequence (the grass and the snow depend on it).
// State starts at 1; each draw: state = state * 214013 + 2531011 (mod 2^32),
// result (state >> 16) & 0x7FFF, so 0..CRT_RAND_MAX.
#pragma once

constexpr int CRT_RAND_MAX = 0x7FFF;

int crtRand();
// Only tests reseed; the demo never does.
void crtSrand(unsigned seed);
