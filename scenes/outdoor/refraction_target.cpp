#include "scenes/outdoor/refraction_target.h"

#include "math/spline_camera.h"
#include "scenes/outdoor/water_plane_tolerance.h"

RefractionTarget::RefractionTarget(SplineCamera* camera_, double a, double b, double c, double d)
    : RenderTarget(targetWidth, targetHeight), camera(camera_), clipPlane{-a, -b, -c, -d} {}

void RefractionTarget::begin() {
    const Vec3 p = camera->position;
    beginClippedCapture(p, p + camera->direction, Vec3(0.0f, 1.0f, 0.0f), keptWithTolerance(clipPlane).data());
}
