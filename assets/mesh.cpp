#include "assets/mesh.h"

#include <cmath>
#include <fstream>
#include <limits>
#include <memory>
#include <vector>

#include "math/vec3.h"
#include "platform/log/debug_log.h"

namespace {

// Numbers per record of each section. Every number takes at least one character
// and one separator, which bounds what a file of a given size can hold.
constexpr long long kVertexNumbers = 7;
constexpr long long kNormalNumbers = 3;
constexpr long long kPolygonNumbers = 8;
constexpr long long kMaxPolygons = std::numeric_limits<int32_t>::max() / 6;  // lineVertexCount fits

}  // namespace

// The file as a text stream of numbers, with its size to bound the counts it claims.
class MeshFile {
public:
    explicit MeshFile(const char* path) : stream_(path ? path : "") {
        if (!stream_.is_open()) return;
        stream_.seekg(0, std::ios::end);
        size_ = static_cast<long long>(stream_.tellg());
        stream_.seekg(0, std::ios::beg);
    }

    bool isOpen() const { return stream_.is_open(); }

    template <typename Number>
    bool read(Number& value) {
        return static_cast<bool>(stream_ >> value);
    }
    bool skipNumber() {
        float ignored;
        return read(ignored);
    }

    // A count of records of `numbers` numbers each that the file can hold.
    bool readCount(int32_t& count, long long numbers) {
        if (!read(count) || count < 0) return false;
        return count <= (size_ + 1) / (2 * numbers);
    }

private:
    std::ifstream stream_;
    long long size_ = -1;
};

namespace {

Vec3 vec3At(const std::vector<float>& table, int32_t index) {
    return Vec3(table[3 * index], table[3 * index + 1], table[3 * index + 2]);
}

bool isFinite(const Vec3& v) { return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z); }

// A unit vector orthogonal to `normal`: the coordinate axis least aligned with it,
// with the normal's share removed. Used where the texture coordinates give no
// tangent direction.
Vec3 perpendicularTo(Vec3 normal) {
    normal.normalize();
    if (!isFinite(normal) || normal.length() == 0.0f) return Vec3(1.0f, 0.0f, 0.0f);
    float ax = std::fabs(normal.x), ay = std::fabs(normal.y), az = std::fabs(normal.z);
    Vec3 axis = ax <= ay && ax <= az ? Vec3(1, 0, 0) : (ay <= az ? Vec3(0, 1, 0) : Vec3(0, 0, 1));
    Vec3 tangent = axis - normal * axis.dot(normal);
    tangent.normalize();
    return tangent;
}

// The triangle's tangent from its edges and texture-coordinate deltas. Where the
// texture coordinates span no area the formula is undefined; the first edge stands
// in (projected onto each corner's normal plane afterwards).
Vec3 triangleTangent(const Vec3& a, const Vec3& b, const Vec3& c, const float* uvA, const float* uvB,
                     const float* uvC) {
    Vec3 e1 = b - a;
    Vec3 e2 = c - a;
    float du1 = uvB[0] - uvA[0], dv1 = uvB[1] - uvA[1];
    float du2 = uvC[0] - uvA[0], dv2 = uvC[1] - uvA[1];
    float determinant = du1 * dv2 - du2 * dv1;
    if (determinant != 0.0f) {
        float r = 1.0f / determinant;
        Vec3 tangent((dv2 * e1.x - dv1 * e2.x) * r, (dv2 * e1.y - dv1 * e2.y) * r, (dv2 * e1.z - dv1 * e2.z) * r);
        if (isFinite(tangent)) return tangent;
    }
    return e1;
}

// Gram-Schmidt against the corner's normal as stored, then unit length. A result
// that has no direction left (zero, or not finite) is replaced by an axis
// perpendicular to the normal, so every corner ends with a unit tangent.
Vec3 orthogonalTangent(const Vec3& tangent, const Vec3& normal) {
    Vec3 result = tangent - normal * tangent.dot(normal);
    result.normalize();
    float length = result.length();
    if (!isFinite(result) || std::fabs(length - 1.0f) > 1e-3f) return perpendicularTo(normal);
    return result;
}

void store(float* table, int32_t corner, const Vec3& v) {
    table[3 * corner] = v.x;
    table[3 * corner + 1] = v.y;
    table[3 * corner + 2] = v.z;
}

}  // namespace

Mesh::Mesh(const char* path) {
    MeshFile file(path);
    if (!file.isOpen()) {
        debugLog("failed loading Mesh %s \n", path ? path : "(null)");
        return;
    }
    load(file, path);
}

