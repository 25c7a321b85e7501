// Render targets: the framebuffer and its textures, release, and the view and GL state a capture leaves.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "assets/render_target.h"
#include "support/capture.h"
#include "support/gl_test_context.h"
#include "support/test_output.h"

namespace {

using Bytes = std::vector<unsigned char>;

class RenderTargetTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(gl.ok()) << gl.error(); }

    static GLint textureParameter(GLuint texture, GLenum name, bool level = false) {
        glBindTexture(GL_TEXTURE_2D, texture);
        GLint value = 0;
        if (level) {
            glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, name, &value);
        } else {
            glGetTexParameteriv(GL_TEXTURE_2D, name, &value);
        }
        return value;
    }

    // The colour texture's texels, bottom row first.
    static Bytes texels(const RenderTarget& target) {
        Bytes pixels(static_cast<size_t>(target.width) * target.height * 4);
        glBindTexture(GL_TEXTURE_2D, target.colorTexture);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
        return pixels;
    }

    static const unsigned char* texel(const Bytes& pixels, const RenderTarget& target, int x, int y) {
        return &pixels[(static_cast<size_t>(y) * target.width + x) * 4];
    }

    // Fills the window with a colour and a near depth, so that a clear shows.
    static void dirtyTheWindow() {
        glClearColor(0.2f, 0.4f, 0.6f, 1.0f);
        glClearDepth(0.25);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glClearDepth(1.0);
    }

    // A green quad of half-size `half` in the plane z = 0.
    static void drawQuad(float half) {
        glColor4f(0.0f, 1.0f, 0.0f, 1.0f);
        glBegin(GL_QUADS);
        glVertex3f(-half, -half, 0.0f);
        glVertex3f(half, -half, 0.0f);
        glVertex3f(half, half, 0.0f);
        glVertex3f(-half, half, 0.0f);
        glEnd();
    }

    GlTestContext gl;
    LogCapture log;
};

TEST_F(RenderTargetTest, CreatesACompleteFramebufferWithClampedSingleLevelTextures) {
    RenderTarget target(800, 600);
    EXPECT_EQ(target.width, 800);
    EXPECT_EQ(target.height, 600);
    ASSERT_NE(target.frameBuffer, 0u);
    ASSERT_NE(target.colorTexture, 0u);
    ASSERT_NE(target.depthTexture, 0u);
    EXPECT_EQ(glInteger(GL_FRAMEBUFFER_BINDING_EXT), 0);
    EXPECT_EQ(static_cast<GLuint>(glInteger(GL_TEXTURE_BINDING_2D)), target.colorTexture) << "left bound";
    EXPECT_TRUE(log.lines.empty()) << "a complete framebuffer logs nothing";

    EXPECT_EQ(textureParameter(target.colorTexture, GL_TEXTURE_INTERNAL_FORMAT, true), GL_RGBA8);
    EXPECT_EQ(textureParameter(target.colorTexture, GL_TEXTURE_WIDTH, true), 800);
    EXPECT_EQ(textureParameter(target.colorTexture, GL_TEXTURE_MIN_FILTER), GL_LINEAR);
    EXPECT_EQ(textureParameter(target.colorTexture, GL_TEXTURE_MAG_FILTER), GL_LINEAR);
    EXPECT_EQ(textureParameter(target.colorTexture, GL_TEXTURE_WRAP_S), GL_CLAMP);
    EXPECT_EQ(textureParameter(target.depthTexture, GL_TEXTURE_INTERNAL_FORMAT, true), GL_DEPTH_COMPONENT16);
    EXPECT_EQ(textureParameter(target.depthTexture, GL_TEXTURE_HEIGHT, true), 600);
    EXPECT_EQ(textureParameter(target.depthTexture, GL_TEXTURE_MIN_FILTER), GL_NEAREST);
    EXPECT_EQ(textureParameter(target.depthTexture, GL_TEXTURE_WRAP_T), GL_CLAMP);

    glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, target.frameBuffer);
    EXPECT_EQ(glCheckFramebufferStatusEXT(GL_FRAMEBUFFER_EXT), static_cast<GLenum>(GL_FRAMEBUFFER_COMPLETE_EXT));
    glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, 0);

    target.release();
    EXPECT_EQ(target.colorTexture, 0u);
    target.release();  // harmless twice
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(RenderTargetTest, ReleaseDeletesItsObjects) {
    RenderTarget target(64, 48);
    GLuint color = target.colorTexture, depth = target.depthTexture, frame = target.frameBuffer;
    target.release();
    EXPECT_FALSE(glIsTexture(color));
    EXPECT_FALSE(glIsTexture(depth));
    EXPECT_FALSE(glIsFramebufferEXT(frame));
}

