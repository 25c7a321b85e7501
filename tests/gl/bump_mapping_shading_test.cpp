// The indoor scene's shading, drawn by the scene itself through the shader runtime on Mesa: tangent-space bump lighting, the view depth in alpha, the depth-of-field filter, and preview frames along the paths.
#include <gtest/gtest.h>

#include <GL/glew.h>
#include <GL/glu.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "assets/render_target.h"
#include "assets/tga_image.h"
#include "platform/clock/tick_count.h"
#include "assets/solid_texture.h"
#include "scenes/indoor/bump_mapping.h"
#include "scenes/indoor/model.h"
#include "shell/demo_app.h"
#include "support/gl_test_context.h"
#include "support/indoor_paths.h"
#include "support/test_output.h"

namespace {

const float kDepthRange = 500.0f;  // the view depth that "Cg/dofbump.cg" maps to alpha 1

struct Camera {
    float eye[3], target[3];
};

// The scene camera's view of a fixed eye and target: 45 degrees, square, near 1,
// far 2000, the look-at on the projection stack, a 1024 x 1024 viewport and the
// modelview left at identity.
void applyCamera(const Camera& c) {
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(45.0, 1.0, 1.0, 2000.0);
    glViewport(0, 0, 1024, 1024);
    gluLookAt(c.eye[0], c.eye[1], c.eye[2], c.target[0], c.target[1], c.target[2], 0, 1, 0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}

// One scene, set up by its own init() with the shell's shader context, for each
// suite; the clock is driven by the test.
class DofBump : public ::testing::Test {
protected:
    // One GL context for the whole program, kept until exit: creating and dropping
    // one per test makes SDL's X11 back end fail now and then, and dropping the
    // last one unloads the GL driver, whose leftover allocations then can no
    // longer be told apart from ours by the leak checker.
    static void SetUpTestSuite() {
        static GlTestContext* shared = new GlTestContext();
        context = shared;
        if (!context->ok()) return;
        now = 0;
        setTickSource([] { return now; });
        demoApp.cgContext = cgCreateContext();
        scene = new BumpMapping(&demoApp.input, nullptr);
        sceneReady = scene->init();
        screen = new RenderTarget(1024, 768);
    }
    static void TearDownTestSuite() {
        if (screen) screen->release();
        delete screen;
        screen = nullptr;
        if (scene) scene->cleanup();
        delete scene;
        scene = nullptr;
        cgDestroyContext(demoApp.cgContext);
        demoApp.cgContext = nullptr;
        setTickSource(nullptr);
    }

    void SetUp() override {
        ASSERT_TRUE(context->ok()) << context->error();
        ASSERT_TRUE(sceneReady);
        ASSERT_NE(scene->lighting.vertexProgram, nullptr) << "Cg/dofbump.cg vertex1 missing from the run directory";
        ASSERT_NE(scene->lighting.fragmentProgram, nullptr) << "fragment1";
        ASSERT_NE(scene->dofFragmentProgram, nullptr) << "fragment2";
    }

    // Pass 2 over the scene's pass-1 picture into the 1024 x 768 "window" with the
    // camera's square viewport, the vertex stage fixed function as after pass 1.
    void filter(float focus) {
        cgGLDisableProfile(scene->lighting.vertexProfile);
        glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, screen->frameBuffer);
        glViewport(0, 0, 1024, 1024);
        scene->drawDepthOfField(focus);
        glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, 0);
    }

    std::vector<unsigned char> read(GLuint framebuffer, int x, int y, int w, int h) {
        glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, framebuffer);
        std::vector<unsigned char> pixels = context->readPixels(x, y, w, h);
        glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, 0);
        return pixels;
    }

    static GlTestContext* context;
    static BumpMapping* scene;
    static bool sceneReady;
    static RenderTarget* screen;
    static uint32_t now;
};

GlTestContext* DofBump::context = nullptr;
BumpMapping* DofBump::scene = nullptr;
bool DofBump::sceneReady = false;
RenderTarget* DofBump::screen = nullptr;
uint32_t DofBump::now = 0;

