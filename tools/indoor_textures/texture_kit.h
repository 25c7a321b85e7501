// Building blocks for the indoor set's procedural textures: tileable gradient
// noise and fbm, float images, height fields turned into tangent-space normal
// maps, and uncompressed TGA output. All of it deterministic.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace indoor {

// Gradient noise in [-1, 1] that repeats every `period` lattice cells in x and y.
double noise(double x, double y, int period, uint32_t seed);
// Fractal sum of `octaves` noise layers, each twice the frequency and half the
// amplitude of the last, starting at `period` cells per tile; tileable over one
// tile (coordinates in tiles). Roughly in [-1, 1].
double fbm(double u, double v, int period, int octaves, uint32_t seed);
// Distance to the nearest of a tileable grid of jittered points (cellular noise),
// in cells; `period` cells per tile.
double cellDistance(double u, double v, int period, uint32_t seed);

double smoothstep(double edge0, double edge1, double x);
double mix(double a, double b, double t);
double clamp01(double x);

struct Colour {
    double r, g, b;
};
Colour mix(const Colour& a, const Colour& b, double t);
Colour operator*(const Colour& c, double s);

// A small deterministic generator for placing details (scratches, bolts).
class Random {
public:
    explicit Random(uint32_t seed) : state_(seed) {}
    double next();  // [0, 1)
private:
    uint32_t state_;
};

// A square picture of `size` x `size` texels, row 0 at v = 0 (the bottom).
struct Picture {
    int size;
    std::vector<Colour> colour;
    std::vector<double> gloss;   // goes to the diffuse texture's alpha
    std::vector<double> height;  // relief, in texels of height
    explicit Picture(int size_) : size(size_), colour(size_ * size_), gloss(size_ * size_), height(size_ * size_) {}
};

// Writes a 24- or 32-bit uncompressed true-colour TGA (bottom-left origin,
// B, G, R (, A) order); channel values in 0..1.
bool writeTga(const std::string& path, int size, const std::vector<Colour>& colour, const std::vector<double>* alpha);
// Tangent-space normals of the height field (+x along u, +y along v, +z out),
// scaled by `strength`; `wrap` for textures that repeat.
std::vector<Colour> normalMap(const Picture& picture, double strength, bool wrap);

}  // namespace indoor
