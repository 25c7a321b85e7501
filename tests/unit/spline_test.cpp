// Motion paths: the .spl reader and the cubic spline evaluation, looping and holding, and rejected files.
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <limits>
#include <string>
#include <vector>

#include "math/spline.h"

namespace {

std::string writeFile(const std::string& name, const std::string& text) {
    std::filesystem::path dir = std::filesystem::path(OKU_TEST_OUTPUT_DIR) / "splines";
    std::filesystem::create_directories(dir);
    std::string path = (dir / name).string();
    std::ofstream(path, std::ios::binary) << text;
    return path;
}

// Natural cubic spline through values at unit-spaced knots, solved as a dense
// linear system in double and evaluated in the textbook form.
double referenceSpline(const std::vector<double>& y, double x) {
    const int n = static_cast<int>(y.size());
    std::vector<std::vector<double>> a(n, std::vector<double>(n + 1, 0.0));
    a[0][0] = 1;
    a[n - 1][n - 1] = 1;
    for (int k = 1; k < n - 1; ++k) {
        a[k][k - 1] = 1;
        a[k][k] = 4;
        a[k][k + 1] = 1;
        a[k][n] = 6 * (y[k + 1] - 2 * y[k] + y[k - 1]);
    }
    for (int col = 0; col < n; ++col) {
        int pivot = col;
        for (int r = col + 1; r < n; ++r)
            if (std::fabs(a[r][col]) > std::fabs(a[pivot][col])) pivot = r;
        std::swap(a[col], a[pivot]);
        for (int r = 0; r < n; ++r) {
            if (r == col) continue;
            double factor = a[r][col] / a[col][col];
            for (int c = col; c <= n; ++c) a[r][c] -= factor * a[col][c];
        }
    }
    std::vector<double> s(n);
    for (int k = 0; k < n; ++k) s[k] = a[k][n] / a[k][k];
    int k = std::min(static_cast<int>(std::floor(x)), n - 2);
    double t = x - k, u = 1 - t;
    return u * y[k] + t * y[k + 1] + ((u * u * u - u) * s[k] + (t * t * t - t) * s[k + 1]) / 6.0;
}

TEST(Spline, CurvatureExampleGivesExactValues) {
    Spline unit(writeFile("bump.spl", "1 0 3\n0 0\n1 1\n2 0\n").c_str());
    ASSERT_TRUE(unit.loaded);
    EXPECT_EQ(unit.dimension, 1);
    EXPECT_EQ(unit.keyCount, 3);
    EXPECT_FALSE(unit.loop);
    EXPECT_EQ(unit.startTime, 0.0f);
    EXPECT_EQ(unit.endTime, 2.0f);
    const float expected[3] = {0.0f, -3.0f, 0.0f};
    for (int k = 0; k < 3; ++k) {
        EXPECT_EQ(unit.secondDerivatives[2 * k], 0.0f) << "the time column has no derivative";
        EXPECT_EQ(unit.secondDerivatives[2 * k + 1], expected[k]) << "key " << k;
    }
    ASSERT_TRUE(unit.evaluate(0.5f));
    EXPECT_EQ(unit.values[0], 0.6875f);

    // Key times place the segments but do not change the curve's shape.
    Spline stretched(writeFile("bump_stretched.spl", "1 0 3 0 0 2 1 3 0").c_str());
    ASSERT_TRUE(stretched.loaded);
    ASSERT_TRUE(stretched.evaluate(1.0f));
    EXPECT_EQ(stretched.values[0], 0.6875f);
}

TEST(Spline, PassesThroughKeysAndMatchesNaturalCubic) {
    const std::vector<double> ys = {0.0, 2.5, -1.0, 4.0, 4.0, -3.25, 0.5};
    std::vector<double> zs;
    std::string text = "2\t0  7\n";
    for (size_t k = 0; k < ys.size(); ++k) {
        zs.push_back(ys[k] * -0.5 + 1.0);
        // Uneven times: the curve is still the unit-spaced spline, reached through the fraction.
        text += std::to_string(k * 1.5 + (k % 2) * 0.25) + " " + std::to_string(ys[k]) + " " +
                std::to_string(zs[k]) + "\n";
    }
    Spline path(writeFile("curve.spl", text).c_str());
    ASSERT_TRUE(path.loaded);
    for (int k = 0; k < path.keyCount; ++k) {
        ASSERT_TRUE(path.evaluate(path.keyTable[3 * k]));
        EXPECT_EQ(path.values[0], path.keyTable[3 * k + 1]) << "key " << k;
        EXPECT_EQ(path.values[1], path.keyTable[3 * k + 2]) << "key " << k;
    }
    for (int k = 0; k + 1 < path.keyCount; ++k) {
        for (float f : {0.125f, 0.5f, 0.8f}) {
            float t0 = path.keyTable[3 * k], t1 = path.keyTable[3 * (k + 1)];
            ASSERT_TRUE(path.evaluate(t0 + f * (t1 - t0)));
            EXPECT_NEAR(path.values[0], referenceSpline(ys, k + f), 1e-5) << "segment " << k << " at " << f;
            EXPECT_NEAR(path.values[1], referenceSpline(zs, k + f), 1e-5) << "segment " << k << " at " << f;
        }
    }
}

TEST(Spline, TwoKeysInterpolateLinearly) {
    Spline path(writeFile("line.spl", "3 0 2\n0 0 10 -4\n4 8 10 4\n").c_str());
    ASSERT_TRUE(path.loaded);
    for (int i = 0; i < 8; ++i) EXPECT_EQ(path.secondDerivatives[i], 0.0f);
    ASSERT_TRUE(path.evaluate(1.0f));
    EXPECT_EQ(path.values[0], 2.0f);
    EXPECT_EQ(path.values[1], 10.0f);
    EXPECT_EQ(path.values[2], -2.0f);
    ASSERT_TRUE(path.evaluate(3.0f));
    EXPECT_EQ(path.values[0], 6.0f);
}

TEST(Spline, EndsHoldOrLoop) {
    const std::string keys = "0 1 -1\n1 5 0\n2 2 7\n4 3 3\n";
    Spline held(writeFile("held.spl", "2 0 4\n" + keys).c_str());
    ASSERT_TRUE(held.loaded);
    for (float t : {4.0f, 4.001f, 1e9f, std::numeric_limits<float>::infinity()}) {
        ASSERT_TRUE(held.evaluate(t));
        EXPECT_EQ(held.values[0], 3.0f) << t;
        EXPECT_EQ(held.values[1], 3.0f) << t;
    }

    Spline looped(writeFile("looped.spl", "2 1 4\n" + keys).c_str());
    ASSERT_TRUE(looped.loaded);
    EXPECT_TRUE(looped.loop);
    ASSERT_TRUE(looped.evaluate(4.0f));
    EXPECT_EQ(looped.values[0], 1.0f);
    EXPECT_EQ(looped.values[1], -1.0f);
    ASSERT_TRUE(looped.evaluate(12.0f));
    EXPECT_EQ(looped.values[0], 1.0f);

    ASSERT_TRUE(looped.evaluate(2.0f));
    EXPECT_EQ(looped.values[1], 7.0f);
    ASSERT_TRUE(looped.evaluate(6.0f));  // 1.5 x endTime is 0.5 x endTime
    EXPECT_EQ(looped.values[1], 7.0f);
    for (float t : {0.3f, 1.7f, 3.1f}) {
        ASSERT_TRUE(looped.evaluate(t));
        float inFirstRound[2] = {looped.values[0], looped.values[1]};
        ASSERT_TRUE(looped.evaluate(t + 8.0f));
        EXPECT_NEAR(looped.values[0], inFirstRound[0], 1e-5f);
        EXPECT_NEAR(looped.values[1], inFirstRound[1], 1e-5f);
    }
}

TEST(Spline, TimesOutsideTheKeysHoldAKey) {
    Spline late(writeFile("late.spl", "1 0 3\n2 10\n3 20\n5 40\n").c_str());
    ASSERT_TRUE(late.loaded);
    EXPECT_EQ(late.startTime, 2.0f);
    for (float t : {1.999f, 0.0f, -1e30f, -std::numeric_limits<float>::infinity(),
                    std::numeric_limits<float>::quiet_NaN()}) {
        ASSERT_TRUE(late.evaluate(t));
        EXPECT_EQ(late.values[0], 10.0f) << t;
    }

    // A looping path also holds its first key before it starts and for times that are no number;
    // huge times stay inside the range of its keys.
    Spline looped(writeFile("late_loop.spl", "1 1 3\n0 10\n3 20\n5 40\n").c_str());
    ASSERT_TRUE(looped.loaded);
    for (float t : {-0.5f, std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::infinity()}) {
        ASSERT_TRUE(looped.evaluate(t));
        EXPECT_EQ(looped.values[0], 10.0f) << t;
    }
    for (float t : {3e38f, 16777217.0f * 5.0f, 1e12f}) {
        ASSERT_TRUE(looped.evaluate(t));
        EXPECT_GE(looped.values[0], 0.0f) << t;
        EXPECT_LE(looped.values[0], 50.0f) << t;
    }
}

TEST(Spline, SingleKeyPathsHold) {
    Spline still(writeFile("single.spl", "2 0 1\n0 4 5\n").c_str());
    ASSERT_TRUE(still.loaded);
    Spline spinning(writeFile("single_loop.spl", "2 1 1\n0 4 5\n").c_str());
    ASSERT_TRUE(spinning.loaded);
    EXPECT_EQ(spinning.endTime, 0.0f);
    Spline lateLoop(writeFile("single_late_loop.spl", "2 1 1\n3 4 5\n").c_str());
    ASSERT_TRUE(lateLoop.loaded);
    for (Spline* path : {&still, &spinning, &lateLoop}) {
        for (float t : {-1.0f, 0.0f, 2.5f, 3.0f, 1e20f, std::numeric_limits<float>::quiet_NaN()}) {
            ASSERT_TRUE(path->evaluate(t));
            EXPECT_EQ(path->values[0], 4.0f) << t;
            EXPECT_EQ(path->values[1], 5.0f) << t;
        }
    }
}

TEST(Spline, LoadReleaseAndReload) {
    Spline missing(OKU_TEST_OUTPUT_DIR "/splines/never_written.spl");
    EXPECT_FALSE(missing.loaded);
    EXPECT_FALSE(missing.evaluate(1.0f));
    EXPECT_EQ(missing.values, nullptr);

    Spline path(writeFile("first.spl", "2 1 3\n0 1 1\n1 2 2\n2 3 3\n").c_str());
    ASSERT_TRUE(path.loaded);
    EXPECT_EQ(path.values[0], 1.0f) << "before the first evaluate the path reads as its first key";
    ASSERT_TRUE(path.evaluate(0.5f));
    float kept = path.values[0];
    EXPECT_FALSE(Spline(nullptr).loaded);

    path.load(writeFile("second.spl", "1 0 2\n0 -5\n10 5\n").c_str());
    ASSERT_TRUE(path.loaded);
    EXPECT_EQ(path.dimension, 1);
    EXPECT_EQ(path.keyCount, 2);
    EXPECT_FALSE(path.loop);
    EXPECT_EQ(path.endTime, 10.0f);
    ASSERT_TRUE(path.evaluate(5.0f));
    EXPECT_EQ(path.values[0], 0.0f);
    EXPECT_NE(kept, path.values[0]);

    path.release();
    EXPECT_FALSE(path.loaded);
    EXPECT_EQ(path.dimension, 0);
    EXPECT_EQ(path.keyCount, 0);
    EXPECT_EQ(path.endTime, 0.0f);
    EXPECT_EQ(path.values, nullptr);
    EXPECT_EQ(path.keyTable, nullptr);
    EXPECT_FALSE(path.evaluate(5.0f));
    path.release();  // a second release does nothing

    // A damaged file replacing a good one leaves the path not loaded.
    path.load(writeFile("third.spl", "1 0 2\n0 -5\n10 5\n").c_str());
    ASSERT_TRUE(path.loaded);
    path.load(writeFile("third_damaged.spl", "1 0 2\n0 -5\n10").c_str());
    EXPECT_FALSE(path.loaded);
    EXPECT_EQ(path.values, nullptr);
}

TEST(Spline, DamagedFilesAreRejectedWhole) {
    const char* damaged[][2] = {
        {"empty", ""},
        {"words", "camera path\n"},
        {"header_only", "6 0 2\n"},
        {"short_row", "2 0 2\n0 1 2\n1 3\n"},
        {"letters_in_row", "2 0 2\n0 1 2\n1 x 3\n"},
        {"fraction_count", "2 0 2.5\n0 1 2\n1 3 4\n"},
        {"joined_numbers", "2 0 2\n0 1 2\n1 3-4\n"},
        {"no_keys", "2 0 0\n"},
        {"negative_keys", "2 0 -3\n0 1 2\n"},
        {"no_values", "0 0 2\n0\n1\n"},
        {"negative_dimension", "-1 0 2\n0\n1\n"},
        {"loop_flag_two", "1 2 2\n0 1\n1 2\n"},
        {"equal_times", "1 0 3\n0 1\n1 2\n1 3\n"},
        {"decreasing_times", "1 0 3\n0 1\n2 2\n1 3\n"},
        {"nan_value", "1 0 2\n0 nan\n1 2\n"},
        {"inf_time", "1 0 2\n0 1\ninf 2\n"},
        {"overflowing_value", "1 0 2\n0 1e39\n1 2\n"},
        {"overflowing_count", "1 0 99999999999\n0 1\n1 2\n"},
        {"overflowing_curvature", "1 0 3\n0 3e38\n1 -3e38\n2 3e38\n"},
    };
    for (const auto& entry : damaged) {
        Spline path(writeFile(std::string(entry[0]) + ".spl", entry[1]).c_str());
        EXPECT_FALSE(path.loaded) << entry[0];
        EXPECT_EQ(path.values, nullptr) << entry[0];
        EXPECT_EQ(path.keyTable, nullptr) << entry[0];
        EXPECT_FALSE(path.evaluate(0.5f)) << entry[0];
    }
    Spline directory(OKU_TEST_OUTPUT_DIR);
    EXPECT_FALSE(directory.loaded);
}

TEST(Spline, HugeClaimsAllocateNothingAndFailFast) {
    // Tiny files claiming billions of numbers: rejected by the file-size bound before allocating
    // (under AddressSanitizer an attempt at gigabytes would abort or take long).
    const char* claims[][2] = {
        {"many_keys", "1 0 2147483647\n0 1\n"},
        {"wide_keys", "1000000000 0 2\n0 1 2\n"},
        {"both", "2147483647 1 2147483647 0 0"},
        {"just_too_many", "1 0 3\n0 1\n1 2\n2"},
    };
    auto start = std::chrono::steady_clock::now();
    for (const auto& entry : claims) {
        Spline path(writeFile(std::string(entry[0]) + ".spl", entry[1]).c_str());
        EXPECT_FALSE(path.loaded) << entry[0];
    }
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));

    // The tightest layout (one character per number, one separator) still loads.
    Spline tight(writeFile("tight.spl", "1 0 3 0 1 1 2 2 3").c_str());
    EXPECT_TRUE(tight.loaded);
}

}  // namespace
