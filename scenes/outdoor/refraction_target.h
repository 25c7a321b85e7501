// The water's refraction picture: 1024 x 768, the scene seen from the camera
// itself and clipped to what lies below the water plane (no bending of the view).
#pragma once

#include "scenes/outdoor/water_side_target.h"

class RefractionTarget : public WaterSideTarget {
public:
    static constexpr int targetWidth = 1024;
    static constexpr int targetHeight = 768;

    RefractionTarget(SplineCamera* camera, double a, double b, double c, double d)
        : WaterSideTarget(targetWidth, targetHeight, WaterSide::Below, camera, a, b, c, d) {}
};
