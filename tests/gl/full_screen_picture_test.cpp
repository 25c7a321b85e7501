// The full-screen picture: what binds framebuffer 0 draws into a 1024 x 768 stand-in, and each present shows it
// in the largest centred 4:3 rectangle of the drawable, black around it, leaving the GL state as it was.
#include <gtest/gtest.h>

#include <SDL.h>

#include <cstdlib>
#include <vector>

#include "platform/window/win32_sdl_picture.h"
#include "support/gl_test_context.h"

namespace {

constexpr int pictureWidth = 1024, pictureHeight = 768;

// Red and green rise across and up the picture (so positions can be read back from
// colours); blue is noise, which any filtering would change.
std::vector<unsigned char> testPicture() {
    std::vector<unsigned char> rgba(static_cast<size_t>(pictureWidth) * pictureHeight * 4);
    unsigned state = 7;
    for (int y = 0; y < pictureHeight; ++y)
        for (int x = 0; x < pictureWidth; ++x) {
            unsigned char* p = &rgba[(static_cast<size_t>(y) * pictureWidth + x) * 4];
            state = state * 1103515245u + 12345u;
            p[0] = static_cast<unsigned char>(x / 4);
            p[1] = static_cast<unsigned char>(y / 3);
            p[2] = static_cast<unsigned char>(state >> 24);
            p[3] = 255;
        }
    return rgba;
}

struct DrawableCase {
    int width, height;
    int x, y, pictureShownWidth, pictureShownHeight;  // where the picture must be shown
};

class FullScreenPicture : public ::testing::TestWithParam<DrawableCase> {};

TEST_P(FullScreenPicture, ShowsThePictureCentredInTheLargest4By3RectangleAndLeavesTheStateAsItWas) {
    const DrawableCase c = GetParam();
    GlTestContext context(c.width, c.height);
    ASSERT_TRUE(context.ok()) << context.error();
    const GLint windowDepthBits = glInteger(GL_DEPTH_BITS);
    ASSERT_TRUE(startPictureFramebuffer(pictureWidth, pictureHeight));

    // Drawn as a scene would: framebuffer 0, a 1024 x 768 viewport.
    glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, 0);
    const GLint standIn = glInteger(GL_FRAMEBUFFER_BINDING_EXT);
    EXPECT_NE(standIn, 0) << "framebuffer 0 reaches the picture";
    EXPECT_EQ(glInteger(GL_DEPTH_BITS), windowDepthBits);
    glViewport(0, 0, pictureWidth, pictureHeight);
    glWindowPos2i(0, 0);
    const std::vector<unsigned char> drawn = testPicture();
    glDrawPixels(pictureWidth, pictureHeight, GL_RGBA, GL_UNSIGNED_BYTE, drawn.data());
    const std::vector<unsigned char> picture = context.readPixels(0, 0, pictureWidth, pictureHeight);
    ASSERT_EQ(picture, drawn);

    presentPicture(c.width, c.height);
    EXPECT_EQ(glInteger(GL_FRAMEBUFFER_BINDING_EXT), standIn);
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[2] * 1000 + viewport[3], pictureWidth * 1000 + pictureHeight);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));

    // The window's own back buffer, read with the routing taken away.
    forgetPictureFramebuffer(SDL_GL_GetCurrentContext());
    glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, 0);
    const std::vector<unsigned char> screen = context.readPixels(0, 0, c.width, c.height);
    if (c.width == pictureWidth && c.height == pictureHeight) {
        EXPECT_EQ(screen, picture) << "a drawable of the picture's size shows its pixels as they are";
        return;
    }
    auto at = [&](int x, int y) { return &screen[(static_cast<size_t>(y) * c.width + x) * 4]; };
    int misplaced = 0, lit = 0;
    for (int y = 0; y < c.height; y += 3)
        for (int x = 0; x < c.width; x += 3) {
            const unsigned char* p = at(x, y);
            const bool inside = x >= c.x && x < c.x + c.pictureShownWidth && y >= c.y && y < c.y + c.pictureShownHeight;
            if (!inside) {
                lit += p[0] + p[1] + p[2] != 0;
                continue;
            }
            // The picture's texel under this screen pixel, from its rise in red and green.
            const double u = (x - c.x + 0.5) * pictureWidth / c.pictureShownWidth;
            const double v = (y - c.y + 0.5) * pictureHeight / c.pictureShownHeight;
            if (std::abs(p[0] - u / 4) > 2.0 || std::abs(p[1] - v / 3) > 2.0) ++misplaced;
        }
    EXPECT_EQ(lit, 0) << "the bars are black";
    EXPECT_EQ(misplaced, 0) << "the picture is scaled into its rectangle";
}

INSTANTIATE_TEST_SUITE_P(Drawables, FullScreenPicture,
                         ::testing::Values(DrawableCase{1920, 1080, 240, 0, 1440, 1080},
                                           DrawableCase{1280, 1024, 0, 32, 1280, 960},
                                           DrawableCase{1024, 768, 0, 0, 1024, 768}),
                         [](const auto& info) {
                             return std::to_string(info.param.width) + "x" + std::to_string(info.param.height);
                         });

}  // namespace
