// OpenGL 1.x calls that the browser's fixed-function emulation lacks, gets wrong or
// passes to WebGL unchanged where WebGL refuses them, as the demo makes them: the
// attribute stack (for the viewport, the one group pushed), GLU's perspective and
// look-at (which multiply the current matrix; the emulation's replace it), mipmapped
// textures from GLU, desktop texture formats and wrap modes, fixed-function hints
// and shading, the extension names of calls that WebGL 2 has in its core, and draws
// from arrays in memory or with the program's own arrays. The immediate-mode
// texture coordinates it lacks are in gl_legacy_web.js, and so is the buffer each
// client array was pointed into: the emulation reads every array of a draw from
// the one buffer bound at the draw.
#include <GL/glew.h>
#include <GL/glu.h>

#include <array>
#include <cmath>
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
void emscripten_glTexParameterf(GLenum target, GLenum name, GLfloat value);
void emscripten_glTexImage2D(GLenum target, GLint level, GLint internalFormat, GLsizei width, GLsizei height,
                             GLint border, GLenum format, GLenum type, const void* data);
void emscripten_glHint(GLenum target, GLenum mode);
void emscripten_glVertexPointer(GLint size, GLenum type, GLsizei stride, const void* pointer);
void emscripten_glTexCoordPointer(GLint size, GLenum type, GLsizei stride, const void* pointer);
void emscripten_glColorPointer(GLint size, GLenum type, GLsizei stride, const void* pointer);
void emscripten_glNormalPointer(GLenum type, GLsizei stride, const void* pointer);
// gl_legacy_web.js
void okuWebRecordClientArray(GLenum array, GLint size, GLenum type, GLsizei stride, const void* pointer);

void emscripten_glClientActiveTexture(GLenum texture);
void emscripten_glEnableClientState(GLenum array);
void emscripten_glDisableClientState(GLenum array);
void emscripten_glDrawArrays(GLenum mode, GLint first, GLsizei count);
void emscripten_glDrawElements(GLenum mode, GLsizei count, GLenum type, const void* indices);
void emscripten_glBindBuffer(GLenum target, GLuint buffer);
void emscripten_glBegin(GLenum mode);
void emscripten_glEnd(void);
void okuWebImmediateMode(int on);  // gl_legacy_web.js
void emscripten_glVertexAttribPointer(GLuint index, GLint size, GLenum type, GLboolean normalized, GLsizei stride,
                                      const void* pointer);
void emscripten_glEnableVertexAttribArray(GLuint index);
void emscripten_glDisableVertexAttribArray(GLuint index);

}  // extern "C"

namespace {

// A client array as the program pointed it: in memory (buffer 0) or in a buffer.
struct ClientArray {
    bool enabled = false;
    GLint size = 4;
    GLenum type = GL_FLOAT;
    GLsizei stride = 0;
    const void* pointer = nullptr;
    GLuint buffer = 0;
    GLuint stream = 0;  // ours: the drawn range of an array in memory
};

constexpr int kTextureUnits = 8;
constexpr GLuint kGenericAttributes = 16;

// A generic vertex attribute (a program's own input) as the program pointed it.
struct GenericArray {
    bool enabled = false;
    GLint size = 4;
    GLenum type = GL_FLOAT;
    GLboolean normalized = GL_FALSE;
    GLsizei stride = 0;
    const void* pointer = nullptr;
    bool inMemory = false;
    GLuint stream = 0;
};

GenericArray& genericArray(GLuint index) {
    static GenericArray arrays[kGenericAttributes];
    return arrays[index < kGenericAttributes ? index : 0];
}

struct ClientArrays {
    ClientArray vertex, normal, colour;
    ClientArray texCoords[kTextureUnits];
    int activeUnit = 0;
    GLuint arrayBuffer = 0;  // as the program bound it

    ClientArray* of(GLenum array) {
        switch (array) {
            case GL_VERTEX_ARRAY: return &vertex;
            case GL_NORMAL_ARRAY: return &normal;
            case GL_COLOR_ARRAY: return &colour;
            case GL_TEXTURE_COORD_ARRAY: return &texCoords[activeUnit];
            default: return nullptr;
        }
    }
};

ClientArrays& clientArrays() {
    static ClientArrays arrays;
    return arrays;
}

GLsizei typeBytes(GLenum type) {
    switch (type) {
        case GL_BYTE:
        case GL_UNSIGNED_BYTE: return 1;
        case GL_SHORT:
        case GL_UNSIGNED_SHORT: return 2;
        default: return 4;
    }
}

void point(GLenum array, const ClientArray& a, const void* pointer) {
    okuWebRecordClientArray(array, a.size, a.type, a.stride, pointer);
    switch (array) {
        case GL_VERTEX_ARRAY: emscripten_glVertexPointer(a.size, a.type, a.stride, pointer); break;
        case GL_NORMAL_ARRAY: emscripten_glNormalPointer(a.type, a.stride, pointer); break;
        case GL_COLOR_ARRAY: emscripten_glColorPointer(a.size, a.type, a.stride, pointer); break;
        default: emscripten_glTexCoordPointer(a.size, a.type, a.stride, pointer); break;
    }
}

void setPointer(GLenum array, GLint size, GLenum type, GLsizei stride, const void* pointer) {
    ClientArrays& arrays = clientArrays();
    if (ClientArray* a = arrays.of(array)) {
        a->size = size, a->type = type, a->stride = stride, a->pointer = pointer, a->buffer = arrays.arrayBuffer;
        point(array, *a, pointer);
    }
}

// Copies the drawn vertices of an array in memory into its own buffer, left bound.
void streamRange(GLuint& stream, const void* pointer, GLint size, GLenum type, GLsizei stride, GLint first,
                 GLsizei count) {
    const GLsizei element = size * typeBytes(type);
    const GLsizei step = stride ? stride : element;
    if (!stream) glGenBuffers(1, &stream);
    emscripten_glBindBuffer(GL_ARRAY_BUFFER, stream);
    const auto* start = static_cast<const char*>(pointer) + static_cast<size_t>(first) * step;
    glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(count - 1) * step + element, start, GL_STREAM_DRAW);
}

