// The snow's flake sprite as its generator writes it into the run directory: a
// round glow that the alpha test (reference 0.5, left by the grass) never cuts,
// and an empty border, so no flake shows an edge or a square outline.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "scenes/outdoor/snow_files.h"
#include "support/tga_file_bytes.h"

namespace {

TEST(SnowflakeTexture, IsARoundGlowTheAlphaTestNeverCuts) {
    TgaFileBytes tga;
    ASSERT_TRUE(tga.load(snowflakeTextureFile)) << "run from the run directory after building the data";
    ASSERT_EQ(tga.bytesPerPixel, 4);
    const int size = tga.width;
    ASSERT_EQ(tga.height, size);
    // Light in rings of one texel's width, the smallest and largest seen in each.
    std::vector<int> ringLow(size, 255), ringHigh(size, 0);
    int cut = 0, lightAtBorder = 0;
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            const unsigned char* texel = tga.at(x, y);
            const int light = std::max({texel[0], texel[1], texel[2]});
            if (light > 0 && texel[3] < 128) ++cut;
            if ((x == 0 || y == 0 || x == size - 1 || y == size - 1) && (light > 0 || texel[3] > 0)) ++lightAtBorder;
            const int ring = int(std::hypot(x + 0.5 - size / 2.0, y + 0.5 - size / 2.0));
            ringLow[ring] = std::min(ringLow[ring], light);
            ringHigh[ring] = std::max(ringHigh[ring], light);
        }
    EXPECT_EQ(cut, 0) << "texels with light that the alpha test would drop: a hard rim";
    EXPECT_EQ(lightAtBorder, 0);
    EXPECT_GT(ringLow[0], 200) << "bright in the middle";
    for (int ring = 1; ring < size / 2; ++ring) {
        EXPECT_LE(ringHigh[ring], ringHigh[ring - 1] + 1) << "fading outwards, ring " << ring;
        // Round: at one distance from the centre the light is the same in every
        // direction (a texel's width of rounding allowed), so no arms or spikes.
        EXPECT_LE(ringHigh[ring] - ringLow[ring], 40) << "ring " << ring;
    }
}

}  // namespace
