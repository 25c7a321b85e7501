// Which folder the demo reads its data from: the one holding all of it first,
// the working directory before the program's folder.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

#include "shell/data_folder.h"

namespace {

namespace fs = std::filesystem;

const std::vector<std::string> allFive = {"textures", "mesh", "spline", "Cg", "sound"};

struct FolderCase {
    const char* name;
    std::vector<std::string> inWorking;  // data folders made in the working directory
    std::vector<std::string> inProgram;  // and in the program's folder
    const char* chosen;                  // "working", "program" or "" for neither
};

// Named by its case in ctest's list, rather than by its bytes.
void PrintTo(const FolderCase& c, std::ostream* out) { *out << c.name; }

class DataFolderChoice : public ::testing::TestWithParam<FolderCase> {
protected:
    void SetUp() override {
        root = fs::temp_directory_path() / ("oku-data-choice-" + std::to_string(getpid()));
        fs::remove_all(root);
        for (const char* side : {"working", "program"}) fs::create_directories(root / side);
    }
    void TearDown() override { fs::remove_all(root); }
    void make(const char* side, const std::vector<std::string>& folders) {
        for (const std::string& folder : folders) fs::create_directories(root / side / folder);
    }
    fs::path root;
};

TEST_P(DataFolderChoice, PrefersTheFolderHoldingAllOfTheData) {
    const FolderCase& c = GetParam();
    make("working", c.inWorking);
    make("program", c.inProgram);
    const std::string working = (root / "working").string(), program = (root / "program").string();
    const std::string expected = std::string(c.chosen).empty() ? "" : (root / c.chosen).string();
    EXPECT_EQ(chooseDataFolder(working, program), expected);
}

INSTANTIATE_TEST_SUITE_P(
    Folders, DataFolderChoice,
    ::testing::Values(
        FolderCase{"BothWhole", allFive, allFive, "working"},
        FolderCase{"AUsersOwnTexturesAndSoundHideNothing", {"textures", "sound"}, allFive, "program"},
        FolderCase{"FourOfFiveIsNotWhole", {"textures", "mesh", "spline", "Cg"}, allFive, "program"},
        FolderCase{"NeitherWholeKeepsAWorkingDirectoryWithAny", {"spline"}, {"textures", "mesh"}, "working"},
        FolderCase{"NeitherWholeNothingHereTakesTheProgramsFolder", {}, {"textures", "mesh", "Cg"}, "program"},
        FolderCase{"NoDataAnywhere", {}, {}, ""}),
    [](const ::testing::TestParamInfo<FolderCase>& info) { return std::string(info.param.name); });

}  // namespace
