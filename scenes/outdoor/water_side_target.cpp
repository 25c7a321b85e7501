#include "scenes/outdoor/water_side_target.h"

#include "math/spline_camera.h"
#include "scenes/outdoor/water_plane_tolerance.h"

namespace {
double clipSign(WaterSide side) { return side == WaterSide::Above ? 1.0 : -1.0; }
}  // namespace

WaterSideTarget::WaterSideTarget(int width, int height, WaterSide side_, SplineCamera* camera_, double a, double b,
                                 double c, double d)
    : RenderTarget(width, height),
      side(side_),
      camera(camera_),
      clipPlane{clipSign(side_) * a, clipSign(side_) * b, clipSign(side_) * c, clipSign(side_) * d} {}

void WaterSideTarget::begin() {
    const float mirror = side == WaterSide::Above ? -1.0f : 1.0f;  // y of the eye, the centre and up
    const Vec3 p = camera->position;
    const Vec3 v = camera->direction;
    const Vec3 eye(p.x, mirror * p.y, p.z);
    const Vec3 centre(p.x + v.x, mirror * (p.y + v.y), p.z + v.z);
    beginClippedCapture(eye, centre, Vec3(0.0f, mirror, 0.0f), keptWithTolerance(clipPlane).data());
}
