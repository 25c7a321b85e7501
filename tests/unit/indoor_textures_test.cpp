// The indoor set's eight textures as the texture generator writes them into
// the run directory: uncompressed true-colour TGA files the demo's reader takes,
// with normal maps that point out of the surface and repeating textures that
// have no seam where they wrap.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "scenes/indoor/model_parts.h"
#include "support/tga_file_bytes.h"

namespace {

TEST(IndoorTextures, EveryFileIsAnUncompressedTrueColourTga) {
    for (int p = 0; p < modelPartCount; ++p)
        for (const char* path : {modelParts[p].diffuseTexture, modelParts[p].normalTexture}) {
            TgaFileBytes tga;
            ASSERT_TRUE(tga.load(path)) << path;
            const std::vector<unsigned char> uncompressed = tgaHeader(2, 0, 0, 0);
            EXPECT_EQ(std::memcmp(tga.header, uncompressed.data(), 12), 0) << path << ": no ID, no colour map, type 2, origin 0";
            EXPECT_TRUE(tga.width == 512 || tga.width == 1024) << path;
            EXPECT_EQ(tga.width, tga.height) << path;
            EXPECT_TRUE(tga.bytesPerPixel == 3 || tga.bytesPerPixel == 4) << path;
            EXPECT_EQ(tga.header[17] & 0x20, 0) << path << ": bottom-left origin";
            EXPECT_EQ(tga.fileSize, 18 + tga.pixels.size()) << path;
        }
}

// Decoded normal, in tangent space.
void normalAt(const TgaFileBytes& tga, int x, int y, double n[3]) {
    const unsigned char* p = tga.at(x, y);
    n[0] = p[2] / 127.5 - 1, n[1] = p[1] / 127.5 - 1, n[2] = p[0] / 127.5 - 1;
}

TEST(IndoorTextures, NormalMapsAreUnitNormalsOutOfTheSurface) {
    for (int p = 0; p < modelPartCount; ++p) {
        TgaFileBytes tga;
        ASSERT_TRUE(tga.load(modelParts[p].normalTexture));
        double mean[3] = {0, 0, 0};
        for (int y = 0; y < tga.height; ++y)
            for (int x = 0; x < tga.width; ++x) {
                double n[3];
                normalAt(tga, x, y, n);
                ASSERT_GT(n[2], 0.2) << modelParts[p].normalTexture << " at " << x << ", " << y;
                ASSERT_NEAR(std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]), 1.0, 0.02);
                for (int c = 0; c < 3; ++c) mean[c] += n[c] / (double(tga.width) * tga.height);
            }
        // Relief, not a tilt: the normals lean every way about equally.
        EXPECT_NEAR(mean[0], 0.0, 0.05) << modelParts[p].normalTexture;
        EXPECT_NEAR(mean[1], 0.0, 0.05) << modelParts[p].normalTexture;
        EXPECT_GT(mean[2], 0.9) << modelParts[p].normalTexture;
    }
}

// Texture repeat across the floor and around and along the pipes: the step
// from the last column to the first (and last row to first) is no bigger than
// the steps inside the picture.
TEST(IndoorTextures, RepeatingTexturesHaveNoSeam) {
    for (int p : {0, 1})
        for (const char* path : {modelParts[p].diffuseTexture, modelParts[p].normalTexture}) {
            TgaFileBytes tga;
            ASSERT_TRUE(tga.load(path));
            // Average step between neighbouring columns and rows inside the picture.
            double inside = 0, acrossU = 0, acrossV = 0;
            const int n = tga.width;
            for (int i = 0; i < n; ++i) {
                for (int j = 0; j + 1 < n; ++j) inside += tga.step(j, i, j + 1, i) + tga.step(i, j, i, j + 1);
                acrossU += tga.step(n - 1, i, 0, i);
                acrossV += tga.step(i, n - 1, i, 0);
            }
            inside /= 2 * (n - 1);
            EXPECT_LT(acrossU, 1.5 * inside + 1) << path << ": seam where u wraps";
            EXPECT_LT(acrossV, 1.5 * inside + 1) << path << ": seam where v wraps";
        }
}

}  // namespace
