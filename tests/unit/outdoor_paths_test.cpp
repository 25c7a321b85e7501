// The outdoor scene's motion paths, read and evaluated by the demo's own path
// reader: the camera's flight lasts the scene, visits the whole site, never
// passes through a wall, the planter and its plants, a stone or the ground, keeps
// clear of the water and moves smoothly; the light path stays a sun over the site.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "math/spline.h"

namespace {

struct Eye {
    double x, y, z;
};

// Where the eye may not be, by the site's plan: the walls (with their buttresses,
// pillars and the gate) up to the pillars' tops, the terrace and its parapet,
// the planter with the banana plants, the boulders, the ground; and the eye
// stays well inside the sky dome.
std::string obstacleAt(const Eye& e) {
    const bool insideWalls = e.x > -69.0 && e.x < 74.5 && e.z > -73.0 && e.z < 72.0;
    const bool nearCorner = (e.x < -64.0 || e.x > 69.0) && (e.z < -68.0 || e.z > 67.0);
    const bool nearGate = e.x > 71.0 && std::fabs(e.z) < 17.0;
    const double clearance = nearCorner ? 28.0 : nearGate ? 25.0 : 21.5;  // pillars, gate piers, coping
    if (e.y < clearance && !insideWalls) return "in or over the walls";
    if (e.x < -46.0 && e.y < 5.5) return "in the terrace or its parapet";
    if (std::hypot(e.x - 29.5, e.z - 30.0) < 13.0 && e.y < 27.0) return "in the banana plants";
    const double stones[6][3] = {{-28, -36, 2.6}, {42, -22, 3.2}, {-20, 42, 2.2}, {55, 55, 2.8}, {-38, 18, 2.4}, {60, -55, 3.0}};
    for (const auto& s : stones)
        if (std::hypot(e.x - s[0], e.z - s[1]) < s[2] + 1.5 && e.y < 4.5) return "in a boulder";
    if (e.y < 1.8) return "in the ground";
    // The water's reflection capture mirrors the eye through the plane y = 0 (the
    // water spans |x|, |z| <= 30): an eye near the plane sees the surface edge-on
    // and its mirror image grazes the plane from below.
    if (std::fabs(e.x) <= 30.0 && std::fabs(e.z) <= 30.0 && e.y < 3.0) return "skimming the water";
    if (std::hypot(e.x, e.z) > 250.0 || e.y > 120.0) return "near the sky dome";
    return "";
}

TEST(OutdoorPaths, CameraFlightLastsTheSceneAndVisitsTheWholeSite) {
    Spline camera("spline/camera0.spl");
    ASSERT_TRUE(camera.loaded);
    EXPECT_GE(camera.dimension, 6);
    EXPECT_FALSE(camera.loop);
    EXPECT_EQ(camera.startTime, 0.0f);
    EXPECT_GE(camera.endTime, 151.0f) << "the scene runs 150 s and its last frame still needs a path";
    bool quarter[4] = {false, false, false, false};
    double highest = 0;
    for (double t = 0; t <= camera.endTime + 1.0; t += 0.05) {
        ASSERT_TRUE(camera.evaluate(float(t)));
        Eye eye{camera.values[0], camera.values[1], camera.values[2]};
        const std::string obstacle = obstacleAt(eye);
        EXPECT_EQ(obstacle, "") << "at " << t << " s the eye (" << eye.x << ", " << eye.y << ", " << eye.z << ") is "
                                << obstacle;
        const double dx = camera.values[3] - eye.x, dy = camera.values[4] - eye.y, dz = camera.values[5] - eye.z;
        EXPECT_GT(std::sqrt(dx * dx + dy * dy + dz * dz), 5.0) << "target on top of the eye at " << t << " s";
        if (eye.y < 28.0) quarter[(eye.x > 0 ? 1 : 0) + (eye.z > 0 ? 2 : 0)] = true;
        highest = std::max(highest, eye.y);
    }
    for (int q = 0; q < 4; ++q) EXPECT_TRUE(quarter[q]) << "the flight never comes down into quarter " << q;
    EXPECT_GT(highest, 35.0) << "no view over the walls";
}

// Eye speed, acceleration and turning of the view, from the path sampled every
// 50 ms over the scene: no jump between keys, no lurch, no whip pan.
TEST(OutdoorPaths, CameraFlightMovesSmoothly) {
    Spline camera("spline/camera0.spl");
    ASSERT_TRUE(camera.loaded);
    const double step = 0.05;
    struct Sample {
        double eye[3];
        double view[3];  // unit vector from the eye towards the target
    };
    auto sample = [&](double t) {
        EXPECT_TRUE(camera.evaluate(float(t)));
        Sample s{};
        double length = 0;
        for (int i = 0; i < 3; ++i) {
            s.eye[i] = camera.values[i];
            s.view[i] = camera.values[3 + i] - camera.values[i];
            length += s.view[i] * s.view[i];
        }
        for (double& v : s.view) v /= std::sqrt(length);
        return s;
    };
    Sample before = sample(0.0), now = sample(step);
    for (double t = step; t <= 151.0; t += step) {
        const Sample after = sample(t + step);
        double speed = 0, acceleration = 0, cosine = 0;
        for (int i = 0; i < 3; ++i) {
            const double v = (after.eye[i] - before.eye[i]) / (2 * step);
            const double a = (after.eye[i] - 2 * now.eye[i] + before.eye[i]) / (step * step);
            speed += v * v;
            acceleration += a * a;
            cosine += now.view[i] * after.view[i];
        }
        const double turn = std::acos(std::min(1.0, cosine)) * 180.0 / M_PI / step;
        EXPECT_LT(std::sqrt(speed), 6.0) << "eye speed in units per second at " << t << " s";
        EXPECT_LT(std::sqrt(acceleration), 1.5) << "eye acceleration in units per second squared at " << t << " s";
        EXPECT_LT(turn, 20.0) << "view turning in degrees per second at " << t << " s";
        before = now;
        now = after;
    }
}

TEST(OutdoorPaths, LightPathIsASunOverTheSite) {
    Spline light("./spline/lightPos1.spl");
    ASSERT_TRUE(light.loaded);
    ASSERT_GE(light.dimension, 3);
    EXPECT_GE(light.endTime, 150.0f);
    for (double t = 0; t <= 151.0; t += 0.5) {
        ASSERT_TRUE(light.evaluate(float(t)));
        EXPECT_GT(light.values[1], 60.0) << "at " << t << " s";
        EXPECT_GT(std::hypot(light.values[0], light.values[2]), 80.0) << "outside the walls, low in the sky";
    }
}

}  // namespace
