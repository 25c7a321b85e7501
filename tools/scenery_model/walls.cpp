// The stone parts of the set: the walls around the site with their corner
// pillars, gate piers, plinth, string course, coping and buttresses; the raised
// terrace with its steps and parapet; the planter; the boulders in the lawn.
// And the wooden gate.
#include <cmath>
#include <vector>

#include "tools/common/noise.h"
#include "tools/scenery_model/site.h"

namespace set {

namespace {

constexpr double F = kFoundation;
const P3 kUp{0, 1, 0};

// A square pillar with a projecting cap slab and a low pyramid on top.
void pillar(Group& g, double x0, double x1, double z0, double z1, double bodyTop, double slabOverhang, double apex,
            double slabX0, double slabX1) {
    box(g, {x0, F, z0}, {x1, bodyTop, z1});
    const double s0 = slabX0, s1 = slabX1;
    box(g, {s0, bodyTop, z0 - slabOverhang}, {s1, bodyTop + 0.8, z1 + slabOverhang}, true);
    const double top = bodyTop + 0.8, inset = 0.2;
    const P3 a{s0 + inset, top, z0 - slabOverhang + inset}, b{s1 - inset, top, z0 - slabOverhang + inset},
        c{s1 - inset, top, z1 + slabOverhang - inset}, d{s0 + inset, top, z1 + slabOverhang - inset};
    const P3 tip{0.5 * (s0 + s1), apex, 0.5 * (z0 + z1)};
    const P3 corners[4] = {a, b, c, d};
    for (int i = 0; i < 4; ++i) {
        const P3& p = corners[i];
        const P3& q = corners[(i + 1) % 4];
        const P3 m = (p + q) * 0.5;
        const P3 outward{m.x - tip.x, 0.5, m.z - tip.z};
        const size_t first = g.corners.size();
        g.facingTriangle(p, q, tip, outward);
        g.fitFace(first);
    }
}

// A two-stage buttress against the wall face through `foot`, standing out along
// `inward`: a deep lower block with a sloped weathering, then a shallower upper
// block sloping back into the wall.
void buttress(Group& g, const P3& foot, const P3& inward, double halfWidth) {
    const P3 along = cross(kUp, inward);
    auto at = [&](double d, double y, double side) {
        return P3{foot.x + inward.x * d + along.x * side * halfWidth, y, foot.z + inward.z * d + along.z * side * halfWidth};
    };
    auto stage = [&](const std::vector<std::pair<double, double>>& profile) {
        // Faces along the profile's edges, skipping the edge against the wall
        // (d = 0 at both ends) and the one under the ground.
        const size_t n = profile.size();
        for (size_t i = 0; i < n; ++i) {
            auto [d0, y0] = profile[i];
            auto [d1, y1] = profile[(i + 1) % n];
            if (d0 == 0 && d1 == 0) continue;
            if (y0 == F && y1 == F) continue;
            const P3 edgeNormal = inward * (y1 - y0) + kUp * (d0 - d1);
            g.facingQuad(at(d0, y0, -1), at(d1, y1, -1), at(d1, y1, 1), at(d0, y0, 1), edgeNormal);
        }
        for (double side : {-1.0, 1.0}) {
            const size_t first = g.corners.size();
            for (size_t i = 1; i + 1 < n; ++i)
                g.facingTriangle(at(profile[0].first, profile[0].second, side),
                                 at(profile[i].first, profile[i].second, side),
                                 at(profile[i + 1].first, profile[i + 1].second, side), along * side);
            g.fitFace(first);
        }
    };
    stage({{0, F}, {2.2, F}, {2.2, 7.0}, {1.2, 8.2}, {0, 8.2}});
    stage({{0, 8.2}, {1.2, 8.2}, {1.2, 13.0}, {0, 15.5}});
}

// One straight run of wall between x0..x1 (or z0..z1) with everything that
// belongs to its inner side. `inward` points into the site.
struct Run {
    P3 lo, hi;  // the wall body
    P3 inward;
    bool plinth;
    std::vector<double> buttresses;  // positions along the run
};

void wallRun(Group& g, const Run& run, double top) {
    box(g, {run.lo.x, F, run.lo.z}, {run.hi.x, top, run.hi.z});
    const bool alongX = run.hi.x - run.lo.x > run.hi.z - run.lo.z;
    // The inner face's position and the box that stands out from it by `depth`.
    auto skin = [&](double y0, double y1, double depth, bool bottom) {
        P3 lo{run.lo.x, y0, run.lo.z}, hi{run.hi.x, y1, run.hi.z};
        if (alongX) {
            if (run.inward.z > 0) lo.z = run.hi.z, hi.z = run.hi.z + depth;
            else hi.z = run.lo.z, lo.z = run.lo.z - depth;
        } else {
            if (run.inward.x > 0) lo.x = run.hi.x, hi.x = run.hi.x + depth;
            else hi.x = run.lo.x, lo.x = run.lo.x - depth;
        }
        box(g, lo, hi, bottom);
    };
    if (run.plinth) skin(F, kPlinthTop, kPlinthDepth, false);
    skin(11.8, 12.4, 0.3, true);
    // Coping: overhangs both faces.
    P3 clo{run.lo.x, top, run.lo.z}, chi{run.hi.x, top + 0.8, run.hi.z};
    if (alongX) clo.z -= 0.3, chi.z += 0.3;
    else clo.x -= 0.3, chi.x += 0.3;
    box(g, clo, chi, true);
    for (double at : run.buttresses) {
        P3 foot = alongX ? P3{at, 0, run.inward.z > 0 ? run.hi.z : run.lo.z}
                         : P3{run.inward.x > 0 ? run.hi.x : run.lo.x, 0, at};
        buttress(g, foot, run.inward, 0.8);
    }
}

void terrace(Group& g) {
    const double w = kWestInner, f = kTerraceFront, s = kSouthInner, n = kNorthInner, top = kTerraceTop;
    const double stepHalf = 6.0;
    g.facingQuad({w, top, s}, {f, top, s}, {f, top, n}, {w, top, n}, kUp);
    g.facingQuad({f, F, s}, {f, F, n}, {f, top, n}, {f, top, s}, {1, 0, 0});
    // Steps down to the lawn.
    for (int k = 0; k < 3; ++k)
        box(g, {f, F, -stepHalf}, {f + 1.4 * (k + 1), top - 0.6 * (k + 1), stepHalf});
    // Parapet along the front edge, with posts beside the steps.
    box(g, {f - 1.0, top, s}, {f, top + 1.2, -stepHalf - 0.7});
    box(g, {f - 1.0, top, stepHalf + 0.7}, {f, top + 1.2, n});
    box(g, {f - 1.2, top, -stepHalf - 1.4}, {f + 0.2, top + 2.0, -stepHalf});
    box(g, {f - 1.2, top, stepHalf}, {f + 0.2, top + 2.0, stepHalf + 1.4});
}

void planter(Group& g) {
    auto ring = [](double radius, int k, double y) {
        const double a = (22.5 + 45.0 * k) * kPi / 180.0;
        return P3{kPlanterCentre.x + radius * std::cos(a), y, kPlanterCentre.z + radius * std::sin(a)};
    };
    for (int k = 0; k < 8; ++k) {
        const P3 mid = (ring(1, k, 0) + ring(1, k + 1, 0)) * 0.5 - kPlanterCentre;
        const P3 out = normalized(P3{mid.x, 0, mid.z});
        g.facingQuad(ring(kPlanterOuter, k, F), ring(kPlanterOuter, k + 1, F), ring(kPlanterOuter, k + 1, kPlanterRim),
                     ring(kPlanterOuter, k, kPlanterRim), out);
        g.facingQuad(ring(kPlanterInner, k, kPlanterRim), ring(kPlanterInner, k + 1, kPlanterRim),
                     ring(kPlanterOuter, k + 1, kPlanterRim), ring(kPlanterOuter, k, kPlanterRim), kUp);
        g.facingQuad(ring(kPlanterInner, k, kSoil - 0.3), ring(kPlanterInner, k + 1, kSoil - 0.3),
                     ring(kPlanterInner, k + 1, kPlanterRim), ring(kPlanterInner, k, kPlanterRim), out * -1);
    }
}

}  // namespace

const Stone kStones[kStoneCount] = {{-28, -36, 2.6, 2.0, 11u}, {42, -22, 3.2, 2.4, 12u}, {-20, 42, 2.2, 1.6, 13u},
                                     {55, 55, 2.8, 2.2, 14u},   {-38, 18, 2.4, 1.8, 15u}, {60, -55, 3.0, 2.6, 16u}};

void addStone(Group& g, const Stone& stone, bool crownOnly, double grow) {
    constexpr int kSides = 7;
    gen::Random random(stone.seed);
    const double ground = groundHeight(stone.x, stone.z);
    P3 foot[kSides], shoulder[kSides];
    for (int k = 0; k < kSides; ++k) {
        const double a = 2 * kPi * (k + 0.3 * random.next()) / kSides;
        const double r = stone.radius * (0.85 + 0.3 * random.next());
        foot[k] = {stone.x + 0.85 * r * std::cos(a), ground - 0.5, stone.z + 0.85 * r * std::sin(a)};
        shoulder[k] = {stone.x + r * std::cos(a), ground + stone.height * (0.45 + 0.2 * random.next()),
                       stone.z + r * std::sin(a)};
    }
    P3 crown{stone.x + 0.3 * stone.radius * (random.next() - 0.5), ground + stone.height,
             stone.z + 0.3 * stone.radius * (random.next() - 0.5)};
    const P3 centre{stone.x, ground + 0.3 * stone.height, stone.z};
    auto grown = [&](const P3& p) { return centre + (p - centre) * grow; };
    for (int k = 0; k < kSides; ++k) {
        const int n = (k + 1) % kSides;
        if (!crownOnly) {
            const P3 out = (shoulder[k] + shoulder[n]) * 0.5 - centre;
            g.facingQuad(foot[k], foot[n], shoulder[n], shoulder[k], P3{out.x, 0, out.z});
        }
        const P3 a = grown(shoulder[k]), b = grown(shoulder[n]), c = grown(crown);
        const size_t first = g.corners.size();
        g.facingTriangle(a, b, c, cross(b - a, c - a).y > 0 ? cross(b - a, c - a) : cross(c - a, b - a));
        g.fitFace(first);
    }
}

Group buildWalls() {
    Group g;
    g.su = 0.155;
    g.sv = 4.56 / 28.0;
    g.vOrigin = F;
    g.vOffset = -2.16;
    g.fitRanges = true;
    g.uRange[0] = -15.31, g.uRange[1] = 6.91;
    g.vRange[0] = -2.16, g.vRange[1] = 2.40;

    const std::vector<double> alongX = {-52, -36, -20, -4, 12, 28, 44, 60};
    wallRun(g, {{-67.0, 0, kSouthOuter}, {72.5, 0, kSouthInner}, {0, 0, 1}, true, alongX}, kWallTop);
    wallRun(g, {{-67.0, 0, kNorthInner}, {72.5, 0, kNorthOuter}, {0, 0, -1}, true, alongX}, kWallTop);
    wallRun(g, {{kWestOuter, 0, -70.9}, {kWestInner, 0, 70.3}, {1, 0, 0}, false, {-56, -40, -24, 24, 40, 56}},
            kWallTop);
    wallRun(g, {{kEastInner, 0, -70.9}, {kEastOuter, 0, -14.0}, {-1, 0, 0}, true, {-56, -42, -28}}, kWallTop);
    wallRun(g, {{kEastInner, 0, 13.5}, {kEastOuter, 0, 70.3}, {-1, 0, 0}, true, {28, 42, 56}}, kWallTop);
    // The wall over the gate, resting on the lintel.
    box(g, {kEastInner, kGateLintelTop, kGateSouth}, {kEastOuter, kWallTop, kGateNorth});
    box(g, {kEastInner - 0.3, kWallTop, kGateSouth}, {kEastOuter + 0.3, kWallTop + 0.8, kGateNorth}, true);

    // Corner pillars, higher than the walls.
    pillar(g, kWestOuter, -67.0, kSouthOuter, -70.9, 24.6, 0.3, 26.8, kWestOuter - 0.3, -66.7);
    pillar(g, 72.5, kEastOuter, kSouthOuter, -70.9, 24.6, 0.3, 26.8, 72.2, kEastOuter + 0.3);
    pillar(g, kWestOuter, -67.0, 70.3, kNorthOuter, 24.6, 0.3, 26.8, kWestOuter - 0.3, -66.7);
    pillar(g, 72.5, kEastOuter, 70.3, kNorthOuter, 24.6, 0.3, 26.8, 72.2, kEastOuter + 0.3);
    // Gate piers: as deep as the gate's passage.
    pillar(g, kGatePassageInner, kEastOuter, -14.0, kGateSouth, 22.0, 0.3, 23.6, kGatePassageInner - 0.3,
           kEastOuter + 0.3);
    pillar(g, kGatePassageInner, kEastOuter, kGateNorth, 13.5, 22.0, 0.3, 23.6, kGatePassageInner - 0.3,
           kEastOuter + 0.3);

    terrace(g);
    planter(g);
    for (const Stone& stone : kStones) addStone(g, stone, false, 1.0);
    return g;
}

Group buildGate() {
    // Two plank leaves hung flush with the wall's outer face, each with two
    // battens on its inner side, under a timber lintel through the passage.
    Group g;
    const double mid = 0.5 * (kGateSouth + kGateNorth);
    const double y0 = -0.9, y1 = kGateLintelBottom;
    const P3 in{-1, 0, 0}, out{1, 0, 0};
    auto leaf = [&](double z0, double z1) {
        for (double x : {kGateLeafInner, kGateLeafOuter})
            g.quadFacing({{x, y0, z0}, 0, 0}, {{x, y0, z1}, 1, 0}, {{x, y1, z1}, 1, 1}, {{x, y1, z0}, 0, 1},
                         x == kGateLeafInner ? in : out);
        // Top edge of the leaf.
        g.quadFacing({{kGateLeafInner, y1, z0}, 0, 0}, {{kGateLeafInner, y1, z1}, 1, 0},
                     {{kGateLeafOuter, y1, z1}, 1, 0.05}, {{kGateLeafOuter, y1, z0}, 0, 0.05}, kUp);
        for (double by : {3.0, 12.5}) {
            const double bx = kGateLeafInner - 0.5, b0 = z0 + 0.6, b1 = z1 - 0.6, h = 1.0;
            // Front of the batten (facing into the site) and its top.
            g.quadFacing({{bx, by, b0}, 0.1, 0.2}, {{bx, by, b1}, 0.9, 0.2}, {{bx, by + h, b1}, 0.9, 0.25},
                         {{bx, by + h, b0}, 0.1, 0.25}, in);
            g.quadFacing({{bx, by + h, b0}, 0.1, 0.25}, {{bx, by + h, b1}, 0.9, 0.25},
                         {{kGateLeafInner, by + h, b1}, 0.9, 0.27}, {{kGateLeafInner, by + h, b0}, 0.1, 0.27}, kUp);
        }
    };
    leaf(kGateSouth, mid);
    leaf(mid, kGateNorth);
    // Lintel: the grain runs along it (v along the beam, one plank's width across).
    const double lx0 = kGatePassageInner, lx1 = kGateLeafOuter, ly0 = kGateLintelBottom, ly1 = kGateLintelTop;
    const double zs = kGateSouth, zn = kGateNorth;
    for (double x : {lx0, lx1})
        g.quadFacing({{x, ly0, zs}, 0.4, 0}, {{x, ly0, zn}, 0.4, 1}, {{x, ly1, zn}, 0.6, 1}, {{x, ly1, zs}, 0.6, 0},
                     x == lx0 ? in : out);
    for (double y : {ly0, ly1})
        g.quadFacing({{lx0, y, zs}, 0.4, 0}, {{lx0, y, zn}, 0.4, 1}, {{lx1, y, zn}, 0.6, 1}, {{lx1, y, zs}, 0.6, 0},
                     y == ly1 ? kUp : kUp * -1);
    return g;
}

}  // namespace set
