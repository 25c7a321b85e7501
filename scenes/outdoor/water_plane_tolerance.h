// The water's captures clip at the water plane, and geometry lying in the plane
// itself (the ground around the pool, its rim) belongs in both pictures. The
// driver tests clip distances after transforming the plane by the inverse of a
// modelview matrix that holds the whole perspective, and its rounding drops such
// geometry from both sides; moving each clip plane this far (world units) towards
// the side it removes keeps it.
#pragma once

#include <array>
#include <cmath>

constexpr double waterPlaneTolerance = 0.01;

// The plane a x + b y + c z + d >= 0, moved so that it keeps points up to
// waterPlaneTolerance on its dropped side.
inline std::array<double, 4> keptWithTolerance(const double plane[4]) {
    const double length = std::sqrt(plane[0] * plane[0] + plane[1] * plane[1] + plane[2] * plane[2]);
    return {plane[0], plane[1], plane[2], plane[3] + waterPlaneTolerance * length};
}
