#include "assets/shader_program.h"

#include "platform/window/message_box.h"

void ShaderProgram::createContext() { context = cgCreateContext(); }

void ShaderProgram::useContext(CGcontext shared) { context = shared; }

void ShaderProgram::destroyContext() {
    cgDestroyContext(context);
    context = nullptr;
    vertexProgram = nullptr;
    fragmentProgram = nullptr;
}

void ShaderProgram::selectProfiles() {
    vertexProfile = cgGLGetLatestProfile(CG_GL_VERTEX);
    cgGLSetOptimalOptions(vertexProfile);
    fragmentProfile = cgGLGetLatestProfile(CG_GL_FRAGMENT);
    cgGLSetOptimalOptions(fragmentProfile);
}

CGprogram ShaderProgram::createProgram(CGprofile profile, const char* file, const char* entry) const {
    return cgCreateProgramFromFile(context, CG_SOURCE, file, profile, entry, nullptr);
}

CGprogram ShaderProgram::createVertexProgram(const char* file, const char* entry) {
    vertexProgram = createProgram(vertexProfile, file, entry);
    return vertexProgram;
}

CGprogram ShaderProgram::createFragmentProgram(const char* file, const char* entry) {
    fragmentProgram = createProgram(fragmentProfile, file, entry);
    return fragmentProgram;
}

void ShaderProgram::reportMissingPrograms(const char* caption) const {
    if (!vertexProgram) MessageBoxA(nullptr, "Kein Vertex Shader", caption, MB_OK);
    if (!fragmentProgram) MessageBoxA(nullptr, "Kein Fragment Shader", caption, MB_OK);
}

void ShaderProgram::loadVertexProgram() const { cgGLLoadProgram(vertexProgram); }

void ShaderProgram::loadFragmentProgram() const { cgGLLoadProgram(fragmentProgram); }

CGparameter ShaderProgram::vertexParameter(const char* name) const { return cgGetNamedParameter(vertexProgram, name); }

CGparameter ShaderProgram::fragmentParameter(const char* name) const {
    return cgGetNamedParameter(fragmentProgram, name);
}

void ShaderProgram::bind() const {
    cgGLBindProgram(vertexProgram);
    cgGLBindProgram(fragmentProgram);
}

void ShaderProgram::enableProfiles() const {
    cgGLEnableProfile(vertexProfile);
    cgGLEnableProfile(fragmentProfile);
}

void ShaderProgram::disableProfiles() const {
    cgGLDisableProfile(vertexProfile);
    cgGLDisableProfile(fragmentProfile);
}
