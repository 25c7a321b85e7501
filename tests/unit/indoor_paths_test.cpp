// The indoor scene's motion paths: their shapes, the camera's flight keeping
// clear of the set, the light staying over it and the focus following the camera.
#include <gtest/gtest.h>

#include <cmath>

#include "support/indoor_model_pieces.h"
#include "support/indoor_paths.h"

namespace {

struct Paths {
    TestPath camera, light, focus;
    bool ok;
    Paths()
        : ok(camera.load("spline/camera1.spl") && light.load("spline/lightPos0.spl") && focus.load("spline/focus.spl")) {}
};

TEST(IndoorPaths, FilesHoldWhatTheirReadersTake) {
    Paths paths;
    ASSERT_TRUE(paths.ok);
    EXPECT_EQ(paths.camera.dimension, 6);
    EXPECT_EQ(paths.light.dimension, 3);
    EXPECT_EQ(paths.focus.dimension, 1);
    for (const TestPath* path : {&paths.camera, &paths.light, &paths.focus}) {
        EXPECT_FALSE(path->loop);
        EXPECT_EQ(path->times.front(), 0.0f);
        for (size_t k = 1; k < path->times.size(); ++k) EXPECT_GT(path->times[k], path->times[k - 1]);
    }
    // The camera path is the scene's length: about a minute and a half.
    EXPECT_GE(paths.camera.endTime(), 85.0f);
    EXPECT_LE(paths.camera.endTime(), 95.0f);
    // The focus pulls with the camera's moves: the same key times.
    EXPECT_EQ(paths.focus.times, paths.camera.times);
    EXPECT_GE(paths.light.endTime(), paths.camera.endTime());
}

TEST(IndoorPaths, CameraFlightNeverEntersTheSet) {
    Paths paths;
    ASSERT_TRUE(paths.ok);
    std::vector<ModelBox> boxes;
    for (int part = 1; part < modelPartCount; ++part)
        for (const auto& piece : modelPiecesOf(part)) boxes.push_back(modelBoxOf(piece));
    const float clearance = 6.0f;  // the near plane is 1 unit from the eye
    float closest = 1e30f, lowest = 1e30f;
    for (float t = 0; t <= paths.camera.endTime(); t += 0.02f) {
        auto v = paths.camera.at(t);
        for (const ModelBox& box : boxes) closest = std::min(closest, box.distanceTo(v.data()));
        lowest = std::min(lowest, v[1]);
        float look = std::hypot(v[3] - v[0], v[4] - v[1], v[5] - v[2]);
        ASSERT_GT(look, 10.0f) << "the camera looks nowhere at " << t << " s";
        // Never straight down: the up vector of the look-at must stay usable.
        ASSERT_LT(std::fabs(v[4] - v[1]) / look, 0.95f) << t << " s";
    }
    EXPECT_GE(closest, clearance);
    EXPECT_GE(lowest, 8.0f) << "the camera stays above the floor plate";
}

TEST(IndoorPaths, LightTravelsOverTheSet) {
    Paths paths;
    ASSERT_TRUE(paths.ok);
    for (float t = 0; t <= paths.camera.endTime(); t += 0.1f) {
        auto p = paths.light.at(t);
        EXPECT_GE(p[1], 40.0f) << t << " s";
        EXPECT_LE(p[1], 120.0f) << t << " s";
        EXPECT_GE(p[0], -185.0f);
        EXPECT_LE(p[0], 215.0f);
        EXPECT_GE(p[2], -214.0f);
        EXPECT_LE(p[2], 186.0f);
    }
}

TEST(IndoorPaths, FocusStaysWithinTheDepthsTheFilterTellsApart) {
    Paths paths;
    ASSERT_TRUE(paths.ok);
    for (float t = 0; t <= paths.camera.endTime(); t += 0.1f) {
        float focus = paths.focus.at(t)[0];
        EXPECT_GT(focus, 5.0f) << t << " s";
        EXPECT_LT(focus, 500.0f) << t << " s";
    }
}

}  // namespace
