// Invariants of the outdoor set's compiled-in scenery model that the scene and
// its effects rely on: the group table, each group's extent and texture range,
// sound triangles, the ground's opening over the pool, and faces turned the way
// they are seen.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <set>
#include <string>

#include "scenes/outdoor/scenery_model.h"

namespace {

struct V {
    double x, y, z;
};
V position(int i) { return {sceneryPositions[3 * i], sceneryPositions[3 * i + 1], sceneryPositions[3 * i + 2]}; }
V sub(V a, V b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
V cross(V a, V b) { return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x}; }
double dot(V a, V b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
V normalOf(int triangle) {
    V a = position(3 * triangle), b = position(3 * triangle + 1), c = position(3 * triangle + 2);
    return cross(sub(b, a), sub(c, a));
}
V centroidOf(int triangle) {
    V a = position(3 * triangle), b = position(3 * triangle + 1), c = position(3 * triangle + 2);
    return {(a.x + b.x + c.x) / 3, (a.y + b.y + c.y) / 3, (a.z + b.z + c.z) / 3};
}

struct Span {
    double lo[5], hi[5];  // x, y, z, u, v
};
Span spanOf(const SceneryGroup& group) {
    Span s;
    std::fill(s.lo, s.lo + 5, 1e30);
    std::fill(s.hi, s.hi + 5, -1e30);
    for (int i = 3 * group.firstTriangle; i < 3 * (group.firstTriangle + group.triangleCount); ++i) {
        const double values[5] = {sceneryPositions[3 * i], sceneryPositions[3 * i + 1], sceneryPositions[3 * i + 2],
                                  sceneryTexCoords[2 * i], sceneryTexCoords[2 * i + 1]};
        for (int a = 0; a < 5; ++a) s.lo[a] = std::min(s.lo[a], values[a]), s.hi[a] = std::max(s.hi[a], values[a]);
    }
    return s;
}

// The scene's table, written out independently of the program's copy.
struct Expected {
    const char* texture;
    int first, count;
    double lo[5], hi[5];
};
const Expected kTable[10] = {
    {"textures/Moss0040_S.tga", 0, 112, {-71.6, -0.6, -75.5, 0, 0}, {78.4, 9.6, 74.5, 1, 1.01}},
    {"textures/tWall_512_5_05.tga", 112, 1356, {-73.3, -1.2, -77.2, -15.31, -2.16}, {78.8, 26.8, 76.6, 6.91, 2.40}},
    {"textures/even_wood_5132616.tga", 1468, 36, {74.3, -0.9, -11.0, 0, 0}, {79.2, 17.7, 10.5, 1, 1}},
    {"textures/Banana_T.tga", 1504, 600, {20.7, 8.9, 15.9, 0.28, -0.02}, {41.3, 22.3, 35.1, 0.64, 1.01}},
    {"textures/Banana_1.tga", 2104, 178, {31.0, 15.4, 20.0, 0.31, 0.05}, {40.4, 25.8, 29.9, 0.69, 0.96}},
    {"textures/Banana_T.tga", 2282, 360, {20.9, 11.4, 26.9, 0.28, -0.02}, {34.8, 21.9, 39.4, 0.64, 1.01}},
    {"textures/Banana_2.tga", 2642, 2538, {-1.2, 0.2, 22.9, -0.47, -0.02}, {34.7, 25.5, 46.4, 0.72, 1.49}},
    {"textures/ulo.tga", 5180, 12, {-15, -10.7, -15, 0, 0}, {15, -8.7, 15, 1, 1}},
    {"textures/tGrass.tga", 5192, 782, {-47.4, 0, -92.3, 0, 0}, {509.6, 0.6, 296.7, 8, 8}},
    {"textures/t703009.tga", 5974, 48, {-16.5, -10.7, -17, 0, 0}, {16.5, 0.5, 17, 2.99, 2.99}},
};

constexpr int kMoss = 0, kWalls = 1, kYoungLeaves = 4, kLeaves = 6, kPoolFloor = 7, kGround = 8, kPoolWalls = 9;

TEST(SceneryModel, GroupTableCoversEveryTriangleInOrder) {
    ASSERT_EQ(sceneryGroupCount, 10);
    EXPECT_EQ(sceneryVertexCount, 18066);
    int next = 0;
    for (int g = 0; g < sceneryGroupCount; ++g) {
        EXPECT_STREQ(sceneryGroups[g].texture, kTable[g].texture) << "group " << g;
        EXPECT_EQ(sceneryGroups[g].firstTriangle, kTable[g].first) << "group " << g;
        EXPECT_EQ(sceneryGroups[g].triangleCount, kTable[g].count) << "group " << g;
        EXPECT_EQ(sceneryGroups[g].firstTriangle, next) << "group " << g << " leaves a gap or overlaps";
        next += sceneryGroups[g].triangleCount;
    }
    EXPECT_EQ(3 * next, sceneryVertexCount);
    // Group 0 is vertices 0..335; group 9 ends with the last vertex.
    EXPECT_EQ(3 * (sceneryGroups[0].firstTriangle + sceneryGroups[0].triangleCount) - 1, 335);
    EXPECT_EQ(3 * (sceneryGroups[9].firstTriangle + sceneryGroups[9].triangleCount), sceneryVertexCount);
}

TEST(SceneryModel, EachGroupSpansItsExtentAndTextureRange) {
    const char* axes[5] = {"x", "y", "z", "u", "v"};
    for (int g = 0; g < sceneryGroupCount; ++g) {
        Span s = spanOf(sceneryGroups[g]);
        for (int a = 0; a < 5; ++a) {
            const double tolerance = a < 3 ? 0.1 : 0.02;
            EXPECT_NEAR(s.lo[a], kTable[g].lo[a], tolerance) << "group " << g << " " << axes[a] << " minimum";
            EXPECT_NEAR(s.hi[a], kTable[g].hi[a], tolerance) << "group " << g << " " << axes[a] << " maximum";
        }
    }
}

TEST(SceneryModel, ValuesAreFiniteAndNoTriangleIsDegenerate) {
    for (int i = 0; i < 3 * sceneryVertexCount; ++i) ASSERT_TRUE(std::isfinite(sceneryPositions[i])) << "position " << i;
    for (int i = 0; i < 2 * sceneryVertexCount; ++i) ASSERT_TRUE(std::isfinite(sceneryTexCoords[i])) << "coordinate " << i;
    for (int t = 0; t < sceneryVertexCount / 3; ++t) {
        V n = normalOf(t);
        ASSERT_GT(std::sqrt(dot(n, n)), 1e-6) << "triangle " << t;
    }
}

// Triangles of `group` whose projection onto the ground plane covers (x, z).
std::vector<int> trianglesAbove(int group, double x, double z) {
    std::vector<int> found;
    const SceneryGroup& g = sceneryGroups[group];
    for (int t = g.firstTriangle; t < g.firstTriangle + g.triangleCount; ++t) {
        V p[3] = {position(3 * t), position(3 * t + 1), position(3 * t + 2)};
        auto side = [&](V a, V b) { return (b.x - a.x) * (z - a.z) - (b.z - a.z) * (x - a.x); };
        double s0 = side(p[0], p[1]), s1 = side(p[1], p[2]), s2 = side(p[2], p[0]);
        if ((s0 >= 0 && s1 >= 0 && s2 >= 0) || (s0 <= 0 && s1 <= 0 && s2 <= 0)) found.push_back(t);
    }
    return found;
}

TEST(SceneryModel, GroundOpensOverThePoolBasinOnlyAndStaysAboveTheWater) {
    // Inside the basin's rim the ground leaves the water and the basin visible.
    for (double x = -16.0; x <= 16.0; x += 4.0)
        for (double z = -16.5; z <= 16.5; z += 5.5)
            EXPECT_TRUE(trianglesAbove(kGround, x, z).empty()) << "ground over the basin at " << x << ", " << z;
    // Everywhere else the water plane (|x|, |z| <= 30) reaches, the ground covers it, above y = 0.
    for (double x = -30.0; x <= 30.0; x += 2.5)
        for (double z = -30.0; z <= 30.0; z += 2.5) {
            if (std::fabs(x) < 17.5 && std::fabs(z) < 18.0) continue;
            auto above = trianglesAbove(kGround, x, z);
            ASSERT_FALSE(above.empty()) << "no ground at " << x << ", " << z;
            for (int t : above)
                for (int k = 0; k < 3; ++k) EXPECT_GT(position(3 * t + k).y, 0.02) << "ground at the water level";
        }
    // The basin's rim covers the edge of the opening: its outer faces reach below the ground.
    Span rim = spanOf(sceneryGroups[kPoolWalls]);
    EXPECT_LT(rim.lo[1], 0.0);
}

TEST(SceneryModel, GroundAndPoolFloorFaceUpAndPoolWallsFaceTheirViewers) {
    for (int group : {kGround, kPoolFloor}) {
        const SceneryGroup& g = sceneryGroups[group];
        for (int t = g.firstTriangle; t < g.firstTriangle + g.triangleCount; ++t)
            EXPECT_GT(normalOf(t).y, 0.0) << "group " << group << " triangle " << t << " faces down";
    }
    // Below the lip, the basin's walls are seen from the water: they face the pool's axis.
    const SceneryGroup& walls = sceneryGroups[kPoolWalls];
    int inner = 0;
    for (int t = walls.firstTriangle; t < walls.firstTriangle + walls.triangleCount; ++t) {
        V c = centroidOf(t), n = normalOf(t);
        if (c.y > -1.0 || std::fabs(n.y) > 1e-6) continue;
        EXPECT_LT(n.x * c.x + n.z * c.z, 0.0) << "pool wall triangle " << t << " faces away from the water";
        ++inner;
    }
    EXPECT_EQ(inner, 16);  // two bands of two triangles on each of four sides
}

// Every triangle of a two-sided surface has a twin with the same corners wound
// the other way, so leaves show from above and below with back faces culled.
TEST(SceneryModel, LeafBladesAreTwoSided) {
    for (int group : {kYoungLeaves, kLeaves}) {
        const SceneryGroup& g = sceneryGroups[group];
        int unmatched = 0;
        std::multiset<std::string> forward, backward;
        for (int t = g.firstTriangle; t < g.firstTriangle + g.triangleCount; ++t) {
            V c = centroidOf(t), n = normalOf(t);
            char key[96];
            std::snprintf(key, sizeof key, "%.3f %.3f %.3f", c.x, c.y, c.z);
            (n.y >= 0 ? forward : backward).insert(key);
        }
        for (const std::string& key : forward)
            if (backward.count(key) == 0) ++unmatched;
        EXPECT_EQ(forward.size(), backward.size()) << "group " << group;
        EXPECT_EQ(unmatched, 0) << "group " << group;
    }
}

// The walls' inner faces are what the camera sees from the courtyard: they must
// wind counter-clockwise seen from inside the site, or culling removes them.
TEST(SceneryModel, WallInnerFacesLookIntoTheSite) {
    const SceneryGroup& g = sceneryGroups[kWalls];
    int checked = 0;
    for (int t = g.firstTriangle; t < g.firstTriangle + g.triangleCount; ++t) {
        V c = centroidOf(t), n = normalOf(t);
        if (c.y < 3.0 || c.y > 11.0 || std::fabs(n.y) > 1e-6) continue;
        // The wall bodies' inner faces, away from buttresses and pillars.
        // Faces lying in the inner planes: the walls' own, not the ends of
        // pieces that abut them (the terrace's parapet, the gate piers).
        const bool inWestPlane = std::fabs(c.x + 71.65) < 0.01 && n.x != 0;
        const bool inEastPlane = std::fabs(c.x - 77.1) < 0.01 && n.x != 0;
        const bool inSouthPlane = std::fabs(c.z + 75.55) < 0.01 && n.z != 0 && c.x > -47.0;
        const bool inNorthPlane = std::fabs(c.z - 74.55) < 0.01 && n.z != 0 && c.x > -47.0;
        if (inWestPlane) { EXPECT_GT(n.x, 0) << "west wall triangle " << t; }
        if (inEastPlane) { EXPECT_LT(n.x, 0) << "east wall triangle " << t; }
        if (inSouthPlane) { EXPECT_GT(n.z, 0) << "south wall triangle " << t; }
        if (inNorthPlane) { EXPECT_LT(n.z, 0) << "north wall triangle " << t; }
        checked += inWestPlane + inEastPlane + inSouthPlane + inNorthPlane;
    }
    EXPECT_GT(checked, 4);
}

TEST(SceneryModel, MossLiesOnTheSetNotInsideIt) {
    // Moss on the walls sits just off their inner faces, never behind them.
    const SceneryGroup& g = sceneryGroups[kMoss];
    for (int i = 3 * g.firstTriangle; i < 3 * (g.firstTriangle + g.triangleCount); ++i) {
        V p = position(i);
        EXPECT_GT(p.x, -71.65) << "moss in the west wall";
        EXPECT_LT(p.z, 74.55) << "moss in the north wall";
        EXPECT_GT(p.z, -75.55) << "moss in the south wall";
        EXPECT_LT(p.x, 78.5) << "moss through the gate";
    }
}

// Moss at the walls grows as low cushions where wall meets floor (the lawn, the
// plinths' ledges at 1.6, the terrace at 2.4), not as slabs standing up the wall
// face; and its top along a wall is ragged, not one straight line.
TEST(SceneryModel, MossHugsTheWallFeetInLowRaggedCushions) {
    const SceneryGroup& g = sceneryGroups[kMoss];
    std::set<long> topHeights;
    int nearWalls = 0;
    for (int i = 3 * g.firstTriangle; i < 3 * (g.firstTriangle + g.triangleCount); ++i) {
        const V p = position(i);
        const bool north = p.z > 72.5, south = p.z < -73.5, west = p.x < -69.6, gate = p.x > 76.0;
        if (!(north || south || west || gate)) continue;
        ++nearWalls;
        const double floor = west ? 2.4 : std::fabs(p.z) > 74.0 ? 1.6 : 0.6;
        EXPECT_LT(p.y, floor + 1.3) << "moss climbing the wall at " << p.x << ", " << p.z;
        if (p.y > floor - 0.5) topHeights.insert(std::lround(p.y * 20));
    }
    EXPECT_GT(nearWalls, 60);
    EXPECT_GT(topHeights.size(), 15u) << "the moss's edges along the walls run level";
}

}  // namespace
