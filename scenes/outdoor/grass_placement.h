// Where the grass blades stand and what shape each one has, read from two images:
// the position image decides where a blade may stand (anything but black) and how
// large it grows (the texel's brightness); the wind image gives the direction it
// leans in. The blades' roots, shapes and random sizes come from the process-wide
// generator (crtRand), so the same images give the same field in every run.
#pragma once

#include <cstdint>

struct TgaImage;

// A blade: two base vertices, two middle vertices and a tip, three triangles.
constexpr int grassVerticesPerBlade = 5;
constexpr int grassIndicesPerBlade = 9;
// Every blade has its own five vertices and indices are 16-bit: 13,107 blades use
// vertex numbers up to 65,534, one more blade would wrap them.
constexpr int grassMaxBladeCount = 13107;

// The per-vertex arrays the blades are written into, blade after blade, vertex
// after vertex: positions 4 floats (root x, 0, root z, weight along the blade),
// texture coordinates 2, shape offsets from the root 3, wind direction 3; and 9
// indices per blade.
struct GrassBladeArrays {
    float* positions = nullptr;
    float* texCoords = nullptr;
    float* offsets = nullptr;
    float* windDirections = nullptr;
    uint16_t* indices = nullptr;
};

// True when the two images can place blades: a loaded 24- or 32-bit position image
// and a loaded 24-bit wind image. Anything else places no blade.
bool canPlaceGrass(const TgaImage& positionImage, const TgaImage& windImage);

// Places `bladeCount` blades (at most grassMaxBladeCount) on a square patch
// `fieldSize` wide, centred on the origin, with the position image spread over it.
// Per blade it draws two size numbers B and D, then roots (x, z) until one lands on
// a texel that is not black; after 100 black texels it logs "DAMN! ..." and takes
// the 101st root all the same, at the smallest size. Texel (x, z) is row H - 1 - z
// of the image as stored, so z counts from the last stored row. A wind image smaller
// than the position image is read at the proportional texel, inside its bounds.
// Returns false, writing and drawing nothing, when canPlaceGrass is false.
bool placeGrassBlades(const TgaImage& positionImage, const TgaImage& windImage, int bladeCount, float fieldSize,
                      const GrassBladeArrays& arrays);
