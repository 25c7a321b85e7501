// Paints the grass field's images into RUN_DIR under the paths the field loads
// them from (scenes/outdoor/grass_files.h): the blade texture, the position map and
// the wind map. Touches STAMP when all are written.
//
// Usage: grass_texture_generator RUN_DIR STAMP

#include <cstdio>
#include <string>

#include "scenes/outdoor/grass_files.h"
#include "tools/common/command_line.h"
#include "tools/common/tga_writer.h"
#include "tools/grass_textures/blade_texture.h"
#include "tools/grass_textures/ground_maps.h"

int main(int argc, char** argv) {
    if (!gen::checkUsage(argc, argv, 2, "RUN_DIR STAMP")) return 2;
    const std::string dir = std::string(argv[1]) + "/";

    const BladeTexture blades = paintBladeTexture(bladeTextureSize);
    const GroundMap position = paintPositionMap(groundMapSize, grassFieldSize);
    const GroundMap wind = paintWindMap(groundMapSize);
    struct Output {
        const char* path;
        bool written;
    } outputs[] = {
        {grassBladeTextureFile, gen::writeTga(dir + grassBladeTextureFile, blades.size, blades.colour, &blades.alpha)},
        {grassPositionImageFile,
         gen::writeTgaBytes(dir + grassPositionImageFile, position.size, position.size, 3, position.bytes)},
        {grassWindImageFile, gen::writeTgaBytes(dir + grassWindImageFile, wind.size, wind.size, 3, wind.bytes)},
    };
    for (const Output& output : outputs) {
        if (!output.written) {
            std::fprintf(stderr, "grass textures: cannot write %s%s\n", dir.c_str(), output.path);
            return 1;
        }
    }
    return gen::touchStamp(argv[2]) ? 0 : 1;
}
