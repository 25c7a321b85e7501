// Grass field construction: blade placement from hand-made position and wind images
// under a known random sequence, bad and mismatched images, and the time values.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "support/tga_file_bytes.h"
#include "support/asset_test_files.h"
#include "platform/clock/tick_count.h"
#include "platform/clock/timer.h"
#include "platform/random/crt_rand.h"
#include "scenes/outdoor/grass_field.h"
#include "scenes/outdoor/grass_placement.h"
#include "scenes/outdoor/grass_timeline.h"
#include "support/capture.h"

namespace {

using Bytes = std::vector<unsigned char>;

// An uncompressed TGA file from pixels given R, G, B (, A), rows in stored order.
Bytes rgbTgaFile(unsigned width, unsigned height, unsigned bytesPerPixel, const Bytes& rgb) {
    Bytes stored;
    for (size_t i = 0; i + bytesPerPixel <= rgb.size(); i += bytesPerPixel) {
        stored.insert(stored.end(), {rgb[i + 2], rgb[i + 1], rgb[i]});
        if (bytesPerPixel == 4) stored.push_back(rgb[i + 3]);
    }
    return tgaFile(width, height, static_cast<unsigned char>(8 * bytesPerPixel), stored);
}

Bytes solid(unsigned width, unsigned height, unsigned char r, unsigned char g, unsigned char b) {
    Bytes pixels;
    for (unsigned i = 0; i < width * height; ++i) pixels.insert(pixels.end(), {r, g, b});
    return pixels;
}

class GrassFieldConstruction : public ::testing::Test {
protected:
    void SetUp() override {
        crtSrand(1);
        setTickSource([this] { return now; });
        timer.reset();
    }
    void TearDown() override { setTickSource(nullptr); }

    std::string image(const std::string& name, unsigned width, unsigned height, const Bytes& rgb,
                      unsigned bytesPerPixel = 3) {
        return files.write(name, rgbTgaFile(width, height, bytesPerPixel, rgb));
    }
    GrassField* field(int blades, const std::string& position, const std::string& wind) {
        positionPath = position;
        windPath = wind;
        return new GrassField(blades, 20.0f, "Cg/none_vertex.cg", "Cg/none_fragment.cg",
                              files.file("no_blade_texture.tga").c_str(), positionPath.c_str(), windPath.c_str(),
                              92.0f, &timer);
    }
    // Offset k (0..4) of blade i.
    static const float* offset(const GrassField& grass, int blade, int vertex) {
        return grass.offsets + 3 * (5 * blade + vertex);
    }

