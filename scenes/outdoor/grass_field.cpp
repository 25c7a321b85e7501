// Construction and teardown of the grass field: the blade texture, the per-vertex
// arrays and the placement of the blades. Drawing is in grass_field_render.cpp.
#include "scenes/outdoor/grass_field.h"

#include <algorithm>

#include "platform/clock/timer.h"
#include "platform/log/debug_log.h"
#include "scenes/outdoor/grass_placement.h"

GrassField::GrassField(int bladeCount_, float growthSpan_, const char* vertexProgramFile_,
                       const char* fragmentProgramFile_, const char* colorTexturePath_,
                       const char* positionImagePath, const char* windImagePath, float fieldSize_, Timer* timer_) {
    debugLog("Construction Grass\n");

    colorTexture = new TgaImage;
    colorTexturePath = colorTexturePath_;
    if (loadTga(colorTexture, colorTexturePath)) createMipmappedTexture(colorTexture);

    timer = timer_;
    vertexProgramFile = vertexProgramFile_;
    fragmentProgramFile = fragmentProgramFile_;

    growthSpan = (timer ? static_cast<float>(timer->total()) : 0.0f) + growthSpan_;
    if (bladeCount_ > grassMaxBladeCount)
        debugLog("Grass: %i blades do not fit 16-bit indices; drawing %i\n", bladeCount_, grassMaxBladeCount);
    bladeCount = std::clamp(bladeCount_, 0, grassMaxBladeCount);
    growthStart = 0.0f;
    fieldSize = fieldSize_;
    verticesPerBlade = grassVerticesPerBlade;
    positionFloatCount = 4 * verticesPerBlade * bladeCount;
    texCoordFloatCount = 2 * verticesPerBlade * bladeCount;
    offsetFloatCount = 3 * verticesPerBlade * bladeCount;
    windFloatCount = 3 * verticesPerBlade * bladeCount;
    indexCount = grassIndicesPerBlade * bladeCount;

    // Zero-filled, so that a field without blades uploads defined (empty) data.
    positions = new float[positionFloatCount]();
    texCoords = new float[texCoordFloatCount]();
    indices = new uint16_t[indexCount]();
    offsets = new float[offsetFloatCount]();
    windDirections = new float[windFloatCount]();

    positionImage = new TgaImage;
    windImage = new TgaImage;
    loadTga(positionImage, positionImagePath);
    loadTga(windImage, windImagePath);

    if (positionImage->width != windImage->width || positionImage->height != windImage->height)
        debugLog("Position Texture should have the same size of Wind Texture! Guarantee exhausted!\n");

    if (windImage->bpp == 24) {
        GrassBladeArrays arrays;
        arrays.positions = positions;
        arrays.texCoords = texCoords;
        arrays.offsets = offsets;
        arrays.windDirections = windDirections;
        arrays.indices = indices;
        bladesPlaced = placeGrassBlades(*positionImage, *windImage, bladeCount, fieldSize, arrays);
    }
}

GrassField::~GrassField() {
    debugLog("Abfackling Grass\n");
    // Buffer names exist only after setUp, which ran with a GL context.
    GLuint* buffers[] = {&positionBuffer, &texCoordBuffer, &offsetBuffer, &indexBuffer, &windBuffer};
    for (GLuint* buffer : buffers) {
        if (*buffer) glDeleteBuffers(1, buffer);
        *buffer = 0;
    }
    if (plainTexture) glDeleteTextures(1, &plainTexture);
    plainTexture = 0;
    delete[] positions;
    positions = nullptr;
    delete[] texCoords;
    texCoords = nullptr;
    delete[] offsets;
    offsets = nullptr;
    delete[] windDirections;
    windDirections = nullptr;
    delete[] indices;
    indices = nullptr;
    // Normally gone already (releaseImages); released here too so nothing leaks.
    releaseImages();
}

bool GrassField::releaseImages() {
    TgaImage** images[] = {&colorTexture, &positionImage, &windImage};
    for (TgaImage** image : images) {
        if (*image) releasePixels(**image);
        delete *image;
        *image = nullptr;
    }
    return true;
}
