// Feeds arbitrary text to the mesh reader: it must give an empty mesh or a complete
// one whose every array holds what its counts promise, never touching memory
// outside its tables.
#include <cmath>
#include <cstdint>
#include <cstdlib>

#include "assets/mesh.h"
#include "support/fuzz_input_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static FuzzInputFile file(".msh");
    Mesh mesh(file.write(data, size));
    if (mesh.vertexCount == 0) {
        if (mesh.positions || mesh.texCoords || mesh.normals || mesh.tangents || mesh.normalLines || mesh.tangentLines)
            std::abort();
        return 0;
    }
    if (mesh.vertexCount < 0 || mesh.vertexCount % 3 != 0 || mesh.lineVertexCount != 2 * mesh.vertexCount) std::abort();
    // Touch every element the counts claim, so the sanitizer sees any short array.
    volatile float sum = 0;
    for (int32_t c = 0; c < mesh.vertexCount; ++c) {
        for (int i = 0; i < 3; ++i) sum = sum + mesh.positions[3 * c + i] + mesh.normals[3 * c + i];
        for (int i = 0; i < 2; ++i) sum = sum + mesh.texCoords[2 * c + i];
        const float* t = mesh.tangents + 3 * c;
        float length = std::sqrt(t[0] * t[0] + t[1] * t[1] + t[2] * t[2]);
        if (!(std::fabs(length - 1.0f) < 1e-3f)) std::abort();  // every tangent is a unit vector
    }
    for (int32_t p = 0; p < mesh.lineVertexCount; ++p) {
        for (int i = 0; i < 3; ++i) sum = sum + mesh.normalLines[3 * p + i] + mesh.tangentLines[3 * p + i];
    }
    return 0;
}
