// Paints the indoor set's textures (diffuse with gloss in alpha, and tangent-space
// normal map, per model part) into OUTPUT_DIR, under the file names the scene's
// part table loads. Touches OUTPUT_DIR/STAMP when all are written.
//
// Usage: indoor_texture_generator OUTPUT_DIR STAMP

#include <cstdio>
#include <string>

#include "scenes/indoor/model_parts.h"
#include "tools/common/command_line.h"
#include "tools/common/tga_writer.h"
#include "tools/indoor_textures/materials.h"

using namespace indoor;

namespace {

bool writePair(const std::string& dir, const ModelPart& part, const Picture& picture, double strength, bool tiles) {
    const std::string diffuse = gen::outputPath(dir, part.diffuseTexture);
    const std::string normal = gen::outputPath(dir, part.normalTexture);
    bool ok = gen::writeTga(diffuse, picture.size, picture.colour, &picture.gloss) &&
              gen::writeTga(normal, picture.size, gen::normalMap(picture, strength, tiles), nullptr);
    if (!ok) std::fprintf(stderr, "indoor textures: cannot write %s or %s\n", diffuse.c_str(), normal.c_str());
    return ok;
}

}  // namespace

int main(int argc, char** argv) {
    if (!gen::checkUsage(argc, argv, 2, "OUTPUT_DIR STAMP")) return 2;
    const std::string dir = argv[1];
    static_assert(modelPartCount == 4, "one material per model part");
    bool ok = writePair(dir, modelParts[0], paintFloorPlate(1024), 1.0, true) &&
              writePair(dir, modelParts[1], paintGreenMetal(512), 1.0, true) &&
              writePair(dir, modelParts[2], paintPipeJoint(512), 1.0, false) &&
              writePair(dir, modelParts[3], paintValveHandle(512), 1.0, false);
    if (!ok) return 1;
    return gen::touchStamp(argv[2]) ? 0 : 1;
}
