#include "platform/shader/cg_glsl_es_source.h"

#include <cctype>
#include <set>
#include <utility>

namespace cgglsl {

namespace {

constexpr int kTexCoordSets = 8;

bool isNameChar(char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_'; }

// The built-ins each stage reads or writes, and what they become.
const std::pair<const char*, const char*> kVertexRenames[] = {
    {"gl_Vertex", "a_position"},
    {"gl_Color", "a_color"},
    {"gl_Normal", "a_normal"},
    {"gl_ModelViewMatrix", "u_modelView"},
    {"gl_ProjectionMatrix", "u_projection"},
    {"gl_ModelViewProjectionMatrix", "(u_projection * u_modelView)"},
    {"gl_TexCoord", "oku_texCoord"},
    {"gl_FrontColor", "v_color"},
    {"gl_ClipVertex", "oku_clipVertex"},
    {"attribute", "in"},
    {"varying", "out"},
    {"texture2D", "texture"},
    {"texture2DLod", "textureLod"},
    {"texture2DProj", "textureProj"},
    {"texture2DProjLod", "textureProjLod"},
};
const std::pair<const char*, const char*> kFragmentRenames[] = {
    {"gl_Color", "v_color"},
    {"gl_TexCoord", "oku_texCoord"},
    {"gl_FragColor", "oku_fragColor"},
    {"varying", "in"},
    {"texture2D", "texture"},
    {"texture2DProj", "textureProj"},
};

struct Scan {
    std::string text;            // the source with the built-ins renamed
    std::set<std::string> used;  // the built-ins it named
    std::set<int> texCoords;     // gl_TexCoord[n] sets named with a literal n
    bool anyTexCoord = false;    // gl_TexCoord indexed by an expression
};

// Renames whole identifiers only; comments are renamed alike, so no built-in name
// survives anywhere in the text.
template <size_t N>
Scan renameBuiltIns(const std::string& source, const std::pair<const char*, const char*> (&renames)[N]) {
    Scan scan;
    for (size_t at = 0; at < source.size();) {
        if (!isNameChar(source[at]) || (at > 0 && isNameChar(source[at - 1]))) {
            scan.text += source[at++];
            continue;
        }
        size_t end = at;
        while (end < source.size() && isNameChar(source[end])) ++end;
        std::string name = source.substr(at, end - at);
        std::string replaced = name;
        for (const auto& [builtIn, ours] : renames) {
            if (name == builtIn) replaced = ours;
        }
        if (name.rfind("gl_MultiTexCoord", 0) == 0 && name.size() > 16) replaced = "a_texCoord" + name.substr(16);
        if (replaced != name) scan.used.insert(name);
        if (name == "gl_TexCoord") {
            size_t open = end;
            while (open < source.size() && std::isspace(static_cast<unsigned char>(source[open]))) ++open;
            size_t digits = open + 1;
            while (digits < source.size() && std::isdigit(static_cast<unsigned char>(source[digits]))) ++digits;
            if (open < source.size() && source[open] == '[' && digits > open + 1 && digits < source.size() &&
                source[digits] == ']') {
                int set = std::stoi(source.substr(open + 1, digits - open - 1));
                if (set < kTexCoordSets) scan.texCoords.insert(set);
            } else {
                scan.anyTexCoord = true;
            }
        }
        scan.text += replaced;
        at = end;
    }
    if (scan.anyTexCoord) {
        for (int set = 0; set < kTexCoordSets; ++set) scan.texCoords.insert(set);
    }
    return scan;
}

std::string texCoordVarying(int set) { return "v_texCoord" + std::to_string(set); }

// Declarations every vertex stage shares, so that any fragment stage links with it.
std::string vertexOutputs() {
    std::string out;
    for (int set = 0; set < kTexCoordSets; ++set) out += "out vec4 " + texCoordVarying(set) + ";\n";
    out += "out vec4 v_color;\n";
    out += "out float oku_clipDistance;\n";
    out += "uniform vec4 oku_clipPlaneEye;\n";
    out += "uniform vec4 oku_clipPlaneClip;\n";
    return out;
}

// GLSL ES 3.00: WebGL 2's own, with derivatives, non-square matrices and array
// constructors, as GLSL 1.20 has them.
const char* const kHeader = "#version 300 es\nprecision highp float;\nprecision highp int;\n";

const char* const kFragmentInputs =
    "in vec4 v_color;\n"
    "in float oku_clipDistance;\n"
    "out vec4 oku_fragColor;\n";

const char* const kAlphaTest =
    "uniform int oku_alphaFunc;\n"
    "uniform float oku_alphaRef;\n"
    "bool oku_alphaPasses(float a) {\n"
    "    if (oku_alphaFunc == 0x0200) return false;\n"
    "    if (oku_alphaFunc == 0x0201) return a < oku_alphaRef;\n"
    "    if (oku_alphaFunc == 0x0202) return a == oku_alphaRef;\n"
    "    if (oku_alphaFunc == 0x0203) return a <= oku_alphaRef;\n"
    "    if (oku_alphaFunc == 0x0204) return a > oku_alphaRef;\n"
    "    if (oku_alphaFunc == 0x0205) return a != oku_alphaRef;\n"
    "    if (oku_alphaFunc == 0x0206) return a >= oku_alphaRef;\n"
    "    return true;\n"
    "}\n";

// The end of every fragment stage: clip plane and alpha test.
const char* const kFragmentTests =
    "    if (oku_clipDistance < 0.0) discard;\n"
    "    if (oku_alphaFunc != 0 && !oku_alphaPasses(oku_fragColor.a)) discard;\n";

}  // namespace

bool isEsTranslationName(const std::string& name) {
    for (const char* prefix : {"oku_", "a_", "u_", "v_"}) {
        if (name.rfind(prefix, 0) == 0) return true;
    }
    return false;
}

std::string assembleEsSource(bool vertex, const std::string& entry, const std::string& fileText) {
    const Scan scan = vertex ? renameBuiltIns(fileText, kVertexRenames) : renameBuiltIns(fileText, kFragmentRenames);
    const auto uses = [&](const char* builtIn) { return scan.used.count(builtIn) > 0; };

    std::string source = kHeader;
    source += vertex ? "#define CG_VERTEX 1\n" : "#define CG_FRAGMENT 1\n";
    source += "#define CG_ENTRY_" + entry + " 1\n";
    source += "#define " + entry + " oku_entry\n";
    if (!scan.texCoords.empty() || uses("gl_TexCoord")) source += "vec4 oku_texCoord[" + std::to_string(kTexCoordSets) + "];\n";
    if (vertex) {
        if (uses("gl_Vertex")) source += "in vec4 a_position;\n";
        if (uses("gl_Color")) source += "in vec4 a_color;\n";
        if (uses("gl_Normal")) source += "in vec3 a_normal;\n";
        for (int set = 0; set < kTexCoordSets; ++set) {
            if (uses(("gl_MultiTexCoord" + std::to_string(set)).c_str())) {
                source += "in vec4 a_texCoord" + std::to_string(set) + ";\n";
            }
        }
        if (uses("gl_ModelViewMatrix") || uses("gl_ModelViewProjectionMatrix")) source += "uniform mat4 u_modelView;\n";
        if (uses("gl_ProjectionMatrix") || uses("gl_ModelViewProjectionMatrix")) source += "uniform mat4 u_projection;\n";
        source += vertexOutputs();
        source += "vec4 oku_clipVertex;\n";
    } else {
        source += kFragmentInputs;
        for (int set : scan.texCoords) source += "in vec4 " + texCoordVarying(set) + ";\n";
        source += kAlphaTest;
    }
    // Compile logs count the file's own lines from here.
    source += "#line 1\n";
    source += scan.text;
    if (!scan.text.empty() && scan.text.back() != '\n') source += "\n";

    source += "#undef " + entry + "\n";
    source += "void main() {\n";
    if (vertex) {
        source += "    v_color = vec4(1.0);\n";
        source += "    oku_entry();\n";
        for (int set : scan.texCoords) source += "    " + texCoordVarying(set) + " = oku_texCoord[" + std::to_string(set) + "];\n";
        source += uses("gl_ClipVertex") ? "    oku_clipDistance = dot(oku_clipPlaneEye, oku_clipVertex);\n"
                                        : "    oku_clipDistance = dot(oku_clipPlaneClip, gl_Position);\n";
    } else {
        for (int set : scan.texCoords) source += "    oku_texCoord[" + std::to_string(set) + "] = " + texCoordVarying(set) + ";\n";
        source += "    oku_entry();\n";
        source += kFragmentTests;
    }
    source += "}\n";
    return source;
}

std::string esStandInVertexSource() {
    std::string source = kHeader;
    source += "in vec4 a_position;\n";
    source += "in vec4 a_color;\n";
    for (int set = 0; set < 4; ++set) source += "in vec4 a_texCoord" + std::to_string(set) + ";\n";
    source += "uniform mat4 u_modelView;\n";
    source += "uniform mat4 u_projection;\n";
    source += vertexOutputs();
    source += "void main() {\n";
    source += "    gl_Position = u_projection * u_modelView * a_position;\n";
    for (int set = 0; set < 4; ++set) {
        source += "    " + texCoordVarying(set) + " = a_texCoord" + std::to_string(set) + ";\n";
    }
    source += "    v_color = a_color;\n";
    source += "    oku_clipDistance = dot(oku_clipPlaneEye, u_modelView * a_position);\n";
    source += "}\n";
    return source;
}

std::string esStandInFragmentSource() {
    std::string source = kHeader;
    source += kFragmentInputs;
    source += kAlphaTest;
    source += "void main() {\n";
    source += "    oku_fragColor = v_color;\n";
    source += kFragmentTests;
    source += "}\n";
    return source;
}

}  // namespace cgglsl
