// Every program under data/Cg, each entry with the shader runtime's own preamble,
// passes the reference GLSL compiler (glslangValidator) as GLSL 1.20: Mesa accepts
// some GLSL that other vendors' compilers refuse. The browser's translation of each
// (GLSL ES 3.00) passes it too, and links with every program of the other stage and
// with the stand-in stages, as the runtime pairs them.
#include <gtest/gtest.h>

#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "platform/shader/cg_glsl_es_source.h"
#include "platform/shader/cg_glsl_runtime.h"

namespace {

namespace fs = std::filesystem;

std::string fileText(const fs::path& path) {
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

struct Entry {
    std::string name;
    bool vertex;
    std::string entry;
    std::string text;
};

fs::path outputFolder(const std::string& target) {
    const fs::path folder = fs::path(OKU_TEST_OUTPUT_DIR) / target;
    fs::create_directories(folder);
    return folder;
}

// glslangValidator's verdict on some shader files (two of them: linked); its
// messages go to `log`.
bool validatorAccepts(const std::string& arguments, const fs::path& messages, std::string& log) {
    const int status = std::system(("glslangValidator " + arguments + " > '" + messages.string() + "' 2>&1").c_str());
    log = fileText(messages);
    return status == 0;
}

fs::path writeShader(const fs::path& folder, const std::string& stem, bool vertex, const std::string& source) {
    const fs::path path = folder / (stem + (vertex ? ".vert" : ".frag"));
    std::ofstream(path) << source;
    return path;
}

bool referenceCompilerAccepts(const std::string& name, bool vertex, const std::string& entry,
                              const std::string& text, std::string& log) {
    const fs::path folder = outputFolder("glsl");
    const fs::path source = writeShader(folder, name + "-" + entry, vertex, cgglsl::assembleSource(vertex, entry, text));
    return validatorAccepts("'" + source.string() + "'", folder / (name + "-" + entry + ".log"), log);
}

std::vector<Entry> everyProgram() {
    std::vector<Entry> programs;
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
            programs.push_back({name, vertex, entry, text});
        }
    }
    return programs;
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
    for (const Entry& program : everyProgram()) {
        EXPECT_TRUE(referenceCompilerAccepts(program.name, program.vertex, program.entry, program.text, log))
            << program.name << " " << program.entry << ":\n" << log;
        ++checked;
    }
    EXPECT_GE(checked, 12) << "every program of data/Cg";
}

TEST(ShaderPortability, EveryBrowserProgramCompilesAndPairsWithEveryOtherStage) {
    ASSERT_EQ(std::system("glslangValidator --version > /dev/null 2>&1"), 0)
        << "glslangValidator is missing: tools/setup.sh installs glslang-tools";
    const fs::path folder = outputFolder("glsl_es");
    std::vector<fs::path> vertices{writeShader(folder, "stand-in", true, cgglsl::esStandInVertexSource())};
    std::vector<fs::path> fragments{writeShader(folder, "stand-in", false, cgglsl::esStandInFragmentSource())};
    std::string log;
    for (const Entry& program : everyProgram()) {
        const std::string stem = program.name + "-" + program.entry;
        const fs::path source =
            writeShader(folder, stem, program.vertex, cgglsl::assembleEsSource(program.vertex, program.entry, program.text));
        EXPECT_TRUE(validatorAccepts("'" + source.string() + "'", folder / (stem + ".log"), log)) << stem << ":\n" << log;
        (program.vertex ? vertices : fragments).push_back(source);
    }
    EXPECT_GE(vertices.size() + fragments.size(), 14u) << "every program of data/Cg and both stand-ins";
    for (const fs::path& vertex : vertices) {
        for (const fs::path& fragment : fragments) {
            const std::string pair = vertex.stem().string() + "+" + fragment.stem().string();
            EXPECT_TRUE(validatorAccepts("-l '" + vertex.string() + "' '" + fragment.string() + "'",
                                         folder / (pair + ".log"), log))
                << pair << ":\n" << log;
        }
    }
}

TEST(ShaderPortability, BrowserTranslationNamesNoBuiltInTheGlLayerRewrites) {
    // The GL layer's emulation prepends declarations for these, which would come
    // before the #version line.
    for (const Entry& program : everyProgram()) {
        const std::string source = cgglsl::assembleEsSource(program.vertex, program.entry, program.text);
        EXPECT_EQ(source.rfind("#version 300 es\n", 0), 0u) << program.name;
        const std::vector<const char*> rewritten =
            program.vertex ? std::vector<const char*>{"gl_Vertex", "gl_Color", "gl_Normal", "gl_MultiTexCoord",
                                                      "gl_TexCoord", "gl_FrontColor", "gl_ModelViewMatrix",
                                                      "gl_ProjectionMatrix"}
                           : std::vector<const char*>{"gl_TexCoord", "gl_Color"};
        for (const char* builtIn : rewritten) {
            EXPECT_EQ(source.find(builtIn), std::string::npos) << program.name << " " << program.entry << ": " << builtIn;
        }
    }
}

}  // namespace
