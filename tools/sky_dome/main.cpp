// Writes the outdoor scene's sky dome as a .msh text file: a flattened
// half-ellipsoid around the site with a skirt reaching well below the horizon,
// so no gap shows past the walls or the ground's edge, triangles wound counter-clockwise as seen from inside.
// Texture coordinates are an azimuthal equidistant projection of the dome (the
// zenith in the middle of the texture, the elevation proportional to the
// distance from it), so the sky has neither a seam nor a pinch at the top.
//
// Usage: sky_dome_generator RUN_DIR STAMP   (writes the file named by skyMeshFile
// under RUN_DIR, then touches STAMP)

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "scenes/outdoor/scenery_files.h"
#include "tools/common/command_line.h"
#include "tools/common/vec3.h"

namespace {

using gen::kPi;
constexpr double kRadius = 350.0;  // horizontal: the far side stays inside a 500 far plane from anywhere in the site
constexpr double kHeight = 150.0;  // the zenith's height over the ground
constexpr int kSegments = 32;
// Ring elevations in degrees, from below the horizon up; the zenith closes the dome.
const double kRings[] = {-30, -12, -4, 0, 5, 12, 22, 35, 50, 66, 80};
constexpr double kHorizonRadiusUv = 0.42;  // texture distance of the horizon from the zenith

struct Vertex {
    double x, y, z, u, v, nx, ny, nz;
};

Vertex vertexAt(double elevationDegrees, double azimuth) {
    const double e = elevationDegrees * kPi / 180.0;
    Vertex v;
    v.x = kRadius * std::cos(e) * std::cos(azimuth);
    v.z = kRadius * std::cos(e) * std::sin(azimuth);
    v.y = kHeight * std::sin(e);
    // Below the horizon the haze at the texture's rim is stretched down the skirt.
    const double r = std::min(0.49, kHorizonRadiusUv * (90.0 - elevationDegrees) / 90.0);
    v.u = 0.5 + r * std::cos(azimuth);
    v.v = 0.5 + r * std::sin(azimuth);
    // The inward normal of the ellipsoid.
    double nx = -v.x / (kRadius * kRadius), ny = -v.y / (kHeight * kHeight), nz = -v.z / (kRadius * kRadius);
    const double n = std::sqrt(nx * nx + ny * ny + nz * nz);
    v.nx = nx / n, v.ny = ny / n, v.nz = nz / n;
    return v;
}

}  // namespace

int main(int argc, char** argv) {
    if (!gen::checkUsage(argc, argv, 2, "RUN_DIR STAMP")) return 2;
    std::vector<Vertex> vertices;
    const int ringCount = int(sizeof(kRings) / sizeof(kRings[0]));
    for (int r = 0; r < ringCount; ++r)
        for (int s = 0; s < kSegments; ++s) vertices.push_back(vertexAt(kRings[r], 2 * kPi * s / kSegments));
    const int zenith = int(vertices.size());
    vertices.push_back(vertexAt(90.0, 0.0));
    vertices.back().x = vertices.back().z = 0;
    vertices.back().u = vertices.back().v = 0.5;

    // Seen from inside, looking out, azimuth grows to the right (from +x towards
    // +z), so each band's quads go (lower, lower next, upper next, upper).
    std::vector<int> triangles;
    auto index = [](int ring, int segment) { return ring * kSegments + (segment % kSegments); };
    for (int r = 0; r + 1 < ringCount; ++r)
        for (int s = 0; s < kSegments; ++s) {
            const int a = index(r, s), b = index(r, s + 1), c = index(r + 1, s + 1), d = index(r + 1, s);
            triangles.insert(triangles.end(), {a, b, c, a, c, d});
        }
    for (int s = 0; s < kSegments; ++s)
        triangles.insert(triangles.end(), {index(ringCount - 1, s), index(ringCount - 1, s + 1), zenith});

    const std::string path = std::string(argv[1]) + "/" + skyMeshFile;
    FILE* file = std::fopen(path.c_str(), "w");
    if (!file) {
        std::fprintf(stderr, "sky dome: cannot write %s\n", path.c_str());
        return 1;
    }
    std::fprintf(file, "%zu\n", vertices.size());
    for (const Vertex& v : vertices) std::fprintf(file, "0 %.4f %.4f %.4f %.6f %.6f 0\n", v.x, v.y, v.z, v.u, v.v);
    std::fprintf(file, "%zu\n", vertices.size());
    for (const Vertex& v : vertices) std::fprintf(file, "%.6f %.6f %.6f\n", v.nx, v.ny, v.nz);
    std::fprintf(file, "%zu\n", triangles.size() / 3);
    for (size_t t = 0; t < triangles.size(); t += 3)
        std::fprintf(file, "0 %d %d %d %d %d %d 0\n", triangles[t], triangles[t + 1], triangles[t + 2], triangles[t],
                     triangles[t + 1], triangles[t + 2]);
    if (std::fclose(file) != 0) return 1;
    return gen::touchStamp(argv[2]) ? 0 : 1;
}
