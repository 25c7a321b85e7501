#include "support/gl_test_context.h"

#include <SDL.h>

GlTestContext::GlTestContext(int width, int height) {
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
        error_ = SDL_GetError();
        return;
    }
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_COMPATIBILITY);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    SDL_GL_SetAttribute(SDL_GL_RED_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_ALPHA_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 24);
    window_ = SDL_CreateWindow("test", 0, 0, width, height, SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
    if (!window_) {
        error_ = SDL_GetError();
        return;
    }
    context_ = SDL_GL_CreateContext(window_);
    if (!context_) {
        error_ = SDL_GetError();
        return;
    }
    glewExperimental = GL_TRUE;
    GLenum status = glewInit();
    // SDL sometimes makes an EGL context on X11; GLEW's GLX part then finds no GLX
    // display although every GL entry point is loaded.
    if (status != GLEW_OK && status != GLEW_ERROR_NO_GLX_DISPLAY) {
        error_ = reinterpret_cast<const char*>(glewGetErrorString(status));
        SDL_GL_DeleteContext(context_);
        context_ = nullptr;
    }
    glGetError();
}

GlTestContext::~GlTestContext() {
    if (context_) SDL_GL_DeleteContext(context_);
    if (window_) SDL_DestroyWindow(window_);
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
}

void GlTestContext::swap() {
    if (window_) SDL_GL_SwapWindow(window_);
}

std::vector<unsigned char> GlTestContext::readPixels(int x, int y, int width, int height) const {
    std::vector<unsigned char> pixels(static_cast<size_t>(width) * height * 4);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(x, y, width, height, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    return pixels;
}
