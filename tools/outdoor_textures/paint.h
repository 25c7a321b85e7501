// Small painting helpers shared by the outdoor set's materials.
#pragma once

#include <cmath>
#include <functional>

#include "tools/common/noise.h"
#include "tools/common/picture.h"

namespace outdoor {

using gen::Colour;
using gen::Picture;

inline double fract(double x) { return x - std::floor(x); }
// Distance from x to the nearest whole number.
inline double toWhole(double x) { return std::fabs(x - std::floor(x + 0.5)); }

// Calls paint(u, v, index) for the centre of every texel.
void forEachTexel(const Picture& p, const std::function<void(double, double, size_t)>& paint);

// Darkens and lightens the colour by the relief in `height`, lit from above
// (towards +v) and a little from the left; a flat texel keeps its colour.
void shadeRelief(Picture& p, double strength);

}  // namespace outdoor
