// OpenGL 1.x calls that the browser's fixed-function emulation lacks or passes to
// WebGL unchanged where WebGL refuses them, as the demo makes them: the attribute
// stack (for the viewport, the one group pushed), mipmapped textures from GLU,
// desktop texture formats and wrap modes, fixed-function hints and shading, and
// the extension names of calls that WebGL 2 has in its core. The immediate-mode
// texture coordinates it lacks are in gl_legacy_web.js.
#include <GL/glew.h>
#include <GL/glu.h>

#include <array>
#include <vector>

#include "platform/log/debug_log.h"

namespace {

struct PushedAttributes {
    GLbitfield mask = 0;
    std::array<GLint, 4> viewport{};
};

std::vector<PushedAttributes>& attributeStack() {
    static std::vector<PushedAttributes> stack;
    return stack;
}

}  // namespace

extern "C" {

// WebGL's own entry points (Emscripten names each GL call twice).
void emscripten_glTexParameteri(GLenum target, GLenum name, GLint value);
void emscripten_glTexImage2D(GLenum target, GLint level, GLint internalFormat, GLsizei width, GLsizei height,
                             GLint border, GLenum format, GLenum type, const void* data);
void emscripten_glHint(GLenum target, GLenum mode);

// WebGL has no GL_CLAMP (edges blended with a border colour); clamping to the edge
// texel is as near as it comes.
void glTexParameteri(GLenum target, GLenum name, GLint value) {
    if ((name == GL_TEXTURE_WRAP_S || name == GL_TEXTURE_WRAP_T) && value == GL_CLAMP) value = GL_CLAMP_TO_EDGE;
    emscripten_glTexParameteri(target, name, value);
}

void glTexParameterf(GLenum target, GLenum name, GLfloat value) {
    glTexParameteri(target, name, static_cast<GLint>(value));
}

// Storage without data (render targets) is asked for in desktop terms: the type
// of data never given. WebGL wants the type that matches the storage.
void glTexImage2D(GLenum target, GLint level, GLint internalFormat, GLsizei width, GLsizei height, GLint border,
                  GLenum format, GLenum type, const void* data) {
    if (!data) {
        if (internalFormat == GL_DEPTH_COMPONENT16) type = GL_UNSIGNED_SHORT;
        else if (internalFormat == GL_DEPTH_COMPONENT24 || internalFormat == GL_DEPTH_COMPONENT) type = GL_UNSIGNED_INT;
        else if (type == GL_FLOAT && (internalFormat == GL_RGBA || internalFormat == GL_RGBA8)) {
            internalFormat = GL_RGBA8;  // what an unsized GL_RGBA gets on the desktop too
            type = GL_UNSIGNED_BYTE;
        }
    }
    emscripten_glTexImage2D(target, level, internalFormat, width, height, border, format, type, data);
}

// Fixed-function hints mean nothing to WebGL, and every program shades smoothly.
void glHint(GLenum target, GLenum mode) {
    if (target == GL_GENERATE_MIPMAP_HINT || target == GL_FRAGMENT_SHADER_DERIVATIVE_HINT) emscripten_glHint(target, mode);
}

void glShadeModel(GLenum) {}

void glPushAttrib(GLbitfield mask) {
    if (mask & ~static_cast<GLbitfield>(GL_VIEWPORT_BIT)) debugLog("glPushAttrib: only the viewport is kept\n");
    PushedAttributes pushed;
    pushed.mask = mask;
    if (mask & GL_VIEWPORT_BIT) glGetIntegerv(GL_VIEWPORT, pushed.viewport.data());
    attributeStack().push_back(pushed);
}

void glPopAttrib(void) {
    auto& stack = attributeStack();
    if (stack.empty()) return;
    const PushedAttributes pushed = stack.back();
    stack.pop_back();
    if (pushed.mask & GL_VIEWPORT_BIT) glViewport(pushed.viewport[0], pushed.viewport[1], pushed.viewport[2], pushed.viewport[3]);
}

// Level 0 as given and the rest by the browser's own box filter. WebGL keeps
// sizes that are not powers of two, so the image is never rescaled.
GLint gluBuild2DMipmaps(GLenum target, GLint components, GLsizei width, GLsizei height, GLenum format, GLenum type,
                        const void* data) {
    if (width <= 0 || height <= 0 || !data) return GLU_INVALID_VALUE;
    GLenum internalFormat = format;
    if (components == 3) internalFormat = GL_RGB;
    if (components == 4) internalFormat = GL_RGBA;
    if (internalFormat != format) return GLU_INVALID_ENUM;  // WebGL takes no conversion
    glTexImage2D(target, 0, static_cast<GLint>(internalFormat), width, height, 0, format, type, data);
    glGenerateMipmap(target);
    return 0;
}

void glActiveTextureARB(GLenum texture) { glActiveTexture(texture); }
void glClientActiveTextureARB(GLenum texture) { glClientActiveTexture(texture); }

void glGenFramebuffersEXT(GLsizei count, GLuint* names) { glGenFramebuffers(count, names); }
void glDeleteFramebuffersEXT(GLsizei count, const GLuint* names) { glDeleteFramebuffers(count, names); }
void glBindFramebufferEXT(GLenum target, GLuint name) { glBindFramebuffer(target, name); }
GLenum glCheckFramebufferStatusEXT(GLenum target) { return glCheckFramebufferStatus(target); }
void glFramebufferTexture2DEXT(GLenum target, GLenum attachment, GLenum textureTarget, GLuint texture, GLint level) {
    glFramebufferTexture2D(target, attachment, textureTarget, texture, level);
}
void glFramebufferRenderbufferEXT(GLenum target, GLenum attachment, GLenum renderbufferTarget, GLuint renderbuffer) {
    glFramebufferRenderbuffer(target, attachment, renderbufferTarget, renderbuffer);
}
void glGenRenderbuffersEXT(GLsizei count, GLuint* names) { glGenRenderbuffers(count, names); }
void glBindRenderbufferEXT(GLenum target, GLuint name) { glBindRenderbuffer(target, name); }
void glRenderbufferStorageEXT(GLenum target, GLenum format, GLsizei width, GLsizei height) {
    glRenderbufferStorage(target, format, width, height);
}

}  // extern "C"
