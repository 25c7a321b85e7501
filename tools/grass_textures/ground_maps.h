// The two maps the grass field is placed from, square, stored as TGA bytes (B, G,
// R, rows bottom-up as the file stores them). The field spreads them over its
// square patch centred on the origin: texel column x lies at world x = (x - size/2)
// * fieldSize / size, the stored row r at world z = (size - 1 - r - size/2) *
// fieldSize / size.
//
// Position map: black where no blade may stand (the pool with a margin, the banana
// planter, the boulders, the terrace steps, the fallen leaf, bare paths, bare
// patches, a ragged border), elsewhere a brightness that
// sets the blade size; local density comes from the share of black texels sprinkled
// in between. Wind map: smooth clouds in red (lean along x) and blue (along z), 0.5
// meaning upright, so neighbouring blades lean alike.
#pragma once

#include <vector>

constexpr int groundMapSize = 1024;

struct GroundMap {
    int size = 0;
    std::vector<unsigned char> bytes;
};

GroundMap paintPositionMap(int size, float fieldSize);
GroundMap paintWindMap(int size);

// How thickly grass grows at world (x, z), 0 (bare) to 1, and the blade size
// factor there (the position map's red + green + blue over 255).
double grassDensityAt(double x, double z);
double grassSizeAt(double x, double z);
