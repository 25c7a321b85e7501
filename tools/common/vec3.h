// Double-precision 3D vectors for the generators that build models: the data
// is computed in doubles and only rounded to floats when it is written.
#pragma once

#include <algorithm>
#include <cmath>

namespace gen {

constexpr double kPi = 3.14159265358979323846;

struct Vec3 {
    double x = 0, y = 0, z = 0;
    Vec3() = default;
    Vec3(double x_, double y_, double z_) : x(x_), y(y_), z(z_) {}
    Vec3 operator+(const Vec3& o) const { return {x + o.x, y + o.y, z + o.z}; }
    Vec3 operator-(const Vec3& o) const { return {x - o.x, y - o.y, z - o.z}; }
    Vec3 operator*(double s) const { return {x * s, y * s, z * s}; }
    Vec3 operator-() const { return {-x, -y, -z}; }
};
inline double dot(const Vec3& a, const Vec3& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
inline Vec3 cross(const Vec3& a, const Vec3& b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
inline double length(const Vec3& a) { return std::sqrt(dot(a, a)); }
inline Vec3 normalized(const Vec3& a) { return a * (1.0 / length(a)); }
inline Vec3 lerp(const Vec3& a, const Vec3& b, double t) { return a + (b - a) * t; }

// The extent of a set of textured points: x, y, z, u, v in that order.
struct Extent {
    double lo[5] = {1e30, 1e30, 1e30, 1e30, 1e30};
    double hi[5] = {-1e30, -1e30, -1e30, -1e30, -1e30};
    void add(const Vec3& p, double u, double v) {
        const double values[5] = {p.x, p.y, p.z, u, v};
        for (int i = 0; i < 5; ++i) {
            lo[i] = std::min(lo[i], values[i]);
            hi[i] = std::max(hi[i], values[i]);
        }
    }
};

}  // namespace gen
