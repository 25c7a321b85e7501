// A scratch working directory holding the outdoor set's data as the build made
// it (textures, sky mesh, paths, and the shadow programs it is lit with), for tests that load the set through the demo's
// own relative paths and may damage or remove files. The grass blade texture of
// slot 0 is made by another generator; where the build has not made it, a small
// stand-in takes its place. The previous working directory comes back on
// destruction.
#pragma once

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "scenes/outdoor/scenery.h"
#include "scenes/outdoor/scenery_model.h"
#include "support/tga_file_bytes.h"

class OutdoorSetDirectory {
public:
    OutdoorSetDirectory() {
        namespace fs = std::filesystem;
        original_ = fs::current_path();
        const fs::path run = OKU_RUN_DIR;
        path_ = fs::temp_directory_path() / ("oku-outdoor-set-" + std::to_string(getpid()));
        fs::remove_all(path_);
        fs::create_directories(path_ / "textures");
        fs::create_directories(path_ / "mesh");
        fs::create_directories(path_ / "spline");
        fs::create_directories(path_ / "Cg");
        std::vector<std::string> files = {skyTextureFile, skyMeshFile, "spline/camera0.spl", "spline/lightPos1.spl",
                                          "Cg/Shadow_vertex.cg", "Cg/Shadow_fragment.cg"};
        for (int g = 0; g < sceneryGroupCount; ++g) files.push_back(sceneryGroups[g].texture);
        for (const std::string& file : files) copy(run / file, path_ / file);
        if (fs::exists(run / grassTextureFile))
            copy(run / grassTextureFile, path_ / grassTextureFile);
        else
            writeStandInTga(path_ / grassTextureFile);
        fs::current_path(path_);
    }
    ~OutdoorSetDirectory() {
        std::error_code ignored;
        std::filesystem::current_path(original_, ignored);
        std::filesystem::remove_all(path_, ignored);
    }
    OutdoorSetDirectory(const OutdoorSetDirectory&) = delete;
    OutdoorSetDirectory& operator=(const OutdoorSetDirectory&) = delete;

    void remove(const std::string& relative) { std::filesystem::remove(path_ / relative); }
    void overwrite(const std::string& relative, const std::string& contents) {
        std::ofstream(path_ / relative, std::ios::binary | std::ios::trunc) << contents;
    }

private:
    static void copy(const std::filesystem::path& from, const std::filesystem::path& to) {
        std::error_code ignored;
        std::filesystem::copy_file(from, to, std::filesystem::copy_options::overwrite_existing, ignored);
    }
    // A 2 x 2 uncompressed 24-bit TGA, pale green.
    static void writeStandInTga(const std::filesystem::path& to) {
        std::vector<unsigned char> texels;
        for (int i = 0; i < 4; ++i) texels.insert(texels.end(), {0x60, 0xb0, 0x70});
        const std::vector<unsigned char> file = tgaFile(2, 2, 24, texels);
        std::ofstream(to, std::ios::binary).write(reinterpret_cast<const char*>(file.data()), file.size());
    }

    std::filesystem::path original_, path_;
};
