#include "tools/snowflake_texture/snowflake.h"

#include <cmath>

#include "tools/common/noise.h"

namespace snow {

namespace {

const double kPi = 3.14159265358979323846;
// Radii in units of the sprite's half width.
const double kGlowRadius = 0.84;   // the light has faded out here
const double kShapeInner = 0.76;   // alpha starts to fall here
const double kShapeOuter = 0.96;   // and is gone here
const gen::Colour kTint = {0.90, 0.95, 1.0};

// The light of the flake at (x, y), measured from the centre in half widths.
double brightness(double x, double y) {
    const double r = std::sqrt(x * x + y * y);
    const double angle = std::atan2(y, x);
    // A soft core and a wide, gentle glow make it read as round from afar.
    const double core = 0.75 * std::exp(-(r * r) / (0.26 * 0.26));
    const double glow = 0.35 * std::exp(-(r * r) / (0.55 * 0.55));
    // Six arms, each a narrow lobe along one of the directions 60 degrees apart,
    // with small side branches: visible only on flakes drawn close to the eye.
    const double arm = std::pow(std::fabs(std::cos(3.0 * angle)), 24.0);
    const double branches = std::pow(std::fabs(std::cos(3.0 * angle)), 6.0) *
                            (0.5 + 0.5 * std::cos(r * 2.0 * kPi * 3.2));
    const double crystal = (0.5 * arm + 0.2 * branches) * gen::smoothstep(kGlowRadius, 0.15, r);
    const double fade = gen::smoothstep(kGlowRadius, kGlowRadius - 0.30, r);
    return gen::clamp01((core + glow + crystal) * fade);
}

}  // namespace

gen::Picture paintSnowflake(int size) {
    gen::Picture picture(size);
    // Four samples per texel smooth the thin arms.
    const double offsets[2] = {-0.25, 0.25};
    for (int row = 0; row < size; ++row) {
        for (int column = 0; column < size; ++column) {
            double light = 0.0, shape = 0.0;
            for (double dy : offsets) {
                for (double dx : offsets) {
                    const double x = (column + 0.5 + dx) / size * 2.0 - 1.0;
                    const double y = (row + 0.5 + dy) / size * 2.0 - 1.0;
                    const double r = std::sqrt(x * x + y * y);
                    light += brightness(x, y) / 4.0;
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
