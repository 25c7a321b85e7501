#include "tools/grass_textures/ground_maps.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "tools/common/noise.h"

using gen::clamp01;
using gen::fbm;
using gen::smoothstep;

namespace {

// The set around the field, in world units. The pool basin's rim runs at |x| 16.5,
// |z| 17; grass keeps a margin beyond it so no card reaches over the water.
constexpr double poolHalfX = 20.0, poolHalfZ = 20.5, poolCorner = 3.0;
// Round things standing on the lawn, with the radius kept clear around their centre:
// the stone planter of the banana plants and the boulders.
struct Clearing {
    double x, z, radius;
};
constexpr Clearing clearings[] = {{29.5, 30.0, 11.0}, {-28.0, -36.0, 3.9}, {42.0, -22.0, 4.6}, {-20.0, 42.0, 3.4}};
// Rectangles kept clear: the terrace steps at the west edge, and the old banana
// leaf lying on the lawn north of the pool.
struct Area {
    double x0, z0, x1, z1;
};
constexpr Area keptClear[] = {{-47.0, -7.0, -42.2, 7.0}, {-1.8, 42.6, 14.6, 46.5}};
// Trodden paths: from the pool's east rim towards the gate, and one heading south.
struct PathPoint {
    double x, z;
};
constexpr PathPoint eastPath[] = {{20, -3}, {27, -1}, {34, 2}, {40, 0.5}, {47, 1}};
constexpr PathPoint southPath[] = {{-7, -20}, {-10, -27}, {-6.5, -34}, {-9, -41}, {-8, -47}};
constexpr double pathHalfWidth = 1.3;
constexpr double fieldHalf = 46.0;

double distanceToSegment(double x, double z, const PathPoint& a, const PathPoint& b) {
    const double dx = b.x - a.x, dz = b.z - a.z;
    const double t = clamp01(((x - a.x) * dx + (z - a.z) * dz) / (dx * dx + dz * dz));
    return std::hypot(x - a.x - t * dx, z - a.z - t * dz);
}

template <size_t N>
double distanceToPath(double x, double z, const PathPoint (&path)[N]) {
    double best = 1e9;
    for (size_t i = 0; i + 1 < N; ++i) best = std::min(best, distanceToSegment(x, z, path[i], path[i + 1]));
    return best;
}

// Signed distance outside the pool's rounded rectangle (negative inside).
double outsidePool(double x, double z) {
    const double qx = std::fabs(x) - (poolHalfX - poolCorner), qz = std::fabs(z) - (poolHalfZ - poolCorner);
    const double outside = std::hypot(std::max(qx, 0.0), std::max(qz, 0.0));
    return outside + std::min(std::max(qx, qz), 0.0) - poolCorner;
}

// Field coordinates in tiles of the noise (the field is one tile).
double tileU(double x) { return (x + fieldHalf) / (2 * fieldHalf); }

uint32_t hashTexel(uint32_t x, uint32_t y) {
    uint32_t h = x * 0x9e3779b1u ^ (y + 0x7f4a7c15u) * 0x85ebca6bu;
    h ^= h >> 15;
    h *= 0xc2b2ae35u;
    h ^= h >> 13;
    return h;
}

}  // namespace

