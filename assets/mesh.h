// A static triangle mesh read from a .msh text file and flattened into per-corner
// arrays for OpenGL vertex arrays without an index buffer, with one tangent per
// corner computed while loading.
//
// File format: numbers separated by any white space, in three sections:
//   vertex count, then per vertex: ignored, x, y, z, u, v, ignored
//   normal count, then per normal: nx, ny, nz
//   polygon count, then per triangle: ignored, vi0, vi1, vi2, ni0, ni1, ni2, ignored
// Indices are zero-based into the vertex and normal sections.
//
// A file that cannot be opened, or whose contents are malformed (a number that does
// not read, a negative count, a count the rest of the file cannot hold, an index
// out of range), gives an empty mesh: the whole file is rejected, the reason is
// logged, and nothing is read or written outside the tables.
#pragma once

#include <cstdint>

class MeshFile;

class Mesh {
public:
    explicit Mesh(const char* path);
    ~Mesh();
    Mesh(const Mesh&) = delete;
    Mesh& operator=(const Mesh&) = delete;

    // Per corner, triangle after triangle in file order (corners 3t .. 3t + 2 belong
    // to triangle t); all null for an empty mesh.
    float* positions = nullptr;  // 3 floats per corner
    float* texCoords = nullptr;  // 2 floats per corner
    float* normals = nullptr;    // 3 floats per corner, as stored in the file
    float* tangents = nullptr;   // 3 floats per corner, unit length, orthogonal to the normal
    int32_t vertexCount = 0;     // corners: 3 x triangles; 0 for an empty mesh
    int32_t lineVertexCount = 0;  // end points in each line list: 6 x triangles
    // Two points per corner for a line list: the corner, then corner + 0.5 x normal
    // (resp. tangent). A visualisation aid; nothing draws them.
    float* normalLines = nullptr;
    float* tangentLines = nullptr;

private:
    void load(MeshFile& file, const char* path);
};
