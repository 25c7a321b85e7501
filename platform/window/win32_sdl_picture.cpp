#include "platform/window/win32_sdl_picture.h"

#include <GL/glew.h>

namespace {

struct Picture {
    SDL_GLContext context = nullptr;
    GLuint frameBuffer = 0;
    GLuint colour = 0;
    GLuint depth = 0;
    int width = 0;
    int height = 0;
};

Picture picture;  // one full-screen window at a time
PFNGLBINDFRAMEBUFFEREXTPROC realBindFramebufferEXT = nullptr;
PFNGLBINDFRAMEBUFFERPROC realBindFramebuffer = nullptr;

bool isCurrent() { return picture.frameBuffer != 0 && SDL_GL_GetCurrentContext() == picture.context; }

GLuint routed(GLuint name) { return name == 0 && isCurrent() ? picture.frameBuffer : name; }

void GLAPIENTRY bindFramebufferEXTRouted(GLenum target, GLuint name) { realBindFramebufferEXT(target, routed(name)); }
void GLAPIENTRY bindFramebufferRouted(GLenum target, GLuint name) { realBindFramebuffer(target, routed(name)); }

// Binds without routing (the stand-in's own set-up and the present step).
void bindUnrouted(GLenum target, GLuint name) {
    if (realBindFramebuffer)
        realBindFramebuffer(target, name);
    else
        realBindFramebufferEXT(target, name);
}

void route() {
    if (glBindFramebufferEXT && glBindFramebufferEXT != bindFramebufferEXTRouted) {
        realBindFramebufferEXT = glBindFramebufferEXT;
        __glewBindFramebufferEXT = bindFramebufferEXTRouted;
    }
    if (glBindFramebuffer && glBindFramebuffer != bindFramebufferRouted) {
        realBindFramebuffer = glBindFramebuffer;
        __glewBindFramebuffer = bindFramebufferRouted;
    }
}

void unroute() {
    if (glBindFramebufferEXT == bindFramebufferEXTRouted) __glewBindFramebufferEXT = realBindFramebufferEXT;
    if (glBindFramebuffer == bindFramebufferRouted) __glewBindFramebuffer = realBindFramebuffer;
}

void blit(const PictureRect& to, GLenum filter) {
    const PFNGLBLITFRAMEBUFFERPROC blitFramebuffer = glBlitFramebuffer ? glBlitFramebuffer : glBlitFramebufferEXT;
    blitFramebuffer(0, 0, picture.width, picture.height, to.x, to.y, to.x + to.width, to.y + to.height,
                    GL_COLOR_BUFFER_BIT, filter);
}

}  // namespace

PictureRect pictureRectIn(int drawableWidth, int drawableHeight, int pictureWidth, int pictureHeight) {
    PictureRect rect{0, 0, drawableWidth, drawableHeight};
    const long long wide = static_cast<long long>(drawableWidth) * pictureHeight;
    const long long tall = static_cast<long long>(drawableHeight) * pictureWidth;
    if (wide > tall)
        rect.width = static_cast<int>((tall + pictureHeight / 2) / pictureHeight);
    else
        rect.height = static_cast<int>((wide + pictureWidth / 2) / pictureWidth);
    rect.x = (drawableWidth - rect.width) / 2;
    rect.y = (drawableHeight - rect.height) / 2;
    return rect;
}