double grassDensityAt(double x, double z) {
    const double u = tileU(x), v = tileU(z);
    // Hard keep-outs: the pool with its margin and the banana trunks.
    const double pool = outsidePool(x, z);
    if (pool < 0) return 0;
    for (const Clearing& clearing : clearings)
        if (std::hypot(x - clearing.x, z - clearing.z) < clearing.radius) return 0;
    for (const Area& area : keptClear)
        if (x >= area.x0 && x <= area.x1 && z >= area.z0 && z <= area.z1) return 0;

    // Thin grass along the pool rim, the planter and the stones, thickening away from them.
    double density = 0.35 + 0.65 * smoothstep(0.0, 5.0, pool);
    for (const Clearing& clearing : clearings)
        density *= 0.3 + 0.7 * smoothstep(clearing.radius, clearing.radius + 3.0,
                                          std::hypot(x - clearing.x, z - clearing.z));

    // Paths, wandering a little and wider in places.
    const double wobble = 0.8 * fbm(u, v, 6, 3, 31u);
    const double widen = 1.0 + 0.5 * fbm(u, v, 4, 2, 37u);
    const double path = std::min(distanceToPath(x, z, eastPath), distanceToPath(x, z, southPath)) + wobble;
    density *= smoothstep(pathHalfWidth * widen, pathHalfWidth * widen + 2.0, path);

    // Bare patches where frost has kept the ground, and a ragged outer border.
    const double patches = fbm(u, v, 5, 4, 11u);
    density *= smoothstep(-0.46, -0.26, patches);
    const double border = fieldHalf - std::max(std::fabs(x), std::fabs(z));
    density *= smoothstep(0.0, 6.0, border + 3.0 * fbm(u, v, 8, 3, 17u));

    // Denser clumps.
    const double clumps = fbm(u, v, 10, 3, 23u);
    density *= 0.55 + 0.45 * smoothstep(-0.25, 0.35, clumps);
    return clamp01(density);
}

double grassSizeAt(double x, double z) {
    const double u = tileU(x), v = tileU(z);
    // Tall tussocks in the clumps, short turf elsewhere, shorter still near the rim.
    const double clumps = smoothstep(-0.25, 0.45, fbm(u, v, 10, 3, 23u));
    const double meadow = smoothstep(-0.5, 0.5, fbm(u, v, 3, 2, 29u));
    const double nearRim = smoothstep(0.0, 8.0, outsidePool(x, z));
    return (0.35 + 0.55 * meadow + 0.7 * clumps) * (0.7 + 0.3 * nearRim);
}

GroundMap paintPositionMap(int size, float fieldSize) {
    GroundMap map;
    map.size = size;
    map.bytes.assign(size_t(size) * size * 3, 0);
    for (int row = 0; row < size; ++row) {
        // The field counts z from the last stored row.
        const int zTexel = size - 1 - row;
        const double z = double(zTexel - size / 2) * fieldSize / size;
        for (int column = 0; column < size; ++column) {
            const double x = double(column - size / 2) * fieldSize / size;
            const double density = grassDensityAt(x, z);
            if (density <= 0 || (hashTexel(column, row) >> 8) / 16777216.0 >= density) continue;
            // Brightness = size factor x 255, spread green-heavy so the map reads as grass.
            const double total = std::clamp(grassSizeAt(x, z), 0.02, 2.9) * 255.0;
            unsigned char* texel = &map.bytes[(size_t(row) * size + column) * 3];
            const int green = int(std::lround(total * 0.40));
            const int red = int(std::lround(total * 0.33));
            const int blue = std::max(1, int(std::lround(total)) - green - red);
            texel[0] = uint8_t(std::min(blue, 255));
            texel[1] = uint8_t(std::min(green, 255));
            texel[2] = uint8_t(std::min(red, 255));
        }
    }
    return map;
}

GroundMap paintWindMap(int size) {
    GroundMap map;
    map.size = size;
    map.bytes.resize(size_t(size) * size * 3);
    for (int row = 0; row < size; ++row) {
        const double v = double(row) / size;
        for (int column = 0; column < size; ++column) {
            const double u = double(column) / size;
            // A prevailing breeze towards +x and a little +z, turned and weakened in
            // broad cloudy swirls.
            const double alongX = 0.5 + 0.22 + 0.24 * fbm(u, v, 3, 4, 41u);
            const double alongZ = 0.5 + 0.10 + 0.24 * fbm(u, v, 3, 4, 43u);
            unsigned char* texel = &map.bytes[(size_t(row) * size + column) * 3];
            texel[0] = uint8_t(std::lround(clamp01(alongZ) * 255.0));
            texel[1] = uint8_t(std::lround(clamp01(0.5 * (alongX + alongZ)) * 255.0));
            texel[2] = uint8_t(std::lround(clamp01(alongX) * 255.0));
        }
    }
    return map;
}
