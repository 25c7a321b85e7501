// Paints the indoor set's eight textures (diffuse with gloss in alpha, and
// tangent-space normal map, per model part) into OUTPUT_DIR.
//
// Usage: indoor_texture_generator OUTPUT_DIR

#include <cstdio>
#include <string>

#include "tools/indoor_textures/materials.h"

using namespace indoor;

namespace {
bool writePair(const std::string& dir, const std::string& diffuse, const std::string& normal, const Picture& picture,
               double strength, bool tiles) {
    bool ok = writeTga(dir + "/" + diffuse, picture.size, picture.colour, &picture.gloss) &&
              writeTga(dir + "/" + normal, picture.size, normalMap(picture, strength, tiles), nullptr);
    if (!ok) std::fprintf(stderr, "indoor textures: cannot write %s or %s into %s\n", diffuse.c_str(), normal.c_str(), dir.c_str());
    return ok;
}
}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s OUTPUT_DIR\n", argv[0]);
        return 2;
    }
    const std::string dir = argv[1];
    bool ok = writePair(dir, "Diffuse.tga", "Normal.tga", paintFloorPlate(1024), 1.0, true) &&
              writePair(dir, "green_metal_diffuse.tga", "green_metal_normal.tga", paintGreenMetal(512), 1.0, true) &&
              writePair(dir, "pipe_joint_diffuse.tga", "pipe_joint_normal.tga", paintPipeJoint(512), 1.0, false) &&
              writePair(dir, "valve-handle_diffuse.tga", "valve-handle_normal.tga", paintValveHandle(512), 1.0, false);
    return ok ? 0 : 1;
}
