#include "tools/common/noise.h"

#include <algorithm>
#include <cmath>

namespace gen {

namespace {
uint32_t hash(uint32_t x, uint32_t y, uint32_t seed) {
    uint32_t h = x * 0x8da6b343u ^ y * 0xd8163841u ^ seed * 0xcb1ab31fu;
    h ^= h >> 13;
    h *= 0x5bd1e995u;
    h ^= h >> 15;
    return h;
}
int wrap(int i, int period) { return ((i % period) + period) % period; }
double fade(double t) { return t * t * t * (t * (t * 6 - 15) + 10); }
double gradient(int ix, int iy, int period, uint32_t seed, double dx, double dy) {
    double angle = hash(uint32_t(wrap(ix, period)), uint32_t(wrap(iy, period)), seed) * (6.283185307179586 / 4294967296.0);
    return std::cos(angle) * dx + std::sin(angle) * dy;
}
}  // namespace

double noise(double x, double y, int period, uint32_t seed) {
    int ix = int(std::floor(x)), iy = int(std::floor(y));
    double fx = x - ix, fy = y - iy;
    double n00 = gradient(ix, iy, period, seed, fx, fy);
    double n10 = gradient(ix + 1, iy, period, seed, fx - 1, fy);
    double n01 = gradient(ix, iy + 1, period, seed, fx, fy - 1);
    double n11 = gradient(ix + 1, iy + 1, period, seed, fx - 1, fy - 1);
    double sx = fade(fx), sy = fade(fy);
    return 1.41421356 * mix(mix(n00, n10, sx), mix(n01, n11, sx), sy);
}

double fbm(double u, double v, int period, int octaves, uint32_t seed) {
    double sum = 0, amplitude = 0.5, norm = 0;
    for (int o = 0; o < octaves; ++o) {
        sum += amplitude * noise(u * period, v * period, period, seed + 7919u * o);
        norm += amplitude;
        amplitude *= 0.5;
        period *= 2;
    }
    return sum / norm;
}

double cellDistance(double u, double v, int period, uint32_t seed) {
    double x = u * period, y = v * period;
    int ix = int(std::floor(x)), iy = int(std::floor(y));
    double best = 1e9;
    for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx) {
            int cx = ix + dx, cy = iy + dy;
            uint32_t h = hash(uint32_t(wrap(cx, period)), uint32_t(wrap(cy, period)), seed);
            double px = cx + (h & 0xffff) / 65536.0, py = cy + (h >> 16) / 65536.0;
            best = std::min(best, std::hypot(px - x, py - y));
        }
    return best;
}

double smoothstep(double edge0, double edge1, double x) {
    double t = clamp01((x - edge0) / (edge1 - edge0));
    return t * t * (3 - 2 * t);
}
double mix(double a, double b, double t) { return a + (b - a) * t; }
double clamp01(double x) { return x < 0 ? 0 : x > 1 ? 1 : x; }

double Random::next() {
    state_ = state_ * 1664525u + 1013904223u;
    return (state_ >> 8) / 16777216.0;
}

}  // namespace gen
