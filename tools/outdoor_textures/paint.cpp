#include "tools/outdoor_textures/paint.h"

#include <algorithm>

namespace outdoor {

void forEachTexel(const Picture& p, const std::function<void(double, double, size_t)>& paint) {
    for (int y = 0; y < p.size; ++y)
        for (int x = 0; x < p.size; ++x) paint((x + 0.5) / p.size, (y + 0.5) / p.size, size_t(y) * p.size + x);
}

void shadeRelief(Picture& p, double strength) {
    const std::vector<Colour> normals = gen::normalMap(p, strength, true);
    const double lx = -0.35, ly = 0.55, lz = 0.76;
    for (size_t i = 0; i < normals.size(); ++i) {
        const double nx = normals[i].r * 2 - 1, ny = normals[i].g * 2 - 1, nz = normals[i].b * 2 - 1;
        const double lit = std::max(0.0, nx * lx + ny * ly + nz * lz);
        const double factor = 0.4 + 0.6 * lit / lz;
        p.colour[i] = p.colour[i] * factor;
    }
}

}  // namespace outdoor
