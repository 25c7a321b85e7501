// Vectors and matrices: their operations with float roundings, the column-major product and the texture bias.
#include <gtest/gtest.h>

#include <cmath>
#include <type_traits>

#include "math/matrix4.h"
#include "math/vec3.h"

namespace {

Matrix4 numbered(float first) {
    Matrix4 m;
    for (int i = 0; i < 16; ++i) m.m[i] = first + static_cast<float>(i);
    return m;
}

void expectMatrixEq(const Matrix4& actual, const Matrix4& expected) {
    for (int i = 0; i < 16; ++i) EXPECT_EQ(actual.m[i], expected.m[i]) << "element " << i;
}

TEST(Vec3, LayoutIsThreePackedFloats) {
    static_assert(std::is_standard_layout<Vec3>::value, "handed to OpenGL as float arrays");
    Vec3 points[2] = {Vec3(1, 2, 3), Vec3(4, 5, 6)};
    const float* raw = &points[0].x;
    for (int i = 0; i < 6; ++i) EXPECT_EQ(raw[i], static_cast<float>(i + 1));
}

TEST(Vec3, ArithmeticAndProducts) {
    Vec3 a(1, 2, 3), b(4, -5, 6);
    EXPECT_EQ(a.dot(b), 4.0f - 10.0f + 18.0f);
    Vec3 sum = a + b, difference = a - b, scaled = a * 2.0f;
    EXPECT_EQ(sum.x, 5.0f);
    EXPECT_EQ(sum.y, -3.0f);
    EXPECT_EQ(sum.z, 9.0f);
    EXPECT_EQ(difference.x, -3.0f);
    EXPECT_EQ(difference.y, 7.0f);
    EXPECT_EQ(difference.z, -3.0f);
    EXPECT_EQ(scaled.z, 6.0f);

    Vec3 c(1, 1, 1);
    (c += a) *= 0.5f;  // both return the vector itself
    EXPECT_EQ(c.x, 1.0f);
    EXPECT_EQ(c.y, 1.5f);
    EXPECT_EQ(c.z, 2.0f);
    EXPECT_EQ(&c.set(7, 8, 9), &c);
    EXPECT_EQ(c.y, 8.0f);

    Vec3 z = Vec3(1, 0, 0).cross(Vec3(0, 1, 0));
    EXPECT_EQ(z.x, 0.0f);
    EXPECT_EQ(z.y, 0.0f);
    EXPECT_EQ(z.z, 1.0f);
    Vec3 minusZ = Vec3(0, 1, 0).cross(Vec3(1, 0, 0));
    EXPECT_EQ(minusZ.z, -1.0f);
    Vec3 general = a.cross(b);  // (2*6 - 3*-5, 3*4 - 1*6, 1*-5 - 2*4)
    EXPECT_EQ(general.x, 27.0f);
    EXPECT_EQ(general.y, 6.0f);
    EXPECT_EQ(general.z, -13.0f);
}

TEST(Vec3, LengthAndNormalizeRoundToSinglePrecision) {
    EXPECT_EQ(Vec3(0, 3, 4).length(), 5.0f);
    // The sum of squares is rounded to float before the root.
    Vec3 v(1.0f, 1e-4f, 0.0f);
    float squares = static_cast<float>(1.0 + static_cast<double>(1e-4f) * 1e-4f);
    EXPECT_EQ(v.length(), static_cast<float>(std::sqrt(static_cast<double>(squares))));

    Vec3 zero(0, 0, 0);
    zero.normalize();
    EXPECT_EQ(zero.x, 0.0f);
    EXPECT_EQ(zero.y, 0.0f);
    EXPECT_EQ(zero.z, 0.0f);

    Vec3 n(0, 3, 4);
    n.normalize();
    EXPECT_EQ(n.x, 0.0f);
    EXPECT_EQ(n.y, 3.0f * (1.0f / 5.0f));  // multiplied by the rounded factor 1 / length
    EXPECT_EQ(n.z, 4.0f * (1.0f / 5.0f));
    EXPECT_NEAR(n.y, 0.6f, 1e-7f);
    EXPECT_NEAR(n.z, 0.8f, 1e-7f);

    Vec3 w(3, -7, 11);
    w.normalize();
    float factor = 1.0f / Vec3(3, -7, 11).length();
    EXPECT_EQ(w.x, 3.0f * factor);
    EXPECT_EQ(w.y, -7.0f * factor);
    EXPECT_EQ(w.z, 11.0f * factor);
}

TEST(Matrix4, IdentityTranslationAndColumnMajorOrder) {
    Matrix4 identity;
    for (int i = 0; i < 16; ++i) EXPECT_EQ(identity.m[i], (i % 5 == 0) ? 1.0f : 0.0f);

    Matrix4 any = numbered(1.0f);
    expectMatrixEq(identity * any, any);
    expectMatrixEq(any * identity, any);

    // Arguments 13 to 15 are the translation column.
    Matrix4 translate(1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 1, 2, 3, 1);
    float point[4] = {10, 20, 30, 1};
    for (int r = 0; r < 3; ++r) {
        float moved = 0;
        for (int c = 0; c < 4; ++c) moved += translate.m[4 * c + r] * point[c];
        EXPECT_EQ(moved, point[r] + static_cast<float>(r + 1));
    }
}

TEST(Matrix4, ProductAppliesTheRightOperandFirst) {
    Matrix4 scale(2, 0, 0, 0, 0, 2, 0, 0, 0, 0, 2, 0, 0, 0, 0, 1);
    Matrix4 translate(1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 1, 2, 3, 1);
    // scale * translate: translate first, then scale the result, so the translation doubles.
    Matrix4 st = scale * translate;
    EXPECT_EQ(st.m[12], 2.0f);
    EXPECT_EQ(st.m[13], 4.0f);
    EXPECT_EQ(st.m[14], 6.0f);
    Matrix4 ts = translate * scale;
    EXPECT_EQ(ts.m[12], 1.0f);
    EXPECT_EQ(ts.m[0], 2.0f);

    // General product against the row-by-column definition, element (r, c) = m[4c + r].
    Matrix4 a = numbered(1.0f), b = numbered(-7.5f);
    Matrix4 product = a * b;
    for (int c = 0; c < 4; ++c)
        for (int r = 0; r < 4; ++r) {
            double sum = 0;
            for (int k = 0; k < 4; ++k) sum += static_cast<double>(a.m[4 * k + r]) * b.m[4 * c + k];
            EXPECT_EQ(product.m[4 * c + r], static_cast<float>(sum));
        }

    // Either operand may receive the result.
    Matrix4 inPlace = a;
    inPlace = inPlace * b;
    expectMatrixEq(inPlace, product);
    Matrix4 right = b;
    right = a * right;
    expectMatrixEq(right, product);
}

TEST(Matrix4, TextureBiasMapsClipRangeToUnitRange) {
    float corners[2] = {-1.0f, 1.0f};
    for (float x : corners) {
        float mapped = textureBias.m[0] * x + textureBias.m[12];
        EXPECT_EQ(mapped, (x + 1.0f) * 0.5f);
    }
    const float expected[16] = {0.5f, 0, 0, 0, 0, 0.5f, 0, 0, 0, 0, 0.5f, 0, 0.5f, 0.5f, 0.5f, 1};
    for (int i = 0; i < 16; ++i) EXPECT_EQ(textureBias.m[i], expected[i]);
}

}  // namespace
