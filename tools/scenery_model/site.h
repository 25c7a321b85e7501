// The plan of the outdoor set, in world units (y up, the water plane at y = 0
// over the pool at the origin): where the walls, the gate, the terrace, the
// planter, the stones and the banana plants stand, and the height of the
// gently uneven ground that everything sits on.
#pragma once

#include <vector>

#include "tools/scenery_model/geometry.h"

namespace set {

// Wall bodies: outer and inner faces of the four walls around the site.
constexpr double kWestOuter = -73.0, kWestInner = -71.65;
constexpr double kEastOuter = 78.5, kEastInner = 77.1;
constexpr double kSouthOuter = -76.9, kSouthInner = -75.55;
constexpr double kNorthOuter = 76.3, kNorthInner = 74.55;
constexpr double kFoundation = -1.2;  // walls reach this far below the ground
constexpr double kWallTop = 19.6;
constexpr double kPlinthTop = 1.6, kPlinthDepth = 0.5;

// The gate in the east wall: an opening between two piers, closed by two wooden
// leaves hung flush with the outer face, under a timber lintel.
constexpr double kGateSouth = -11.0, kGateNorth = 10.5;
constexpr double kGateLintelBottom = 16.7, kGateLintelTop = 17.7;
constexpr double kGatePassageInner = 74.3;  // the piers' inner faces
constexpr double kGateLeafInner = 78.4, kGateLeafOuter = 79.2;

// The raised stone terrace along the west wall, ending in steps down to the lawn.
constexpr double kTerraceFront = -47.4, kTerraceTop = 2.4;

// The pool basin: its inner walls, the rim's outer edges and the opening the
// ground leaves for it.
constexpr double kPoolInner = 15.0, kRimOuterX = 16.5, kRimOuterZ = 17.0, kRimTop = 0.5;
constexpr double kPoolShallow = -8.7, kPoolDeep = -10.7;

// The round stone planter the two banana plants grow in, with its soil level.
const P3 kPlanterCentre{29.5, 0, 30.0};
constexpr double kPlanterOuter = 9.5, kPlanterInner = 8.5, kPlanterRim = 9.8, kSoil = 8.9, kSoilCrown = 9.6;
const P3 kPlantA{31.0, 8.9, 25.6};
const P3 kPlantB{27.6, 8.9, 33.6};

// Ground height at (x, z): 0 to 0.6, kept above the water wherever the water
// plane reaches (|x|, |z| <= 30) so that it shows only in the basin.
double groundHeight(double x, double z);

// The set's ten groups, each built to its triangle count.
Group buildMoss();
Group buildWalls();
Group buildGate();
void buildBananas(Group& stems, Group& youngLeaves, Group& stemsB, Group& leaves);
Group buildPoolFloor();
Group buildGround();
Group buildPoolWalls();

}  // namespace set

namespace set {

// A weathered boulder in the lawn; the moss grows over its crown.
struct Stone {
    double x, z, radius, height;
    unsigned seed;
};
constexpr int kStoneCount = 6;
extern const Stone kStones[kStoneCount];
// The stone's body (into `group`), or only its crown grown outwards by `grow`
// (the moss cushion on top of it).
void addStone(Group& group, const Stone& stone, bool crownOnly, double grow);

}  // namespace set