TEST_F(DofBump, EntriesExposeTheParametersTheSceneSets) {
    for (const char* name : {"position", "texCoord", "normal", "tangent"})
        EXPECT_NE(scene->lighting.vertexParameter(name), nullptr) << name;
    for (const char* name : {"lightPos", "MV", "P"}) EXPECT_NE(scene->lighting.vertexParameter(name), nullptr) << name;
    for (const char* name : {"BaseTexture", "NormalTexture"})
        EXPECT_NE(scene->lighting.fragmentParameter(name), nullptr) << name;
    for (const char* name : {"BaseTexture", "FocusPlane", "FilterTabs"})
        EXPECT_NE(cgGetNamedParameter(scene->dofFragmentProgram, name), nullptr) << name;
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

// A flat square of floor (normal +y, tangent +x, v growing with z like the
// floor plate) seen from straight above, lit from one side.
struct FloorSquare {
    float positions[18], normals[18], tangents[18], texCoords[12];
    FloorSquare() {
        const float corners[6][2] = {{-20, -20}, {-20, 20}, {20, -20}, {-20, 20}, {20, 20}, {20, -20}};
        for (int i = 0; i < 6; ++i) {
            positions[3 * i] = corners[i][0], positions[3 * i + 1] = 0, positions[3 * i + 2] = corners[i][1];
            normals[3 * i] = 0, normals[3 * i + 1] = 1, normals[3 * i + 2] = 0;
            tangents[3 * i] = 1, tangents[3 * i + 1] = 0, tangents[3 * i + 2] = 0;
            texCoords[2 * i] = (corners[i][0] + 20) / 40, texCoords[2 * i + 1] = (corners[i][1] + 20) / 40;
        }
    }
};

class DofBumpLighting : public DofBump {
protected:
    // Points the scene's vertex inputs at other arrays (the scene binds them once).
    static void feed(const float* positions, const float* normals, const float* tangents, const float* texCoords) {
        cgGLSetParameterPointer(scene->positionParameter, 3, GL_FLOAT, 0, positions);
        cgGLSetParameterPointer(scene->normalParameter, 3, GL_FLOAT, 0, normals);
        cgGLSetParameterPointer(scene->tangentParameter, 3, GL_FLOAT, 0, tangents);
        cgGLSetParameterPointer(scene->texCoordParameter, 2, GL_FLOAT, 0, texCoords);
    }

    std::vector<unsigned char> centre(const unsigned char bump[3], const float light[3]) {
        FloorSquare square;
        GLuint base = createSolidTexture(180, 180, 180, 0);
        GLuint normalMap = createSolidTexture(bump[0], bump[1], bump[2]);
        applyCamera({{0, 60, 0.001f}, {0, 0, 0}});
        feed(square.positions, square.normals, square.tangents, square.texCoords);
        scene->beginModelPass(light);
        scene->drawPart(base, normalMap, 0, 2);
        scene->endModelPass();
        feed(modelPositions, modelNormals, modelTangents, modelTexCoords);
        glDeleteTextures(1, &base);
        glDeleteTextures(1, &normalMap);
        // The square's centre is the square view's centre: row 512 of the
        // 1024-row view, which the 768-row target holds.
        return read(scene->frameBuffer, 512, 512, 1, 1);
    }
};

TEST_F(DofBumpLighting, NormalMapTiltsTheReliefAlongUAndV) {
    const unsigned char flat[3] = {128, 128, 255};
    const unsigned char towardsU[3] = {218, 128, 218};  // normal leaning to +u (+x on the floor)
    const unsigned char towardsV[3] = {128, 218, 218};  // normal leaning to +v (+z on the floor)
    const float lightPlusX[3] = {40, 30, 0}, lightMinusX[3] = {-40, 30, 0};
    const float lightPlusZ[3] = {0, 30, 40}, lightMinusZ[3] = {0, 30, -40};

    auto flatPlus = centre(flat, lightPlusX), flatMinus = centre(flat, lightMinusX);
    EXPECT_NEAR(flatPlus[0], flatMinus[0], 2) << "a flat normal map lights both sides alike";
    EXPECT_GT(flatPlus[0], 20);

    EXPECT_GT(centre(towardsU, lightPlusX)[0], centre(towardsU, lightMinusX)[0] + 20);
    EXPECT_GT(centre(towardsV, lightPlusZ)[0], centre(towardsV, lightMinusZ)[0] + 20);
    EXPECT_NEAR(centre(towardsU, lightPlusZ)[0], centre(towardsU, lightMinusZ)[0], 2);
}

TEST_F(DofBumpLighting, NearerLightIsBrighterAndAlphaCarriesTheViewDepth) {
    const unsigned char flat[3] = {128, 128, 255};
    const float nearLight[3] = {0, 20, 0}, farLight[3] = {0, 250, 0};
    auto lit = centre(flat, nearLight);
    EXPECT_GT(lit[0], centre(flat, farLight)[0] + 20);
    // Seen from 60 units straight above: depth 60 of 500.
    EXPECT_NEAR(lit[3], 60.0 / kDepthRange * 255, 1.5);
}

// Pass-1 pictures made by hand, colour and depth per texel, written into the
// scene's off-screen colour texture.
class DofBumpFilter : public DofBump {
protected:
    void picture(const std::function<void(int x, int y, unsigned char* rgba)>& paint) {
        std::vector<unsigned char> pixels(1024 * 768 * 4);
        for (int y = 0; y < 768; ++y)
            for (int x = 0; x < 1024; ++x) paint(x, y, &pixels[(size_t(y) * 1024 + x) * 4]);
        glBindTexture(GL_TEXTURE_2D, scene->colorTexture);
        glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, 1024, 768, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    }
    static unsigned char depthByte(float depth) { return (unsigned char)std::lround(depth / kDepthRange * 255); }
};

// Window row r shows picture row 0.75 r: read the "window" in picture texels.
double spread(const std::vector<unsigned char>& rgba) {
    double mean = 0, square = 0;
    size_t n = rgba.size() / 4;
    for (size_t i = 0; i < n; ++i) mean += rgba[4 * i];
    mean /= n;
    for (size_t i = 0; i < n; ++i) square += (rgba[4 * i] - mean) * (rgba[4 * i] - mean);
    return std::sqrt(square / n);
}

TEST_F(DofBumpFilter, SharpAtTheFocusPlaneBlurredAwayFromIt) {
    // A fine checkerboard everywhere, 300 units away.
    picture([](int x, int y, unsigned char* p) {
        unsigned char c = ((x / 2 + y / 2) & 1) ? 230 : 20;
        p[0] = p[1] = p[2] = c;
        p[3] = depthByte(300);
    });
    filter(300.0f);
    auto sharp = read(screen->frameBuffer, 300, 200, 64, 64);
    filter(60.0f);
    auto blurred = read(screen->frameBuffer, 300, 200, 64, 64);
    EXPECT_GT(spread(sharp), 80.0) << "in focus the checkerboard stays";
    EXPECT_LT(spread(blurred), 0.5 * spread(sharp)) << "out of focus it is averaged";
}

TEST_F(DofBumpFilter, SharpForegroundLeavesNoHaloOnTheBlurredBackground) {
    // A bright square in focus 80 units away in front of a dark, far, blurred wall.
    const int x0 = 400, x1 = 600, y0 = 300, y1 = 500;
    picture([&](int x, int y, unsigned char* p) {
        bool inside = x >= x0 && x < x1 && y >= y0 && y < y1;
        p[0] = p[1] = p[2] = inside ? 240 : 10;
        p[3] = depthByte(inside ? 80 : 450);
    });
    filter(80.0f);
    // Picture column x is window column x; picture row y is window row y / 0.75.
    auto row = read(screen->frameBuffer, 0, int((y0 + y1) / 2 / 0.75), 1024, 1);
    EXPECT_GT(row[4 * (x0 + 2)], 230) << "the square's edge stays sharp";
    EXPECT_LT(row[4 * (x0 - 3)], 20) << "the wall beside it does not pick up the square";
    EXPECT_LT(row[4 * (x1 + 2)], 20);
}

// Preview frames of the whole set along the camera, light and focus paths,
// through both passes as the scene draws them.
TEST_F(DofBump, PreviewFramesAlongThePaths) {
    TestPath camera, light, focus;
    ASSERT_TRUE(camera.load("spline/camera1.spl"));
    ASSERT_TRUE(light.load("spline/lightPos0.spl"));
    ASSERT_TRUE(focus.load("spline/focus.spl"));
    for (int p = 0; p < modelPartCount; ++p) {
        ASSERT_NE(scene->materialImages[2 * p].textureId, 0u) << modelParts[p].diffuseTexture;
        ASSERT_NE(scene->materialImages[2 * p + 1].textureId, 0u) << modelParts[p].normalTexture;
    }
    const char* times = std::getenv("OKU_PREVIEW_TIMES");
    std::vector<float> at;
    if (times) {
        std::stringstream list(times);
        for (float t; list >> t;) at.push_back(t);
    } else {
        for (float t = 4.0f; t < camera.endTime(); t += 14.0f) at.push_back(t);
    }
    for (float t : at) {
        auto c = camera.at(t);
        applyCamera({{c[0], c[1], c[2]}, {c[3], c[4], c[5]}});
        scene->drawModel(light.at(t).data());
        filter(focus.at(t)[0]);
        auto frame = read(screen->frameBuffer, 0, 0, 1024, 768);
        char name[64];
        std::snprintf(name, sizeof name, "indoor_preview_%05.1f.png", t);
        ASSERT_TRUE(writePng(testOutputDir() + name, 1024, 768, frame));
        double mean = 0;
        for (size_t i = 0; i < frame.size(); i += 4) mean += frame[i] + frame[i + 1] + frame[i + 2];
        mean /= frame.size() / 4 * 3;
        EXPECT_GT(mean, 15.0) << "frame at " << t << " s is nearly black";
        EXPECT_GT(spread(frame), 10.0) << "frame at " << t << " s shows nothing";
    }
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

}  // namespace
