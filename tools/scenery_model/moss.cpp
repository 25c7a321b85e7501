// Moss: on the planter's soil, over the boulders' crowns, along the foot of the
// walls (over the plinth and a little way up the wall) and on the gate's
// threshold. Each patch takes the whole texture once.
#include <cmath>

#include "tools/common/noise.h"
#include "tools/scenery_model/site.h"

namespace set {

namespace {

const P3 kUp{0, 1, 0};

// A run of moss at the foot of a wall: `columns` pieces from `from` to `to`
// (points on the wall's inner face), each going from below the ground up the
// plinth's front, across its top and up the wall face to a ragged edge.
void wallFoot(Group& g, const P3& from, const P3& to, const P3& inward, bool plinth, double base, int columns,
              unsigned seed) {
    gen::Random random(seed);
    const double lift = 0.05;  // off the stone, so the moss is never inside it
    const double plinthFront = plinth ? kPlinthDepth : 0.8;  // without a plinth: out over the floor
    const double ledge = plinth ? kPlinthTop : base;
    double previousTop = ledge + 1.2 + 1.6 * random.next();
    for (int c = 0; c < columns; ++c) {
        const double t0 = double(c) / columns, t1 = double(c + 1) / columns;
        const P3 a = lerp(from, to, t0), b = lerp(from, to, t1);
        const double top0 = previousTop, top1 = ledge + 0.8 + 2.6 * random.next();
        previousTop = top1;
        auto on = [&](const P3& p, double depth, double y) {
            return P3{p.x + inward.x * depth, y, p.z + inward.z * depth};
        };
        const double u0 = t0, u1 = t1;
        if (plinth) {
            g.quadFacing({on(a, plinthFront + lift, base), u0, 0.0}, {on(b, plinthFront + lift, base), u1, 0.0},
                         {on(b, plinthFront + lift, ledge), u1, 0.35}, {on(a, plinthFront + lift, ledge), u0, 0.35},
                         inward);
        }
        g.quadFacing({on(a, plinthFront + lift, ledge + lift), u0, 0.35}, {on(b, plinthFront + lift, ledge + lift), u1, 0.35},
                     {on(b, lift, ledge + lift), u1, 0.45}, {on(a, lift, ledge + lift), u0, 0.45}, kUp);
        g.quadFacing({on(a, lift, ledge + lift), u0, 0.45}, {on(b, lift, ledge + lift), u1, 0.45},
                     {on(b, lift, top1), u1, 1.01}, {on(a, lift, top0), u0, 1.01}, inward);
    }
}

}  // namespace

Group buildMoss() {
    Group g;
    // Soil of the planter: a low crown of moss, highest in the middle.
    for (int k = 0; k < 8; ++k) {
        auto rim = [](int i) {
            const double a = (22.5 + 45.0 * i) * kPi / 180.0;
            return P3{kPlanterCentre.x + kPlanterInner * std::cos(a), kSoil, kPlanterCentre.z + kPlanterInner * std::sin(a)};
        };
        const P3 a = rim(k), b = rim(k + 1), c{kPlanterCentre.x, kSoilCrown, kPlanterCentre.z};
        auto uv = [](const P3& p) {
            return Corner{p, 0.5 + (p.x - kPlanterCentre.x) / (2 * kPlanterInner),
                          0.5 + (p.z - kPlanterCentre.z) / (2 * kPlanterInner)};
        };
        Corner ca = uv(a), cb = uv(b), cc = uv(c);
        if (cross(b - a, c - a).y > 0) g.triangle(ca, cb, cc);
        else g.triangle(ca, cc, cb);
    }
    // Cushions over the boulders' crowns.
    Group crowns;
    for (const Stone& stone : kStones) addStone(crowns, stone, true, 1.04);
    for (Corner& c : crowns.corners) c.u = 0.5 + 0.3 * std::cos(c.p.x), c.v = 0.5 + 0.3 * std::sin(c.p.z);
    g.append(crowns);
    // Wall feet: north, south, and the west wall above the terrace.
    wallFoot(g, {-40, 0, kNorthInner}, {-24, 0, kNorthInner}, {0, 0, -1}, true, -0.6, 4, 21u);
    wallFoot(g, {18, 0, kSouthInner}, {30, 0, kSouthInner}, {0, 0, 1}, true, -0.6, 3, 22u);
    wallFoot(g, {kWestInner, 0, 44}, {kWestInner, 0, 30}, {1, 0, 0}, false, kTerraceTop, 3, 23u);
    // Threshold of the gate: a worn patch just inside the closed leaves.
    const double x0 = 75.0, x1 = kGateLeafInner - 0.0, z0 = -8.0, z1 = 7.0;
    auto at = [](double x, double z, double u, double v) { return Corner{{x, groundHeight(x, z) + 0.05, z}, u, v}; };
    g.quadFacing(at(x0, z0, 0, 0), at(x0, z1, 0, 1), at(x1, z1, 1, 1), at(x1, z0, 1, 0), kUp);
    return g;
}

}  // namespace set
