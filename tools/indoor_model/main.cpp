// Builds the indoor set (floor plate, pipes, pipe joints, valve handles) and
// writes its four vertex arrays as raw single-precision blobs for the program
// image: indoor_model_{positions,normals,tangents,texcoords}.bin.
//
// Usage: indoor_model_generator OUTPUT_DIR [--report]

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "scenes/indoor/model_parts.h"
#include "tools/common/blob_writer.h"
#include "tools/common/command_line.h"
#include "tools/indoor_model/pieces.h"

using namespace indoor;

namespace {

const V3 kUp{0, 1, 0};

// Heights of the pipe runs: the low run rests just above the floor plate (its
// joints sink a little into it), the high run is reached through a riser of
// two bends with a valve joint between them.
constexpr double kLowRun = 4.167;
constexpr double kRiserJoint = 28.4255;      // centre of a riser's valve joint
constexpr double kValveStem = 24.9255;       // height of the valve stems (3.5 below the joint centre)
constexpr double kHighRun = kRiserJoint + 1.0 + kPipeBendRadius;
constexpr double kFloorY = -0.99998498;

struct Placed {
    MeshBuilder mesh;
    Frame frame;
};

struct Set {
    std::vector<Placed> pipes, joints, handles;
    void pipe(MeshBuilder mesh) { pipes.push_back({std::move(mesh), Frame{}}); }
    void joint(const V3& centre, const V3& axis, const V3& reference) {
        joints.push_back({pipeJoint(), Frame::along(centre, axis, reference)});
    }
};

// Bounding box of a mesh placed by a frame.
struct Box {
    V3 lo{1e30, 1e30, 1e30}, hi{-1e30, -1e30, -1e30};
    void add(const V3& p) {
        lo = {std::min(lo.x, p.x), std::min(lo.y, p.y), std::min(lo.z, p.z)};
        hi = {std::max(hi.x, p.x), std::max(hi.y, p.y), std::max(hi.z, p.z)};
    }
};
Box boxOf(const MeshBuilder& mesh, const Frame& frame) {
    Box box;
    for (const Vertex& v : mesh.vertices) box.add(frame.point(v.p));
    return box;
}

// A valve handle on the riser joint at `riser` (x, z), its stem leaving
// horizontally along `stem` with the wheel `reach` from the riser's axis.
Placed handleAt(double x, double z, const V3& stem, double reach) {
    // The stem ends inside the joint, 3.2 from the axis.
    return {valveHandle(reach - 3.2), Frame::along(V3{x, kValveStem, z} + stem * reach, stem, cross(kUp, stem))};
}

// Solves f(x) = 0 for an increasing or decreasing f by bisection.
template <class F>
double solve(F f, double lo, double hi) {
    double flo = f(lo);
    for (int i = 0; i < 200; ++i) {
        double mid = 0.5 * (lo + hi);
        double fm = f(mid);
        if ((fm < 0) == (flo < 0)) {
            lo = mid;
            flo = fm;
        } else {
            hi = mid;
        }
    }
    return 0.5 * (lo + hi);
}

// The set. Two pipe lines and a standpipe:
//  - the back line enters low at the left edge (x min), steps back with two
//    bends, rises through valve Q and runs high along the back to the right edge;
//  - the side line enters low at the front edge (z min), turns right, rises
//    through valve P, runs high along the right side, drops through valve T and
//    leaves low at the back edge (z max), under the back line;
//  - a standpipe stands on the floor at the front left and ends in a blind flange.
// Handle P sets the handles' x max and z min, Q their x min and z max; the
// stem lengths and the side line's position are solved for that.
Set buildSet() {
    Set set;
    const double sinP = std::sin(14.0 * kPi / 180), cosP = std::cos(14.0 * kPi / 180);
    const V3 stemP = normalized(V3{sinP, 0, -cosP});
    const V3 stemQ{-1, 0, 0};
    const V3 stemT{-1, 0, 0};

    // Valve Q on the back line's riser.
    const double backZ = 110.832 - kHandleOuterRadius;
    const double x0 = -106.139;
    const double backJog = 1.0, backRiserGap = 0.5;
    const double riserQ = x0 + 3 * kPipeBendRadius + 2 * backRiserGap;
    const double reachQ = riserQ + 62.358 - kHandleRimTube;

    // Valve P on the side line's first riser: its reach sets z min, then the
    // riser's x sets x max.
    const double sideRiserZ = -112.022 + kPipeBendRadius;
    auto zMinP = [&](double reach) {
        Placed h = handleAt(0, sideRiserZ, stemP, reach);
        return boxOf(h.mesh, h.frame).lo.z - (-104.646);
    };
    const double reachP = solve(zMinP, 6.0, 20.0);
    Placed probe = handleAt(0, sideRiserZ, stemP, reachP);
    const double sideX = 125.342 - boxOf(probe.mesh, probe.frame).hi.x;

    // ---- Back line ----
    const double zStart = backZ - 2 * kPipeBendRadius - 2 * backJog;
    set.joint({-110.117 + kJointHalfLength, kLowRun, zStart}, {1, 0, 0}, kUp);
    set.pipe(pipeBend({x0 + kPipeBendRadius, kLowRun, zStart}, {1, 0, 0}, {0, 0, 1}, 0.0));
    set.joint({x0 + kPipeBendRadius, kLowRun, zStart + kPipeBendRadius + backJog}, {0, 0, 1}, kUp);
    set.pipe(pipeBend({x0 + kPipeBendRadius, kLowRun, backZ}, {0, 0, 1}, {1, 0, 0}, 0.0));
    set.joint({x0 + 2 * kPipeBendRadius + backRiserGap, kLowRun, backZ}, {1, 0, 0}, kUp);
    set.pipe(pipeBend({riserQ, kLowRun, backZ}, {1, 0, 0}, kUp, 0.0));
    set.joint({riserQ, kRiserJoint, backZ}, kUp, cross(kUp, stemQ));
    set.pipe(pipeBend({riserQ, kHighRun, backZ}, kUp, {1, 0, 0}, 0.0));
    // Two straight pieces to the right edge, the gaps shared by their joints.
    const double highStart = riserQ + kPipeBendRadius;
    const double gap = (115.346 - highStart - 2 * kStraightPipeLength) / 4;
    set.joint({highStart + gap, kHighRun, backZ}, {1, 0, 0}, kUp);
    set.pipe(straightPipe({highStart + 2 * gap, kHighRun, backZ}, {1, 0, 0}, kUp, 0.0));
    set.joint({highStart + 3 * gap + kStraightPipeLength, kHighRun, backZ}, {1, 0, 0}, kUp);
    set.pipe(straightPipe({highStart + 4 * gap + kStraightPipeLength, kHighRun, backZ}, {1, 0, 0}, kUp, 0.0));
    set.joint({119.637 - kJointHalfLength, kHighRun, backZ}, {1, 0, 0}, kUp);

    // ---- Side line ----
    const double sideTurn = 1.0;
    const double xStart = sideX - 2 * kPipeBendRadius - 2 * sideTurn;
    const double z0 = -112.022;
    set.joint({xStart, kLowRun, -116.324 + kJointHalfLength}, {0, 0, -1}, kUp);
    set.pipe(pipeBend({xStart, kLowRun, sideRiserZ}, {0, 0, 1}, {1, 0, 0}, 0.0));
    set.joint({xStart + kPipeBendRadius + sideTurn, kLowRun, sideRiserZ}, {1, 0, 0}, kUp);
    set.pipe(pipeBend({sideX, kLowRun, sideRiserZ}, {1, 0, 0}, kUp, 0.0));
    set.joint({sideX, kRiserJoint, sideRiserZ}, kUp, cross(kUp, stemP));
    set.pipe(pipeBend({sideX, kHighRun, sideRiserZ}, kUp, {0, 0, 1}, 0.0));
    // Three joints and the two straights between the two risers; the far riser
    // ends the line at the back edge.
    const double sideGap = (103.919 - z0 - 4 * kPipeBendRadius - 2 * kStraightPipeLength) / 6;
    double z = sideRiserZ + kPipeBendRadius;
    set.joint({sideX, kHighRun, z + sideGap}, {0, 0, 1}, kUp);
    set.pipe(straightPipe({sideX, kHighRun, z + 2 * sideGap}, {0, 0, 1}, kUp, 0.0));
    z += 2 * sideGap + kStraightPipeLength;
    set.joint({sideX, kHighRun, z + sideGap}, {0, 0, 1}, kUp);
    set.pipe(straightPipe({sideX, kHighRun, z + 2 * sideGap}, {0, 0, 1}, kUp, 0.0));
    z += 2 * sideGap + kStraightPipeLength;
    set.joint({sideX, kHighRun, z + sideGap}, {0, 0, 1}, kUp);
    const double riserTZ = z + 2 * sideGap + kPipeBendRadius;
    set.pipe(pipeBend({sideX, kHighRun, riserTZ}, {0, 0, 1}, -kUp, 0.0));
    set.joint({sideX, kRiserJoint, riserTZ}, kUp, cross(kUp, stemT));
    set.pipe(pipeBend({sideX, kLowRun, riserTZ}, -kUp, {0, 0, 1}, 0.0));
    set.joint({sideX, kLowRun, 108.510 - kJointHalfLength}, {0, 0, 1}, kUp);

    // ---- Standpipe ----
    const double standX = -20.0, standZ = -40.0;
    set.joint({standX, -1.925 + kJointHalfLength, standZ}, kUp, {1, 0, 0});
    set.pipe(straightPipe({standX, 70.388 - kStraightPipeLength, standZ}, kUp, {1, 0, 0}, 1.0 / kPipeSides));
    set.joint({standX, 74.187 - kJointHalfLength, standZ}, kUp, {1, 0, 0});

    // ---- Valve handles ----
    set.handles.push_back(handleAt(sideX, sideRiserZ, stemP, reachP));
    set.handles.push_back(handleAt(riserQ, backZ, stemQ, reachQ));
    set.handles.push_back(handleAt(sideX, riserTZ, stemT, 10.0));
    return set;
}

void floorPlate(MeshBuilder& mesh) {
    // The plate's exact corners and texture coordinates (the texture repeats
    // about six times across it).
    const double X0 = -185.120911, X1 = 214.879089, Y = kFloorY, Z0 = -214, Z1 = 186;
    const double U0 = -0.0409759991, U1 = 6.20399809, V0 = -0.0221500006, V1 = 6.64812422;
    auto vertex = [&](double x, double z, double u, double v) {
        Vertex w;
        w.p = {x, Y, z};
        w.n = {0, 1, 0};
        w.t = {1, 0, 0};
        w.u = u;
        w.v = v;
        return w;
    };
    for (const Vertex& v : {vertex(X0, Z0, U0, V0), vertex(X0, Z1, U0, V1), vertex(X1, Z0, U1, V0),
                            vertex(X0, Z1, U0, V1), vertex(X1, Z1, U1, V1), vertex(X1, Z0, U1, V0)})
        mesh.vertices.push_back(v);
}

struct Arrays {
    std::vector<float> positions, normals, tangents, texCoords;
};

// Rounds a unit vector to floats and makes sure it is still unit length to
// within 1e-6 there (renormalising in float if rounding moved it).
void pushUnit(std::vector<float>& out, const V3& v) {
    V3 n = normalized(v);
    float f[3] = {float(n.x), float(n.y), float(n.z)};
    double len = std::sqrt(double(f[0]) * f[0] + double(f[1]) * f[1] + double(f[2]) * f[2]);
    if (std::fabs(len - 1.0) > 1e-7)
        for (float& c : f) c = float(c / len);
    out.insert(out.end(), f, f + 3);
}

bool fail(const char* what, size_t index) {
    std::fprintf(stderr, "indoor model: %s at vertex %zu\n", what, index);
    return false;
}

// Checks the vertex data the way the scene relies on it: unit normals and
// tangents, tangent perpendicular to the normal, and texture coordinates whose
// directions agree with the tangent frame (tangent along +u, tangent x normal
// along +v), so the normal maps light the right way.
bool check(const MeshBuilder& mesh) {
    for (size_t t = 0; t + 2 < mesh.vertices.size(); t += 3) {
        const Vertex& a = mesh.vertices[t];
        const Vertex& b = mesh.vertices[t + 1];
        const Vertex& c = mesh.vertices[t + 2];
        V3 e1 = b.p - a.p, e2 = c.p - a.p;
        double du1 = b.u - a.u, dv1 = b.v - a.v, du2 = c.u - a.u, dv2 = c.v - a.v;
        double det = du1 * dv2 - du2 * dv1;
        if (std::fabs(det) < 1e-12) continue;
        V3 tu = (e1 * dv2 - e2 * dv1) * (1 / det);
        V3 tv = (e2 * du1 - e1 * du2) * (1 / det);
        for (const Vertex* v : {&a, &b, &c}) {
            if (dot(tu, v->t) <= 0) return fail("tangent against increasing u", t);
            if (dot(tv, cross(v->t, v->n)) <= 0) return fail("bitangent against increasing v", t);
        }
        if (dot(cross(e1, e2), a.n + b.n + c.n) <= 0) return fail("clockwise triangle", t);
    }
    return true;
}

void report(const char* name, const MeshBuilder& mesh, size_t first, size_t count) {
    gen::Extent e;
    for (size_t i = 3 * first; i < 3 * (first + count); ++i) e.add(mesh.vertices[i].p, mesh.vertices[i].u, mesh.vertices[i].v);
    std::printf("%-8s x %9.3f .. %9.3f  y %8.3f .. %8.3f  z %9.3f .. %9.3f  u %9.6f .. %9.6f  v %9.6f .. %9.6f\n",
                name, e.lo[0], e.hi[0], e.lo[1], e.hi[1], e.lo[2], e.hi[2], e.lo[3], e.hi[3], e.lo[4], e.hi[4]);
}

}  // namespace