void Mesh::load(MeshFile& file, const char* path) {
    auto reject = [path](const char* reason) { debugLog("malformed Mesh %s: %s\n", path, reason); };

    int32_t inputVertexCount = 0;
    if (!file.readCount(inputVertexCount, kVertexNumbers)) return reject("bad vertex count");
    std::vector<float> inputPositions(3 * static_cast<size_t>(inputVertexCount));
    std::vector<float> inputTexCoords(2 * static_cast<size_t>(inputVertexCount));
    for (int32_t i = 0; i < inputVertexCount; ++i) {
        float* p = &inputPositions[3 * static_cast<size_t>(i)];
        float* t = &inputTexCoords[2 * static_cast<size_t>(i)];
        if (!file.skipNumber() || !file.read(p[0]) || !file.read(p[1]) || !file.read(p[2]) || !file.read(t[0]) ||
            !file.read(t[1]) || !file.skipNumber()) {
            return reject("vertex record does not read");
        }
    }

    int32_t normalCount = 0;
    if (!file.readCount(normalCount, kNormalNumbers)) return reject("bad normal count");
    std::vector<float> inputNormals(3 * static_cast<size_t>(normalCount));
    for (float& value : inputNormals) {
        if (!file.read(value)) return reject("normal record does not read");
    }
    if (normalCount > 0) debugLog("normal %.2f %.2f %.2f \n", inputNormals[0], inputNormals[1], inputNormals[2]);

    int32_t polyCount = 0;
    if (!file.readCount(polyCount, kPolygonNumbers) || polyCount > kMaxPolygons) return reject("bad polygon count");
    debugLog("polycount %i vertices %i normals %i\n", polyCount, inputVertexCount, normalCount);

    const size_t corners = 3 * static_cast<size_t>(polyCount);
    std::vector<int32_t> cornerIndices(corners);
    std::vector<int32_t> normalIndices(corners);
    debugLog("reading indexes\n");
    for (int32_t t = 0; t < polyCount; ++t) {
        int32_t* vi = &cornerIndices[3 * static_cast<size_t>(t)];
        int32_t* ni = &normalIndices[3 * static_cast<size_t>(t)];
        if (!file.skipNumber() || !file.read(vi[0]) || !file.read(vi[1]) || !file.read(vi[2]) || !file.read(ni[0]) ||
            !file.read(ni[1]) || !file.read(ni[2]) || !file.skipNumber()) {
            return reject("polygon record does not read");
        }
        for (int k = 0; k < 3; ++k) {
            if (vi[k] < 0 || vi[k] >= inputVertexCount) return reject("vertex index out of range");
            if (ni[k] < 0 || ni[k] >= normalCount) return reject("normal index out of range");
        }
    }
    debugLog("unpacking polies\n");
    if (polyCount == 0) {
        debugLog("foobar \n");
        debugLog("calculating tangents\n");
        return;  // nothing to draw: the mesh stays empty
    }

    std::unique_ptr<float[]> cornerPositions(new float[3 * corners]);
    std::unique_ptr<float[]> cornerTexCoords(new float[2 * corners]);
    std::unique_ptr<float[]> cornerNormals(new float[3 * corners]);
    std::unique_ptr<float[]> cornerTangents(new float[3 * corners]);
    for (size_t c = 0; c < corners; ++c) {
        const int32_t vertex = cornerIndices[c];
        const int32_t normal = normalIndices[c];
        store(cornerPositions.get(), static_cast<int32_t>(c), vec3At(inputPositions, vertex));
        cornerTexCoords[2 * c] = inputTexCoords[2 * static_cast<size_t>(vertex)];
        cornerTexCoords[2 * c + 1] = inputTexCoords[2 * static_cast<size_t>(vertex) + 1];
        store(cornerNormals.get(), static_cast<int32_t>(c), vec3At(inputNormals, normal));
    }
    debugLog("foobar \n");
    debugLog("calculating tangents\n");

    for (int32_t t = 0; t < polyCount; ++t) {
        const int32_t first = 3 * t;
        const float* p = cornerPositions.get() + 3 * first;
        const float* uv = cornerTexCoords.get() + 2 * first;
        Vec3 tangent = triangleTangent(Vec3(p[0], p[1], p[2]), Vec3(p[3], p[4], p[5]), Vec3(p[6], p[7], p[8]), uv,
                                       uv + 2, uv + 4);
        for (int k = 0; k < 3; ++k) store(cornerTangents.get(), first + k, tangent);
    }
    for (size_t c = 0; c < corners; ++c) {
        const float* n = cornerNormals.get() + 3 * c;
        const float* t = cornerTangents.get() + 3 * c;
        store(cornerTangents.get(), static_cast<int32_t>(c),
              orthogonalTangent(Vec3(t[0], t[1], t[2]), Vec3(n[0], n[1], n[2])));
    }

    std::unique_ptr<float[]> normalLineList(new float[6 * corners]);
    std::unique_ptr<float[]> tangentLineList(new float[6 * corners]);
    for (size_t c = 0; c < corners; ++c) {
        const float* p = cornerPositions.get() + 3 * c;
        const float* n = cornerNormals.get() + 3 * c;
        const float* t = cornerTangents.get() + 3 * c;
        for (int i = 0; i < 3; ++i) {
            normalLineList[6 * c + i] = p[i];
            normalLineList[6 * c + 3 + i] = p[i] + 0.5f * n[i];
            tangentLineList[6 * c + i] = p[i];
            tangentLineList[6 * c + 3 + i] = p[i] + 0.5f * t[i];
        }
    }

    positions = cornerPositions.release();
    texCoords = cornerTexCoords.release();
    normals = cornerNormals.release();
    tangents = cornerTangents.release();
    normalLines = normalLineList.release();
    tangentLines = tangentLineList.release();
    lineVertexCount = 6 * polyCount;
    vertexCount = 3 * polyCount;
}

Mesh::~Mesh() {
    delete[] positions;
    delete[] texCoords;
    delete[] normals;
    delete[] tangents;
    delete[] normalLines;
    delete[] tangentLines;
}
