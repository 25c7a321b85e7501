// A hidden 1024 x 768 window with a compatibility-profile OpenGL context and GLEW
// initialised, for tests that render and read pixels back. Needs an X display
// (the test command starts Xvfb). One context per test fixture.
#pragma once

#include <GL/glew.h>

#include <string>
#include <vector>

struct SDL_Window;

// One integer of GL state (glGetIntegerv), for comparing state in assertions.
GLint glInteger(GLenum name);

class GlTestContext {
public:
    explicit GlTestContext(int width = 1024, int height = 768);
    ~GlTestContext();
    GlTestContext(const GlTestContext&) = delete;
    GlTestContext& operator=(const GlTestContext&) = delete;

    bool ok() const { return context_ != nullptr; }
    const std::string& error() const { return error_; }
    void swap();

    // Reads the back buffer (or the bound framebuffer) as RGBA rows, bottom row first.
    std::vector<unsigned char> readPixels(int x, int y, int width, int height) const;

private:
    SDL_Window* window_ = nullptr;
    void* context_ = nullptr;
    std::string error_;
};
