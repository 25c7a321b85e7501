// The outdoor set's compiled-in scenery model: ground, pool basin, the walls
// around the site with their gate, banana plants and moss, as one unindexed
// triangle list (triangle n is vertices 3n, 3n + 1, 3n + 2) in two parallel
// per-vertex arrays used in place as client vertex arrays. Ten groups, each a
// consecutive run of triangles drawn with its own texture. The data is made at
// build time by tools/scenery_model and embedded by scenery_model_data.S.
#pragma once

struct SceneryGroup {
    const char* texture;  // path of its texture, relative to the run directory
    int firstTriangle;
    int triangleCount;
};

constexpr int sceneryGroupCount = 10;
extern const SceneryGroup sceneryGroups[sceneryGroupCount];

constexpr int sceneryTriangleCount = 6022;
constexpr int sceneryVertexCount = 3 * sceneryTriangleCount;  // 18,066

extern "C" {
extern const float sceneryPositions[];  // x, y, z per vertex, in world units
extern const float sceneryTexCoords[];  // u, v per vertex; outside 0..1 the textures repeat
}
