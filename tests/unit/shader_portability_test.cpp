// Every program under data/Cg, each entry with the shader runtime's own preamble,
// passes the reference GLSL compiler (glslangValidator) as GLSL 1.20: Mesa accepts
// some GLSL that other vendors' compilers refuse.
#include <gtest/gtest.h>

#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>

#include "platform/shader/cg_glsl_runtime.h"

namespace {

namespace fs = std::filesystem;

std::string fileText(const fs::path& path) {
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// glslangValidator's verdict on one entry; its messages go to `log`.
bool referenceCompilerAccepts(const std::string& name, bool vertex, const std::string& entry,
                              const std::string& text, std::string& log) {
    const fs::path folder = fs::path(OKU_TEST_OUTPUT_DIR) / "glsl";
    fs::create_directories(folder);
    const fs::path source = folder / (name + "-" + entry + (vertex ? ".vert" : ".frag"));
    std::ofstream(source) << cgglsl::assembleSource(vertex, entry, text);
    const fs::path messages = folder / (name + "-" + entry + ".log");
    const std::string command = "glslangValidator '" + source.string() + "' > '" + messages.string() + "' 2>&1";
    const int status = std::system(command.c_str());
    log = fileText(messages);
    return status == 0;
}

TEST(ShaderPortability, EveryProgramPassesTheReferenceCompiler) {
    ASSERT_EQ(std::system("glslangValidator --version > /dev/null 2>&1"), 0)
        << "glslangValidator is missing: tools/setup.sh installs glslang-tools";
    std::string log;
    ASSERT_FALSE(referenceCompilerAccepts("newer_glsl", false, "main",
                                          "uniform sampler2D s;\nvoid main() { gl_FragColor = texture(s, vec2(0.0)); }\n",
                                          log))
        << "a GLSL 1.30 call must be refused";

    int checked = 0;
    for (const auto& item : fs::directory_iterator(fs::path(OKU_SOURCE_DIR) / "data" / "Cg")) {
        if (item.path().extension() != ".cg") continue;
        const std::string name = item.path().stem().string();
        const std::string text = fileText(item.path());
        // A file with several entries guards each by CG_ENTRY_<entry>; stages are
        // told by the entry's name (vertex1) or the file's (Grass_vertex).
        std::set<std::string> entries;
        const std::string guard = "CG_ENTRY_";
        for (size_t at = text.find(guard); at != std::string::npos; at = text.find(guard, at + 1)) {
            size_t end = at + guard.size();
            while (end < text.size() && (std::isalnum(static_cast<unsigned char>(text[end])) || text[end] == '_')) ++end;
            entries.insert(text.substr(at + guard.size(), end - at - guard.size()));
        }
        if (entries.empty()) entries.insert("main");
        for (const std::string& entry : entries) {
            const bool vertex = entry == "main" ? name.find("_vertex") != std::string::npos : entry.rfind("vertex", 0) == 0;
            EXPECT_TRUE(referenceCompilerAccepts(name, vertex, entry, text, log)) << name << " " << entry << ":\n" << log;
            ++checked;
        }
    }
    EXPECT_GE(checked, 12) << "every program of data/Cg";
}

}  // namespace
