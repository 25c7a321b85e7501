// The grass blade texture: a tuft of blades with an alpha cut-out, painted to fit
// the blade card's outline (a rectangle up to v = 0.5 under a triangle whose apex
// is at u = 0.5, v = 1), dark green at the root, yellow-green at the tips.
#pragma once

#include <vector>

#include "tools/common/picture.h"

constexpr int bladeTextureSize = 256;

struct BladeTexture {
    int size = 0;
    std::vector<gen::Colour> colour;  // row 0 at v = 0, the root
    std::vector<double> alpha;        // 1 on a blade, 0 between blades
};

BladeTexture paintBladeTexture(int size);

// Whether texture coordinate (u, v) lies on the blade card at all.
bool insideBladeCard(double u, double v);
