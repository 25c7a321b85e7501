// The mesh reader: corners flattened with tangents, record layout, shared vertices and damaged files.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "support/asset_test_files.h"
#include "assets/mesh.h"
#include "support/capture.h"

namespace {

struct Triangle {
    int v0, v1, v2, n0, n1, n2;
};

struct MeshText {
    std::vector<std::vector<float>> vertices;  // x, y, z, u, v
    std::vector<std::vector<float>> normals;
    std::vector<Triangle> triangles;
    std::string firstIgnored = "0";
    std::string lastIgnored = "0";

    std::string str() const {
        std::string text = std::to_string(vertices.size()) + "\n";
        for (const auto& v : vertices) {
            text += firstIgnored;
            for (float value : v) text += " " + std::to_string(value);
            text += " " + lastIgnored + "\n";
        }
        text += std::to_string(normals.size()) + "\n";
        for (const auto& n : normals) text += std::to_string(n[0]) + "\t" + std::to_string(n[1]) + " " + std::to_string(n[2]) + "\n";
        text += std::to_string(triangles.size()) + "\n";
        for (const auto& t : triangles) {
            text += firstIgnored + " " + std::to_string(t.v0) + " " + std::to_string(t.v1) + " " + std::to_string(t.v2) +
                    "  " + std::to_string(t.n0) + " " + std::to_string(t.n1) + " " + std::to_string(t.n2) + " " +
                    lastIgnored + "\n";
        }
        return text;
    }
};

// The triangle of the classic example: unit right triangle in z = 0, texture
// coordinates equal to x and y, normal +z.
MeshText unitTriangle() {
    MeshText text;
    text.vertices = {{0, 0, 0, 0, 0}, {1, 0, 0, 1, 0}, {0, 1, 0, 0, 1}};
    text.normals = {{0, 0, 1}};
    text.triangles = {{0, 1, 2, 0, 0, 0}};
    return text;
}

class MeshReader : public ::testing::Test {
protected:
    std::string write(const std::string& text) { return scratch.write("mesh.msh", text); }

    static std::vector<float> corner(const float* table, int c, int size = 3) {
        return std::vector<float>(table + size * c, table + size * c + size);
    }

    static void expectUnitAndOrthogonal(const Mesh& mesh) {
        for (int c = 0; c < mesh.vertexCount; ++c) {
            const float* t = mesh.tangents + 3 * c;
            const float* n = mesh.normals + 3 * c;
            float length = std::sqrt(t[0] * t[0] + t[1] * t[1] + t[2] * t[2]);
            float nLength = std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]);
            EXPECT_NEAR(length, 1.0f, 1e-5f) << "corner " << c;
            if (nLength > 0) {
                EXPECT_NEAR((t[0] * n[0] + t[1] * n[1] + t[2] * n[2]) / nLength, 0.0f, 1e-5f) << "corner " << c;
            }
        }
    }

    static void expectEmpty(const Mesh& mesh) {
        EXPECT_EQ(mesh.vertexCount, 0);
        EXPECT_EQ(mesh.lineVertexCount, 0);
        EXPECT_EQ(mesh.positions, nullptr);
        EXPECT_EQ(mesh.texCoords, nullptr);
        EXPECT_EQ(mesh.normals, nullptr);
        EXPECT_EQ(mesh.tangents, nullptr);
        EXPECT_EQ(mesh.normalLines, nullptr);
        EXPECT_EQ(mesh.tangentLines, nullptr);
    }

    ScratchDirectory scratch;
    LogCapture log;
};

TEST_F(MeshReader, FlattensCornersWithTangentsAndLineListsAndLogsItsSteps) {
    Mesh mesh(write(unitTriangle().str()).c_str());
    ASSERT_EQ(mesh.vertexCount, 3);
    EXPECT_EQ(mesh.lineVertexCount, 6);
    EXPECT_EQ(corner(mesh.positions, 1), (std::vector<float>{1, 0, 0}));
    EXPECT_EQ(corner(mesh.texCoords, 2, 2), (std::vector<float>{0, 1}));
    const float corners[3][3] = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}};
    for (int c = 0; c < 3; ++c) {
        EXPECT_EQ(corner(mesh.normals, c), (std::vector<float>{0, 0, 1}));
        EXPECT_EQ(corner(mesh.tangents, c), (std::vector<float>{1, 0, 0})) << c;
        const std::vector<float> p(corners[c], corners[c] + 3);
        EXPECT_EQ(corner(mesh.normalLines, 2 * c), p);
        EXPECT_EQ(corner(mesh.normalLines, 2 * c + 1), (std::vector<float>{p[0], p[1], 0.5f})) << "half a unit above";
        EXPECT_EQ(corner(mesh.tangentLines, 2 * c), p);
        EXPECT_EQ(corner(mesh.tangentLines, 2 * c + 1), (std::vector<float>{p[0] + 0.5f, p[1], 0}));
    }
    EXPECT_EQ(log.lines, (std::vector<std::string>{"normal 0.00 0.00 1.00 \n", "polycount 1 vertices 3 normals 1\n",
                                                    "reading indexes\n", "unpacking polies\n", "foobar \n",
                                                    "calculating tangents\n"}));
}