    ScratchDirectory files;
    std::string positionPath, windPath;
    uint32_t now = 0;
    Timer timer;
    MessageBoxRecorder boxes;
    LogCapture log;
};

TEST_F(GrassFieldConstruction, FirstBladeTakesTheGeneratorsFirstNumbersAndItsTexel) {
    now = 3500;
    timer.update();
    std::unique_ptr<GrassField> grass(
        field(1, image("position.tga", 1, 1, {51, 102, 153}), image("wind.tga", 1, 1, {255, 7, 0})));

    ASSERT_TRUE(grass->hasBlades());
    EXPECT_FLOAT_EQ(grass->growthSpan, 23.5f) << "the span counts from the scene time at construction";
    EXPECT_EQ(grass->growthStart, 0.0f);
    EXPECT_EQ(grass->positionFloatCount, 20);
    EXPECT_EQ(grass->texCoordFloatCount, 10);
    EXPECT_EQ(grass->offsetFloatCount, 15);
    EXPECT_EQ(grass->windFloatCount, 15);
    EXPECT_EQ(grass->indexCount, 9);
    EXPECT_EQ(log.lines.front(), "Construction Grass\n");
    ASSERT_EQ(boxes.boxes.size(), 1u) << "only the blade texture is missing";
    EXPECT_EQ(boxes.boxes[0].text, "Could not open texture file");

    const float a = 51 / 255.0f + 102 / 255.0f + 153 / 255.0f;
    const float b = 0.41f, d = 4.67f;
    const float expected[5][3] = {{-a * b, 0, -a * d}, {a * b, 0, a * d}, {-a * b, a * b, -a * d},
                                  {a * b, a * b, a * d}, {0, 2 * a * b, 0}};
    const float weights[5] = {0, 0, 0.8f, 0.8f, 1.0f};
    const float uv[5][2] = {{0, 0}, {1, 0}, {0, 0.5f}, {1, 0.5f}, {0.5f, 1}};
    for (int k = 0; k < 5; ++k) {
        SCOPED_TRACE(k);
        for (int c = 0; c < 3; ++c) EXPECT_FLOAT_EQ(offset(*grass, 0, k)[c], expected[k][c]);
        EXPECT_EQ(grass->positions[4 * k], 0.0f);
        EXPECT_EQ(grass->positions[4 * k + 1], 0.0f);
        EXPECT_EQ(grass->positions[4 * k + 2], 0.0f);
        EXPECT_FLOAT_EQ(grass->positions[4 * k + 3], weights[k]);
        EXPECT_FLOAT_EQ(grass->windDirections[3 * k], 1.0f) << "red";
        EXPECT_EQ(grass->windDirections[3 * k + 1], 0.0f) << "green is never used";
        EXPECT_EQ(grass->windDirections[3 * k + 2], 0.0f) << "blue";
        EXPECT_EQ(grass->texCoords[2 * k], uv[k][0]);
        EXPECT_EQ(grass->texCoords[2 * k + 1], uv[k][1]);
    }
    const uint16_t firstBlade[9] = {0, 1, 2, 1, 2, 3, 2, 3, 4};
    for (int i = 0; i < 9; ++i) EXPECT_EQ(grass->indices[i], firstBlade[i]);
}

TEST_F(GrassFieldConstruction, RootsAreTriedInDrawOrderAndAddressedFromTheLastStoredRow) {
    // 4 x 2 image: only texels (1, 0) and (3, 0) are ground, and z = 0 is the
    // second stored row. The generator yields 41, 18467 (B, D of blade 0), then
    // (6334, 26500) -> (2, 0) black, (19169, 15724) -> (1, 0): blade 0 stands there.
    // Blade 1: 11478, 29358 (B 4.78, D 3.58), then (2, 0), (1, 1), (1, 1), (1, 1)
    // black and (2995, 11942) -> (3, 0).
    Bytes pixels = solid(4, 2, 0, 0, 0);
    const Bytes dim = {0, 85, 0}, bright = {255, 255, 255};
    std::copy(dim.begin(), dim.end(), pixels.begin() + 3 * (4 + 1));
    std::copy(bright.begin(), bright.end(), pixels.begin() + 3 * (4 + 3));
    Bytes wind = solid(4, 2, 0, 0, 0);
    wind[3 * (4 + 1)] = 51;
    wind[3 * (4 + 3) + 2] = 102;
    std::unique_ptr<GrassField> grass(
        field(2, image("position.tga", 4, 2, pixels), image("wind.tga", 4, 2, wind)));

    EXPECT_FLOAT_EQ(grass->positions[0], -23.0f) << "(1 - 2) * 92 / 4";
    EXPECT_FLOAT_EQ(grass->positions[2], -46.0f) << "(0 - 1) * 92 / 2";
    EXPECT_FLOAT_EQ(offset(*grass, 0, 4)[1], 2 * (85 / 255.0f) * 0.41f);
    EXPECT_FLOAT_EQ(grass->windDirections[0], 0.2f);
    EXPECT_FLOAT_EQ(grass->windDirections[2], 0.0f);

    EXPECT_FLOAT_EQ(grass->positions[20], 23.0f);
    EXPECT_FLOAT_EQ(grass->positions[22], -46.0f);
    EXPECT_FLOAT_EQ(offset(*grass, 1, 1)[0], 3.0f * 4.78f);
    EXPECT_FLOAT_EQ(offset(*grass, 1, 1)[2], 3.0f * 3.58f);
    EXPECT_FLOAT_EQ(grass->windDirections[15], 0.0f);
    EXPECT_FLOAT_EQ(grass->windDirections[17], 0.4f);
    const uint16_t secondBlade[9] = {5, 6, 7, 6, 7, 8, 7, 8, 9};
    for (int i = 0; i < 9; ++i) EXPECT_EQ(grass->indices[9 + i], secondBlade[i]);
    EXPECT_EQ(crtRand(), 4827) << "the field used exactly 18 numbers; the snow goes on from there";
    EXPECT_FALSE(log.contains("DAMN!"));
}

TEST_F(GrassFieldConstruction, AllBlackGroundGivesUpAfterOneHundredAndOneRootsPerBlade) {
    std::unique_ptr<GrassField> grass(
        field(3, image("position.tga", 8, 8, solid(8, 8, 0, 0, 0)), image("wind.tga", 8, 8, solid(8, 8, 9, 9, 9))));
    int damn = 0;
    for (const auto& line : log.lines)
        if (line.find("DAMN!") != std::string::npos) {
            EXPECT_EQ(line, "DAMN! Can't find proper place! 101\n");
            ++damn;
        }
    EXPECT_EQ(damn, 3) << "one per blade";
    const float b0 = 0.41f;
    EXPECT_FLOAT_EQ(offset(*grass, 0, 4)[1], 2 * (1 / 255.0f) * b0) << "red forced to 1: almost invisible";
    // 3 blades x (B, D and 101 roots of two numbers each).
    crtSrand(1);
    for (int i = 0; i < 3 * (2 + 2 * 101); ++i) crtRand();
    const int next = crtRand();
    crtSrand(1);
    std::unique_ptr<GrassField> again(
        field(3, image("position.tga", 8, 8, solid(8, 8, 0, 0, 0)), image("wind.tga", 8, 8, solid(8, 8, 9, 9, 9))));
    EXPECT_EQ(crtRand(), next);
}

TEST_F(GrassFieldConstruction, OneTexelImagesRootEveryBladeAtTheCentreWithOneSize) {
    std::unique_ptr<GrassField> grass(
        field(50, image("position.tga", 1, 1, {255, 255, 255}), image("wind.tga", 1, 1, {0, 0, 255})));
    for (int blade = 0; blade < 50; ++blade) {
        SCOPED_TRACE(blade);
        EXPECT_EQ(grass->positions[20 * blade], 0.0f);
        EXPECT_EQ(grass->positions[20 * blade + 2], 0.0f);
        const float* base = offset(*grass, blade, 1);
        const float* tip = offset(*grass, blade, 4);
        // White ground: A = 3, the tip stands 6 B above the root and the base reaches 3 B.
        EXPECT_FLOAT_EQ(tip[1], 2.0f * base[0]);
        EXPECT_LE(tip[1], 6 * 9.99f + 1e-3f);
        EXPECT_FLOAT_EQ(grass->windDirections[15 * blade + 2], 1.0f);
    }
}

TEST_F(GrassFieldConstruction, FullSizeImagesSpreadRootsOverTheCentredField) {
    const unsigned size = 1024;
    std::unique_ptr<GrassField> grass(field(2000, image("position.tga", size, size, solid(size, size, 1, 0, 0)),
                                            image("wind.tga", size, size, solid(size, size, 0, 0, 0))));
    float low = 1e9f, high = -1e9f;
    for (int blade = 0; blade < 2000; ++blade)
        for (int axis : {0, 2}) {
            low = std::min(low, grass->positions[20 * blade + axis]);
            high = std::max(high, grass->positions[20 * blade + axis]);
        }
    EXPECT_GE(low, -46.0f);
    EXPECT_LE(high, 511 * 92.0f / 1024) << "45.91";
    EXPECT_LT(low, -45.0f);
    EXPECT_GT(high, 45.0f);
}

TEST_F(GrassFieldConstruction, MissingOrUnusableImagesPlaceNoBladeAndDrawNoNumbers) {
    const std::string position = image("position.tga", 2, 2, solid(2, 2, 200, 200, 200));
    const std::string wind = image("wind.tga", 2, 2, solid(2, 2, 100, 100, 100));
    const std::string wind32 = image("wind32.tga", 2, 2, Bytes(16, 100), 4);
    Bytes cutHeader = tgaHeader(2, 2, 2, 24);
    cutHeader.pop_back();
    const std::string damaged = files.write("damaged.tga", cutHeader);
    struct Case {
        const char* what;
        std::string position, wind;
    } cases[] = {
        {"no position image", files.file("missing.tga"), wind},
        {"no wind image", position, files.file("missing.tga")},
        {"32-bit wind image", position, wind32},
        {"damaged wind image", position, damaged},
        {"damaged position image", damaged, wind},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        crtSrand(1);
        std::unique_ptr<GrassField> grass(field(4, c.position, c.wind));
        EXPECT_FALSE(grass->hasBlades());
        for (int i = 0; i < grass->positionFloatCount; ++i) ASSERT_EQ(grass->positions[i], 0.0f);
        EXPECT_EQ(crtRand(), 41) << "nothing was drawn from the generator";
    }
}

TEST_F(GrassFieldConstruction, WindImageOfAnotherSizeIsLoggedAndReadInsideItsOwnBounds) {
    // A 1 x 1 wind image under an 8 x 8 position image: every blade takes its one texel.
    std::unique_ptr<GrassField> grass(field(40, image("position.tga", 8, 8, solid(8, 8, 90, 90, 90)),
                                            image("wind.tga", 1, 1, {51, 0, 204})));
    EXPECT_TRUE(log.contains("Position Texture should have the same size of Wind Texture! Guarantee exhausted!\n"));
    ASSERT_TRUE(grass->hasBlades());
    for (int blade = 0; blade < 40; ++blade) {
        EXPECT_FLOAT_EQ(grass->windDirections[15 * blade], 0.2f);
        EXPECT_FLOAT_EQ(grass->windDirections[15 * blade + 2], 0.8f);
    }
    // A larger wind image is read at the same texel.
    Bytes wind = solid(16, 16, 0, 0, 0);
    std::unique_ptr<GrassField> wide(field(1, image("position.tga", 1, 1, {90, 90, 90}),
                                           image("wind.tga", 16, 16, wind)));
    EXPECT_TRUE(wide->hasBlades());
}

TEST_F(GrassFieldConstruction, ThirtyTwoBitPositionImageIsReadByItsOwnPixelSize) {
    // 2 x 1: texel 0 black but opaque, texel 1 ground with zero alpha. The first
    // root is x = 6334 mod 2 = 0 (black), the second x = 19169 mod 2 = 1.
    std::unique_ptr<GrassField> grass(field(1, image("position.tga", 2, 1, {0, 0, 0, 255, 10, 20, 30, 0}, 4),
                                            image("wind.tga", 2, 1, solid(2, 1, 0, 0, 0))));
    EXPECT_FLOAT_EQ(offset(*grass, 0, 4)[1], 2 * (10 / 255.0f + 20 / 255.0f + 30 / 255.0f) * 0.41f);
}

TEST_F(GrassFieldConstruction, BladeCountIsKeptWithinSixteenBitIndices) {
    const std::string position = image("position.tga", 1, 1, {90, 90, 90});
    const std::string wind = image("wind.tga", 1, 1, {90, 90, 90});
    std::unique_ptr<GrassField> most(field(13107, position, wind));
    EXPECT_EQ(most->indices[most->indexCount - 1], 65534);
    std::unique_ptr<GrassField> tooMany(field(20000, position, wind));
    EXPECT_EQ(tooMany->bladeCount, grassMaxBladeCount);
    EXPECT_EQ(tooMany->indexCount, 9 * grassMaxBladeCount);
    std::unique_ptr<GrassField> none(field(-5, position, wind));
    EXPECT_EQ(none->bladeCount, 0);
    EXPECT_EQ(none->indexCount, 0);
}

TEST_F(GrassFieldConstruction, ReleasingImagesClearsThemAndTeardownIsLogged) {
    std::unique_ptr<GrassField> grass(
        field(2, image("position.tga", 1, 1, {90, 90, 90}), image("wind.tga", 1, 1, {90, 90, 90})));
    EXPECT_TRUE(grass->releaseImages());
    EXPECT_EQ(grass->positionImage, nullptr);
    EXPECT_EQ(grass->windImage, nullptr);
    EXPECT_EQ(grass->colorTexture, nullptr);
    EXPECT_TRUE(grass->releaseImages()) << "a second release is harmless";
    grass.reset();
    EXPECT_EQ(log.lines.back(), "Abfackling Grass\n");
}

TEST(GrassTimeline, GrowingHoldsAfterItsSpanWhileTheWindRunsOn) {
    struct Row {
        float t, growing, wind;
    } rows[] = {{0, 0, 0},       {29.99f, 0, 0},      {30, 0, 0},          {31, 0.01f, 0.01f},
                {40, 0.1f, 0.1f}, {50, 0.2f, 0.2f}, {100, 0.2f, 0.7f}, {150, 0.2f, 1.2f}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.t);
        const GrassTimeValues values = grassTimeValues(row.t, 30.0f, 20.0f);
        EXPECT_NEAR(values.growingTime, row.growing, 1e-6f);
        EXPECT_NEAR(values.windTime, row.wind, 2e-6f);
    }
    EXPECT_FLOAT_EQ(grassTimeValues(1e5f, 30.0f, 20.0f).growingTime, 0.2f);
    // A slow start-up: the first frame at 41 s already shows part-grown grass.
    EXPECT_GT(grassTimeValues(41.0f, 30.0f, 20.0f).growingTime, 0.1f);
}

}  // namespace
