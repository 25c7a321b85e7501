// Paints the snow's flake sprite into RUN_DIR under the file name the snowfall
// loads it from. Touches STAMP when it is written.
//
// Usage: snowflake_texture_generator RUN_DIR STAMP

#include <cstdio>
#include <filesystem>
#include <string>

#include "scenes/outdoor/snow_files.h"
#include "tools/common/command_line.h"
#include "tools/common/tga_writer.h"
#include "tools/snowflake_texture/snowflake.h"

int main(int argc, char** argv) {
    if (!gen::checkUsage(argc, argv, 2, "RUN_DIR STAMP")) return 2;
    const std::filesystem::path file = std::filesystem::path(argv[1]) / snowflakeTextureFile;
    std::error_code ignored;
    std::filesystem::create_directories(file.parent_path(), ignored);
    // 64 texels: enough for the largest sprite the vertex program draws.
    const gen::Picture flake = snow::paintSnowflake(64);
    if (!gen::writeTga(file.string(), flake.size, flake.colour, &flake.gloss)) {
        std::fprintf(stderr, "snowflake texture: cannot write %s\n", file.c_str());
        return 1;
    }
    return gen::touchStamp(argv[2]) ? 0 : 1;
}
