// The outdoor set's textures as the texture generator writes them into the run
// directory: uncompressed true-colour TGA files the demo's reader takes, square
// at 512 or 1024, and without a seam wherever the model repeats them.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "scenes/outdoor/scenery_files.h"
#include "scenes/outdoor/scenery_model.h"
#include "support/tga_file_bytes.h"

namespace {

TEST(OutdoorTextures, EveryFileIsAnUncompressedTrueColourTga) {
    std::vector<const char*> files = {skyTextureFile};
    for (int g = 0; g < sceneryGroupCount; ++g) files.push_back(sceneryGroups[g].texture);
    for (const char* path : files) {
        TgaFileBytes tga;
        ASSERT_TRUE(tga.load(path)) << path;
        const std::vector<unsigned char> uncompressed = tgaHeader(2, 0, 0, 0);
        EXPECT_EQ(std::memcmp(tga.header, uncompressed.data(), 12), 0) << path << ": no ID, no colour map, type 2, origin 0";
        EXPECT_TRUE(tga.width == 512 || tga.width == 1024) << path;
        EXPECT_EQ(tga.width, tga.height) << path;
        EXPECT_EQ(tga.bytesPerPixel, 3) << path;
        EXPECT_EQ(tga.header[17] & 0x20, 0) << path << ": bottom-left origin";
        EXPECT_EQ(tga.fileSize, 18 + tga.pixels.size()) << path;
    }
}

// Where the model's texture coordinates cross a repeat, the step from the last
// column to the first (last row to first) is no bigger than the steps inside
// the picture.
TEST(OutdoorTextures, RepeatingTexturesHaveNoSeam) {
    struct Repeat {
        int group;
        bool acrossU, acrossV;
    };
    // Moss (v to 1.01), wall stone, the stems (v from -0.02), the mature leaf,
    // the ground, the pool walls.
    const Repeat repeats[] = {{0, false, true}, {1, true, true}, {3, false, true}, {6, true, true},
                              {8, true, true},  {9, true, true}};
    for (const Repeat& r : repeats) {
        const char* path = sceneryGroups[r.group].texture;
        TgaFileBytes tga;
        ASSERT_TRUE(tga.load(path));
        const int n = tga.width;
        double inside = 0, acrossU = 0, acrossV = 0;
        for (int i = 0; i < n; ++i) {
            for (int j = 0; j + 1 < n; ++j) inside += tga.step(j, i, j + 1, i) + tga.step(i, j, i, j + 1);
            acrossU += tga.step(n - 1, i, 0, i);
            acrossV += tga.step(i, n - 1, i, 0);
        }
        inside /= 2 * (n - 1);
        if (r.acrossU) {
            EXPECT_LT(acrossU, 1.5 * inside + 1) << path << ": seam where u wraps";
        }
        if (r.acrossV) {
            EXPECT_LT(acrossV, 1.5 * inside + 1) << path << ": seam where v wraps";
        }
    }
}

// The banana stems go round from u = 0.28 to u = 0.64: the stem texture
// repeats over that span, so the two columns meet without a seam.
TEST(OutdoorTextures, StemTextureClosesAroundTheStem) {
    TgaFileBytes tga;
    ASSERT_TRUE(tga.load(sceneryGroups[3].texture));
    const int n = tga.width;
    const int first = int(std::lround(0.28 * n)), last = int(std::lround(0.64 * n)) - 1;
    double inside = 0, around = 0;
    for (int y = 0; y < n; ++y) {
        for (int x = first; x < last; ++x) inside += tga.step(x, y, x + 1, y);
        around += tga.step(last, y, first, y);
    }
    inside /= last - first;
    EXPECT_LT(around, 1.5 * inside + 1);
}

// A winter sky: grey and pale, brighter at the horizon than overhead.
TEST(OutdoorTextures, SkyIsPaleOvercastBrighterTowardsTheHorizon) {
    TgaFileBytes tga;
    ASSERT_TRUE(tga.load(skyTextureFile));
    const int n = tga.width;
    auto brightness = [&](double radius) {
        double sum = 0;
        for (int k = 0; k < 64; ++k) {
            const double a = 6.2831853 * k / 64;
            const unsigned char* p = tga.at(int(n * (0.5 + radius * std::cos(a))), int(n * (0.5 + radius * std::sin(a))));
            sum += (p[0] + p[1] + p[2]) / 3.0;
            EXPECT_LT(std::fabs(double(p[2]) - p[0]), 60.0) << "a saturated sky colour";
        }
        return sum / 64;
    };
    EXPECT_GT(brightness(0.40), brightness(0.02));
    EXPECT_GT(brightness(0.02), 100.0);
}

// Just above the horizon the cloud deck is seen edge-on: it must melt into an
// even haze there, not break into streaks that run up the dome (texels varying
// from one to the next around the horizon circle while staying alike along the
// radius). Measured as the mean colour step between neighbouring texels around
// rings of the dome's projection: in the lowest 14 degrees the haze changes less
// around a ring than the clouds higher up do.
TEST(OutdoorTextures, SkyMeltsIntoAnEvenHazeAboveTheHorizon) {
    TgaFileBytes tga;
    ASSERT_TRUE(tga.load(skyTextureFile));
    const int n = tga.width;
    const double horizon = 0.42;  // texture distance of the horizon from the zenith
    auto stepAround = [&](double fromDegrees, double toDegrees) {
        double sum = 0;
        int steps = 0;
        for (double e = fromDegrees; e < toDegrees; e += 90.0 / (horizon * n)) {
            const double r = horizon * (1.0 - e / 90.0);
            const int samples = int(6.2831853 * r * n);
            int px = -1, py = -1;
            for (int k = 0; k <= samples; ++k) {
                const double a = 6.2831853 * k / samples;
                const int x = int(n * (0.5 + r * std::cos(a))), y = int(n * (0.5 + r * std::sin(a)));
                if (px >= 0) sum += tga.step(x, y, px, py), ++steps;
                px = x, py = y;
            }
        }
        return sum / steps;
    };
    const double haze = stepAround(0.0, 14.0), clouds = stepAround(14.0, 40.0);
    EXPECT_LT(haze, 2.0) << "streaks above the horizon";
    EXPECT_LT(haze, 0.6 * clouds);
}

// Winter moss: darker than the frosty ground around it and muted, not a bright
// saturated green; at the picture's border (a patch's edge) it thins out to
// about the ground's own colour, so patches blend into the lawn.
TEST(OutdoorTextures, MossIsDarkAndMutedAndThinsOutIntoTheGround) {
    TgaFileBytes moss, ground;
    ASSERT_TRUE(moss.load(sceneryGroups[0].texture));
    ASSERT_TRUE(ground.load(sceneryGroups[8].texture));
    struct Mean {
        double c[3] = {0, 0, 0};
        int n = 0;
        void add(const unsigned char* p) {
            for (int k = 0; k < 3; ++k) c[k] += p[k];
            ++n;
        }
        double brightness() const { return (c[0] + c[1] + c[2]) / (3.0 * n); }
        double chroma() const {  // spread of the channels over their largest
            return (std::max({c[0], c[1], c[2]}) - std::min({c[0], c[1], c[2]})) / std::max({c[0], c[1], c[2]});
        }
        double distance(const Mean& o) const {
            double d = 0;
            for (int k = 0; k < 3; ++k) d += std::fabs(c[k] / n - o.c[k] / o.n);
            return d;
        }
    };
    Mean middle, border, lawn;
    const int n = moss.width;
    for (int y = 0; y < n; ++y)
        for (int x = 0; x < n; ++x) {
            const int fromEdge = std::min({x, y, n - 1 - x, n - 1 - y});
            if (fromEdge < n / 50) border.add(moss.at(x, y));
            else if (fromEdge > n / 4) middle.add(moss.at(x, y));
        }
    for (int y = 0; y < ground.width; y += 3)
        for (int x = 0; x < ground.width; x += 3) lawn.add(ground.at(x, y));
    EXPECT_LT(middle.brightness(), 0.7 * lawn.brightness());
    EXPECT_LT(middle.chroma(), 0.4) << "a saturated green";
    EXPECT_LT(border.distance(lawn), 0.4 * middle.distance(lawn)) << "the edge does not blend into the lawn";
}

}  // namespace
