// The pieces of the indoor set, each built in its own local coordinates.
#pragma once

#include "tools/indoor_model/geometry.h"

namespace indoor {

// A straight pipe from `start` along the unit direction `axis`, kStraightPipeLength
// long, 12 sides, open ends (they sit inside joints). `up` fixes where the
// first side lies; u starts at u0.
MeshBuilder straightPipe(const V3& start, const V3& axis, const V3& up, double u0);

// A quarter bend: travelling along `from` it reaches the corner point `corner`
// (where the two straight axes would meet) and leaves along `to`; the bend
// starts kPipeBendRadius before the corner and ends as far after it.
MeshBuilder pipeBend(const V3& corner, const V3& from, const V3& to, double u0);

// A flanged pipe joint centred at the origin with its axis along z.
MeshBuilder pipeJoint();

// A valve hand wheel centred at the origin in the xy plane, facing +z, on a
// stem that runs `stemLength` along -z to the valve.
MeshBuilder valveHandle(double stemLength);

}  // namespace indoor
