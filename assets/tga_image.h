// Truevision TGA images: the one reader every picture of the demo goes through,
// and the one way an image becomes an OpenGL texture.
//
// The reader accepts uncompressed (type 2) and run-length encoded (type 10)
// true-colour files with 24 or 32 bits per pixel, no image ID, no colour map and
// origin (0, 0). Every problem is shown in a message box and reported as false.
#pragma once

#include <cstdint>

struct TgaImage {
    // width x height pixels of bpp / 8 bytes, R, G, B (, A), rows as the file stores
    // them (the first row becomes texture row t = 0), no row padding. Allocated by
    // loadTga with malloc; the owner releases it with releasePixels (the texture
    // helper does so right after the upload). Null when the image holds no pixels.
    unsigned char* pixels = nullptr;
    uint32_t bpp = 0;        // bits per pixel as stored: 24 or 32
    uint32_t width = 0;      // pixels per row, at least 1 once loaded
    uint32_t height = 0;     // rows, at least 1 once loaded
    uint32_t textureId = 0;  // GL texture name set by createMipmappedTexture; 0 until then
    uint32_t format = 0;     // GL_RGB for 24 bits per pixel, GL_RGBA for 32
};

// Reads `path` (relative to the working directory) into `image`: pixels, bpp, width,
// height and format; textureId is left alone. Pixels the record already held are
// released first. Returns true when the image is complete; on failure the message
// box has been shown, the file is closed and `pixels` is null.
//
// A header whose pixel data cannot fit in the rest of the file is rejected with the
// message its truncated body produces, before any pixel memory is claimed.
bool loadTga(TgaImage& image, const char* path);
bool loadTga(TgaImage* image, const char* path);

// Turns a loaded image into a repeating, trilinear-mipmapped GL_TEXTURE_2D (left
// bound) and releases its pixels. An image without pixels (a failed load) gets no
// texture: textureId stays as it was.
void createMipmappedTexture(TgaImage& image);
void createMipmappedTexture(TgaImage* image);

// Frees `pixels` and clears the pointer; harmless when there are none.
void releasePixels(TgaImage& image);
