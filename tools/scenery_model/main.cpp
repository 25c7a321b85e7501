// Builds the outdoor set's scenery model and writes its two vertex arrays as raw
// single-precision blobs for the program image: scenery_positions.bin and
// scenery_texcoords.bin. Refuses (exit status 1, nothing written) when the
// model breaks the group table: triangle counts and first triangles, each
// group's extent and texture-coordinate range, finite values, no degenerate
// triangles.
//
// Usage: scenery_model_generator OUTPUT_DIR [--report]

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "scenes/outdoor/scenery_model.h"
#include "tools/common/blob_writer.h"
#include "tools/common/command_line.h"
#include "tools/scenery_model/site.h"

using namespace set;

namespace {

// What each group must span: x, y, z extents (to within 0.1) and u, v ranges
// (to within 0.02), in group order.
struct GroupSpan {
    double lo[5], hi[5];  // x, y, z, u, v
};
const GroupSpan kSpans[sceneryGroupCount] = {
    {{-71.6, -0.6, -75.5, 0, 0}, {78.4, 9.6, 74.5, 1, 1.01}},
    {{-73.3, -1.2, -77.2, -15.31, -2.16}, {78.8, 26.8, 76.6, 6.91, 2.40}},
    {{74.3, -0.9, -11.0, 0, 0}, {79.2, 17.7, 10.5, 1, 1}},
    {{20.7, 8.9, 15.9, 0.28, -0.02}, {41.3, 22.3, 35.1, 0.64, 1.01}},
    {{31.0, 15.4, 20.0, 0.31, 0.05}, {40.4, 25.8, 29.9, 0.69, 0.96}},
    {{20.9, 11.4, 26.9, 0.28, -0.02}, {34.8, 21.9, 39.4, 0.64, 1.01}},
    {{-1.2, 0.2, 22.9, -0.47, -0.02}, {34.7, 25.5, 46.4, 0.72, 1.49}},
    {{-15, -10.7, -15, 0, 0}, {15, -8.7, 15, 1, 1}},
    {{-47.4, 0, -92.3, 0, 0}, {509.6, 0.6, 296.7, 8, 8}},
    {{-16.5, -10.7, -17, 0, 0}, {16.5, 0.5, 17, 2.99, 2.99}},
};

bool checkGroup(int index, const Group& group, bool report) {
    const char* axes[5] = {"x", "y", "z", "u", "v"};
    const Bounds b = group.bounds();
    bool ok = true;
    if (report)
        std::printf("group %d: %4d triangles  x %8.2f..%8.2f  y %6.2f..%6.2f  z %7.2f..%7.2f  u %6.2f..%6.2f  v %6.2f..%6.2f\n",
                    index, group.triangleCount(), b.lo[0], b.hi[0], b.lo[1], b.hi[1], b.lo[2], b.hi[2], b.lo[3], b.hi[3],
                    b.lo[4], b.hi[4]);
    for (int a = 0; a < 5; ++a) {
        const double tolerance = a < 3 ? 0.1 : 0.02;
        if (std::fabs(b.lo[a] - kSpans[index].lo[a]) > tolerance || std::fabs(b.hi[a] - kSpans[index].hi[a]) > tolerance) {
            std::fprintf(stderr, "scenery model: group %d spans %s %.3f..%.3f, the table says %.2f..%.2f\n", index, axes[a],
                         b.lo[a], b.hi[a], kSpans[index].lo[a], kSpans[index].hi[a]);
            ok = false;
        }
    }
    return ok;
}

bool checkTriangles(const std::vector<float>& positions, const std::vector<float>& texCoords) {
    for (float value : positions)
        if (!std::isfinite(value)) return std::fprintf(stderr, "scenery model: a position is not finite\n"), false;
    for (float value : texCoords)
        if (!std::isfinite(value)) return std::fprintf(stderr, "scenery model: a texture coordinate is not finite\n"), false;
    for (size_t t = 0; t < positions.size() / 9; ++t) {
        const float* p = &positions[9 * t];
        P3 a{p[0], p[1], p[2]}, b{p[3], p[4], p[5]}, c{p[6], p[7], p[8]};
        if (length(cross(b - a, c - a)) < 1e-6) {
            std::fprintf(stderr, "scenery model: triangle %zu is degenerate\n", t);
            return false;
        }
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (!gen::checkUsage(argc, argv, 1, "OUTPUT_DIR [--report]")) return 2;
    const std::string dir = argv[1];
    const bool report = gen::hasFlag(argc, argv, 2, "--report");

    Group stems, youngLeaves, stemsB, leaves;
    buildBananas(stems, youngLeaves, stemsB, leaves);
    Group groups[sceneryGroupCount] = {buildMoss(), buildWalls(), buildGate(), stems, youngLeaves,
                                       stemsB,      leaves,       buildPoolFloor(), buildGround(), buildPoolWalls()};
    // Texture layouts the group textures are painted for.
    groups[0].remapTexCoords(0, 1, 0, 1.01);
    groups[1].remapTexCoords(-15.31, 6.91, -2.16, 2.40);
    groups[3].remapTexCoords(0.28, 0.64, -0.02, 1.01);
    groups[4].remapTexCoords(0.31, 0.69, 0.05, 0.96);
    groups[5].remapTexCoords(0.28, 0.64, -0.02, 1.01);
    groups[6].remapTexCoords(-0.47, 0.72, -0.02, 1.49);

    bool ok = true;
    int first = 0;
    std::vector<float> positions, texCoords;
    for (int g = 0; g < sceneryGroupCount; ++g) {
        Group& group = groups[g];
        // Leaves are built one-sided, refined, then given their other side.
        const bool twoSided = g == 4 || g == 6;
        const int built = group.triangleCount() * (twoSided ? 2 : 1);
        bool fits = group.refineTo(sceneryGroups[g].triangleCount / (twoSided ? 2 : 1));
        if (twoSided) group.addBackFaces();
        if (!fits || group.triangleCount() != sceneryGroups[g].triangleCount) {
            std::fprintf(stderr, "scenery model: group %d has %d triangles, the table allows %d\n", g, built,
                         sceneryGroups[g].triangleCount);
            ok = false;
        }
        if (first != sceneryGroups[g].firstTriangle) {
            std::fprintf(stderr, "scenery model: group %d starts at triangle %d, the table says %d\n", g, first,
                         sceneryGroups[g].firstTriangle);
            ok = false;
        }
        if (report) std::printf("group %d built with %d triangles\n", g, built);
        ok = checkGroup(g, group, report) && ok;
        first += group.triangleCount();
        for (const Corner& c : group.corners) {
            positions.insert(positions.end(), {float(c.p.x), float(c.p.y), float(c.p.z)});
            texCoords.insert(texCoords.end(), {float(c.u), float(c.v)});
        }
    }
    if (first != sceneryTriangleCount) {
        std::fprintf(stderr, "scenery model: %d triangles in all, the table says %d\n", first, sceneryTriangleCount);
        ok = false;
    }
    ok = ok && checkTriangles(positions, texCoords);
    if (!ok) return 1;
    if (!gen::writeBlob(dir + "/scenery_positions.bin", positions) ||
        !gen::writeBlob(dir + "/scenery_texcoords.bin", texCoords)) {
        std::fprintf(stderr, "scenery model: cannot write the blobs into %s\n", dir.c_str());
        return 1;
    }
    return 0;
}
