// Deterministic procedural building blocks shared by the data generators:
// tileable gradient noise and fbm, cellular noise, shaping functions and a small
// seeded random sequence. The same inputs give the same numbers on every machine.
#pragma once

#include <cstdint>

namespace gen {

// Gradient noise in [-1, 1] that repeats every `period` lattice cells in x and y.
double noise(double x, double y, int period, uint32_t seed);
// Fractal sum of `octaves` noise layers, each twice the frequency and half the
// amplitude of the last, starting at `period` cells per tile; tileable over one
// tile (coordinates in tiles). Roughly in [-1, 1].
double fbm(double u, double v, int period, int octaves, uint32_t seed);
// Distance to the nearest of a tileable grid of jittered points (cellular noise),
// in cells; `period` cells per tile.
double cellDistance(double u, double v, int period, uint32_t seed);

double smoothstep(double edge0, double edge1, double x);
double mix(double a, double b, double t);
double clamp01(double x);

// A small deterministic sequence for placing details (scratches, bolts, stones).
class Random {
public:
    explicit Random(uint32_t seed) : state_(seed) {}
    double next();  // [0, 1)
private:
    uint32_t state_;
};

}  // namespace gen