TEST_F(RenderTargetTest, ACaptureDrawsIntoTheTargetAndLeavesTheStateItPromises) {
    RenderTarget target(1024, 768);
    glViewport(5, 6, 300, 200);
    glEnable(GL_CULL_FACE);
    glDisable(GL_DEPTH_TEST);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(-1, 1, -1, 1, -1, 1);
    dirtyTheWindow();

    target.beginCapture(Vec3(0, 0, 10), Vec3(0, 0, 0), Vec3(0, 1, 0));
    EXPECT_EQ(static_cast<GLuint>(glInteger(GL_FRAMEBUFFER_BINDING_EXT)), target.frameBuffer);
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[2], 1024);
    EXPECT_EQ(viewport[3], 768);
    EXPECT_EQ(glInteger(GL_MATRIX_MODE), GL_MODELVIEW);
    drawQuad(1.0f);
    target.endCapture();

    // The window: cleared to (0, 0, 0, 0) and depth 1.
    Bytes window = gl.readPixels(0, 0, 8, 8);
    EXPECT_EQ(Bytes(window.begin(), window.begin() + 4), (Bytes{0, 0, 0, 0}));
    float depth = 0;
    glReadPixels(3, 3, 1, 1, GL_DEPTH_COMPONENT, GL_FLOAT, &depth);
    EXPECT_EQ(depth, 1.0f);
    // The state after the capture.
    EXPECT_EQ(glInteger(GL_FRAMEBUFFER_BINDING_EXT), 0);
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[0], 5);
    EXPECT_EQ(viewport[1], 6);
    EXPECT_EQ(viewport[2], 300);
    EXPECT_EQ(viewport[3], 200);
    EXPECT_FALSE(glIsEnabled(GL_CULL_FACE));
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_EQ(glInteger(GL_DEPTH_FUNC), GL_LESS);
    EXPECT_EQ(glInteger(GL_ATTRIB_STACK_DEPTH), 0);
    float projection[16], modelview[16];
    glGetFloatv(GL_PROJECTION_MATRIX, projection);
    glGetFloatv(GL_MODELVIEW_MATRIX, modelview);
    for (int i = 0; i < 16; ++i) {
        EXPECT_EQ(projection[i], Matrix4().m[i]) << i;
        EXPECT_EQ(target.projectionMatrix.m[i], Matrix4().m[i]) << i;
        EXPECT_EQ(modelview[i], target.modelviewMatrix.m[i]) << i;
    }

    // The modelview holds the whole view: 45 degrees, aspect 4:3, near 1, far 500,
    // looking from z = 10 at the origin.
    const float* m = target.modelviewMatrix.m;
    const float focal = 1.0f / std::tan(22.5f * 3.14159265f / 180.0f);
    EXPECT_NEAR(m[0], focal * 0.75f, 1e-5f);
    EXPECT_NEAR(m[5], focal, 1e-5f);
    EXPECT_NEAR(m[11], -1.0f, 1e-6f);
    const float n = 1.0f, f = 500.0f;
    EXPECT_NEAR(m[10], -(f + n) / (f - n), 1e-5f);
    EXPECT_NEAR(m[14], (f + n) / (f - n) * 10.0f - 2.0f * f * n / (f - n), 1e-3f) << "z of the eye at 10";
    EXPECT_NEAR(m[15], 10.0f, 1e-5f);

    // The quad (2 x 2 units at distance 10) covers the middle of the target.
    Bytes pixels = texels(target);
    EXPECT_EQ(Bytes(texel(pixels, target, 512, 384), texel(pixels, target, 512, 384) + 4), (Bytes{0, 255, 0, 255}));
    EXPECT_EQ(Bytes(texel(pixels, target, 10, 10), texel(pixels, target, 10, 10) + 4), (Bytes{0, 0, 0, 0}));
    const int halfWidth = static_cast<int>(std::lround(1.0f / 10.0f * focal * 0.75f * 512));
    EXPECT_EQ(texel(pixels, target, 512 + halfWidth - 2, 384)[1], 255);
    EXPECT_EQ(texel(pixels, target, 512 + halfWidth + 2, 384)[1], 0);
    target.release();
}

