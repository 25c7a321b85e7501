// Paints the outdoor set's textures (the sky and the ten scenery-group
// textures) into OUTPUT_DIR under the file names the scene loads them from,
// then touches STAMP. "Banana_T" serves two groups and is written once.
//
// Usage: outdoor_texture_generator OUTPUT_DIR STAMP

#include <cstdio>
#include <map>
#include <string>

#include "scenes/outdoor/scenery_files.h"
#include "scenes/outdoor/scenery_model.h"
#include "tools/common/command_line.h"
#include "tools/common/tga_writer.h"
#include "tools/outdoor_textures/materials.h"

using namespace outdoor;

namespace {

bool write(const std::string& dir, const char* file, const Picture& picture) {
    const std::string path = gen::outputPath(dir, file);
    if (gen::writeTga(path, picture.size, picture.colour, nullptr)) return true;
    std::fprintf(stderr, "outdoor textures: cannot write %s\n", path.c_str());
    return false;
}

}  // namespace

int main(int argc, char** argv) {
    if (!gen::checkUsage(argc, argv, 2, "OUTPUT_DIR STAMP")) return 2;
    const std::string dir = argv[1];
    static_assert(sceneryGroupCount == 10, "one material per scenery group");
    Picture (*const painters[sceneryGroupCount])(int) = {paintMoss, paintWallStone, paintWood, paintBananaStem,
                                                        paintYoungBananaLeaf, paintBananaStem, paintBananaLeaf,
                                                        paintPoolTiles, paintFrostyGrass, paintPoolStone};
    const int sizes[sceneryGroupCount] = {512, 512, 512, 512, 512, 512, 1024, 512, 1024, 512};
    if (!write(dir, skyTextureFile, paintSky(1024))) return 1;
    std::map<std::string, bool> written;
    for (int g = 0; g < sceneryGroupCount; ++g) {
        if (written[sceneryGroups[g].texture]) continue;
        if (!write(dir, sceneryGroups[g].texture, painters[g](sizes[g]))) return 1;
        written[sceneryGroups[g].texture] = true;
    }
    return gen::touchStamp(argv[2]) ? 0 : 1;
}
