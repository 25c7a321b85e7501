#include "scenes/outdoor/grass_placement.h"

#include <cstddef>

#include "assets/tga_image.h"
#include "platform/log/debug_log.h"
#include "platform/random/crt_rand.h"

namespace {

// After this many black texels a blade takes the next root wherever it falls.
constexpr int blackTexelsBeforeGivingUp = 100;

const unsigned char* texel(const TgaImage& image, uint32_t x, uint32_t z) {
    const size_t bytesPerPixel = image.bpp / 8;
    const size_t pixel = static_cast<size_t>(image.height - 1 - z) * image.width + x;
    return image.pixels + pixel * bytesPerPixel;
}

// The wind texel that belongs to position texel (x, z) of a position image of
// `width` x `height`: the same one, or the proportional one where the wind image is
// smaller along that axis.
const unsigned char* windTexel(const TgaImage& wind, uint32_t x, uint32_t z, uint32_t width, uint32_t height) {
    if (wind.width < width) x = static_cast<uint32_t>(static_cast<uint64_t>(x) * wind.width / width);
    if (wind.height < height) z = static_cast<uint32_t>(static_cast<uint64_t>(z) * wind.height / height);
    return texel(wind, x, z);
}

bool loaded(const TgaImage& image) { return image.pixels && image.width > 0 && image.height > 0; }

}  // namespace

bool canPlaceGrass(const TgaImage& positionImage, const TgaImage& windImage) {
    return loaded(positionImage) && (positionImage.bpp == 24 || positionImage.bpp == 32) && loaded(windImage) &&
           windImage.bpp == 24;
}

bool placeGrassBlades(const TgaImage& positionImage, const TgaImage& windImage, int bladeCount, float fieldSize,
                      const GrassBladeArrays& arrays) {
    if (!canPlaceGrass(positionImage, windImage)) return false;
    if (bladeCount > grassMaxBladeCount) bladeCount = grassMaxBladeCount;

    static const float weights[grassVerticesPerBlade] = {0.0f, 0.0f, 0.8f, 0.8f, 1.0f};
    static const float texCoords[grassVerticesPerBlade][2] = {{0, 0}, {1, 0}, {0, 0.5f}, {1, 0.5f}, {0.5f, 1}};
    const uint32_t width = positionImage.width;
    const uint32_t height = positionImage.height;

    for (int blade = 0; blade < bladeCount; ++blade) {
        const float b = static_cast<float>(crtRand() % 1000) / 100.0f;
        const float d = static_cast<float>(crtRand() % 1000) / 100.0f;

        uint32_t x = 0, z = 0;
        unsigned c0 = 0, c1 = 0, c2 = 0;
        int attempts = 0;
        do {
            x = static_cast<uint32_t>(crtRand()) % width;
            z = static_cast<uint32_t>(crtRand()) % height;
            const unsigned char* ground = texel(positionImage, x, z);
            c0 = ground[0];
            c1 = ground[1];
            c2 = ground[2];
            ++attempts;
            if (attempts > blackTexelsBeforeGivingUp) {
                debugLog("DAMN! Can't find proper place! %i\n", attempts);
                c0 = 1;
            }
        } while (c0 + c1 + c2 == 0);

        // Bright ground grows large blades: the size factor runs from 0 to 3.
        const float a = c0 / 255.0f + c1 / 255.0f + c2 / 255.0f;
        const float rootX = static_cast<float>(static_cast<int64_t>(x) - width / 2) * fieldSize / width;
        const float rootZ = static_cast<float>(static_cast<int64_t>(z) - height / 2) * fieldSize / height;
        const float ab = a * b, ad = a * d;
        const float shape[grassVerticesPerBlade][3] = {
            {-ab, 0, -ad}, {ab, 0, ad}, {-ab, ab, -ad}, {ab, ab, ad}, {0, 2 * ab, 0}};
        const unsigned char* wind = windTexel(windImage, x, z, width, height);
        const float windX = wind[0] / 255.0f, windZ = wind[2] / 255.0f;

        for (int k = 0; k < grassVerticesPerBlade; ++k) {
            const size_t vertex = static_cast<size_t>(blade) * grassVerticesPerBlade + k;
            float* position = arrays.positions + 4 * vertex;
            position[0] = rootX;
            position[1] = 0.0f;
            position[2] = rootZ;
            position[3] = weights[k];
            float* offset = arrays.offsets + 3 * vertex;
            offset[0] = shape[k][0];
            offset[1] = shape[k][1];
            offset[2] = shape[k][2];
            float* direction = arrays.windDirections + 3 * vertex;
            direction[0] = windX;
            direction[1] = 0.0f;
            direction[2] = windZ;
            arrays.texCoords[2 * vertex] = texCoords[k][0];
            arrays.texCoords[2 * vertex + 1] = texCoords[k][1];
        }
        // Triangles (0, 1, 2), (1, 2, 3), (2, 3, 4) of the blade's own vertices.
        uint16_t* index = arrays.indices + static_cast<size_t>(blade) * grassIndicesPerBlade;
        const uint16_t first = static_cast<uint16_t>(blade * grassVerticesPerBlade);
        for (int k = 0; k < 3; ++k)
            for (int corner = 0; corner < 3; ++corner) *index++ = static_cast<uint16_t>(first + k + corner);
    }
    return true;
}
