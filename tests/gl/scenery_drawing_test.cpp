// The outdoor set's texture table and its two draws: what loadTextures makes of
// complete, incomplete and damaged data, the pixels drawScenery and drawSky
// produce, and the GL state they leave behind.
#include <gtest/gtest.h>

#include <GL/glew.h>

#include <cmath>
#include <string>
#include <vector>

#include "assets/mesh.h"
#include "scenes/outdoor/scenery.h"
#include "scenes/outdoor/scenery_model.h"
#include "support/capture.h"
#include "support/gl_test_context.h"
#include "support/outdoor_set_files.h"
#include "support/pixel_count.h"

namespace {

bool isWhite(const unsigned char* p) { return p[0] == 255 && p[1] == 255 && p[2] == 255; }
bool isDrawn(const unsigned char* p) { return p[0] || p[1] || p[2]; }

constexpr int kLeading = 2;
constexpr int kSlots = kLeading + sceneryGroupCount;

class SceneryDrawing : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(gl.ok()) << gl.error();
        glEnable(GL_DEPTH_TEST);
        glDepthFunc(GL_LESS);
        glCullFace(GL_BACK);
        glEnable(GL_CULL_FACE);
    }
    void TearDown() override {
        for (TgaImage& image : images) releasePixels(image);
    }

    // A view from above the south-west of the site, towards the planter.
    void lookAtTheSet() {
        glViewport(0, 0, 1024, 768);
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        gluPerspective(45.0, 1024.0 / 768.0, 1.0, 2000.0);
        gluLookAt(-40, 30, -60, 20, 5, 20, 0, 1, 0);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        glClearColor(0, 0, 0, 0);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    }

    GlTestContext gl;
    OutdoorSetDirectory files;
    TgaImage images[kSlots];
};

TEST_F(SceneryDrawing, LoadTexturesMakesEveryTableSlotATexture) {
    MessageBoxRecorder boxes;
    ASSERT_TRUE(loadTextures(images, kLeading));
    EXPECT_TRUE(boxes.boxes.empty());
    for (int slot = 0; slot < kSlots; ++slot) {
        EXPECT_NE(images[slot].textureId, 0u) << "slot " << slot;
        EXPECT_EQ(images[slot].pixels, nullptr) << "slot " << slot << " kept its pixels";
        EXPECT_TRUE(glIsTexture(images[slot].textureId)) << "slot " << slot;
    }
    // "Banana_T" serves groups 3 and 5: the same file, loaded twice into two textures.
    EXPECT_NE(images[kLeading + 3].textureId, images[kLeading + 5].textureId);
    EXPECT_EQ(images[kLeading + 3].width, images[kLeading + 5].width);
    // The sky's texture sits in slot 1.
    glBindTexture(GL_TEXTURE_2D, images[1].textureId);
    GLint width = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
    EXPECT_EQ(width, 1024);
}

TEST_F(SceneryDrawing, OneMissingTextureLeavesTheWholeTableUntexturedAfterOneMessage) {
    files.remove("textures/ulo.tga");
    MessageBoxRecorder boxes;
    EXPECT_FALSE(loadTextures(images, kLeading));
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].text, "Could not open texture file");
    for (int slot = 0; slot < kSlots; ++slot) {
        EXPECT_EQ(images[slot].textureId, 0u) << "slot " << slot;
        EXPECT_EQ(images[slot].pixels, nullptr) << "slot " << slot << " holds pixels no texture will use";
    }
    // The set is still drawn, untextured: white geometry over the clear colour.
    lookAtTheSet();
    drawScenery(images, kLeading);
    std::vector<unsigned char> pixels = gl.readPixels(0, 0, 1024, 768);
    EXPECT_GT(countPixels(pixels, isWhite), 1024 * 768 / 2);
}

