// One side of the water captured into a render target: the scene seen from the
// camera and clipped at the water plane. The side decides the view: above the
// water the camera is mirrored in the plane y = 0 and looks with up (0, -1, 0)
// (the reflection); below it, the camera's own view with up (0, 1, 0), unbent
// (the refraction). The scene itself is drawn unmirrored in both.
#pragma once

#include "assets/render_target.h"

class SplineCamera;

enum class WaterSide { Above, Below };

class WaterSideTarget : public RenderTarget {
public:
    // The water plane a x + b y + c z + d = 0. Above keeps where it is >= 0; below
    // keeps where it is <= 0, so its clip plane is the negated one.
    WaterSideTarget(int width, int height, WaterSide side, SplineCamera* camera, double a, double b, double c,
                    double d);

    // A clipped capture from the camera as of its last apply().
    void begin();
    void end() { endClippedCapture(); }

    WaterSide side;
    SplineCamera* camera;  // not owned
    double clipPlane[4];
};
