// The source tree's include rule, checked on every file: each layer includes only the layers below it, and only tests and benchmarks reach into a platform backend.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
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
    // Generators share only the scenes' data tables (file names, part layout) with the demo.
    {"tools", {"scenes"}},
};

struct Include {
    std::string file;
    int line;
    std::string target;
};

std::vector<Include> projectIncludes(const std::string& folder) {
    static const std::regex include(R"(^\s*#\s*include\s*"([^"]+)\")");
    std::vector<Include> found;
    const fs::path root = fs::path(OKU_SOURCE_DIR) / folder;
    for (const auto& entry : fs::recursive_directory_iterator(root)) {
        const std::string extension = entry.path().extension().string();
        if (!entry.is_regular_file() || (extension != ".h" && extension != ".cpp")) continue;
        std::ifstream in(entry.path());
        std::string text;
        for (int line = 1; std::getline(in, text); ++line) {
            std::smatch match;
            if (std::regex_search(text, match, include))
                found.push_back({fs::relative(entry.path(), OKU_SOURCE_DIR).string(), line, match[1]});
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
    static const std::regex backendPiece(R"(^platform/[a-z]+/[a-z0-9]+_(sdl|glsl|glew)_[a-z0-9_]+\.h$)");
    for (const char* folder : {"math", "assets", "shell", "scenes", "tools"}) {
        for (const Include& include : projectIncludes(folder))
            EXPECT_FALSE(std::regex_match(include.target, backendPiece))
                << include.file << ":" << include.line << " includes " << include.target;
    }
}

}  // namespace
