// The grass generator's images as the field reads them: the blade texture's cut-out
// and colours, the position map keeping the pool clear, the wind map's smoothness.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>

#include "assets/tga_image.h"
#include "platform/clock/tick_count.h"
#include "platform/clock/timer.h"
#include "platform/random/crt_rand.h"
#include "scenes/outdoor/grass_field.h"
#include "scenes/outdoor/grass_files.h"
#include "support/capture.h"

namespace {

struct LoadedImage {
    TgaImage image;
    explicit LoadedImage(const char* path) { loaded = loadTga(image, path); }
    ~LoadedImage() { releasePixels(image); }
    const unsigned char* at(uint32_t x, uint32_t row) const {
        return image.pixels + (size_t(row) * image.width + x) * (image.bpp / 8);
    }
    bool loaded = false;
};

TEST(GrassBladeTexture, IsATuftCutOutOfTheCardGreenAtTheRootYellowerAtTheTips) {
    LoadedImage blades(grassBladeTextureFile);
    ASSERT_TRUE(blades.loaded) << "run from the run directory after building the data";
    ASSERT_EQ(blades.image.bpp, 32u);
    ASSERT_EQ(blades.image.width, blades.image.height);
    const uint32_t size = blades.image.width;
    int opaque = 0, card = 0, outsideOpaque = 0, tipOpaque = 0;
    double rootRatio = 0, tipRatio = 0;
    int rootCount = 0, tipCount = 0;
    for (uint32_t row = 0; row < size; ++row)
        for (uint32_t x = 0; x < size; ++x) {
            const double u = (x + 0.5) / size, v = (row + 0.5) / size;  // row 0 is v = 0, the root
            const unsigned char* texel = blades.at(x, row);
            // The card: a rectangle up to v = 0.5 under a triangle with its apex at (0.5, 1).
            const bool onCard = v <= 0.5 || std::fabs(u - 0.5) <= 1.0 - v - 1.0 / size;
            const bool kept = texel[3] >= 128;
            card += onCard;
            if (!onCard && v > 0.5 + 1.0 / size && std::fabs(u - 0.5) > 1.0 - v + 1.0 / size) outsideOpaque += texel[3] > 0;
            if (!kept) continue;
            ++opaque;
            EXPECT_GT(texel[1], texel[2]) << "green over blue at " << x << ", " << row;
            if (v > 0.9) ++tipOpaque;
            if (v > 0.12 && v < 0.3) {
                rootRatio += double(texel[0]) / texel[1];
                ++rootCount;
            }
            if (v > 0.6) {
                tipRatio += double(texel[0]) / texel[1];
                ++tipCount;
            }
        }
    EXPECT_EQ(outsideOpaque, 0) << "nothing outside the card's outline";
    EXPECT_GT(opaque, card / 8) << "blades, not threads";
    EXPECT_LT(opaque, card / 2) << "gaps between the blades";
    EXPECT_GT(tipOpaque, 0) << "the middle blade reaches up to the apex";
    ASSERT_GT(rootCount, 0);
    ASSERT_GT(tipCount, 0);
    EXPECT_GT(tipRatio / tipCount, rootRatio / rootCount + 0.1) << "yellow-green tips";
}

TEST(GrassPositionMap, PlacesTheScenesFieldAroundThePoolNeverInIt) {
    LoadedImage map(grassPositionImageFile);
    ASSERT_TRUE(map.loaded);
    ASSERT_EQ(map.image.bpp, 24u);
    ASSERT_EQ(map.image.width, 1024u);
    ASSERT_EQ(map.image.height, 1024u);
    int ground = 0;
    int sums[4] = {};
    for (uint32_t i = 0; i < 1024u * 1024u; ++i) {
        const unsigned char* texel = map.image.pixels + 3 * i;
        const int sum = texel[0] + texel[1] + texel[2];
        if (sum == 0) continue;
        ++ground;
        ++sums[std::min(3, sum / 128)];
    }
    EXPECT_GT(ground, 1024 * 1024 / 6);
    EXPECT_LT(ground, 1024 * 1024 * 2 / 3) << "bare patches and thinner grass between the clumps";
    EXPECT_GT(sums[0], ground / 20) << "short blades";
    EXPECT_GT(sums[2] + sums[3], ground / 20) << "tall tussocks";

    // The scene's own placement from these files: no give-up, nothing in the pool.
    crtSrand(1);
    setTickSource([] { return 0u; });
    Timer timer;
    LogCapture log;
    MessageBoxRecorder boxes;
    GrassField grass(grassBladeCount, grassGrowthSpan, grassVertexProgramFile, grassFragmentProgramFile,
                     "textures/not_needed_here.tga", grassPositionImageFile, grassWindImageFile, grassFieldSize,
                     &timer);
    setTickSource(nullptr);
    ASSERT_TRUE(grass.hasBlades());
    EXPECT_FALSE(log.contains("DAMN!"));
    EXPECT_FALSE(log.contains("Guarantee exhausted"));
    // The pool basin's rim runs at |x| 16.5, |z| 17; roots keep three units from it.
    // The banana planter (radius 9.5 round (29.5, 30)), the boulders (up to 1.15 times
    // their radius) and the terrace steps (x up to -43.2, |z| <= 6) stand on the lawn.
    struct Round {
        float x, z, radius;
    } rounds[] = {{29.5f, 30.0f, 9.8f}, {-28.0f, -36.0f, 3.0f}, {42.0f, -22.0f, 3.7f}, {-20.0f, 42.0f, 2.6f}};
    int inPool = 0, inside = 0;
    for (int blade = 0; blade < grassBladeCount; ++blade) {
        const float x = grass.positions[20 * blade], z = grass.positions[20 * blade + 2];
        if (std::fabs(x) < 16.5f + 3.0f && std::fabs(z) < 17.0f + 3.0f) ++inPool;
        for (const Round& r : rounds) inside += std::hypot(x - r.x, z - r.z) < r.radius;
        inside += x < -43.0f && std::fabs(z) < 6.5f;
    }
    EXPECT_EQ(inPool, 0);
    EXPECT_EQ(inside, 0) << "no blade inside the planter, a boulder or the steps";
}

TEST(GrassWindMap, LeansNeighboursAlikeWithAPrevailingBreeze) {
    LoadedImage wind(grassWindImageFile);
    ASSERT_TRUE(wind.loaded);
    ASSERT_EQ(wind.image.bpp, 24u) << "the field places blades only with a 24-bit wind map";
    ASSERT_EQ(wind.image.width, 1024u);
    ASSERT_EQ(wind.image.height, 1024u);
    int largestStep = 0, low = 255, high = 0;
    double meanRed = 0;
    for (uint32_t row = 0; row < 1024; ++row)
        for (uint32_t x = 0; x + 1 < 1024; ++x) {
            const unsigned char* a = wind.at(x, row);
            const unsigned char* b = wind.at(x + 1, row);
            largestStep = std::max({largestStep, std::abs(a[0] - b[0]), std::abs(a[2] - b[2])});
            low = std::min(low, int(a[0]));
            high = std::max(high, int(a[0]));
            meanRed += a[0];
        }
    meanRed /= 1024.0 * 1023.0;
    EXPECT_LE(largestStep, 4) << "smooth clouds";
    EXPECT_GT(high - low, 60) << "the lean varies across the field";
    EXPECT_GT(meanRed, 150.0) << "a breeze along +x on the whole";
}

}  // namespace
