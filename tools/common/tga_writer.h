// Writes the demo's TGA textures: uncompressed true colour, bottom-left origin,
// B, G, R (, A) byte order.
#pragma once

#include <string>
#include <vector>

#include "tools/common/picture.h"

namespace gen {

// A 24-bit (no alpha) or 32-bit square image; channel values in 0..1.
bool writeTga(const std::string& path, int size, const std::vector<Colour>& colour, const std::vector<double>* alpha);

// Any size, from bytes already in file order (B, G, R (, A), rows bottom-up);
// `bytesPerPixel` 3 or 4.
bool writeTgaBytes(const std::string& path, int width, int height, int bytesPerPixel,
                   const std::vector<unsigned char>& pixels);

}  // namespace gen