int main(int argc, char** argv) {
    if (!gen::checkUsage(argc, argv, 1, "OUTPUT_DIR [--report]")) return 2;
    const std::string dir = argv[1];
    const bool wantReport = gen::hasFlag(argc, argv, 2, "--report");

    Set set = buildSet();
    MeshBuilder mesh;
    floorPlate(mesh);
    size_t partStart[modelPartCount + 1] = {0};
    partStart[1] = mesh.triangleCount();
    for (const auto* group : {&set.pipes, &set.joints, &set.handles}) {
        for (const Placed& piece : *group) mesh.append(piece.mesh, piece.frame);
        partStart[(group == &set.pipes ? 2 : group == &set.joints ? 3 : 4)] = mesh.triangleCount();
    }
    for (int p = 0; p < modelPartCount; ++p) {
        size_t count = partStart[p + 1] - partStart[p];
        if (int(partStart[p]) != modelParts[p].firstTriangle || int(count) != modelParts[p].triangleCount) {
            std::fprintf(stderr, "indoor model: part %d has %zu triangles from %zu, the part table says %d from %d\n",
                         p, count, partStart[p], modelParts[p].triangleCount, modelParts[p].firstTriangle);
            return 1;
        }
    }
    if (!check(mesh)) return 1;

    Arrays arrays;
    for (const Vertex& v : mesh.vertices) {
        arrays.positions.insert(arrays.positions.end(), {float(v.p.x), float(v.p.y), float(v.p.z)});
        pushUnit(arrays.normals, v.n);
        pushUnit(arrays.tangents, v.t);
        arrays.texCoords.insert(arrays.texCoords.end(), {float(v.u), float(v.v)});
    }
    if (!gen::writeBlob(dir + "/indoor_model_positions.bin", arrays.positions) ||
        !gen::writeBlob(dir + "/indoor_model_normals.bin", arrays.normals) ||
        !gen::writeBlob(dir + "/indoor_model_tangents.bin", arrays.tangents) ||
        !gen::writeBlob(dir + "/indoor_model_texcoords.bin", arrays.texCoords)) {
        std::fprintf(stderr, "indoor model: cannot write the blobs into %s\n", dir.c_str());
        return 1;
    }
    if (wantReport) {
        report("all", mesh, 0, mesh.triangleCount());
        const char* names[] = {"floor", "pipes", "joints", "handles"};
        for (int p = 0; p < modelPartCount; ++p)
            report(names[p], mesh, partStart[p], partStart[p + 1] - partStart[p]);
    }
    return 0;
}