TEST_F(SceneryDrawing, DrawSceneryLeavesWhiteTexturingOnAndTheArraysOff) {
    ASSERT_TRUE(loadTextures(images, kLeading));
    lookAtTheSet();
    glColor4f(0.2f, 0.3f, 0.4f, 0.5f);
    glDisable(GL_TEXTURE_2D);
    drawScenery(images, kLeading);
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
    GLfloat colour[4];
    glGetFloatv(GL_CURRENT_COLOR, colour);
    EXPECT_EQ(colour[0], 1.0f);
    EXPECT_EQ(colour[1], 1.0f);
    EXPECT_EQ(colour[2], 1.0f);
    EXPECT_EQ(colour[3], 1.0f);
    EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
    EXPECT_FALSE(glIsEnabled(GL_VERTEX_ARRAY));
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_COORD_ARRAY));
    GLint bound = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    EXPECT_EQ(GLuint(bound), images[kLeading + 9].textureId) << "the last group's texture stays bound";
    GLint mode = 0;
    glGetTexEnviv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, &mode);
    EXPECT_EQ(mode, GL_MODULATE);

    // Textured: the picture is the set's colours, not the untextured white.
    std::vector<unsigned char> pixels = gl.readPixels(0, 0, 1024, 768);
    const int white = countPixels(pixels, isWhite);
    const int covered = countPixels(pixels, isDrawn);
    EXPECT_EQ(white, 0);
    EXPECT_GT(covered, 1024 * 768 / 2);
}

TEST_F(SceneryDrawing, DrawSkyDrawsTheDomeAroundTheSiteAndKeepsTheColour) {
    ASSERT_TRUE(loadTextures(images, kLeading));
    Mesh sky(skyMeshFile);
    ASSERT_GT(sky.vertexCount, 0);
    // From the pool, every direction above and around meets the dome.
    glViewport(0, 0, 1024, 768);
    for (double heading : {0.0, 1.57, 3.14, 4.71}) {
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        gluPerspective(60.0, 1024.0 / 768.0, 1.0, 500.0);  // the water captures' far plane
        gluLookAt(0, 10, 0, 100 * std::cos(heading), 40, 100 * std::sin(heading), 0, 1, 0);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        glClearColor(0, 0, 0, 0);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glColor4f(1, 1, 1, 1);
        drawSky(&sky, images);
        std::vector<unsigned char> pixels = gl.readPixels(0, 0, 1024, 768);
        EXPECT_EQ(blackPixels(pixels, 8), 0) << "sky missing looking towards heading " << heading;
    }
    EXPECT_FALSE(glIsEnabled(GL_VERTEX_ARRAY));
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_COORD_ARRAY));
    EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
    GLint bound = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    EXPECT_EQ(GLuint(bound), images[1].textureId);
    // The current colour is left as it was: the sky is tinted by whatever came before.
    glColor4f(0.5f, 0.25f, 1.0f, 1.0f);
    drawSky(&sky, images);
    GLfloat colour[4];
    glGetFloatv(GL_CURRENT_COLOR, colour);
    EXPECT_EQ(colour[0], 0.5f);
    EXPECT_EQ(colour[1], 0.25f);
}

TEST_F(SceneryDrawing, MissingEmptyOrDamagedSkyDrawsNothingAndNothingBreaks) {
    ASSERT_TRUE(loadTextures(images, kLeading));
    LogCapture log;
    files.overwrite("mesh/empty.msh", "");
    files.overwrite("mesh/truncated.msh", "3\n0 1 2 3 0.5 0.5 0\n0 4 5");
    files.overwrite("mesh/badindex.msh", "1\n0 1 2 3 0 0 0\n1\n0 1 0\n1\n0 0 0 7 0 0 0 0\n");
    for (const char* path : {"./mesh/none.msh", "./mesh/empty.msh", "./mesh/truncated.msh", "./mesh/badindex.msh"}) {
        Mesh sky(path);
        EXPECT_EQ(sky.vertexCount, 0) << path;
        lookAtTheSet();
        drawSky(&sky, images);
        EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR)) << path;
        std::vector<unsigned char> pixels = gl.readPixels(0, 0, 1024, 768);
        EXPECT_EQ(countPixels(pixels, isDrawn), 0) << path;
        EXPECT_FALSE(glIsEnabled(GL_VERTEX_ARRAY));
    }
    drawSky(nullptr, images);
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

}  // namespace
