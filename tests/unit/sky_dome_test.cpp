// The sky dome file the build writes, read by the demo's own mesh reader: a
// dome around the whole site, closed above, seen from inside, within the far
// planes of the views that draw it, and textured without a seam.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <utility>

#include "assets/mesh.h"
#include "scenes/outdoor/scenery.h"

namespace {

struct P {
    double x, y, z;
};
P corner(const Mesh& mesh, int c) { return {mesh.positions[3 * c], mesh.positions[3 * c + 1], mesh.positions[3 * c + 2]}; }

TEST(SkyDome, IsADomeAroundTheSiteSeenFromInside) {
    Mesh sky(skyMeshFile);  // the tests run in the run directory
    ASSERT_GT(sky.vertexCount, 300);
    ASSERT_EQ(sky.vertexCount % 3, 0);
    double lowest = 1e9, highest = -1e9, widest = 0;
    for (int c = 0; c < sky.vertexCount; ++c) {
        P p = corner(sky, c);
        lowest = std::min(lowest, p.y), highest = std::max(highest, p.y);
        widest = std::max(widest, std::hypot(p.x, p.z));
    }
    EXPECT_GT(highest, 100.0) << "the dome clears the walls and the camera";
    EXPECT_LT(lowest, -20.0) << "the skirt reaches below the ground's edge";
    // From anywhere the camera flies (inside the walls, up to 80 high) the
    // farthest point of the dome is inside the water captures' far plane (500).
    for (double x : {-75.0, 80.0})
        for (double z : {-78.0, 78.0})
            for (int c = 0; c < sky.vertexCount; ++c) {
                P p = corner(sky, c);
                ASSERT_LT(std::sqrt((p.x - x) * (p.x - x) + (p.y - 80) * (p.y - 80) + (p.z - z) * (p.z - z)), 495.0);
            }
    EXPECT_GT(widest, 200.0);
    // Every triangle faces the middle of the site, where the camera is.
    for (int t = 0; t < sky.vertexCount / 3; ++t) {
        P a = corner(sky, 3 * t), b = corner(sky, 3 * t + 1), c = corner(sky, 3 * t + 2);
        P e1{b.x - a.x, b.y - a.y, b.z - a.z}, e2{c.x - a.x, c.y - a.y, c.z - a.z};
        P n{e1.y * e2.z - e1.z * e2.y, e1.z * e2.x - e1.x * e2.z, e1.x * e2.y - e1.y * e2.x};
        P toward{-(a.x + b.x + c.x) / 3, 20 - (a.y + b.y + c.y) / 3, -(a.z + b.z + c.z) / 3};
        EXPECT_GT(n.x * toward.x + n.y * toward.y + n.z * toward.z, 0.0) << "triangle " << t << " faces outwards";
    }
}

TEST(SkyDome, IsClosedAboveAndTexturedWithoutSeam) {
    Mesh sky(skyMeshFile);
    ASSERT_GT(sky.vertexCount, 0);
    // Every edge is shared by two triangles, except along the skirt's bottom rim.
    double lowest = 1e9;
    for (int c = 0; c < sky.vertexCount; ++c) lowest = std::min(lowest, double(sky.positions[3 * c + 1]));
    std::map<std::pair<std::tuple<float, float, float>, std::tuple<float, float, float>>, int> edges;
    auto key = [&](int c) {
        return std::make_tuple(sky.positions[3 * c], sky.positions[3 * c + 1], sky.positions[3 * c + 2]);
    };
    for (int t = 0; t < sky.vertexCount / 3; ++t)
        for (int k = 0; k < 3; ++k) {
            auto a = key(3 * t + k), b = key(3 * t + (k + 1) % 3);
            ++edges[std::minmax(a, b)];
        }
    for (const auto& [edge, count] : edges) {
        const bool rim = std::get<1>(edge.first) == float(lowest) && std::get<1>(edge.second) == float(lowest);
        EXPECT_EQ(count, rim ? 1 : 2) << "edge at height " << std::get<1>(edge.first);
    }
    // Texture coordinates stay inside the texture, so nothing wraps into a seam;
    // the same point of the dome always has the same coordinates.
    std::map<std::tuple<float, float, float>, std::pair<float, float>> uvAt;
    for (int c = 0; c < sky.vertexCount; ++c) {
        const float u = sky.texCoords[2 * c], v = sky.texCoords[2 * c + 1];
        EXPECT_GT(u, 0.0f);
        EXPECT_LT(u, 1.0f);
        EXPECT_GT(v, 0.0f);
        EXPECT_LT(v, 1.0f);
        auto [it, fresh] = uvAt.emplace(key(c), std::make_pair(u, v));
        if (!fresh) {
            EXPECT_EQ(it->second.first, u);
            EXPECT_EQ(it->second.second, v);
        }
    }
}

}  // namespace
