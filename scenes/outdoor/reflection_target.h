// The water's reflection picture: 800 x 600, the scene seen from the camera
// mirrored in the plane y = 0 and clipped to what lies above the water plane.
#pragma once

#include "scenes/outdoor/water_side_target.h"

class ReflectionTarget : public WaterSideTarget {
public:
    static constexpr int targetWidth = 800;
    static constexpr int targetHeight = 600;

    ReflectionTarget(SplineCamera* camera, double a, double b, double c, double d)
        : WaterSideTarget(targetWidth, targetHeight, WaterSide::Above, camera, a, b, c, d) {}
};
