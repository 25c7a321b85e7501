#include "assets/render_target.h"

#include <GL/glew.h>
#include <GL/glu.h>

#include "platform/log/debug_log.h"

namespace {

// Without framebuffer objects (a driver that lacks them) there is nothing to bind:
// the target keeps name 0 and captures draw into the window.
bool haveFramebufferObjects() {
    return glGenFramebuffersEXT && glBindFramebufferEXT && glFramebufferTexture2DEXT && glCheckFramebufferStatusEXT &&
           glDeleteFramebuffersEXT;
}

void bindFramebuffer(unsigned name) {
    if (haveFramebufferObjects()) glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, name);
}

void createTexture(GLuint& name, GLint filter, GLint internalFormat, GLenum format, GLenum type, int width,
                   int height) {
    glGenTextures(1, &name);
    glBindTexture(GL_TEXTURE_2D, name);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, filter);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, filter);
    glTexImage2D(GL_TEXTURE_2D, 0, internalFormat, width, height, 0, format, type, nullptr);
}

void logIncomplete() {
    debugLog("%s\n", "!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!");
    debugLog("frame Buffer init incomplete!!!\n");
}

}  // namespace

RenderTarget::RenderTarget(int width_, int height_) : width(width_), height(height_) {
    const bool fbo = haveFramebufferObjects();
    GLuint name = 0;
    if (fbo) {
        glGenFramebuffersEXT(1, &name);
        frameBuffer = name;
        glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, frameBuffer);
    }
    GLuint depth = 0, color = 0;
    createTexture(depth, GL_NEAREST, GL_DEPTH_COMPONENT16, GL_DEPTH_COMPONENT, GL_FLOAT, width, height);
    depthTexture = depth;
    createTexture(color, GL_LINEAR, GL_RGBA8, GL_RGBA, GL_UNSIGNED_BYTE, width, height);
    colorTexture = color;
    if (!fbo) {
        logIncomplete();
        return;
    }
    glFramebufferTexture2DEXT(GL_FRAMEBUFFER_EXT, GL_COLOR_ATTACHMENT0_EXT, GL_TEXTURE_2D, colorTexture, 0);
    glFramebufferTexture2DEXT(GL_FRAMEBUFFER_EXT, GL_DEPTH_ATTACHMENT_EXT, GL_TEXTURE_2D, depthTexture, 0);
    if (glCheckFramebufferStatusEXT(GL_FRAMEBUFFER_EXT) != GL_FRAMEBUFFER_COMPLETE_EXT) logIncomplete();
    glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, 0);
}

void RenderTarget::release() {
    GLuint name = colorTexture;
    if (name) glDeleteTextures(1, &name);
    name = depthTexture;
    if (name) glDeleteTextures(1, &name);
    name = frameBuffer;
    if (name && haveFramebufferObjects()) glDeleteFramebuffersEXT(1, &name);
    colorTexture = depthTexture = frameBuffer = 0;
}

void RenderTarget::beginCapture(const Vec3& eye, const Vec3& centre, const Vec3& up) {
    bindFramebuffer(frameBuffer);
    glPushAttrib(GL_VIEWPORT_BIT);
    glViewport(0, 0, width, height);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LESS);
    glClearDepth(1.0);
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glDisable(GL_CULL_FACE);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    // The perspective goes into the modelview matrix too; the projection stays identity.
    const double aspect = height != 0 ? static_cast<double>(width) / static_cast<double>(height) : 1.0;
    gluPerspective(45.0, aspect, 1.0, 500.0);
    glViewport(0, 0, width, height);
    gluLookAt(eye.x, eye.y, eye.z, centre.x, centre.y, centre.z, up.x, up.y, up.z);
    glGetFloatv(GL_PROJECTION_MATRIX, projectionMatrix.m);
    glGetFloatv(GL_MODELVIEW_MATRIX, modelviewMatrix.m);
}

void RenderTarget::endCapture() {
    glPopAttrib();
    bindFramebuffer(0);
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

void RenderTarget::beginClippedCapture(const Vec3& eye, const Vec3& centre, const Vec3& up, double a, double b,
                                       double c, double d) {
    const double plane[4] = {a, b, c, d};
    beginClippedCapture(eye, centre, up, plane);
}

void RenderTarget::beginClippedCapture(const Vec3& eye, const Vec3& centre, const Vec3& up, const double plane[4]) {
    beginCapture(eye, centre, up);
    glMatrixMode(GL_MODELVIEW);
    glEnable(GL_CLIP_PLANE0);
    glClipPlane(GL_CLIP_PLANE0, plane);
}

void RenderTarget::endClippedCapture() {
    endCapture();
    glDisable(GL_CLIP_PLANE0);
}
