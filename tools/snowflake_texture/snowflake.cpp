#include "tools/snowflake_texture/snowflake.h"

#include <cmath>

#include "tools/common/noise.h"

namespace snow {

namespace {

// Radii in units of the sprite's half width.
const double kLightFull = 0.2;      // full light inside this
const double kLightEnd = 0.85;      // the light has faded out here
const double kShapeInner = 0.9;     // alpha starts to fall here
const double kShapeOuter = 0.96;    // and is gone here, short of the border
const gen::Colour kTint = {0.94, 0.96, 1.0};

// The light of the flake at distance r from the centre: a round disc, full in the
// middle and thinning out smoothly over most of its radius, with no edge of its
// own. Seen small it is a soft dot; seen large, a soft disc.
double brightness(double r) { return gen::smoothstep(kLightEnd, kLightFull, r); }

}  // namespace

gen::Picture paintSnowflake(int size) {
    gen::Picture picture(size);
    // Four samples per texel, so the round outline is smooth at every size.
    const double offsets[2] = {-0.25, 0.25};
    for (int row = 0; row < size; ++row) {
        for (int column = 0; column < size; ++column) {
            double light = 0.0, shape = 0.0;
            for (double dy : offsets) {
                for (double dx : offsets) {
                    const double x = (column + 0.5 + dx) / size * 2.0 - 1.0;
                    const double y = (row + 0.5 + dy) / size * 2.0 - 1.0;
                    const double r = std::sqrt(x * x + y * y);
                    light += brightness(r) / 4.0;
                    shape += gen::smoothstep(kShapeOuter, kShapeInner, r) / 4.0;
                }
            }
            const int texel = row * size + column;
            picture.colour[texel] = kTint * light;
            picture.gloss[texel] = shape;
        }
    }
    return picture;
}

}  // namespace snow
