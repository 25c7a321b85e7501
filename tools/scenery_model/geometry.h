// Double-precision geometry for building the outdoor scenery model: points,
// textured corners and a triangle-list builder whose primitives wind their
// triangles counter-clockwise seen from outside (the side that shows).
#pragma once

#include <functional>
#include <vector>

#include "tools/common/vec3.h"

namespace set {

using gen::kPi;
using P3 = gen::Vec3;

struct Corner {
    P3 p;
    double u = 0, v = 0;
};

using Bounds = gen::Extent;

// Maps a point of a planar face to texture coordinates.
using UvMap = std::function<void(const P3&, double&, double&)>;

class Group {
public:
    std::vector<Corner> corners;  // three per triangle

    int triangleCount() const { return int(corners.size() / 3); }
    Bounds bounds() const;

    // Triangle a, b, c, given counter-clockwise as seen from the side that shows.
    void triangle(const Corner& a, const Corner& b, const Corner& c);
    // Quad a, b, c, d, counter-clockwise from the showing side; split along a-c.
    void quad(const Corner& a, const Corner& b, const Corner& c, const Corner& d);
    // The same quad with texture coordinates from `map`.
    void quad(const P3& a, const P3& b, const P3& c, const P3& d, const UvMap& map);
    // A quad of given corners, turned if need be to face `outward`.
    void quadFacing(Corner a, Corner b, Corner c, Corner d, const P3& outward);
    // Adds every triangle again, wound the other way: the surface then shows
    // from both sides with back faces culled.
    void addBackFaces();
    void append(const Group& other);
    // Quad and triangle turned, if need be, to face `outward`; u runs along the
    // face to the right as seen from outside (scaled by `su`), v up (scaled by
    // `sv` from `vOrigin`, plus `vOffset`); level faces take u along their longer
    // side. With `fitRanges` each face is then moved by whole texture repeats
    // (which changes nothing on screen) to fall inside `uRange` x `vRange`.
    void facingQuad(P3 a, P3 b, P3 c, P3 d, const P3& outward);
    void facingTriangle(P3 a, P3 b, P3 c, const P3& outward);
    // Moves the face whose corners start at `firstCorner` into `uRange`.
    void fitFace(size_t firstCorner);
    double su = 1, sv = 1, vOrigin = 0, vOffset = 0;
    bool fitRanges = false;
    double uRange[2] = {0, 0}, vRange[2] = {0, 0};

    // Splits the largest triangles at the midpoint of their longest edge until
    // the group has `target` triangles: the surface, its outline and its winding
    // stay as they are; the finer mesh only helps per-vertex effects. Returns
    // false when the group already has more triangles than `target`.
    bool refineTo(int target);
    // Moves the texture coordinates linearly so their range becomes exactly
    // [u0, u1] x [v0, v1] (texture layouts are painted for these ranges).
    void remapTexCoords(double u0, double u1, double v0, double v1);
};

// A box between `lo` and `hi` with five faces (no bottom, which stands on or in
// something) or all six, through the group's facing faces.
void box(Group& group, const P3& lo, const P3& hi, bool withBottom = false);

}  // namespace set