TEST_F(RenderTargetTest, TheCaptureViewFollowsTheEyeAndIsTheSameForEveryFourByThreeTarget) {
    RenderTarget reflection(800, 600), refraction(1024, 768);
    reflection.beginCapture(Vec3(3, 4, 5), Vec3(0, 0, 0), Vec3(0, 1, 0));
    reflection.endCapture();
    refraction.beginCapture(Vec3(3, 4, 5), Vec3(0, 0, 0), Vec3(0, 1, 0));
    refraction.endCapture();
    for (int i = 0; i < 16; ++i) EXPECT_EQ(reflection.modelviewMatrix.m[i], refraction.modelviewMatrix.m[i]);
    Matrix4 before = refraction.modelviewMatrix;
    refraction.beginCapture(Vec3(3, -4, 5), Vec3(0, 0, 0), Vec3(0, -1, 0));
    refraction.endCapture();
    int differing = 0;
    for (int i = 0; i < 16; ++i) differing += before.m[i] != refraction.modelviewMatrix.m[i];
    EXPECT_GT(differing, 0);
    reflection.release();
    refraction.release();
}

TEST_F(RenderTargetTest, AClippedCaptureKeepsOnlyThePositiveHalfSpace) {
    RenderTarget target(200, 150);
    const double keepPositiveX[4] = {1.0, 0.0, 0.0, 0.0};
    target.beginClippedCapture(Vec3(0, 0, 10), Vec3(0, 0, 0), Vec3(0, 1, 0), keepPositiveX);
    EXPECT_TRUE(glIsEnabled(GL_CLIP_PLANE0));
    drawQuad(3.0f);  // through the plane x = 0
    target.endClippedCapture();
    EXPECT_FALSE(glIsEnabled(GL_CLIP_PLANE0));

    Bytes pixels = texels(target);
    writePng(testOutputDir() + "render_target_clipped.png", target.width, target.height, pixels);
    for (int y : {40, 75, 110}) {
        EXPECT_EQ(texel(pixels, target, 60, y)[1], 0) << "x < 0 is clipped away";
        EXPECT_EQ(texel(pixels, target, 98, y)[1], 0);
        EXPECT_EQ(texel(pixels, target, 102, y)[1], 255) << "x > 0 is kept";
        EXPECT_EQ(texel(pixels, target, 140, y)[1], 255);
    }

    // The plane is in world coordinates: the same plane from a viewpoint behind the
    // quad keeps the half that is now on the left of the picture.
    target.beginClippedCapture(Vec3(0, 0, -10), Vec3(0, 0, 0), Vec3(0, 1, 0), 1.0, 0.0, 0.0, 0.0);
    drawQuad(3.0f);
    target.endClippedCapture();
    pixels = texels(target);
    EXPECT_EQ(texel(pixels, target, 60, 75)[1], 255);
    EXPECT_EQ(texel(pixels, target, 140, 75)[1], 0);
    target.release();
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

}  // namespace
