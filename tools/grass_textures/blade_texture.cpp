#include "tools/grass_textures/blade_texture.h"

#include <algorithm>
#include <cmath>

#include "tools/common/noise.h"

using gen::clamp01;
using gen::Colour;
using gen::smoothstep;

namespace {

// One blade of the tuft: root at (baseU, 0), tip at (tipU, tipV), bending outwards
// more towards the tip; half its width at the root.
struct Blade {
    double baseU, tipU, tipV, halfWidth, shade;
};
// Back to front: the low spreading blades behind, the tall middle blade in front,
// so the tuft keeps to the card's outline (|u - 0.5| <= 1 - v above v = 0.5).
constexpr Blade tuft[] = {
    {0.38, 0.08, 0.30, 0.032, 0.80}, {0.62, 0.92, 0.28, 0.032, 0.82}, {0.48, 0.30, 0.45, 0.036, 0.86},
    {0.53, 0.72, 0.42, 0.036, 0.88}, {0.42, 0.20, 0.62, 0.040, 0.92}, {0.58, 0.80, 0.60, 0.040, 0.94},
    {0.46, 0.36, 0.80, 0.042, 0.97}, {0.55, 0.66, 0.78, 0.042, 0.98}, {0.50, 0.52, 0.97, 0.046, 1.00},
};

const Colour rootGreen{0.17, 0.31, 0.11};
const Colour leafGreen{0.31, 0.55, 0.16};
const Colour tipYellowGreen{0.66, 0.75, 0.27};
const Colour frost{0.78, 0.84, 0.84};

// Colour along a blade, s = 0 at the root to 1 at the tip.
Colour alongBlade(double s) {
    return s < 0.5 ? gen::mix(rootGreen, leafGreen, s / 0.5) : gen::mix(leafGreen, tipYellowGreen, (s - 0.5) / 0.5);
}

}  // namespace

bool insideBladeCard(double u, double v) {
    if (u < 0 || u > 1 || v < 0 || v > 1) return false;
    return v <= 0.5 || std::fabs(u - 0.5) <= 1.0 - v;
}

BladeTexture paintBladeTexture(int size) {
    BladeTexture texture;
    texture.size = size;
    texture.colour.resize(size_t(size) * size);
    texture.alpha.resize(size_t(size) * size);
    const double texel = 1.0 / size;
    for (int y = 0; y < size; ++y) {
        const double v = (y + 0.5) * texel;
        for (int x = 0; x < size; ++x) {
            const double u = (x + 0.5) * texel;
            // Between blades the colour is the blade colour at that height, so that
            // filtering never bleeds a dark fringe into the cut-out edges.
            Colour colour = alongBlade(v) * 0.9;
            double alpha = 0;
            for (const Blade& blade : tuft) {
                if (v > blade.tipV) continue;
                const double s = v / blade.tipV;
                const double centre = blade.baseU + (blade.tipU - blade.baseU) * std::pow(s, 1.6);
                const double halfWidth = blade.halfWidth * std::pow(1.0 - s, 0.65);
                const double across = std::fabs(u - centre);
                const double coverage = clamp01((halfWidth - across) / texel + 0.5);
                if (coverage <= 0) continue;
                // A lighter midrib, darker edges, fine veins along the blade and
                // hoar frost at the root.
                const double side = halfWidth > 0 ? clamp01(across / halfWidth) : 1.0;
                const double midrib = 1.0 + 0.16 * std::pow(1.0 - side, 6.0);
                const double edge = 1.0 - 0.22 * side * side;
                const double veins = 1.0 + 0.07 * gen::noise((u - centre) * 180.0, v * 6.0, 1 << 20, 5u);
                Colour blade_colour = alongBlade(s) * (blade.shade * midrib * edge * veins);
                blade_colour = gen::mix(blade_colour, frost, 0.3 * (1.0 - smoothstep(0.0, 0.07, v)));
                colour = gen::mix(colour, blade_colour, coverage);
                alpha = std::max(alpha, coverage);
            }
            if (!insideBladeCard(u, v)) alpha = 0;
            texture.colour[size_t(y) * size + x] = colour;
            texture.alpha[size_t(y) * size + x] = alpha;
        }
    }
    return texture;
}
