#include "support/test_output.h"

#include <filesystem>

std::string testOutputDir() {
    std::string dir = OKU_TEST_OUTPUT_DIR "/";
    std::filesystem::create_directories(dir);
    return dir;
}