TEST_F(MeshReader, RemovesTheNormalsShareFromTheTriangleTangent) {
    MeshText text;
    // e1 = (1, 0, 1), e2 = (0, 1, 0) with texture deltas (1, 0) and (0, 1): raw tangent (1, 0, 1).
    text.vertices = {{0, 0, 0, 0, 0}, {1, 0, 1, 1, 0}, {0, 1, 0, 0, 1}};
    text.normals = {{0, 0, 1}, {0, 0, 2}};
    text.triangles = {{0, 1, 2, 0, 0, 1}};
    Mesh mesh(write(text.str()).c_str());
    ASSERT_EQ(mesh.vertexCount, 3);
    EXPECT_EQ(corner(mesh.tangents, 0), (std::vector<float>{1, 0, 0}));
    EXPECT_EQ(corner(mesh.tangents, 1), (std::vector<float>{1, 0, 0}));
    // The normal is used as stored: (0, 0, 2) is not normalised, in the projection
    // (T - (T.N) N = (1, 0, -3), normalised) or in the normal line.
    std::vector<float> unnormalised = corner(mesh.tangents, 2);
    EXPECT_NEAR(unnormalised[0], 1 / std::sqrt(10.0f), 1e-6f);
    EXPECT_NEAR(unnormalised[2], -3 / std::sqrt(10.0f), 1e-6f);
    EXPECT_EQ(corner(mesh.normalLines, 5), (std::vector<float>{0, 1, 1}));
}

TEST_F(MeshReader, IgnoresTheFirstAndLastNumberOfEachRecord) {
    Mesh plain(write(unitTriangle().str()).c_str());
    MeshText odd = unitTriangle();
    odd.firstIgnored = "-1e30";
    odd.lastIgnored = "12345.5";
    Mesh mesh(scratch.write("odd.msh", odd.str()).c_str());
    ASSERT_EQ(mesh.vertexCount, 3);
    for (int i = 0; i < 9; ++i) {
        EXPECT_EQ(mesh.positions[i], plain.positions[i]);
        EXPECT_EQ(mesh.tangents[i], plain.tangents[i]);
    }
    for (int i = 0; i < 6; ++i) EXPECT_EQ(mesh.texCoords[i], plain.texCoords[i]);
}

TEST_F(MeshReader, CornersOfASharedVertexKeepTheirOwnTrianglesTangents) {
    MeshText text;
    // Vertex 0 is shared; the second triangle's texture runs the other way along x.
    text.vertices = {{0, 0, 0, 0, 0}, {1, 0, 0, 1, 0}, {0, 1, 0, 0, 1}, {-1, 0, 0, 1, 0}};
    text.normals = {{0, 0, 1}};
    text.triangles = {{0, 1, 2, 0, 0, 0}, {0, 2, 3, 0, 0, 0}};
    Mesh mesh(write(text.str()).c_str());
    ASSERT_EQ(mesh.vertexCount, 6);
    EXPECT_EQ(corner(mesh.positions, 0), corner(mesh.positions, 3));
    EXPECT_EQ(corner(mesh.tangents, 0), (std::vector<float>{1, 0, 0}));
    EXPECT_EQ(corner(mesh.tangents, 3), (std::vector<float>{-1, 0, 0}));
    expectUnitAndOrthogonal(mesh);
}

