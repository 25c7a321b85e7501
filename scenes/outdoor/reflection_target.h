// The water's reflection picture: 800 x 600, the scene seen from the camera
// mirrored in the plane y = 0 and clipped to what lies above the water plane.
#pragma once

#include "assets/render_target.h"

class SplineCamera;

class ReflectionTarget : public RenderTarget {
public:
    static constexpr int targetWidth = 800;
    static constexpr int targetHeight = 600;

    // The water plane a x + b y + c z + d = 0; the capture keeps where it is >= 0.
    ReflectionTarget(SplineCamera* camera, double a, double b, double c, double d);

    // A clipped capture from the camera as of its last apply(), mirrored by negating
    // y (eye, centre) and looking with up (0, -1, 0). The scene itself is drawn
    // unmirrored.
    void begin();
    void end() { endClippedCapture(); }

    SplineCamera* camera;  // not owned
    double clipPlane[4];
};
