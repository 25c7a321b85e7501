// Double-precision geometry for building the indoor model: vectors, placement
// frames and a triangle-list builder with the primitives the set's pieces are
// made of. Every primitive gives exact (analytic) normals, tangents along
// increasing u and winds its triangles counter-clockwise seen from the normals.
#pragma once

#include <functional>
#include <vector>

#include "tools/common/vec3.h"
#include "tools/indoor_set/surface_atlas.h"

namespace indoor {

using gen::kPi;
using V3 = gen::Vec3;

// A right-handed orthonormal frame placed at an origin: maps local coordinates
// of a piece into the set.
struct Frame {
    V3 origin, x{1, 0, 0}, y{0, 1, 0}, z{0, 0, 1};
    V3 point(const V3& p) const { return origin + x * p.x + y * p.y + z * p.z; }
    V3 direction(const V3& d) const { return x * d.x + y * d.y + z * d.z; }
    // The frame whose z axis is the given direction and whose x axis is the
    // given reference made perpendicular to it.
    static Frame along(const V3& origin, const V3& axis, const V3& reference);
    // The same frame turned about its own z axis.
    Frame turned(double angle) const;
};

struct Vertex {
    V3 p, n, t;
    double u = 0, v = 0;
};

class MeshBuilder {
public:
    std::vector<Vertex> vertices;  // three per triangle

    size_t triangleCount() const { return vertices.size() / 3; }
    // Adds a triangle, reordering it so that it winds counter-clockwise seen
    // from the side its vertex normals face.
    void triangle(Vertex a, Vertex b, Vertex c);
    // Appends another mesh, moved into place by the frame.
    void append(const MeshBuilder& piece, const Frame& frame);

    // A surface sampled on a grid: a in [0, 1] runs along u (u0 .. u1), b along
    // v (v0 .. v1). The function gives position and unit normal; the tangent is
    // the derivative along a, made perpendicular to the normal.
    using Surface = std::function<void(double a, double b, V3& position, V3& normal)>;
    void grid(const Surface& surface, int stepsA, int stepsB, const UvRect& uv);

    // A turned surface about the z axis through the profile's points, with
    // `sides` segments around starting at `angle0`; u runs around, v along the
    // profile in proportion to its length. Each profile segment is one band with
    // its own (flat in profile) normals.
    void lathe(const ProfilePoint* profile, int count, int sides, double angle0, const UvRect& uv);

    // An open tube of `sides` segments along a polyline of ring centres with a
    // cross-section frame per ring; normals point away from the centre line.
    // u runs around from e1 towards e2, v from v0 at the first ring in
    // proportion to distance (vPerUnit may be negative).
    struct Ring {
        V3 centre, e1, e2;
        double radius;
    };
    void tube(const std::vector<Ring>& rings, int sides, double u0, double u1, double v0, double vPerUnit);

    // A flat regular polygon at height z facing +z (or -z), as a fan from its
    // first corner, mapped flat around (uc, vc) with `scale` texture units per unit.
    void polygon(int corners, double radius, double angle0, double z, bool facingUp, double uc, double vc,
                 double scale);
    // The same with a centre vertex (a fan of `corners` triangles).
    void disc(int corners, double radius, double angle0, double z, bool facingUp, double uc, double vc,
              double scale);
    // The flat sides of a prism with a regular polygon section between heights
    // z0 and z1, unrolled side by side over the rectangle.
    void prismSides(int corners, double radius, double angle0, double z0, double z1, const UvRect& uv);
};

}  // namespace indoor
