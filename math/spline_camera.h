// The scene camera: flies along a path whose keys hold an eye position and a
// target position (six values), driven by the scene clock. It puts the whole view
// transform into the projection matrix and leaves the modelview at identity,
// with a fixed 1024 x 1024 viewport.
#pragma once

#include "math/vec3.h"

class Spline;
class Timer;
class InputControl;

class SplineCamera {
public:
    SplineCamera(Timer* timer, const char* pathFile, InputControl* input);
    ~SplineCamera();
    SplineCamera(const SplineCamera&) = delete;
    SplineCamera& operator=(const SplineCamera&) = delete;

    // Evaluates the path at the timer's total (as float).
    void update();
    // Sets viewport, projection (perspective x look-at) and modelview (identity).
    // Without a loaded path of at least six values the view stays where it was.
    void apply();

    Spline* path = nullptr;
    InputControl* input = nullptr;
    Vec3 position{0.0f, 10.0f, 10.0f};
    Vec3 direction{0.0f, 0.0f, -1.0f};
    Timer* timer = nullptr;
};
