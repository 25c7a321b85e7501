// The ground (with its opening over the pool), the pool's floor and its walls.
#include <algorithm>
#include <cmath>
#include <vector>

#include "tools/common/noise.h"
#include "tools/scenery_model/site.h"

namespace set {

namespace {

// The ground's grid: a fine grid inside the walls, coarse fields outside them.
// Lines fall on the ground's edges, the pool opening's edges and every eighth
// texture repeat (so each cell lies inside one run of eight repeats).
constexpr double kGroundWest = -47.4, kGroundEast = 509.6, kGroundSouth = -92.3, kGroundNorth = 296.7;
constexpr double kRepeat = 11.5;                  // world units per repeat of the ground texture
constexpr double kRepeatRun = 8 * kRepeat;        // texture coordinates run 0..8, then start again
constexpr double kWaterReach = 30.0;              // the water plane's half size
constexpr int kCentreSplits = 11;                 // cells split through their centre

std::vector<double> evenly(double a, double b, int intervals) {
    std::vector<double> out;
    for (int i = 0; i <= intervals; ++i) out.push_back(a + (b - a) * i / intervals);
    return out;
}
std::vector<double> joined(std::initializer_list<std::vector<double>> parts) {
    std::vector<double> out;
    for (const auto& part : parts)
        for (double value : part)
            if (out.empty() || value > out.back() + 1e-9) out.push_back(value);
    return out;
}

struct Patch {
    std::vector<double> xs, zs;
};

std::vector<Patch> groundPatches() {
    const double wallE = 78.8, wallS = -77.2, wallN = 76.6;
    Patch yard{joined({evenly(kGroundWest, -kRimOuterX, 4), evenly(-kRimOuterX, kRimOuterX, 4),
                       evenly(kRimOuterX, 44.6, 4), evenly(44.6, wallE, 4)}),
               joined({evenly(wallS, -kRimOuterZ, 7), evenly(-kRimOuterZ, -0.3, 2), evenly(-0.3, kRimOuterZ, 2),
                       evenly(kRimOuterZ, wallN, 7)})};
    Patch east{{wallE, 100, 136.6, 180, 228.6, 320.6, 412.6, 504.6, kGroundEast},
               {kGroundSouth, wallS, -40, -0.3, 40, 91.7, 140, 183.7, 230, 275.7, kGroundNorth}};
    Patch north{{kGroundWest, -kRimOuterX, kRimOuterX, 44.6, wallE}, {wallN, 91.7, 140, 183.7, 230, 275.7, kGroundNorth}};
    Patch south{{kGroundWest, -kRimOuterX, kRimOuterX, 44.6, wallE}, {kGroundSouth, wallS}};
    return {yard, east, north, south};
}

bool inPoolOpening(double cx, double cz) { return std::fabs(cx) < kRimOuterX && std::fabs(cz) < kRimOuterZ; }

double rawHeight(double x, double z) {
    return gen::fbm(x / 256.0 + 0.37, z / 256.0 + 0.61, 3, 4, 71u) + 0.35 * std::sin(x * 0.045 + z * 0.02);
}

struct Calibration {
    double lo, hi;
    Calibration() : lo(1e30), hi(-1e30) {
        for (const Patch& patch : groundPatches())
            for (double x : patch.xs)
                for (double z : patch.zs) {
                    double h = rawHeight(x, z);
                    lo = std::min(lo, h), hi = std::max(hi, h);
                }
    }
};

}  // namespace

double groundHeight(double x, double z) {
    static const Calibration calibration;
    const double n = gen::clamp01((rawHeight(x, z) - calibration.lo) / (calibration.hi - calibration.lo));
    // Over the water plane the ground stays at least 0.05 up; outside it, it may
    // go down to 0. The two blend across a band beyond the water's edge.
    const double reach = std::max(std::fabs(x), std::fabs(z));
    const double lifted = gen::smoothstep(kWaterReach + 10.0, kWaterReach, reach);
    // A shallow hollow in the lawn north of the pool, where an old leaf lies.
    const double hollow = 0.45 * gen::smoothstep(14.0, 0.0, std::hypot(x - 6.0, z - 41.0));
    return std::max(0.0, gen::mix(0.6 * n, 0.05 + 0.55 * n, lifted) - hollow);
}

Group buildGround() {
    Group ground;
    auto corner = [](double x, double z, int bx, int bz) {
        return Corner{{x, groundHeight(x, z), z}, (x - kGroundWest) / kRepeat - 8 * bx,
                      (z - kGroundSouth) / kRepeat - 8 * bz};
    };
    std::vector<std::pair<double, double>> splitCells;
    // Cells in the yard that get a centre point: the ones nearest the middle of
    // each quarter, where the camera looks most.
    const double centres[kCentreSplits][2] = {{-30, -30}, {30, -30}, {-30, 30}, {45, 10},  {-10, -45}, {10, 45},
                                              {-35, 0},   {60, -50}, {60, 50},  {-40, 60}, {-40, -60}};
    for (const auto& c : centres) splitCells.push_back({c[0], c[1]});
    std::vector<bool> used(splitCells.size(), false);

    for (const Patch& patch : groundPatches()) {
        for (size_t i = 0; i + 1 < patch.xs.size(); ++i)
            for (size_t k = 0; k + 1 < patch.zs.size(); ++k) {
                const double x0 = patch.xs[i], x1 = patch.xs[i + 1], z0 = patch.zs[k], z1 = patch.zs[k + 1];
                const double cx = 0.5 * (x0 + x1), cz = 0.5 * (z0 + z1);
                if (inPoolOpening(cx, cz)) continue;
                const int bx = int(std::floor((cx - kGroundWest) / kRepeatRun));
                const int bz = int(std::floor((cz - kGroundSouth) / kRepeatRun));
                Corner a = corner(x0, z0, bx, bz), b = corner(x0, z1, bx, bz), c = corner(x1, z1, bx, bz),
                       d = corner(x1, z0, bx, bz);  // counter-clockwise seen from above
                bool split = false;
                for (size_t s = 0; s < splitCells.size(); ++s)
                    if (!used[s] && splitCells[s].first >= x0 && splitCells[s].first < x1 &&
                        splitCells[s].second >= z0 && splitCells[s].second < z1)
                        split = used[s] = true;
                if (split) {
                    Corner m = corner(cx, cz, bx, bz);
                    ground.triangle(a, b, m), ground.triangle(b, c, m), ground.triangle(c, d, m),
                        ground.triangle(d, a, m);
                } else {
                    ground.quad(a, b, c, d);
                }
            }
    }
    return ground;
}

namespace {

double poolFloorY(double z) {
    // Shallow end to the south, a slope across the middle, deep end to the north.
    return z <= -5 ? kPoolShallow : z >= 5 ? kPoolDeep : gen::mix(kPoolShallow, kPoolDeep, (z + 5) / 10);
}

}  // namespace

Group buildPoolFloor() {
    Group floor;
    const double xs[] = {-kPoolInner, 0, kPoolInner};
    const double zs[] = {-kPoolInner, -5, 5, kPoolInner};
    auto corner = [](double x, double z) {
        return Corner{{x, poolFloorY(z), z}, (x + kPoolInner) / (2 * kPoolInner), (z + kPoolInner) / (2 * kPoolInner)};
    };
    for (int i = 0; i < 2; ++i)
        for (int k = 0; k < 3; ++k)
            floor.quad(corner(xs[i], zs[k]), corner(xs[i], zs[k + 1]), corner(xs[i + 1], zs[k + 1]),
                       corner(xs[i + 1], zs[k]));
    return floor;
}

Group buildPoolWalls() {
    // Per side: the rim's top, its outer face (down into the ground), the front
    // and underside of the coping's lip over the water, and the inner wall in
    // two bands down past the deepest floor. Texture: three repeats along a side
    // and three down the full depth.
    Group walls;
    const double lip = 0.2, lipY = 0.2, band = -4.0;
    const double vScale = 2.99 / (kRimTop - kPoolDeep);
    struct Side {
        P3 out;  // outward from the pool's centre
        double inner, outer, halfLength;
        P3 along{};  // to the right, seen from inside the pool
    };
    Side sides[4] = {{{0, 0, -1}, kPoolInner, kRimOuterZ, kRimOuterX},
                     {{0, 0, 1}, kPoolInner, kRimOuterZ, kRimOuterX},
                     {{-1, 0, 0}, kPoolInner, kRimOuterX, kRimOuterZ},
                     {{1, 0, 0}, kPoolInner, kRimOuterX, kRimOuterZ}};
    for (Side& s : sides) {
        s.along = cross(s.out, P3{0, 1, 0});
        // Point at distance d from the centre along `out`, position t along the
        // side (the corners are mitred, so the side's length shrinks inwards).
        auto at = [&](double d, double t, double y) {
            // The corners are mitred: the reach runs along the line from the
            // inner corner to the rim's outer corner.
            const double otherOuter = s.halfLength;
            double reach = kPoolInner + (d - s.inner) * (otherOuter - kPoolInner) / (s.outer - s.inner);
            return P3{s.out.x * d + s.along.x * t * reach, y, s.out.z * d + s.along.z * t * reach};
        };
        auto uAt = [&](double t) { return (t + 1) / 2 * 2.99; };
        auto k = [&](double d, double t, double y, double v) { return Corner{at(d, t, y), uAt(t), v}; };
        const double lipD = s.inner - lip;
        const double rimV = (s.outer - lipD) * vScale;
        // Rim top (seen from above), inner edge to outer edge.
        walls.quad(k(lipD, -1, kRimTop, rimV), k(lipD, 1, kRimTop, rimV), k(s.outer, 1, kRimTop, 0),
                   k(s.outer, -1, kRimTop, 0));
        // Outer face of the rim, down into the ground (seen from outside the pool).
        walls.quad(k(s.outer, -1, kRimTop, 0), k(s.outer, 1, kRimTop, 0), k(s.outer, 1, -0.3, 0.8 * vScale),
                   k(s.outer, -1, -0.3, 0.8 * vScale));
        // Lip front over the water, seen from the pool.
        walls.quad(k(lipD, 1, kRimTop, 0), k(lipD, -1, kRimTop, 0), k(lipD, -1, lipY, 0.3 * vScale),
                   k(lipD, 1, lipY, 0.3 * vScale));
        // Lip underside, seen from below.
        walls.quad(k(lipD, 1, lipY, 0.3 * vScale), k(lipD, -1, lipY, 0.3 * vScale),
                   k(s.inner, -1, lipY, 0.5 * vScale), k(s.inner, 1, lipY, 0.5 * vScale));
        // Inner wall, upper band through the waterline and lower band to the floor.
        const double v0 = (kRimTop - lipY) * vScale, v1 = (kRimTop - band) * vScale, v2 = 2.99;
        walls.quad(k(s.inner, 1, lipY, v0), k(s.inner, -1, lipY, v0), k(s.inner, -1, band, v1),
                   k(s.inner, 1, band, v1));
        walls.quad(k(s.inner, 1, band, v1), k(s.inner, -1, band, v1), k(s.inner, -1, kPoolDeep, v2),
                   k(s.inner, 1, kPoolDeep, v2));
    }
    return walls;
}

}  // namespace set
