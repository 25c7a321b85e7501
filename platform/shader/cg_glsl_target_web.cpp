// The browser target: GLSL ES 3.00 for WebGL 2, where every program needs both
// stages and the GL layer's emulation feeds the fixed-function inputs by name
// (platform/shader/cg_glsl_es_source.h).
#include <emscripten/html5_webgl.h>

#include "platform/log/debug_log.h"
#include "platform/shader/cg_glsl_es_source.h"
#include "platform/shader/cg_glsl_runtime.h"
#include "platform/shader/cg_glsl_target.h"

namespace cgglsl {

namespace {

struct StandIns {
    void* context = nullptr;
    GLuint vertex = 0;
    GLuint fragment = 0;
};

GLuint compileStandIn(GLenum stage, const std::string& source) {
    GLuint shader = glCreateShader(stage);
    const GLchar* text = source.c_str();
    glShaderSource(shader, 1, &text, nullptr);
    glCompileShader(shader);
    GLint compiled = GL_FALSE;
    glGetShaderiv(shader, GL_COMPILE_STATUS, &compiled);
    if (compiled != GL_TRUE) {
        debugLog("cg: the stand-in %s stage does not compile\n", stage == GL_VERTEX_SHADER ? "vertex" : "fragment");
        glDeleteShader(shader);
        return 0;
    }
    return shader;
}

}  // namespace

void* currentGLContext() {
    return reinterpret_cast<void*>(static_cast<uintptr_t>(emscripten_webgl_get_current_context()));
}

// WebGL contexts are never reused under the same handle.
bool contextProbeMatches(Runtime&) { return true; }
void createContextProbe(Runtime&) {}

std::string targetSource(bool vertex, const std::string& entry, const std::string& fileText) {
    return assembleEsSource(vertex, entry, fileText);
}

GLuint standInShader(bool vertex) {
    static StandIns standIns;
    void* context = currentGLContext();
    if (standIns.context != context) {
        // Shaders of a context that is gone went with it.
        standIns = StandIns{context, 0, 0};
    }
    GLuint& shader = vertex ? standIns.vertex : standIns.fragment;
    if (!shader && context) {
        shader = vertex ? compileStandIn(GL_VERTEX_SHADER, esStandInVertexSource())
                        : compileStandIn(GL_FRAGMENT_SHADER, esStandInFragmentSource());
    }
    return shader;
}

bool isBuiltInInput(const std::string& name, std::string& conventional) {
    if (name.compare(0, 3, "gl_") == 0) {
        conventional = name;
        return true;
    }
    if (!isEsTranslationName(name)) return false;
    conventional.clear();
    if (name == "a_position") conventional = "gl_Vertex";
    else if (name == "a_color") conventional = "gl_Color";
    else if (name == "a_normal") conventional = "gl_Normal";
    else if (name.compare(0, 10, "a_texCoord") == 0) conventional = "gl_MultiTexCoord" + name.substr(10);
    return true;
}

// WebGL always takes a point's size from gl_PointSize.
void setProgramPointSize(bool) {}

}  // namespace cgglsl
