// The water's refraction picture: 1024 x 768, the scene seen from the camera
// itself and clipped to what lies below the water plane (no bending of the view).
#pragma once

#include "assets/render_target.h"

class SplineCamera;

class RefractionTarget : public RenderTarget {
public:
    static constexpr int targetWidth = 1024;
    static constexpr int targetHeight = 768;

    // The water plane a x + b y + c z + d = 0; the capture keeps where it is <= 0,
    // so the clip plane is the negated one.
    RefractionTarget(SplineCamera* camera, double a, double b, double c, double d);

    // A clipped capture from the camera as of its last apply(), up (0, 1, 0).
    void begin();
    void end() { endClippedCapture(); }

    SplineCamera* camera;  // not owned
    double clipPlane[4];
};
