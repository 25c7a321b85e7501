#include "tools/indoor_model/pieces.h"

namespace indoor {

namespace {
// Cross-section frame of a pipe travelling along `axis`: with e1 x e2 = axis,
// u growing from e1 towards e2 and v falling along the pipe, the tangent frame
// (bitangent = tangent x normal) points along +v.
void pipeSection(const V3& axis, const V3& e1, V3& outE1, V3& outE2) {
    outE1 = normalized(e1 - axis * dot(e1, axis));
    outE2 = cross(axis, outE1);
}
}  // namespace

MeshBuilder straightPipe(const V3& start, const V3& axis, const V3& up, double u0) {
    V3 e1, e2;
    pipeSection(axis, up, e1, e2);
    std::vector<MeshBuilder::Ring> rings = {{start, e1, e2, kPipeRadius},
                                            {start + axis * kStraightPipeLength, e1, e2, kPipeRadius}};
    MeshBuilder mesh;
    mesh.tube(rings, kPipeSides, u0, u0 + 1.0, kPipeVStart, -kPipeVPerUnit);
    return mesh;
}

MeshBuilder pipeBend(const V3& corner, const V3& from, const V3& to, double u0) {
    // Centre line: a quarter circle about `centre` from corner - R from to corner + R to.
    V3 start = corner - from * kPipeBendRadius;
    V3 centre = start + to * kPipeBendRadius;
    std::vector<MeshBuilder::Ring> rings;
    for (int k = 0; k <= kPipeBendSegments; ++k) {
        double phi = 0.5 * kPi * k / kPipeBendSegments;
        V3 radial = to * -std::cos(phi) + from * std::sin(phi);
        V3 axis = to * std::sin(phi) + from * std::cos(phi);
        V3 e1, e2;
        pipeSection(axis, radial, e1, e2);
        rings.push_back({centre + radial * kPipeBendRadius, e1, e2, kPipeRadius});
    }
    MeshBuilder mesh;
    // v follows the centre line's arc length (the tube uses chord lengths, so
    // scale them to the arc).
    double chord = 2 * kPipeBendRadius * std::sin(0.25 * kPi / kPipeBendSegments);
    double arc = 0.5 * kPi * kPipeBendRadius / kPipeBendSegments;
    mesh.tube(rings, kPipeSides, u0, u0 + 1.0, kPipeVStart, -kPipeVPerUnit * arc / chord);
    return mesh;
}

namespace {
// A round rod between heights z0 < z1 on the z axis, open at both ends; v runs
// from v0 at z1 to v1 at z0.
void rod(MeshBuilder& mesh, int sides, double radius, double z0, double z1, double u0, double u1, double v0,
         double v1) {
    // e1 x e2 = +z and v growing towards -z keeps the tangent frame on +v.
    std::vector<MeshBuilder::Ring> rings = {{{0, 0, z1}, {1, 0, 0}, {0, 1, 0}, radius},
                                            {{0, 0, z0}, {1, 0, 0}, {0, 1, 0}, radius}};
    mesh.tube(rings, sides, u0, u1, v0, (v1 - v0) / (z1 - z0));
}

// A hexagon prism from z0 up to z1 with its top face.
void hexagonPrism(MeshBuilder& mesh, double radius, double angle0, double z0, double z1, const UvRect& sides,
                  double topU, double topV, double topScale) {
    mesh.prismSides(6, radius, angle0, z0, z1, sides);
    mesh.polygon(6, radius, angle0, z1, true, topU, topV, topScale);
}

Frame placedAt(const V3& origin, const V3& axis, const V3& reference) { return Frame::along(origin, axis, reference); }
}  // namespace

MeshBuilder pipeJoint() {
    MeshBuilder mesh;
    mesh.lathe(kJointProfile, kJointProfilePoints, kJointSides, 0.0, kJointLatheUv);

    const double flangeBack = kJointProfile[4].z;  // 2.0: back faces of the two flanges
    for (int k = 0; k < kJointBolts; ++k) {
        double angle = 2 * kPi * (k + 0.5) / kJointBolts;
        V3 at{kJointBoltCircle * std::cos(angle), kJointBoltCircle * std::sin(angle), 0};
        // Head on the +z flange.
        MeshBuilder head;
        hexagonPrism(head, kJointBoltHex, angle, flangeBack - 0.05, flangeBack + 0.6, kJointHexSideUv, kJointHexTopU,
                     kJointHexTopV, kJointHexTopScale);
        mesh.append(head, placedAt(at, {0, 0, 1}, {1, 0, 0}));
        // Nut and bolt end on the -z flange (local z pointing outwards, -z).
        MeshBuilder nut;
        hexagonPrism(nut, kJointBoltHex, angle, flangeBack - 0.05, flangeBack + 0.65, kJointHexSideUv, kJointHexTopU,
                     kJointHexTopV, kJointHexTopScale);
        rod(nut, 6, 0.22, flangeBack + 0.6, flangeBack + 1.05, kJointBoltEndUv.u0, kJointBoltEndUv.u1,
            kJointBoltEndUv.v0, kJointBoltEndUv.v1);
        nut.polygon(6, 0.22, 0.0, flangeBack + 1.05, true, kJointBoltEndTopU, kJointBoltEndTopV, kJointBoltEndTopScale);
        mesh.append(nut, placedAt(at, {0, 0, -1}, {1, 0, 0}));
    }

    // Cast boss with a plug on the +z sleeve, on the local x side.
    MeshBuilder boss;
    rod(boss, 10, 0.8, 4.2, 4.95, kJointBossSideUv.u0, kJointBossSideUv.u1, kJointBossSideUv.v0, kJointBossSideUv.v1);
    boss.polygon(10, 0.8, 0.0, 4.95, true, kJointBossTopU, kJointBossTopV, kJointBossTopScale);
    hexagonPrism(boss, 0.5, 0.0, 4.9, 5.35, kJointPlugSideUv, kJointPlugTopU, kJointPlugTopV, kJointPlugTopScale);
    mesh.append(boss, placedAt({0, 0, 4.7}, {1, 0, 0}, {0, 0, 1}));
    return mesh;
}

MeshBuilder valveHandle(double stemLength) {
    MeshBuilder mesh;
    // Rim: a torus in the xy plane. The minor angle runs backwards so that the
    // tangent frame (bitangent = tangent x normal) points along +v.
    mesh.grid(
        [](double a, double b, V3& position, V3& normal) {
            double phi = 2 * kPi * a, psi = -2 * kPi * b;
            V3 radial{std::cos(phi), std::sin(phi), 0};
            normal = radial * std::cos(psi) + V3{0, 0, 1} * std::sin(psi);
            position = radial * kHandleRimRadius + normal * kHandleRimTube;
        },
        kHandleRimSegments, kHandleRimSides, kHandleRimUv);

    // The hub sits back from the rim (a dished wheel); spokes run from inside
    // the hub out into the rim tube.
    const double hubFront = -0.5, hubBack = -2.9;
    const double hubMiddle = 0.5 * (hubFront + hubBack);
    for (int k = 0; k < kHandleSpokes; ++k) {
        double angle = 2 * kPi * (k + 0.5) / kHandleSpokes;
        V3 outward{std::cos(angle), std::sin(angle), 0};
        V3 inner = outward * (kHandleHubRadius - 0.5) + V3{0, 0, hubMiddle};
        V3 outer = outward * (kHandleRimRadius - 0.3);
        V3 axis = outer - inner;
        MeshBuilder spoke;
        rod(spoke, 6, kHandleSpokeRadius, 0.0, length(axis), kHandleSpokeUv.u0, kHandleSpokeUv.u1, kHandleSpokeUv.v0,
            kHandleSpokeUv.v1);
        mesh.append(spoke, placedAt(inner, axis, {0, 0, 1}));
    }

    const ProfilePoint hub[] = {{1.3, hubFront}, {kHandleHubRadius, hubFront - 0.4}, {kHandleHubRadius, hubBack + 0.4},
                                {1.3, hubBack}, {kHandleStemRadius, hubBack}};
    mesh.disc(12, 1.3, 0.0, hubFront, true, kHandleCapU, kHandleCapV, kHandleCapScale);
    mesh.lathe(hub, 5, 12, 0.0, kHandleHubUv);

    // Stem from the hub back into the valve, and the packing nut it leaves through.
    rod(mesh, 8, kHandleStemRadius, -stemLength, hubBack, kHandleStemUv.u0, kHandleStemUv.u1, kHandleStemUv.v0,
        kHandleStemUv.v1);
    MeshBuilder nut;
    hexagonPrism(nut, kHandleNutRadius, 0.0, -stemLength + 0.8, -stemLength + 2.0, kHandleNutSideUv, kHandleNutTopU,
                 kHandleNutTopV, kHandleNutTopScale);
    mesh.append(nut, Frame{});
    return mesh;
}

}  // namespace indoor
