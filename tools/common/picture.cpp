#include "tools/common/picture.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

#include "tools/common/noise.h"

namespace gen {

namespace {
int wrap(int i, int period) { return ((i % period) + period) % period; }
}  // namespace

Colour mix(const Colour& a, const Colour& b, double t) {
    return {mix(a.r, b.r, t), mix(a.g, b.g, t), mix(a.b, b.b, t)};
}
Colour operator*(const Colour& c, double s) { return {c.r * s, c.g * s, c.b * s}; }

std::vector<Colour> normalMap(const Picture& picture, double strength, bool wrapAround) {
    const int n = picture.size;
    auto at = [&](int x, int y) {
        if (wrapAround) {
            x = wrap(x, n);
            y = wrap(y, n);
        } else {
            x = std::clamp(x, 0, n - 1);
            y = std::clamp(y, 0, n - 1);
        }
        return picture.height[size_t(y) * n + x];
    };
    std::vector<Colour> out(size_t(n) * n);
    for (int y = 0; y < n; ++y)
        for (int x = 0; x < n; ++x) {
            // Sobel-weighted slopes along u (x) and v (y).
            double du = (at(x + 1, y - 1) + 2 * at(x + 1, y) + at(x + 1, y + 1) - at(x - 1, y - 1) - 2 * at(x - 1, y) -
                         at(x - 1, y + 1)) / 8.0;
            double dv = (at(x - 1, y + 1) + 2 * at(x, y + 1) + at(x + 1, y + 1) - at(x - 1, y - 1) - 2 * at(x, y - 1) -
                         at(x + 1, y - 1)) / 8.0;
            double nx = -du * strength, ny = -dv * strength, nz = 1.0;
            double len = std::sqrt(nx * nx + ny * ny + nz * nz);
            out[size_t(y) * n + x] = {0.5 + 0.5 * nx / len, 0.5 + 0.5 * ny / len, 0.5 + 0.5 * nz / len};
        }
    return out;
}

}  // namespace gen
