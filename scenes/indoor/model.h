// The indoor set's model, compiled into the program image: a non-indexed
// triangle list in four parallel per-vertex arrays (triangle k is vertices 3k,
// 3k + 1 and 3k + 2), used in place as client vertex arrays. The data is made at
// build time by tools/indoor_model and embedded by model_data.S.
#pragma once

#include "scenes/indoor/model_parts.h"

constexpr int modelTriangleCount = 19986;
constexpr int modelVertexCount = 3 * modelTriangleCount;

extern "C" {
extern const float modelPositions[];  // x, y, z per vertex, in world coordinates
extern const float modelNormals[];    // unit outward normal per vertex
extern const float modelTangents[];   // unit tangent along increasing u, perpendicular to the normal
extern const float modelTexCoords[];  // u, v per vertex
}