// Every enabled array in memory, with the unit it belongs to.
template <typename Visit>
void forEachArrayInMemory(Visit visit) {
    ClientArrays& arrays = clientArrays();
    const auto offer = [&](GLenum array, ClientArray& a, int unit) {
        if (a.enabled && !a.buffer && a.pointer) visit(array, a, unit);
    };
    offer(GL_VERTEX_ARRAY, arrays.vertex, -1);
    offer(GL_NORMAL_ARRAY, arrays.normal, -1);
    offer(GL_COLOR_ARRAY, arrays.colour, -1);
    for (int unit = 0; unit < kTextureUnits; ++unit) offer(GL_TEXTURE_COORD_ARRAY, arrays.texCoords[unit], unit);
}

// The emulation's immediate-mode draws switch off the attribute arrays they used
// once they are done, whatever the program had enabled there: a program's own
// arrays, enabled once for many frames, are switched on again before its draws.
void enableGenericArrays() {
    for (GLuint index = 0; index < kGenericAttributes; ++index) {
        if (genericArray(index).enabled) emscripten_glEnableVertexAttribArray(index);
    }
}

}  // namespace

extern "C" {

void glVertexPointer(GLint size, GLenum type, GLsizei stride, const void* pointer) {
    setPointer(GL_VERTEX_ARRAY, size, type, stride, pointer);
}

void glTexCoordPointer(GLint size, GLenum type, GLsizei stride, const void* pointer) {
    setPointer(GL_TEXTURE_COORD_ARRAY, size, type, stride, pointer);
}

void glColorPointer(GLint size, GLenum type, GLsizei stride, const void* pointer) {
    setPointer(GL_COLOR_ARRAY, size, type, stride, pointer);
}

void glNormalPointer(GLenum type, GLsizei stride, const void* pointer) {
    setPointer(GL_NORMAL_ARRAY, 3, type, stride, pointer);
}

void glClientActiveTexture(GLenum texture) {
    const int unit = static_cast<int>(texture) - GL_TEXTURE0;
    if (unit >= 0 && unit < kTextureUnits) clientArrays().activeUnit = unit;
    emscripten_glClientActiveTexture(texture);
}

void glEnableClientState(GLenum array) {
    if (ClientArray* a = clientArrays().of(array)) a->enabled = true;
    emscripten_glEnableClientState(array);
}

void glDisableClientState(GLenum array) {
    if (ClientArray* a = clientArrays().of(array)) a->enabled = false;
    emscripten_glDisableClientState(array);
}

// Between glBegin and glEnd the vertices are the emulation's own, not the arrays.
void glBegin(GLenum mode) {
    okuWebImmediateMode(1);
    emscripten_glBegin(mode);
}

void glEnd(void) {
    emscripten_glEnd();
    okuWebImmediateMode(0);
}

void glBindBuffer(GLenum target, GLuint buffer) {
    if (target == GL_ARRAY_BUFFER) clientArrays().arrayBuffer = buffer;
    emscripten_glBindBuffer(target, buffer);
}

// WebGL draws generic attributes from buffers only; one that points into memory
// is copied at each draw (below).
void glVertexAttribPointer(GLuint index, GLint size, GLenum type, GLboolean normalized, GLsizei stride,
                           const void* pointer) {
    if (index < kGenericAttributes) {
        GenericArray& a = genericArray(index);
        a.size = size, a.type = type, a.normalized = normalized, a.stride = stride, a.pointer = pointer;
        a.inMemory = clientArrays().arrayBuffer == 0;
        if (a.inMemory) return;
    }
    emscripten_glVertexAttribPointer(index, size, type, normalized, stride, pointer);
}

void glEnableVertexAttribArray(GLuint index) {
    if (index < kGenericAttributes) genericArray(index).enabled = true;
    emscripten_glEnableVertexAttribArray(index);
}

void glDisableVertexAttribArray(GLuint index) {
    if (index < kGenericAttributes) genericArray(index).enabled = false;
    emscripten_glDisableVertexAttribArray(index);
}

// Arrays in memory reach the emulation only as far as it copies them right (one
// interleaved block from the first vertex), and WebGL not at all for generic
// attributes: the drawn range of each goes into a buffer of its own first, drawn
// from vertex 0.
void glDrawArrays(GLenum mode, GLint first, GLsizei count) {
    enableGenericArrays();
    bool inMemory = false;
    forEachArrayInMemory([&](GLenum, ClientArray&, int) { inMemory = true; });
    for (GLuint index = 0; index < kGenericAttributes; ++index) {
        const GenericArray& a = genericArray(index);
        if (a.enabled && a.inMemory && a.pointer) inMemory = true;
    }
    if (!inMemory || first < 0 || count <= 0) {
        emscripten_glDrawArrays(mode, first, count);
        return;
    }
    ClientArrays& arrays = clientArrays();
    for (GLuint index = 0; index < kGenericAttributes; ++index) {
        GenericArray& a = genericArray(index);
        if (!a.enabled || !a.inMemory || !a.pointer) continue;
        streamRange(a.stream, a.pointer, a.size, a.type, a.stride, first, count);
        emscripten_glVertexAttribPointer(index, a.size, a.type, a.normalized, a.stride, nullptr);
    }
    const int unit = arrays.activeUnit;
    forEachArrayInMemory([&](GLenum array, ClientArray& a, int arrayUnit) {
        streamRange(a.stream, a.pointer, a.size, a.type, a.stride, first, count);
        if (arrayUnit >= 0) emscripten_glClientActiveTexture(GL_TEXTURE0 + arrayUnit);
        point(array, a, nullptr);
    });
    // A buffer stays bound for the draw, so the emulation reads the arrays from
    // buffers (each pointed at its own just before WebGL draws, gl_legacy_web.js).
    emscripten_glDrawArrays(mode, 0, count);
    // Back to what the program pointed at.
    forEachArrayInMemory([&](GLenum array, ClientArray& a, int arrayUnit) {
        if (arrayUnit >= 0) emscripten_glClientActiveTexture(GL_TEXTURE0 + arrayUnit);
        point(array, a, a.pointer);
    });
    emscripten_glClientActiveTexture(GL_TEXTURE0 + unit);
    emscripten_glBindBuffer(GL_ARRAY_BUFFER, arrays.arrayBuffer);
}

void glDrawElements(GLenum mode, GLsizei count, GLenum type, const void* indices) {
    enableGenericArrays();
    emscripten_glDrawElements(mode, count, type, indices);
}

// WebGL has no GL_CLAMP (edges blended with a border colour); clamping to the edge
// texel is as near as it comes.
void glTexParameteri(GLenum target, GLenum name, GLint value) {
    if ((name == GL_TEXTURE_WRAP_S || name == GL_TEXTURE_WRAP_T) && value == GL_CLAMP) value = GL_CLAMP_TO_EDGE;
    emscripten_glTexParameteri(target, name, value);
}

void glTexParameterf(GLenum target, GLenum name, GLfloat value) {
    if ((name == GL_TEXTURE_WRAP_S || name == GL_TEXTURE_WRAP_T) && value == static_cast<GLfloat>(GL_CLAMP)) {
        value = static_cast<GLfloat>(GL_CLAMP_TO_EDGE);
    }
    emscripten_glTexParameterf(target, name, value);
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

void gluPerspective(GLdouble fovy, GLdouble aspect, GLdouble zNear, GLdouble zFar) {
    const GLdouble ymax = zNear * std::tan(fovy * M_PI / 360.0);
    const GLdouble xmax = ymax * aspect;
    glFrustum(-xmax, xmax, -ymax, ymax, zNear, zFar);
}

void gluLookAt(GLdouble eyeX, GLdouble eyeY, GLdouble eyeZ, GLdouble centreX, GLdouble centreY, GLdouble centreZ,
               GLdouble upX, GLdouble upY, GLdouble upZ) {
    GLdouble f[3] = {centreX - eyeX, centreY - eyeY, centreZ - eyeZ};
    const auto normalise = [](GLdouble v[3]) {
        const GLdouble length = std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
        if (length > 0) v[0] /= length, v[1] /= length, v[2] /= length;
    };
    normalise(f);
    GLdouble side[3] = {f[1] * upZ - f[2] * upY, f[2] * upX - f[0] * upZ, f[0] * upY - f[1] * upX};
    normalise(side);
    const GLdouble up[3] = {side[1] * f[2] - side[2] * f[1], side[2] * f[0] - side[0] * f[2],
                            side[0] * f[1] - side[1] * f[0]};
    // Column by column: the rows are side, up and -forward.
    const GLdouble m[16] = {side[0], up[0], -f[0], 0, side[1], up[1], -f[1], 0,
                            side[2], up[2], -f[2], 0, 0,       0,     0,     1};
    glMultMatrixd(m);
    glTranslated(-eyeX, -eyeY, -eyeZ);
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
