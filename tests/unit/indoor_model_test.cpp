// Invariants of the indoor set's compiled-in model that the scene relies on:
// sizes and part table, the floor plate, extents, unit tangent frames agreeing
// with the texture coordinates, counter-clockwise front faces, and every piece
// stored as one consecutive run.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <map>
#include <numeric>
#include <string>
#include <vector>

#include "scenes/indoor/model.h"
#include "support/indoor_model_pieces.h"

namespace {

struct V {
    double x, y, z;
};
V position(int i) { return {modelPositions[3 * i], modelPositions[3 * i + 1], modelPositions[3 * i + 2]}; }
V normal(int i) { return {modelNormals[3 * i], modelNormals[3 * i + 1], modelNormals[3 * i + 2]}; }
V tangent(int i) { return {modelTangents[3 * i], modelTangents[3 * i + 1], modelTangents[3 * i + 2]}; }
V sub(V a, V b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
V scale(V a, double s) { return {a.x * s, a.y * s, a.z * s}; }
double dot(V a, V b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
V cross(V a, V b) { return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x}; }

struct Range {
    double lo, hi;
};
struct Extents {
    Range x, y, z, u, v;
};
Extents extentsOf(int firstTriangle, int triangleCount) {
    Extents e{{1e30, -1e30}, {1e30, -1e30}, {1e30, -1e30}, {1e30, -1e30}, {1e30, -1e30}};
    auto grow = [](Range& r, double value) {
        r.lo = std::min(r.lo, value);
        r.hi = std::max(r.hi, value);
    };
    for (int i = 3 * firstTriangle; i < 3 * (firstTriangle + triangleCount); ++i) {
        V p = position(i);
        grow(e.x, p.x), grow(e.y, p.y), grow(e.z, p.z);
        grow(e.u, modelTexCoords[2 * i]), grow(e.v, modelTexCoords[2 * i + 1]);
    }
    return e;
}

void expectRange(const Range& actual, double lo, double hi, double tolerance, const std::string& what) {
    EXPECT_NEAR(actual.lo, lo, tolerance) << what << " minimum";
    EXPECT_NEAR(actual.hi, hi, tolerance) << what << " maximum";
}

TEST(IndoorModel, PartTableIsConsecutiveAndCoversTheWholeList) {
    ASSERT_EQ(modelPartCount, 4);
    EXPECT_EQ(modelVertexCount, 59958);
    const int counts[] = {2, 1200, 17068, 1716};
    const char* textures[][2] = {
        {"./textures/Diffuse.tga", "./textures/Normal.tga"},
        {"./textures/green_metal_diffuse.tga", "./textures/green_metal_normal.tga"},
        {"./textures/pipe_joint_diffuse.tga", "./textures/pipe_joint_normal.tga"},
        {"./textures/valve-handle_diffuse.tga", "./textures/valve-handle_normal.tga"},
    };
    int next = 0;
    for (int p = 0; p < modelPartCount; ++p) {
        EXPECT_EQ(modelParts[p].firstTriangle, next) << "part " << p;
        EXPECT_EQ(modelParts[p].triangleCount, counts[p]) << "part " << p;
        EXPECT_STREQ(modelParts[p].diffuseTexture, textures[p][0]);
        EXPECT_STREQ(modelParts[p].normalTexture, textures[p][1]);
        next += modelParts[p].triangleCount;
    }
    EXPECT_EQ(next, modelTriangleCount);
    // The draw call of the last part: from vertex 54,810, 5,148 vertices, the last one 59,957.
    EXPECT_EQ(3 * modelParts[3].firstTriangle, 54810);
    EXPECT_EQ(3 * modelParts[3].triangleCount, 5148);
    EXPECT_EQ(3 * (modelParts[3].firstTriangle + modelParts[3].triangleCount) - 1, modelVertexCount - 1);
    EXPECT_EQ(3 * modelParts[0].firstTriangle, 0);
    EXPECT_EQ(3 * modelParts[0].triangleCount, 6);
}

TEST(IndoorModel, FloorPlateIsExactlyTheGivenTwoTriangles) {
    const float X0 = -185.120911f, X1 = 214.879089f, Y = -0.99998498f, Z0 = -214.0f, Z1 = 186.0f;
    const float U0 = -0.0409759991f, U1 = 6.20399809f, V0 = -0.0221500006f, V1 = 6.64812422f;
    const float expected[6][5] = {{X0, Y, Z0, U0, V0}, {X0, Y, Z1, U0, V1}, {X1, Y, Z0, U1, V0},
                                  {X0, Y, Z1, U0, V1}, {X1, Y, Z1, U1, V1}, {X1, Y, Z0, U1, V0}};
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(modelPositions[3 * i], expected[i][0]) << "vertex " << i;
        EXPECT_EQ(modelPositions[3 * i + 1], expected[i][1]) << "vertex " << i;
        EXPECT_EQ(modelPositions[3 * i + 2], expected[i][2]) << "vertex " << i;
        EXPECT_EQ(modelTexCoords[2 * i], expected[i][3]) << "vertex " << i;
        EXPECT_EQ(modelTexCoords[2 * i + 1], expected[i][4]) << "vertex " << i;
        EXPECT_EQ(modelNormals[3 * i], 0.0f);
        EXPECT_EQ(modelNormals[3 * i + 1], 1.0f);
        EXPECT_EQ(modelNormals[3 * i + 2], 0.0f);
        EXPECT_EQ(modelTangents[3 * i], 1.0f);
        EXPECT_EQ(modelTangents[3 * i + 1], 0.0f);
        EXPECT_EQ(modelTangents[3 * i + 2], 0.0f);
    }
}

TEST(IndoorModel, ExtentsMatchTheSetsTable) {
    const double tolerance = 0.05;
    Extents all = extentsOf(0, modelTriangleCount);
    expectRange(all.x, -185.121, 214.879, tolerance, "all x");
    expectRange(all.y, -1.925, 74.187, tolerance, "all y");
    expectRange(all.z, -214.0, 186.0, tolerance, "all z");

    struct Row {
        Range x, y, z, u, v;
    };
    const Row table[] = {
        {{-185.121, 214.879}, {-0.999985, -0.999985}, {-214.0, 186.0}, {-0.040976, 6.203998}, {-0.022150, 6.648124}},
        {{-106.139, 115.346}, {0.167, 70.388}, {-112.022, 103.919}, {0.0, 1.083333}, {-1.998501, 0.999001}},
        {{-110.117, 119.637}, {-1.925, 74.187}, {-116.324, 108.510}, {0.001921, 0.997736}, {0.002685, 0.997074}},
        {{-62.358, 125.342}, {12.028, 37.823}, {-104.646, 110.832}, {0.031116, 0.988637}, {0.016528, 0.986793}},
    };
    for (int p = 0; p < modelPartCount; ++p) {
        Extents e = extentsOf(modelParts[p].firstTriangle, modelParts[p].triangleCount);
        std::string part = "part " + std::to_string(p) + " ";
        expectRange(e.x, table[p].x.lo, table[p].x.hi, tolerance, part + "x");
        expectRange(e.y, table[p].y.lo, table[p].y.hi, tolerance, part + "y");
        expectRange(e.z, table[p].z.lo, table[p].z.hi, tolerance, part + "z");
        expectRange(e.u, table[p].u.lo, table[p].u.hi, tolerance, part + "u");
        expectRange(e.v, table[p].v.lo, table[p].v.hi, tolerance, part + "v");
    }
}

TEST(IndoorModel, NormalsAndTangentsAreUnitAndPerpendicular) {
    double worstLength = 0, worstDot = 0;
    for (int i = 0; i < modelVertexCount; ++i) {
        V n = normal(i), t = tangent(i);
        worstLength = std::max({worstLength, std::fabs(std::sqrt(dot(n, n)) - 1), std::fabs(std::sqrt(dot(t, t)) - 1)});
        worstDot = std::max(worstDot, std::fabs(dot(n, t)));
    }
    EXPECT_LE(worstLength, 1e-6);
    EXPECT_LE(worstDot, 4e-6);
}

// Front faces are counter-clockwise: the cross product of each triangle's edges
// points the way its vertex normals do.
TEST(IndoorModel, TrianglesWindCounterClockwiseSeenFromTheirNormals) {
    for (int p = 0; p < modelPartCount; ++p) {
        int clockwise = 0;
        for (int t = modelParts[p].firstTriangle; t < modelParts[p].firstTriangle + modelParts[p].triangleCount; ++t) {
            V face = cross(sub(position(3 * t + 1), position(3 * t)), sub(position(3 * t + 2), position(3 * t)));
            for (int k = 0; k < 3; ++k)
                if (dot(face, normal(3 * t + k)) <= 0) {
                    ++clockwise;
                    break;
                }
        }
        if (p < 3)
            EXPECT_EQ(clockwise, 0) << "part " << p;
        else
            EXPECT_LE(clockwise, 3) << "part " << p;
    }
}

// The normal maps are drawn with +x along increasing u and +y along increasing
// v; the shader rebuilds that frame from the tangent and the normal
// (bitangent = tangent x normal), so on every triangle the texture's own
// directions must agree with it, or the relief would be lit from the wrong side.
TEST(IndoorModel, TangentFramesAgreeWithTheTextureDirections) {
    int disagreeing = 0, checked = 0;
    for (int t = 0; t < modelTriangleCount; ++t) {
        int a = 3 * t, b = a + 1, c = a + 2;
        V e1 = sub(position(b), position(a)), e2 = sub(position(c), position(a));
        double du1 = modelTexCoords[2 * b] - modelTexCoords[2 * a], dv1 = modelTexCoords[2 * b + 1] - modelTexCoords[2 * a + 1];
        double du2 = modelTexCoords[2 * c] - modelTexCoords[2 * a], dv2 = modelTexCoords[2 * c + 1] - modelTexCoords[2 * a + 1];
        double det = du1 * dv2 - du2 * dv1;
        if (std::fabs(det) < 1e-10) continue;
        V alongU = scale(sub(scale(e1, dv2), scale(e2, dv1)), 1 / det);
        V alongV = scale(sub(scale(e2, du1), scale(e1, du2)), 1 / det);
        ++checked;
        for (int k : {a, b, c})
            if (dot(alongU, tangent(k)) <= 0 || dot(alongV, cross(tangent(k), normal(k))) <= 0) {
                ++disagreeing;
                break;
            }
    }
    EXPECT_GT(checked, modelTriangleCount * 9 / 10);
    EXPECT_EQ(disagreeing, 0);
}

bool consecutive(const std::vector<int>& triangles) {
    return triangles.back() - triangles.front() + 1 == int(triangles.size());
}

TEST(IndoorModel, EveryPieceIsOneConsecutiveRun) {
    // Pipes: nine bends of 120 triangles and five straights of 24, each one piece.
    std::vector<int> pipeSizes;
    for (const auto& piece : modelPiecesOf(1)) {
        EXPECT_TRUE(consecutive(piece)) << "pipe piece from triangle " << piece.front();
        pipeSizes.push_back(int(piece.size()));
    }
    std::sort(pipeSizes.begin(), pipeSizes.end());
    std::vector<int> expectedSizes(5, 24);
    expectedSizes.insert(expectedSizes.end(), 9, 120);
    EXPECT_EQ(pipeSizes, expectedSizes);

    // Joints (1,004 triangles) and handles (572) are assembled from several
    // connected shells (body, bolts, ...): each shell is consecutive and lies
    // within its own joint's or handle's block.
    for (int part : {2, 3}) {
        const int block = part == 2 ? 1004 : 572;
        const int first = modelParts[part].firstTriangle;
        EXPECT_EQ(modelParts[part].triangleCount % block, 0);
        for (const auto& piece : modelPiecesOf(part)) {
            EXPECT_TRUE(consecutive(piece)) << "part " << part << " shell from triangle " << piece.front();
            EXPECT_EQ((piece.front() - first) / block, (piece.back() - first) / block)
                << "part " << part << " shell from triangle " << piece.front() << " crosses into the next piece";
        }
    }
}

// Each joint and handle block is one compact object of the expected size: a
// joint about 12 units across its flanges, a hand wheel about 26.
TEST(IndoorModel, JointAndHandleBlocksAreCompactObjects) {
    for (int part : {2, 3}) {
        const int block = part == 2 ? 1004 : 572;
        const double across = part == 2 ? 2 * 6.092 : 2 * 12.8975;
        for (int first = modelParts[part].firstTriangle; first < modelParts[part].firstTriangle + modelParts[part].triangleCount;
             first += block) {
            Extents e = extentsOf(first, block);
            double largest = std::max({e.x.hi - e.x.lo, e.y.hi - e.y.lo, e.z.hi - e.z.lo});
            EXPECT_NEAR(largest, across, 0.5) << "part " << part << " block from triangle " << first;
        }
    }
}

}  // namespace