bool startPictureFramebuffer(int width, int height) {
    SDL_GLContext context = SDL_GL_GetCurrentContext();
    if (!context) return false;
    if (picture.frameBuffer != 0 && picture.context == context) {
        route();
        return true;
    }
    const bool haveObjects = (glBindFramebufferEXT || glBindFramebuffer) && glGenFramebuffersEXT &&
                             glGenRenderbuffersEXT && glRenderbufferStorageEXT && glFramebufferRenderbufferEXT &&
                             glCheckFramebufferStatusEXT;
    if (!haveObjects || !(glBlitFramebuffer || glBlitFramebufferEXT)) return false;
    unroute();
    realBindFramebufferEXT = glBindFramebufferEXT;
    realBindFramebuffer = glBindFramebuffer;

    // The window's own depth buffer decides the stand-in's, so depth tests resolve alike.
    GLint depthBits = 0;
    glGetIntegerv(GL_DEPTH_BITS, &depthBits);
    const GLenum depthFormat = depthBits >= 32   ? GL_DEPTH_COMPONENT32
                               : depthBits >= 24 ? GL_DEPTH_COMPONENT24
                                                 : GL_DEPTH_COMPONENT16;
    GLint previousRenderbuffer = 0;
    glGetIntegerv(GL_RENDERBUFFER_BINDING_EXT, &previousRenderbuffer);

    Picture made;
    made.context = context;
    made.width = width;
    made.height = height;
    glGenFramebuffersEXT(1, &made.frameBuffer);
    glGenRenderbuffersEXT(1, &made.colour);
    glGenRenderbuffersEXT(1, &made.depth);
    bindUnrouted(GL_FRAMEBUFFER_EXT, made.frameBuffer);
    glBindRenderbufferEXT(GL_RENDERBUFFER_EXT, made.colour);
    glRenderbufferStorageEXT(GL_RENDERBUFFER_EXT, GL_RGBA8, width, height);
    glFramebufferRenderbufferEXT(GL_FRAMEBUFFER_EXT, GL_COLOR_ATTACHMENT0_EXT, GL_RENDERBUFFER_EXT, made.colour);
    if (depthBits > 0) {
        glBindRenderbufferEXT(GL_RENDERBUFFER_EXT, made.depth);
        glRenderbufferStorageEXT(GL_RENDERBUFFER_EXT, depthFormat, width, height);
        glFramebufferRenderbufferEXT(GL_FRAMEBUFFER_EXT, GL_DEPTH_ATTACHMENT_EXT, GL_RENDERBUFFER_EXT, made.depth);
    }
    glBindRenderbufferEXT(GL_RENDERBUFFER_EXT, static_cast<GLuint>(previousRenderbuffer));
    const bool complete = glCheckFramebufferStatusEXT(GL_FRAMEBUFFER_EXT) == GL_FRAMEBUFFER_COMPLETE_EXT;
    if (!complete) {
        bindUnrouted(GL_FRAMEBUFFER_EXT, 0);
        glDeleteFramebuffersEXT(1, &made.frameBuffer);
        glDeleteRenderbuffersEXT(1, &made.colour);
        glDeleteRenderbuffersEXT(1, &made.depth);
        return false;
    }
    picture = made;
    route();
    return true;
}

void presentPicture(int drawableWidth, int drawableHeight) {
    if (!isCurrent() || drawableWidth < 1 || drawableHeight < 1) return;
    GLint drawBinding = 0, readBinding = 0;
    glGetIntegerv(GL_DRAW_FRAMEBUFFER_BINDING, &drawBinding);
    glGetIntegerv(GL_READ_FRAMEBUFFER_BINDING, &readBinding);
    const GLboolean scissor = glIsEnabled(GL_SCISSOR_TEST);
    GLboolean writeMask[4];
    GLfloat clearColour[4];
    glGetBooleanv(GL_COLOR_WRITEMASK, writeMask);
    glGetFloatv(GL_COLOR_CLEAR_VALUE, clearColour);

    glDisable(GL_SCISSOR_TEST);
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    bindUnrouted(GL_DRAW_FRAMEBUFFER, 0);
    bindUnrouted(GL_READ_FRAMEBUFFER, picture.frameBuffer);
    const PictureRect rect = pictureRectIn(drawableWidth, drawableHeight, picture.width, picture.height);
    if (rect.width != drawableWidth || rect.height != drawableHeight) {
        glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT);
    }
    const bool sameSize = rect.width == picture.width && rect.height == picture.height;
    blit(rect, sameSize ? GL_NEAREST : GL_LINEAR);

    glClearColor(clearColour[0], clearColour[1], clearColour[2], clearColour[3]);
    glColorMask(writeMask[0], writeMask[1], writeMask[2], writeMask[3]);
    if (scissor) glEnable(GL_SCISSOR_TEST);
    bindUnrouted(GL_DRAW_FRAMEBUFFER, static_cast<GLuint>(drawBinding));
    bindUnrouted(GL_READ_FRAMEBUFFER, static_cast<GLuint>(readBinding));
}

void forgetPictureFramebuffer(SDL_GLContext context) {
    if (picture.frameBuffer == 0 || picture.context != context) return;
    unroute();
    picture = Picture{};
}
