// A single-precision 4x4 matrix in OpenGL's column-major layout: element (row r,
// column c) is m[4c + r], and m[12..14] hold the translation. A * B applied to a
// column vector applies B first, as on OpenGL's matrix stack.
#pragma once

struct Matrix4 {
    float m[16];

    Matrix4() {
        for (float& value : m) value = 0.0f;
        m[0] = m[5] = m[10] = m[15] = 1.0f;
    }

    Matrix4(float m0, float m1, float m2, float m3, float m4, float m5, float m6, float m7, float m8,
            float m9, float m10, float m11, float m12, float m13, float m14, float m15)
        : m{m0, m1, m2, m3, m4, m5, m6, m7, m8, m9, m10, m11, m12, m13, m14, m15} {}

    Matrix4 operator*(const Matrix4& other) const {
        Matrix4 result;
        for (int c = 0; c < 4; ++c) {
            for (int r = 0; r < 4; ++r) {
                result.m[4 * c + r] = m[r] * other.m[4 * c] + m[4 + r] * other.m[4 * c + 1] +
                                      m[8 + r] * other.m[4 * c + 2] + m[12 + r] * other.m[4 * c + 3];
            }
        }
        return result;
    }
};

// Maps clip coordinates -1..1 to texture coordinates 0..1 on x, y and z
// (scale 0.5, then translate 0.5), for projective texture lookups.
inline const Matrix4 textureBias(0.5f, 0.0f, 0.0f, 0.0f,
                                 0.0f, 0.5f, 0.0f, 0.0f,
                                 0.0f, 0.0f, 0.5f, 0.0f,
                                 0.5f, 0.5f, 0.5f, 1.0f);

static_assert(sizeof(Matrix4) == 64, "Matrix4 must stay sixteen packed floats");
