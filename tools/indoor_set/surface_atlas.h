// Where each surface of the indoor set's pieces lies in its part's texture, and
// the turned profile of the pipe joint: the one layout of the set that its two
// generators share. tools/indoor_model assigns the texture coordinates from it and
// tools/indoor_textures paints each region with the matching material, so relief,
// colour and geometry agree. This folder holds no generator of its own.
#pragma once

namespace indoor {

struct UvRect {
    double u0, u1, v0, v1;
};

// A point of a turned (lathe) profile: radius from the axis and height along it.
struct ProfilePoint {
    double r, z;
};

// ---- Pipes (green metal): u runs once around the pipe, v along it. ----
constexpr double kPipeRadius = 4.0;
constexpr int kPipeSides = 12;
constexpr double kPipeBendRadius = 20.0;
constexpr int kPipeBendSegments = 5;
constexpr double kStraightPipeLength = 64.0;
// v at the start of every pipe piece and its change per unit of length (a
// straight piece spans 0.999001 down to -1.998501).
constexpr double kPipeVStart = 0.999001;
constexpr double kPipeVPerUnit = (0.999001 + 1.998501) / kStraightPipeLength;

// ---- Pipe joint (two bolted flanges on sleeves), local axis z. ----
constexpr double kJointHalfLength = 6.0;
constexpr double kJointFlangeRadius = 6.092;
constexpr double kJointSleeveRadius = 4.45;
// From the end face at +z over the outside to the end face at -z. The end faces
// close almost to the axis, so a joint at the end of a line reads as a blind
// flange; where a pipe passes, the face lies inside the pipe.
constexpr int kJointProfilePoints = 13;
constexpr ProfilePoint kJointProfile[kJointProfilePoints] = {
    {0.05, 6.0},  {4.45, 6.0},   {4.45, 3.4},   {4.75, 2.0},   {6.092, 2.0},   {6.092, 0.35},  {5.75, 0.0},
    {6.092, -0.35}, {6.092, -2.0}, {4.75, -2.0}, {4.45, -3.4}, {4.45, -6.0}, {0.05, -6.0},
};
constexpr int kJointSides = 24;
constexpr UvRect kJointLatheUv{0.001921, 0.997736, 0.002685, 0.700};
// Bolts: hexagon heads on the +z flange, nuts and bolt ends on the -z flange.
constexpr int kJointBolts = 8;
constexpr double kJointBoltCircle = 5.3;
constexpr double kJointBoltHex = 0.5;  // circumradius of heads and nuts
constexpr UvRect kJointHexSideUv{0.001921, 0.480, 0.720, 0.800};
constexpr double kJointHexTopU = 0.600, kJointHexTopV = 0.850, kJointHexTopScale = 0.09;  // uv per unit
constexpr UvRect kJointBoltEndUv{0.001921, 0.480, 0.820, 0.880};
constexpr double kJointBoltEndTopU = 0.800, kJointBoltEndTopV = 0.850, kJointBoltEndTopScale = 0.1;
// A cast boss with a hexagon plug on the +z sleeve.
constexpr UvRect kJointBossSideUv{0.001921, 0.480, 0.900, 0.997074};
constexpr double kJointBossTopU = 0.600, kJointBossTopV = 0.950, kJointBossTopScale = 0.05;
constexpr UvRect kJointPlugSideUv{0.700, 0.997736, 0.900, 0.960};
constexpr double kJointPlugTopU = 0.900, kJointPlugTopV = 0.850, kJointPlugTopScale = 0.09;
// Everything with v above this is bare bolt steel in the texture, except the boss.
constexpr double kJointSteelV = 0.710;

// ---- Valve handle (hand wheel), local axis z pointing away from the valve. ----
constexpr double kHandleRimTube = 0.85;
constexpr double kHandleOuterRadius = 12.8975;
constexpr double kHandleRimRadius = kHandleOuterRadius - kHandleRimTube;
constexpr int kHandleRimSegments = 24, kHandleRimSides = 8;
constexpr int kHandleSpokes = 4;
constexpr double kHandleSpokeRadius = 0.45;
constexpr double kHandleHubRadius = 1.7;
constexpr double kHandleStemRadius = 0.55;
constexpr double kHandleNutRadius = 1.0;  // packing nut where the stem leaves the valve
constexpr UvRect kHandleRimUv{0.031116, 0.988637, 0.016528, 0.400};
constexpr UvRect kHandleSpokeUv{0.031116, 0.300, 0.420, 0.620};
constexpr UvRect kHandleHubUv{0.320, 0.988637, 0.420, 0.620};
constexpr double kHandleCapU = 0.165, kHandleCapV = 0.800, kHandleCapScale = 0.075;
constexpr UvRect kHandleStemUv{0.320, 0.650, 0.660, 0.986793};
constexpr UvRect kHandleNutSideUv{0.670, 0.988637, 0.660, 0.780};
constexpr double kHandleNutTopU = 0.830, kHandleNutTopV = 0.880, kHandleNutTopScale = 0.09;
// Painted red below this v and left of the stem region; the stem and nut are bare.
constexpr double kHandlePaintV = 0.640;

}  // namespace indoor
