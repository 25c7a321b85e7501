// Pictures that the texture generators paint: colour, gloss and relief per texel,
// and the tangent-space normal map of the relief.
#pragma once

#include <vector>

namespace gen {

struct Colour {
    double r, g, b;
};
Colour mix(const Colour& a, const Colour& b, double t);
Colour operator*(const Colour& c, double s);

// A square picture of `size` x `size` texels, row 0 at v = 0 (the bottom).
struct Picture {
    int size;
    std::vector<Colour> colour;
    std::vector<double> gloss;   // goes to the diffuse texture's alpha
    std::vector<double> height;  // relief, in texels of height
    explicit Picture(int size_) : size(size_), colour(size_ * size_), gloss(size_ * size_), height(size_ * size_) {}
};

// Tangent-space normals of the height field (+x along u, +y along v, +z out),
// scaled by `strength`; `wrap` for textures that repeat.
std::vector<Colour> normalMap(const Picture& picture, double strength, bool wrap);

}  // namespace gen
