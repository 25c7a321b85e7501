#include <algorithm>
#include <cmath>

#include "tools/outdoor_textures/materials.h"
#include "tools/outdoor_textures/paint.h"

namespace outdoor {

using namespace gen;

Picture paintWood(int size) {
    Picture p(size);
    const Colour light{0.58, 0.50, 0.40}, dark{0.38, 0.31, 0.24}, grey{0.55, 0.54, 0.52}, gap{0.10, 0.08, 0.07};
    const int boards = 5;
    forEachTexel(p, [&](double u, double v, size_t i) {
        const double bu = u * boards;
        const int board = int(bu) % boards;
        Random random(uint32_t(board * 13 + 5));
        const double tone = random.next(), shift = random.next() * 10;
        // Grain: lines along the board, bent around knots.
        const double knot = cellDistance(u, v + shift * 0.1, 3, 1301u + board);
        const double bend = 0.25 * std::exp(-knot * knot * 60.0);
        const double grain = std::sin((fract(bu) * 7 + fbm(u, v * 0.2, 8, 3, 1302u) * 4 + bend * 12) * 6.2832 * 1.5);
        const double fine = fbm(u * 1.0, v * 0.05, 64, 2, 1303u);
        Colour c = mix(dark, light, 0.5 + 0.3 * grain * (0.6 + 0.4 * tone) + 0.2 * fine);
        c = mix(c, dark * 0.7, smoothstep(0.08, 0.02, knot));
        // Weathered silver-grey, stronger towards the boards' lower ends.
        c = mix(c, grey, 0.25 + 0.25 * smoothstep(0.6, 0.0, v) * (0.5 + fbm(u, v, 4, 3, 1304u)));
        const double joint = toWhole(bu) / boards;
        const double edge = smoothstep(0.001, 0.005, joint);
        p.height[i] = edge * (2.0 + 0.5 * grain);
        p.colour[i] = mix(gap, c, edge);
    });
    shadeRelief(p, 1.0);
    return p;
}

}  // namespace outdoor
