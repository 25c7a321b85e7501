// A single-precision 3-vector, laid out as three packed floats so arrays of it
// can be handed to OpenGL as tightly packed vertex data.
#pragma once

#include <cmath>

struct Vec3 {
    float x = 0.0f, y = 0.0f, z = 0.0f;

    Vec3() = default;
    Vec3(float x_, float y_, float z_) : x(x_), y(y_), z(z_) {}

    Vec3& set(float x_, float y_, float z_) {
        x = x_;
        y = y_;
        z = z_;
        return *this;
    }

    float dot(const Vec3& v) const { return x * v.x + y * v.y + z * v.z; }
    Vec3 cross(const Vec3& v) const { return Vec3(y * v.z - z * v.y, z * v.x - x * v.z, x * v.y - y * v.x); }

    // The sum of squares and its root are each rounded to single precision.
    float length() const {
        float squares = static_cast<float>(static_cast<double>(x) * x + static_cast<double>(y) * y +
                                           static_cast<double>(z) * z);
        return static_cast<float>(std::sqrt(static_cast<double>(squares)));
    }

    Vec3 operator+(const Vec3& v) const { return Vec3(x + v.x, y + v.y, z + v.z); }
    Vec3 operator-(const Vec3& v) const { return Vec3(x - v.x, y - v.y, z - v.z); }
    Vec3 operator*(float s) const { return Vec3(x * s, y * s, z * s); }
    Vec3& operator+=(const Vec3& v) {
        x += v.x;
        y += v.y;
        z += v.z;
        return *this;
    }
    Vec3& operator*=(float s) {
        x *= s;
        y *= s;
        z *= s;
        return *this;
    }

    // Divides by the length in place; a zero vector stays zero.
    void normalize() {
        float len = length();
        if (len == 0.0f) return;
        float factor = 1.0f / len;
        x *= factor;
        y *= factor;
        z *= factor;
    }
};

static_assert(sizeof(Vec3) == 12, "Vec3 must stay three packed floats");
