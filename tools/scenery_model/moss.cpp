// Moss: on the planter's soil, over the boulders' crowns except their sunny
// face, and in low cushions where wall meets floor: at the foot of the north
// and south walls' plinths, on the plinths' ledges, at the foot of the west wall
// on the terrace and inside the gate. Each patch takes the whole texture once;
// the texture thins out towards its border, and the patches' outlines are
// uneven, so the moss reads as growth, not as slabs laid on the set.
#include <algorithm>
#include <cmath>
#include <functional>

#include "tools/common/noise.h"
#include "tools/scenery_model/site.h"

namespace set {

namespace {

const P3 kUp{0, 1, 0};

// Height of the floor a cushion grows on, at (x, z).
using Floor = std::function<double(double, double)>;

// A cushion of moss in the angle between a floor and the face of a wall, from
// `from` to `to` (points on the face's foot line), `inward` pointing away from
// the face: a sloping strip from a rim out on the floor, tucked just under it so
// the floor cuts the cushion's outline there, up to a ragged top on the face.
// Along the cushion it swells from nothing at both ends, unevenly from column
// to column, so neither edge is straight.
struct Cushion {
    P3 from, to, inward;
    Floor floor;
    int columns;
    double reach;     // furthest the rim goes out over the floor
    double climb;     // highest the top goes up the face
    unsigned seed;
    double endDepth;  // the ends' points lie at this height, under the floor
};

void addCushion(Group& g, const Cushion& c) {
    gen::Random random(c.seed);
    const double lift = 0.05;  // off the face, so the moss is never inside it
    auto at = [&](const P3& foot, double out) {
        return P3{foot.x + c.inward.x * (lift + out), 0, foot.z + c.inward.z * (lift + out)};
    };
    std::vector<Corner> rim, top;
    for (int i = 0; i <= c.columns; ++i) {
        const bool end = i == 0 || i == c.columns;
        double t = double(i) / c.columns;
        if (!end) t += (random.next() - 0.5) * 0.5 / c.columns;
        const P3 foot = lerp(c.from, c.to, t);
        // How far this column has grown: most in the middle, uneven.
        const double swell = end ? 0.0 : std::pow(std::sin(kPi * t), 0.6);
        P3 rimPoint = at(foot, 0.15 + c.reach * swell * (0.6 + 0.4 * random.next()));
        P3 topPoint = at(foot, 0.0);
        rimPoint.y = end ? c.endDepth : c.floor(rimPoint.x, rimPoint.z) - 0.1;
        topPoint.y = end ? c.endDepth + 0.1 : c.floor(topPoint.x, topPoint.z) + 0.1 + c.climb * swell * (0.3 + 0.7 * random.next());
        rim.push_back({rimPoint, t, 0.0});
        top.push_back({topPoint, t, 1.01});
    }
    const P3 outwardUp = c.inward + kUp;
    for (int i = 0; i < c.columns; ++i) g.quadFacing(rim[i], rim[i + 1], top[i + 1], top[i], outwardUp);
}

// The moss over a boulder's crown: all but the face turned to the sun in the
// south, each covering its face from the crown down to an uneven rim.
void addStoneCap(Group& g, const Stone& stone) {
    Group crown;
    addStone(crown, stone, true, 1.04);
    const int faces = crown.triangleCount();
    // The face turned most to the south (-z) stays bare.
    std::vector<int> order(faces);
    for (int k = 0; k < faces; ++k) order[k] = k;
    auto southward = [&](int k) {
        const Corner* t = &crown.corners[3 * k];
        return t[0].p.z + t[1].p.z + t[2].p.z;
    };
    std::sort(order.begin(), order.end(), [&](int a, int b) { return southward(a) < southward(b); });
    // How far from the crown towards a shoulder the moss reaches: a function of
    // the shoulder's place, so the two faces sharing it agree and the rim is whole.
    auto reach = [&](const P3& shoulder) {
        return 0.45 + 0.55 * gen::clamp01(0.5 + 0.8 * gen::noise(shoulder.x * 1.7, shoulder.z * 1.7, 1024, stone.seed));
    };
    for (int k = 0; k < faces; ++k) {
        if (k == order[0]) continue;
        Corner t[3] = {crown.corners[3 * k], crown.corners[3 * k + 1], crown.corners[3 * k + 2]};
        // Each crown face is two shoulders and the crown point, the highest.
        int apex = 0;
        for (int j = 1; j < 3; ++j)
            if (t[j].p.y > t[apex].p.y) apex = j;
        for (int j = 0; j < 3; ++j)
            if (j != apex) t[j].p = lerp(t[apex].p, t[j].p, reach(t[j].p));
        // The crown in the middle of the texture, the rim on its border, where
        // the texture's moss thins out.
        for (int j = 0; j < 3; ++j) {
            const double dx = t[j].p.x - t[apex].p.x, dz = t[j].p.z - t[apex].p.z;
            const double square = j == apex ? 1.0 : 0.5 / std::max(std::fabs(dx), std::fabs(dz));
            t[j].u = 0.5 + dx * square;
            t[j].v = 0.5 + dz * square;
        }
        g.triangle(t[0], t[1], t[2]);
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
    for (const Stone& stone : kStones) addStoneCap(g, stone);

    // Cushions where wall meets floor, between the buttresses. On the lawn the
    // ends run down into the ground; on ledges they end just under the ledge.
    const Floor ground = groundHeight;
    const Floor plinthLedge = [](double, double) { return kPlinthTop; };
    const Floor terrace = [](double, double) { return kTerraceTop; };
    const double plinthFront = kNorthInner - kPlinthDepth, plinthFrontSouth = kSouthInner + kPlinthDepth;
    const double buried = kFoundation + 0.6;
    // Each cushion is a couple of metres long, so the texture it takes once is
    // not drawn out along the wall.
    const struct {
        P3 from, to, inward;
        Floor floor;
        int columns;
        double reach, climb, endDepth;
    } cushions[] = {
        {{-34.6, 0, plinthFront}, {-32.4, 0, plinthFront}, {0, 0, -1}, ground, 3, 1.0, 0.8, buried},
        {{-31.8, 0, plinthFront}, {-28.6, 0, plinthFront}, {0, 0, -1}, ground, 3, 1.2, 0.9, buried},
        {{-45.6, 0, plinthFront}, {-43.2, 0, plinthFront}, {0, 0, -1}, ground, 3, 0.8, 0.6, buried},
        {{-26.8, 0, kNorthInner}, {-24.6, 0, kNorthInner}, {0, 0, -1}, plinthLedge, 3, 0.25, 0.9, kPlinthTop - 0.1},
        {{-23.9, 0, kNorthInner}, {-21.8, 0, kNorthInner}, {0, 0, -1}, plinthLedge, 3, 0.25, 0.6, kPlinthTop - 0.1},
        {{18.8, 0, plinthFrontSouth}, {21.2, 0, plinthFrontSouth}, {0, 0, 1}, ground, 3, 1.0, 0.8, buried},
        {{21.8, 0, plinthFrontSouth}, {24.4, 0, plinthFrontSouth}, {0, 0, 1}, ground, 3, 0.9, 0.7, buried},
        {{14.0, 0, kSouthInner}, {16.5, 0, kSouthInner}, {0, 0, 1}, plinthLedge, 4, 0.25, 0.7, kPlinthTop - 0.1},
        {{kWestInner, 0, 32.0}, {kWestInner, 0, 29.6}, {1, 0, 0}, terrace, 3, 1.2, 1.0, kTerraceTop - 0.1},
        {{kWestInner, 0, 29.0}, {kWestInner, 0, 26.6}, {1, 0, 0}, terrace, 3, 1.0, 0.8, kTerraceTop - 0.1},
        // Inside the gate, at the foot of the closed leaves by the south pier.
        {{kGateLeafInner, 0, -10.5}, {kGateLeafInner, 0, -7.6}, {-1, 0, 0}, ground, 3, 0.9, 0.5, buried},
    };
    unsigned seed = 21u;
    for (const auto& c : cushions)
        addCushion(g, {c.from, c.to, c.inward, c.floor, c.columns, c.reach, c.climb, seed++, c.endDepth});
    return g;
}

}  // namespace set
