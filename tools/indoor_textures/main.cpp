// Paints the indoor set's textures (diffuse with gloss in alpha, and tangent-space
// normal map, per model part) into OUTPUT_DIR, under the file names the scene's
// part table loads. Touches OUTPUT_DIR/STAMP when all are written.
//
// Usage: indoor_texture_generator OUTPUT_DIR STAMP

#include <cstdio>
#include <cstring>
#include <string>

#include "scenes/indoor/model_parts.h"
#include "tools/common/tga_writer.h"
#include "tools/indoor_textures/materials.h"

using namespace indoor;

namespace {

// The table's paths are relative to the run directory ("./textures/Diffuse.tga");
// the files go into OUTPUT_DIR under their base names.
std::string baseName(const char* path) {
    const char* slash = std::strrchr(path, '/');
    return slash ? slash + 1 : path;
}

bool writePair(const std::string& dir, const ModelPart& part, const Picture& picture, double strength, bool tiles) {
    const std::string diffuse = dir + "/" + baseName(part.diffuseTexture);
    const std::string normal = dir + "/" + baseName(part.normalTexture);
    bool ok = gen::writeTga(diffuse, picture.size, picture.colour, &picture.gloss) &&
              gen::writeTga(normal, picture.size, gen::normalMap(picture, strength, tiles), nullptr);
    if (!ok) std::fprintf(stderr, "indoor textures: cannot write %s or %s\n", diffuse.c_str(), normal.c_str());
    return ok;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s OUTPUT_DIR STAMP\n", argv[0]);
        return 2;
    }
    const std::string dir = argv[1];
    static_assert(modelPartCount == 4, "one material per model part");
    bool ok = writePair(dir, modelParts[0], paintFloorPlate(1024), 1.0, true) &&
              writePair(dir, modelParts[1], paintGreenMetal(512), 1.0, true) &&
              writePair(dir, modelParts[2], paintPipeJoint(512), 1.0, false) &&
              writePair(dir, modelParts[3], paintValveHandle(512), 1.0, false);
    if (!ok) return 1;
    FILE* stamp = std::fopen(argv[2], "wb");
    return stamp && std::fclose(stamp) == 0 ? 0 : 1;
}
