#include "tools/indoor_model/geometry.h"

#include <cstdio>
#include <cstdlib>
#include <utility>

namespace indoor {

Frame Frame::along(const V3& origin, const V3& axis, const V3& reference) {
    Frame f;
    f.origin = origin;
    f.z = normalized(axis);
    f.x = normalized(reference - f.z * dot(reference, f.z));
    f.y = cross(f.z, f.x);
    return f;
}

Frame Frame::turned(double angle) const {
    Frame f = *this;
    double c = std::cos(angle), s = std::sin(angle);
    f.x = x * c + y * s;
    f.y = y * c - x * s;
    return f;
}

void MeshBuilder::triangle(Vertex a, Vertex b, Vertex c) {
    V3 face = cross(b.p - a.p, c.p - a.p);
    if (dot(face, a.n + b.n + c.n) < 0) std::swap(b, c);
    vertices.push_back(a);
    vertices.push_back(b);
    vertices.push_back(c);
}

void MeshBuilder::append(const MeshBuilder& piece, const Frame& frame) {
    for (const Vertex& v : piece.vertices) {
        Vertex w = v;
        w.p = frame.point(v.p);
        w.n = frame.direction(v.n);
        w.t = frame.direction(v.t);
        vertices.push_back(w);
    }
}

namespace {
// The tangent: the given direction with its normal component removed, unit length.
V3 tangentFrom(const V3& direction, const V3& normal) {
    return normalized(direction - normal * dot(direction, normal));
}

void quad(MeshBuilder& mesh, const Vertex& a, const Vertex& b, const Vertex& c, const Vertex& d) {
    mesh.triangle(a, b, c);
    mesh.triangle(a, c, d);
}
}  // namespace

void MeshBuilder::grid(const Surface& surface, int stepsA, int stepsB, const UvRect& uv) {
    const double h = 1e-6;
    std::vector<Vertex> points((stepsA + 1) * (stepsB + 1));
    for (int j = 0; j <= stepsB; ++j) {
        for (int i = 0; i <= stepsA; ++i) {
            double a = double(i) / stepsA, b = double(j) / stepsB;
            Vertex& v = points[j * (stepsA + 1) + i];
            surface(a, b, v.p, v.n);
            V3 before, after, unused;
            surface(a - h, b, before, unused);
            surface(a + h, b, after, unused);
            V3 along = (after - before) * (uv.u1 > uv.u0 ? 1.0 : -1.0);
            v.t = tangentFrom(along, v.n);
            v.u = uv.u0 + a * (uv.u1 - uv.u0);
            v.v = uv.v0 + b * (uv.v1 - uv.v0);
        }
    }
    for (int j = 0; j < stepsB; ++j)
        for (int i = 0; i < stepsA; ++i) {
            auto at = [&](int di, int dj) { return points[(j + dj) * (stepsA + 1) + i + di]; };
            quad(*this, at(0, 0), at(1, 0), at(1, 1), at(0, 1));
        }
}

void MeshBuilder::lathe(const ProfilePoint* profile, int count, int sides, double angle0, const UvRect& uv) {
    double total = 0;
    for (int k = 1; k < count; ++k) total += std::hypot(profile[k].r - profile[k - 1].r, profile[k].z - profile[k - 1].z);
    double done = 0;
    for (int k = 1; k < count; ++k) {
        ProfilePoint p0 = profile[k - 1], p1 = profile[k];
        double dr = p1.r - p0.r, dz = p1.z - p0.z;
        double len = std::hypot(dr, dz);
        // Rotating the direction of travel a quarter turn gives the outward
        // normal for a profile that runs from +z over the outside to -z.
        double nr = -dz / len, nz = dr / len;
        UvRect band{uv.u0, uv.u1, uv.v0 + (uv.v1 - uv.v0) * done / total,
                    uv.v0 + (uv.v1 - uv.v0) * (done + len) / total};
        done += len;
        grid(
            [&](double a, double b, V3& position, V3& normal) {
                double angle = angle0 + 2 * kPi * a;
                double c = std::cos(angle), s = std::sin(angle);
                double r = p0.r + b * dr, z = p0.z + b * dz;
                position = {r * c, r * s, z};
                normal = {nr * c, nr * s, nz};
            },
            sides, 1, band);
    }
}

void MeshBuilder::tube(const std::vector<Ring>& rings, int sides, double u0, double u1, double v0, double vPerUnit) {
    std::vector<Vertex> points(rings.size() * (sides + 1));
    double distance = 0;
    for (size_t j = 0; j < rings.size(); ++j) {
        if (j > 0) distance += length(rings[j].centre - rings[j - 1].centre);
        const Ring& ring = rings[j];
        for (int i = 0; i <= sides; ++i) {
            double angle = 2 * kPi * i / sides;
            double c = std::cos(angle), s = std::sin(angle);
            Vertex& v = points[j * (sides + 1) + i];
            v.n = normalized(ring.e1 * c + ring.e2 * s);
            v.p = ring.centre + v.n * ring.radius;
            v.t = tangentFrom((ring.e2 * c - ring.e1 * s) * (u1 > u0 ? 1.0 : -1.0), v.n);
            v.u = u0 + (u1 - u0) * i / sides;
            v.v = v0 + vPerUnit * distance;
        }
    }
    for (size_t j = 0; j + 1 < rings.size(); ++j)
        for (int i = 0; i < sides; ++i) {
            auto at = [&](int di, size_t dj) { return points[(j + dj) * (sides + 1) + i + di]; };
            quad(*this, at(0, 0), at(1, 0), at(1, 1), at(0, 1));
        }
}

namespace {
// A vertex of a flat face facing +z or -z, mapped flat. For the tangent frame
// to agree with the texture (bitangent = tangent x normal along +v), v runs
// along -y on a face up and along +y on a face down.
Vertex flatVertex(double x, double y, double z, bool facingUp, double uc, double vc, double scale) {
    Vertex v;
    v.p = {x, y, z};
    v.n = {0, 0, facingUp ? 1.0 : -1.0};
    v.t = {1, 0, 0};
    v.u = uc + x * scale;
    v.v = vc + (facingUp ? -y : y) * scale;
    return v;
}
}  // namespace

void MeshBuilder::polygon(int corners, double radius, double angle0, double z, bool facingUp, double uc, double vc,
                          double scale) {
    std::vector<Vertex> ring;
    for (int k = 0; k < corners; ++k) {
        double angle = angle0 + 2 * kPi * k / corners;
        ring.push_back(flatVertex(radius * std::cos(angle), radius * std::sin(angle), z, facingUp, uc, vc, scale));
    }
    for (int k = 1; k + 1 < corners; ++k) triangle(ring[0], ring[k], ring[k + 1]);
}

void MeshBuilder::disc(int corners, double radius, double angle0, double z, bool facingUp, double uc, double vc,
                       double scale) {
    Vertex centre = flatVertex(0, 0, z, facingUp, uc, vc, scale);
    for (int k = 0; k < corners; ++k) {
        double a0 = angle0 + 2 * kPi * k / corners, a1 = angle0 + 2 * kPi * (k + 1) / corners;
        triangle(centre, flatVertex(radius * std::cos(a0), radius * std::sin(a0), z, facingUp, uc, vc, scale),
                 flatVertex(radius * std::cos(a1), radius * std::sin(a1), z, facingUp, uc, vc, scale));
    }
}

void MeshBuilder::prismSides(int corners, double radius, double angle0, double z0, double z1, const UvRect& uv) {
    // u runs around counter-clockwise (seen from +z); the tangent frame then
    // wants v to grow towards -z.
    double zTop = std::max(z0, z1), zBottom = std::min(z0, z1);
    for (int k = 0; k < corners; ++k) {
        double a0 = angle0 + 2 * kPi * k / corners, a1 = angle0 + 2 * kPi * (k + 1) / corners;
        V3 c0{radius * std::cos(a0), radius * std::sin(a0), 0}, c1{radius * std::cos(a1), radius * std::sin(a1), 0};
        V3 mid = (c0 + c1) * 0.5;
        V3 n = normalized(mid);
        V3 t = normalized(c1 - c0);
        double uA = uv.u0 + (uv.u1 - uv.u0) * k / corners, uB = uv.u0 + (uv.u1 - uv.u0) * (k + 1) / corners;
        auto vertex = [&](const V3& corner, double z, double u, double v) {
            Vertex w;
            w.p = {corner.x, corner.y, z};
            w.n = n;
            w.t = t;
            w.u = u;
            w.v = v;
            return w;
        };
        quad(*this, vertex(c0, zTop, uA, uv.v0), vertex(c1, zTop, uB, uv.v0), vertex(c1, zBottom, uB, uv.v1),
             vertex(c0, zBottom, uA, uv.v1));
    }
}

}  // namespace indoor
