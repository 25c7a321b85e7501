// The source tree's include rule, where the link cannot see it. Each layer's link check
// (cmake/OkuLayer.cmake) fails on a call into a layer above; this test catches what
// compiles to no call: a header used only for its types, inline functions or
// constants, the generators (built apart from the layers), and reaching into a
// platform backend, which only tests and benchmarks may do.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

// What each top-level folder may include (besides itself and system headers).
const std::map<std::string, std::set<std::string>> allowed = {
    {"platform", {}},
    {"math", {"platform"}},
    {"assets", {"platform", "math"}},
    {"shell", {"platform", "math", "assets"}},
    {"scenes", {"platform", "math", "assets", "shell"}},
    // The capture program plays the whole demo.
    {"capture", {"platform", "math", "assets", "shell", "scenes"}},
    // Generators share only the scenes' data tables (file names, part layout) with the demo.
    {"tools", {"scenes"}},
};

struct Include {
    std::string file;
    int line;
    std::string target;
};

// The file named by a line `#include "file"`, or "" for any other line.
std::string quotedInclude(const std::string& line) {
    size_t at = line.find_first_not_of(" \t");
    if (at == std::string::npos || line[at] != '#') return "";
    at = line.find_first_not_of(" \t", at + 1);
    if (at == std::string::npos || line.compare(at, 7, "include") != 0) return "";
    at = line.find_first_not_of(" \t", at + 7);
    if (at == std::string::npos || line[at] != '"') return "";
    const size_t end = line.find('"', at + 1);
    return end == std::string::npos ? "" : line.substr(at + 1, end - at - 1);
}

// Whether `path` names a backend piece, platform/<folder>/<interface>_<backend>_<piece>.h.
bool isBackendPiece(const std::string& path) {
    if (path.compare(0, 9, "platform/") != 0 || path.size() < 2 || path.compare(path.size() - 2, 2, ".h") != 0)
        return false;
    const std::string name = path.substr(path.rfind('/') + 1);
    for (const char* backend : {"_sdl_", "_glsl_", "_glew_"})
        if (name.find(backend) != std::string::npos) return true;
    return false;
}

std::vector<Include> projectIncludes(const std::string& folder) {
    std::vector<Include> found;
    const fs::path root = fs::path(OKU_SOURCE_DIR) / folder;
    for (const auto& entry : fs::recursive_directory_iterator(root)) {
        const std::string extension = entry.path().extension().string();
        if (!entry.is_regular_file() || (extension != ".h" && extension != ".cpp")) continue;
        std::ifstream in(entry.path());
        std::string text;
        for (int line = 1; std::getline(in, text); ++line) {
            const std::string target = quotedInclude(text);
            if (!target.empty()) found.push_back({fs::relative(entry.path(), OKU_SOURCE_DIR).string(), line, target});
        }
    }
    return found;
}

std::string topFolder(const std::string& path) { return path.substr(0, path.find('/')); }

TEST(IncludeRule, EachLayerIncludesOnlyTheLayersBelowIt) {
    for (const auto& [folder, below] : allowed) {
        const std::vector<Include> includes = projectIncludes(folder);
        EXPECT_FALSE(includes.empty()) << folder;
        for (const Include& include : includes) {
            const std::string target = topFolder(include.target);
            if (target == include.target) continue;  // a header beside the file, or a system header
            EXPECT_TRUE(target == folder || below.count(target))
                << include.file << ":" << include.line << " includes " << include.target;
        }
    }
}

TEST(IncludeRule, OnlyTestsAndBenchmarksReachIntoAPlatformBackend) {
    // Backend pieces are named <interface>_<backend>_<piece> (docs/conventions.md).
    for (const char* folder : {"math", "assets", "shell", "scenes", "capture", "tools"}) {
        for (const Include& include : projectIncludes(folder))
            EXPECT_FALSE(isBackendPiece(include.target))
                << include.file << ":" << include.line << " includes " << include.target;
    }
}

}  // namespace
