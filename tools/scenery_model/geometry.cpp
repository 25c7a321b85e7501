#include "tools/scenery_model/geometry.h"

#include <algorithm>

namespace set {

Bounds Group::bounds() const {
    Bounds b;
    for (const Corner& c : corners) b.add(c.p, c.u, c.v);
    return b;
}

void Group::triangle(const Corner& a, const Corner& b, const Corner& c) {
    corners.push_back(a);
    corners.push_back(b);
    corners.push_back(c);
}

void Group::quad(const Corner& a, const Corner& b, const Corner& c, const Corner& d) {
    triangle(a, b, c);
    triangle(a, c, d);
}

void Group::quad(const P3& a, const P3& b, const P3& c, const P3& d, const UvMap& map) {
    Corner k[4] = {{a}, {b}, {c}, {d}};
    for (Corner& corner : k) map(corner.p, corner.u, corner.v);
    quad(k[0], k[1], k[2], k[3]);
}

void Group::quadFacing(Corner a, Corner b, Corner c, Corner d, const P3& outward) {
    if (dot(cross(b.p - a.p, c.p - a.p), outward) < 0) std::swap(b, d);
    quad(a, b, c, d);
}

void Group::addBackFaces() {
    const std::vector<Corner> front = corners;
    for (size_t t = 0; t < front.size(); t += 3) triangle(front[t], front[t + 2], front[t + 1]);
}

void Group::append(const Group& other) { corners.insert(corners.end(), other.corners.begin(), other.corners.end()); }

namespace {

double squaredEdge(const Corner& a, const Corner& b) {
    P3 d = b.p - a.p;
    return dot(d, d);
}

Corner midpoint(const Corner& a, const Corner& b) {
    return {lerp(a.p, b.p, 0.5), 0.5 * (a.u + b.u), 0.5 * (a.v + b.v)};
}

}  // namespace

bool Group::refineTo(int target) {
    if (triangleCount() > target) return false;
    while (triangleCount() < target) {
        // The triangle with the longest edge anywhere in the group.
        size_t best = 0;
        int bestEdge = 0;
        double bestLength = -1;
        for (size_t t = 0; t < corners.size(); t += 3)
            for (int e = 0; e < 3; ++e) {
                double l = squaredEdge(corners[t + e], corners[t + (e + 1) % 3]);
                if (l > bestLength) bestLength = l, best = t, bestEdge = e;
            }
        // Corners in winding order starting at the long edge: a-b is the edge.
        Corner a = corners[best + bestEdge], b = corners[best + (bestEdge + 1) % 3], c = corners[best + (bestEdge + 2) % 3];
        Corner m = midpoint(a, b);
        corners[best] = a, corners[best + 1] = m, corners[best + 2] = c;
        triangle(m, b, c);
    }
    return true;
}

void Group::remapTexCoords(double u0, double u1, double v0, double v1) {
    Bounds b = bounds();
    const double su = b.hi[3] > b.lo[3] ? (u1 - u0) / (b.hi[3] - b.lo[3]) : 0.0;
    const double sv = b.hi[4] > b.lo[4] ? (v1 - v0) / (b.hi[4] - b.lo[4]) : 0.0;
    for (Corner& c : corners) {
        c.u = u0 + (c.u - b.lo[3]) * su;
        c.v = v0 + (c.v - b.lo[4]) * sv;
    }
}

void Group::facingTriangle(P3 a, P3 b, P3 c, const P3& outward) {
    if (dot(cross(b - a, c - a), outward) < 0) std::swap(b, c);
    P3 right = cross(P3{0, 1, 0}, outward);
    const bool level = length(right) < 1e-9;
    Corner k[3] = {{a}, {b}, {c}};
    if (level) {
        // Level faces: u along the longer horizontal side of the face.
        double dx = std::max({a.x, b.x, c.x}) - std::min({a.x, b.x, c.x});
        double dz = std::max({a.z, b.z, c.z}) - std::min({a.z, b.z, c.z});
        const double flip = outward.y > 0 ? 1.0 : -1.0;
        for (Corner& q : k) {
            q.u = (dx >= dz ? q.p.x : -flip * q.p.z) * su;
            q.v = (dx >= dz ? -flip * q.p.z : q.p.x) * sv;
        }
    } else {
        right = normalized(right);
        for (Corner& q : k) {
            q.u = dot(q.p, right) * su;
            q.v = (q.p.y - vOrigin) * sv + vOffset;
        }
    }
    triangle(k[0], k[1], k[2]);
}

void Group::facingQuad(P3 a, P3 b, P3 c, P3 d, const P3& outward) {
    if (dot(cross(b - a, c - a), outward) < 0) std::swap(b, d);
    const size_t first = corners.size();
    // Both halves from one mapping: the second triangle's corners take the
    // coordinates computed for the same points in the first pass.
    facingTriangle(a, b, c, outward);
    facingTriangle(a, c, d, outward);
    fitFace(first);
}

namespace {

// The whole number of repeats that moves [lo, hi] inside [rangeLo, rangeHi]
// (or as far in as it goes).
double repeatShift(double lo, double hi, double rangeLo, double rangeHi) {
    double shift = 0;
    if (lo < rangeLo) shift = std::ceil(rangeLo - lo);
    if (hi + shift > rangeHi) shift = -std::ceil(hi - rangeHi);
    return shift;
}

}  // namespace

void Group::fitFace(size_t firstCorner) {
    if (!fitRanges) return;
    Bounds b;
    for (size_t i = firstCorner; i < corners.size(); ++i) b.add(corners[i].p, corners[i].u, corners[i].v);
    const double du = repeatShift(b.lo[3], b.hi[3], uRange[0], uRange[1]);
    const double dv = repeatShift(b.lo[4], b.hi[4], vRange[0], vRange[1]);
    for (size_t i = firstCorner; i < corners.size(); ++i) corners[i].u += du, corners[i].v += dv;
}

void box(Group& group, const P3& lo, const P3& hi, bool withBottom) {
    const double x0 = lo.x, x1 = hi.x, y0 = lo.y, y1 = hi.y, z0 = lo.z, z1 = hi.z;
    group.facingQuad({x1, y0, z0}, {x1, y0, z1}, {x1, y1, z1}, {x1, y1, z0}, {1, 0, 0});
    group.facingQuad({x0, y0, z0}, {x0, y0, z1}, {x0, y1, z1}, {x0, y1, z0}, {-1, 0, 0});
    group.facingQuad({x0, y0, z1}, {x1, y0, z1}, {x1, y1, z1}, {x0, y1, z1}, {0, 0, 1});
    group.facingQuad({x0, y0, z0}, {x1, y0, z0}, {x1, y1, z0}, {x0, y1, z0}, {0, 0, -1});
    group.facingQuad({x0, y1, z0}, {x1, y1, z0}, {x1, y1, z1}, {x0, y1, z1}, {0, 1, 0});
    if (withBottom) group.facingQuad({x0, y0, z0}, {x1, y0, z0}, {x1, y0, z1}, {x0, y0, z1}, {0, -1, 0});
}

}  // namespace set
