#include "scenes/outdoor/reflection_target.h"

#include "math/spline_camera.h"
#include "scenes/outdoor/water_plane_tolerance.h"

ReflectionTarget::ReflectionTarget(SplineCamera* camera_, double a, double b, double c, double d)
    : RenderTarget(targetWidth, targetHeight), camera(camera_), clipPlane{a, b, c, d} {}

void ReflectionTarget::begin() {
    const Vec3 p = camera->position;
    const Vec3 v = camera->direction;
    const Vec3 eye(p.x, -p.y, p.z);
    const Vec3 centre(p.x + v.x, -(p.y + v.y), p.z + v.z);
    beginClippedCapture(eye, centre, Vec3(0.0f, -1.0f, 0.0f), keptWithTolerance(clipPlane).data());
}