TEST_F(MeshReader, TrianglesWithoutTextureAreaGetAUnitTangentOrthogonalToTheirNormal) {
    MeshText single;  // one vertex used for all three corners
    single.vertices = {{2, 3, 4, 0.5f, 0.5f}};
    single.normals = {{0, 1, 0}};
    single.triangles = {{0, 0, 0, 0, 0, 0}};
    Mesh point(write(single.str()).c_str());
    ASSERT_EQ(point.vertexCount, 3);
    for (int c = 0; c < 3; ++c) {
        EXPECT_EQ(corner(point.positions, c), (std::vector<float>{2, 3, 4}));
        EXPECT_EQ(corner(point.texCoords, c, 2), (std::vector<float>{0.5f, 0.5f}));
    }
    expectUnitAndOrthogonal(point);

    // A real triangle whose texture coordinates all coincide: the first edge, made
    // orthogonal to the normal, gives the direction.
    MeshText flat;
    flat.vertices = {{0, 0, 0, 0.2f, 0.2f}, {3, 0, 4, 0.2f, 0.2f}, {0, 1, 0, 0.2f, 0.2f}};
    flat.normals = {{0, 0, 1}, {0, 0, 0}};
    flat.triangles = {{0, 1, 2, 0, 0, 1}};
    Mesh mesh(scratch.write("flat.msh", flat.str()).c_str());
    ASSERT_EQ(mesh.vertexCount, 3);
    EXPECT_EQ(corner(mesh.tangents, 0), (std::vector<float>{1, 0, 0}));
    EXPECT_NEAR(mesh.tangents[6], 0.6f, 1e-6f) << "a zero normal leaves the edge direction as it is";
    EXPECT_NEAR(mesh.tangents[8], 0.8f, 1e-6f);
    expectUnitAndOrthogonal(mesh);

    // A tangent along the normal itself has no direction left after the projection.
    MeshText upright = unitTriangle();
    upright.normals = {{1, 0, 0}};
    Mesh along(scratch.write("along.msh", upright.str()).c_str());
    expectUnitAndOrthogonal(along);
}

TEST_F(MeshReader, AMissingFileOrZeroCountsGiveAnEmptyMesh) {
    const std::string absent = scratch.file("absent.msh");
    Mesh missing(absent.c_str());
    expectEmpty(missing);
    EXPECT_EQ(log.lines, (std::vector<std::string>{"failed loading Mesh " + absent + " \n"}));

    expectEmpty(Mesh(write("0 0 0").c_str()));
    MeshText noTriangles = unitTriangle();
    noTriangles.triangles.clear();
    expectEmpty(Mesh(write(noTriangles.str()).c_str()));
    EXPECT_FALSE(log.contains("malformed"));
}

TEST_F(MeshReader, RejectsMalformedFilesAsAWhole) {
    const std::string good = unitTriangle().str();
    auto replaced = [&](const std::string& from, const std::string& to) {
        std::string text = good;
        size_t at = text.rfind(from);
        EXPECT_NE(at, std::string::npos) << from;
        return text.replace(at, from.size(), to);
    };
    const std::string malformed[] = {
        "",                                                  // no counts at all
        "-1\n",                                              // negative count
        "1000000000\n0 1 2 3 4 5 0\n",                       // far more vertices than the file holds
        "3\n0 0 0 0 0 0 0\n",                                // fewer vertex records than counted
        "1\n0 0 0 x 0 0 0\n1\n0 0 1\n0\n",                   // not a number
        "1\n0 1 2 3 4 5 0\n-2\n",                            // negative normal count
        "1\n0 1 2 3 4 5 0\n1\n0 0\n",                        // truncated normal
        "1\n0 1 2 3 4 5 0\n1\n0 0 1\n2147483647\n",          // polygon count beyond the file
        good.substr(0, good.size() - 4),                     // truncated last polygon record
        replaced("0 1 2  0 0 0", "0 1 3  0 0 0"),            // vertex index == vertex count
        replaced("0 1 2  0 0 0", "0 -1 2  0 0 0"),           // negative vertex index
        replaced("0 1 2  0 0 0", "0 1 2  0 1 0"),            // normal index == normal count
        replaced("0 1 2  0 0 0", "0 1 2  0 0 -5"),           // negative normal index
        replaced("0 1 2  0 0 0", "0 1 2.5  0 0 0"),          // a fraction where an index belongs
        replaced("0 1 2  0 0 0", "0 1 99999999999  0 0 0"),  // an index beyond 32 bits
    };
    for (const std::string& text : malformed) {
        log.lines.clear();
        Mesh mesh(write(text).c_str());
        expectEmpty(mesh);
        EXPECT_TRUE(log.contains("malformed Mesh")) << text;
    }
}

}  // namespace
