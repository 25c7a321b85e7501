// The desktop target: GLSL 1.20 compatibility profile, contexts made by SDL,
// fixed function for a stage without a program.
#include <SDL.h>

#include "platform/shader/cg_glsl_runtime.h"
#include "platform/shader/cg_glsl_target.h"

namespace cgglsl {

void* currentGLContext() { return SDL_GL_GetCurrentContext(); }

bool contextProbeMatches(Runtime& rt) {
    if (!rt.probe || !glObjectLabel || !glGetObjectLabel) return true;  // nothing more to tell by
    if (!glIsProgram(rt.probe)) return false;
    char label[64] = {0};
    GLsizei length = 0;
    glGetObjectLabel(GL_PROGRAM, rt.probe, sizeof label, &length, label);
    return rt.probeLabel == label;
}

void createContextProbe(Runtime& rt) {
    if (!glObjectLabel || !glCreateProgram) return;
    rt.probe = glCreateProgram();
    rt.probeLabel = "cg runtime " + std::to_string(rt.generation);
    glObjectLabel(GL_PROGRAM, rt.probe, -1, rt.probeLabel.c_str());
}

std::string targetSource(bool vertex, const std::string& entry, const std::string& fileText) {
    return assembleSource(vertex, entry, fileText);
}

GLuint standInShader(bool) { return 0; }

bool isBuiltInInput(const std::string& name, std::string& conventional) {
    if (name.compare(0, 3, "gl_") != 0) return false;
    conventional = name;
    return true;
}

void setProgramPointSize(bool enabled) {
    if (enabled) glEnable(GL_VERTEX_PROGRAM_POINT_SIZE);
    else glDisable(GL_VERTEX_PROGRAM_POINT_SIZE);
}

}  // namespace cgglsl
