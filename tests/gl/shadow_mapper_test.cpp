// The shadow mapper: its set-up and matrices, its shadows in pixels (where they
// fall, soft and free of acne), the state it leaves, and missing or broken programs.
#include <gtest/gtest.h>

#include <GL/glew.h>
#include <GL/glu.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "platform/shader/cg_gl.h"
#include "scenes/outdoor/shadow_mapper.h"
#include "support/capture.h"
#include "support/gl_test_context.h"
#include "support/outdoor_test_geometry.h"
#include "support/pixel_count.h"
#include "support/scratch_run_directory.h"

namespace {

using namespace outdoor_test;

const Vec3 sceneLight(120.0f, 144.0f, -120.0f);
const Vec3 boxLow(-4.0f, 0.0f, -4.0f), boxHigh(4.0f, 10.0f, 4.0f);

// Whether the segment from p to the light passes through the box (slab test).
bool boxHidesLight(const Vec3& p, const Vec3& light) {
    const float from[3] = {p.x, p.y, p.z}, to[3] = {light.x, light.y, light.z};
    const float lo[3] = {boxLow.x, boxLow.y, boxLow.z}, hi[3] = {boxHigh.x, boxHigh.y, boxHigh.z};
    float enter = 0.0f, leave = 1.0f;
    for (int axis = 0; axis < 3; ++axis) {
        const float d = to[axis] - from[axis];
        if (std::fabs(d) < 1e-6f) {
            if (from[axis] < lo[axis] || from[axis] > hi[axis]) return false;
            continue;
        }
        float t0 = (lo[axis] - from[axis]) / d, t1 = (hi[axis] - from[axis]) / d;
        if (t0 > t1) std::swap(t0, t1);
        enter = std::max(enter, t0);
        leave = std::min(leave, t1);
    }
    return enter < leave && leave > 1e-4f;
}

class ShadowMapperTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(gl.ok()) << gl.error(); }

    // The light's view as a capture sets it: perspective and look-at in the modelview.
    static Matrix4 expectedLightView(const Vec3& eye) {
        glMatrixMode(GL_MODELVIEW);
        glPushMatrix();
        glLoadIdentity();
        gluPerspective(45.0, 1024.0 / 768.0, 1.0, 500.0);
        gluLookAt(eye.x, eye.y, eye.z, 0, 0, 0, 0, 1, 0);
        Matrix4 m;
        glGetFloatv(GL_MODELVIEW_MATRIX, m.m);
        glPopMatrix();
        return m;
    }

    // One frame of the test set: the shadow pass, then the main view through the
    // shadow programs, its depth laid down first where asked. Draws the box only
    // where asked.
    void drawFrame(ShadowMapper& shadow, SplineCamera& camera, GLuint floorTexture, GLuint boxTexture,
                   bool castBox = true, bool depthFirst = false) {
        glEnable(GL_TEXTURE_2D);
        glColor4f(1, 1, 1, 1);
        camera.apply();
        shadow.beginPass();
        glBindTexture(GL_TEXTURE_2D, floorTexture);
        drawFloor(0.0f, 40.0f);
        if (castBox) {
            glBindTexture(GL_TEXTURE_2D, boxTexture);
            drawBox(boxLow, boxHigh);
        }
        shadow.endPass();

        camera.apply();
        if (depthFirst && shadow.beginDepthPrepass()) {
            drawFloor(0.0f, 40.0f);
            drawBox(boxLow, boxHigh);
            shadow.endDepthPrepass();
        }
        shadow.bind();
        glBindTexture(GL_TEXTURE_2D, floorTexture);
        drawFloor(0.0f, 40.0f);
        glBindTexture(GL_TEXTURE_2D, boxTexture);
        drawBox(boxLow, boxHigh);
        shadow.unbind();
    }

    // The box on the floor under the scene's sun, seen from above its shadow side;
    // returns the camera.
    std::unique_ptr<SplineCamera> drawBoxOnFloor(ShadowMapper& shadow, bool depthFirst = false) {
        shadow.setLightPosition(sceneLight.x, sceneLight.y, sceneLight.z);
        auto camera = placedCamera(Vec3(-6, 55, 45), Vec3(-8, 0, 6));
        const GLuint floorTexture = solidTexture({230, 150, 80, 255});
        const GLuint boxTexture = solidTexture({90, 140, 220, 255});
        drawFrame(shadow, *camera, floorTexture, boxTexture, true, depthFirst);
        return camera;
    }

    GlTestContext gl;
    LogCapture log;
    MessageBoxRecorder boxes;
};

TEST_F(ShadowMapperTest, ConstructionMakesTheTargetProgramsAndDefaults) {
    ShadowMapper shadow;
    EXPECT_TRUE(boxes.boxes.empty());
    ASSERT_NE(shadow.renderTarget, nullptr);
    EXPECT_EQ(shadow.renderTarget->width, 1024);
    EXPECT_EQ(shadow.renderTarget->height, 768);
    EXPECT_EQ(shadow.getShadowTexture(), shadow.renderTarget->depthTexture);
    EXPECT_TRUE(cgIsContext(shadow.shader.context));
    EXPECT_TRUE(shadow.hasPrograms());
    EXPECT_NE(shadow.modelViewProjParam, nullptr);
    EXPECT_NE(shadow.textureTransformParam, nullptr);
    EXPECT_NE(shadow.shadowMapParam, nullptr);
    EXPECT_EQ(shadow.lightPosition.x, -20.0f);
    EXPECT_EQ(shadow.lightPosition.y, 25.0f);
    EXPECT_EQ(shadow.lightPosition.z, 40.0f);
    const Matrix4 identity;
    for (int i = 0; i < 16; ++i) EXPECT_EQ(shadow.getTextureMatrix().m[i], identity.m[i]) << i;
}

TEST_F(ShadowMapperTest, TheShadowPassLooksFromTheLightAndClearsTheWindowAfter) {
    ShadowMapper shadow;
    shadow.setLightPosition(sceneLight.x, sceneLight.y, sceneLight.z);
    glViewport(3, 4, 500, 400);
    glClearColor(0.3f, 0.5f, 0.7f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);

    shadow.beginPass();
    EXPECT_EQ(static_cast<GLuint>(glInteger(GL_FRAMEBUFFER_BINDING_EXT)), shadow.renderTarget->frameBuffer);
    drawFloor(0.0f, 40.0f);
    shadow.endPass();

    const Matrix4 expected = expectedLightView(sceneLight);
    for (int i = 0; i < 16; ++i) {
        EXPECT_NEAR(shadow.renderTarget->modelviewMatrix.m[i], expected.m[i], 1e-5f) << i;
        EXPECT_EQ(shadow.renderTarget->projectionMatrix.m[i], Matrix4().m[i]) << i;
    }
    const Rgba window = pixel(10, 10);
    EXPECT_EQ(window.r + window.g + window.b + window.a, 0) << "the window is cleared after the pass";
    EXPECT_EQ(glInteger(GL_FRAMEBUFFER_BINDING_EXT), 0);
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[2], 500);
    EXPECT_FALSE(glIsEnabled(GL_CULL_FACE));

    // The floor landed in the depth map: its middle is nearer than the far plane.
    std::vector<float> depth(1024 * 768);
    glBindTexture(GL_TEXTURE_2D, shadow.getShadowTexture());
    glGetTexImage(GL_TEXTURE_2D, 0, GL_DEPTH_COMPONENT, GL_FLOAT, depth.data());
    EXPECT_LT(depth[384 * 1024 + 512], 0.999f);
}

// The pass writes depth only, through the caster program rather than fixed-function
// texturing, and the map holds the same depths either way; afterwards colour writes
// are on and no program is in use.
TEST_F(ShadowMapperTest, TheShadowPassWritesTheSameDepthsWithoutTexturingAndPutsAllBack) {
    ShadowMapper shadow;
    shadow.setLightPosition(sceneLight.x, sceneLight.y, sceneLight.z);
    ASSERT_NE(shadow.casterProgram, nullptr);
    const GLuint floorTexture = solidTexture({200, 120, 60, 255});
    auto depthMap = [&] {
        glEnable(GL_TEXTURE_2D);
        glBindTexture(GL_TEXTURE_2D, floorTexture);
        shadow.beginPass();
        GLboolean mask[4] = {GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE};
        glGetBooleanv(GL_COLOR_WRITEMASK, mask);
        EXPECT_FALSE(mask[0] || mask[1] || mask[2] || mask[3]) << "depth only";
        drawFloor(0.0f, 40.0f);
        drawBox(boxLow, boxHigh);
        shadow.endPass();
        glGetBooleanv(GL_COLOR_WRITEMASK, mask);
        EXPECT_TRUE(mask[0] && mask[1] && mask[2] && mask[3]);
        EXPECT_EQ(glInteger(GL_CURRENT_PROGRAM), 0);
        std::vector<float> depths(1024 * 768);
        glBindTexture(GL_TEXTURE_2D, shadow.getShadowTexture());
        glGetTexImage(GL_TEXTURE_2D, 0, GL_DEPTH_COMPONENT, GL_FLOAT, depths.data());
        std::vector<unsigned char> colours(1024 * 768 * 4, 7);
        glBindTexture(GL_TEXTURE_2D, shadow.renderTarget->colorTexture);
        glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, colours.data());
        EXPECT_EQ(*std::max_element(colours.begin(), colours.end()), 0) << "the map's colour stays cleared";
        return depths;
    };
    const std::vector<float> throughCaster = depthMap();
    shadow.casterProgram = nullptr;  // as when its file is missing: fixed function
    const std::vector<float> fixedFunction = depthMap();
    EXPECT_EQ(throughCaster, fixedFunction);
    EXPECT_LT(*std::min_element(throughCaster.begin(), throughCaster.end()), 1.0f) << "something was drawn";
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(ShadowMapperTest, TheTextureMatrixIsTheBiasedViewProjectionOfTheLastPass) {
    ShadowMapper shadow;
    shadow.setLightPosition(sceneLight.x, sceneLight.y, sceneLight.z);
    auto camera = placedCamera(Vec3(0, 60, 60), Vec3(0, 0, 0));
    shadow.beginPass();
    shadow.endPass();
    camera->apply();
    shadow.bind();
    shadow.unbind();

    const Matrix4 lightViewProjection = shadow.renderTarget->projectionMatrix * shadow.renderTarget->modelviewMatrix;
    const Matrix4 expected = textureBias * lightViewProjection;
    const Matrix4 actual = shadow.getTextureMatrix();
    for (int i = 0; i < 16; ++i) EXPECT_NEAR(actual.m[i], expected.m[i], 1e-6f) << i;

    // Clip-space corners (-1, -1, -1) and (1, 1, 1) of the light's view land on the
    // texture-space corners (0, 0, 0) and (1, 1, 1), before the division by w.
    const Matrix4 back = inverse(lightViewProjection);
    for (float corner : {-1.0f, 1.0f}) {
        const float clip[4] = {corner, corner, corner, 1.0f};
        float world[4], mapped[4];
        transform(back, clip, world);
        transform(actual, world, mapped);
        const float expectedValue = corner < 0 ? 0.0f : 1.0f;
        for (int axis = 0; axis < 3; ++axis) EXPECT_NEAR(mapped[axis], expectedValue, 2e-4f) << corner << " " << axis;
        EXPECT_NEAR(mapped[3], 1.0f, 2e-4f);
    }
}

TEST_F(ShadowMapperTest, TheBoxShadowsTheFloorAwayFromTheLightWithSoftEdgesAndNoAcne) {
    ShadowMapper shadow;
    auto camera = drawBoxOnFloor(shadow);
    saveWindow("shadow_box_on_floor.png");

    const Vec3 eye = camera->position;
    const float margin = 1.5f;
    std::vector<float> lit, shadowed;
    int acneSpots = 0;
    for (float x = -36; x <= 36; x += 1.5f) {
        for (float z = -36; z <= 36; z += 1.5f) {
            const Vec3 p(x, 0.0f, z);
            const WindowPoint w = projectToWindow(p);
            if (!w.inFront || w.x < 3 || w.y < 3 || w.x > 1020 || w.y > 764) continue;
            if (boxHidesLight(p, eye)) continue;  // behind the box as the camera sees it
            if (x >= boxLow.x - 1 && x <= boxHigh.x + 1 && z >= boxLow.z - 1 && z <= boxHigh.z + 1) continue;
            // Surely lit or surely shadowed: the same for every point within the margin.
            int hidden = 0;
            for (int dx = -1; dx <= 1; ++dx)
                for (int dz = -1; dz <= 1; ++dz) hidden += boxHidesLight(p + Vec3(dx * margin, 0, dz * margin), sceneLight);
            const Rgba c = pixel(w.x, w.y);
            if (hidden == 0) {
                lit.push_back(brightness(c));
                EXPECT_GT(c.r, c.g) << "the floor's own texture, at " << x << "," << z;
                EXPECT_GT(c.g, c.b) << "the floor's own texture, at " << x << "," << z;
                // Acne shows as speckles and stripes: a lit patch must be smooth.
                float low = 255, high = 0;
                for (int dy = -2; dy <= 2; ++dy)
                    for (int dx = -2; dx <= 2; ++dx) {
                        const float b = brightness(pixel(w.x + dx, w.y + dy));
                        low = std::min(low, b);
                        high = std::max(high, b);
                    }
                if (high - low > 4.0f) {
                    ++acneSpots;
                    ADD_FAILURE() << "speckles at " << x << "," << z << " (pixel " << w.x << "," << w.y << "): "
                                  << low << ".." << high;
                }
            } else if (hidden == 9) {
                shadowed.push_back(brightness(c));
            }
        }
    }
    ASSERT_GT(lit.size(), 200u);
    ASSERT_GT(shadowed.size(), 20u);
    EXPECT_EQ(acneSpots, 0) << "lit floor patches with speckles";
    const float dimmestLit = *std::min_element(lit.begin(), lit.end());
    const float brightestShadow = *std::max_element(shadowed.begin(), shadowed.end());
    EXPECT_LT(brightestShadow * 1.5f, dimmestLit) << "shadowed floor is clearly darker than lit floor";
    EXPECT_GT(brightestShadow, 20.0f) << "sky light keeps the shadow from going black";

    // The edge is soft: across the shadow's border the brightness passes through
    // values between the two (several pixels wide), rather than jumping.
    int between = 0;
    for (float t = 0; t <= 1.0f; t += 0.01f) {
        // A line on the floor from lit ground into the shadow's middle.
        const Vec3 p(-20.0f + 14.0f * t, 0.0f, 4.0f + 8.0f * t);
        const WindowPoint w = projectToWindow(p);
        const float b = brightness(pixel(w.x, w.y));
        if (b > brightestShadow + 8.0f && b < dimmestLit - 8.0f) ++between;
    }
    EXPECT_GE(between, 2) << "a soft border";
}

TEST_F(ShadowMapperTest, TheShadowStartsAtTheFootOfTheBox) {
    ShadowMapper shadow;
    shadow.setLightPosition(sceneLight.x, sceneLight.y, sceneLight.z);
    auto camera = placedCamera(Vec3(-20, 30, 30), Vec3(-4, 0, 4));
    const GLuint floorTexture = solidTexture({220, 220, 220, 255});
    const GLuint boxTexture = solidTexture({200, 60, 60, 255});
    drawFrame(shadow, *camera, floorTexture, boxTexture);
    saveWindow("shadow_contact.png");
    // Floor just beside the box's shadowed foot (light comes from +x, -z).
    const WindowPoint nearFoot = projectToWindow(Vec3(-5.0f, 0.0f, 2.0f));
    const WindowPoint farLit = projectToWindow(Vec3(10.0f, 0.0f, 8.0f));
    ASSERT_TRUE(nearFoot.inFront && farLit.inFront);
    EXPECT_LT(brightness(pixel(nearFoot.x, nearFoot.y)) * 1.5f, brightness(pixel(farLit.x, farLit.y)))
        << "no gap of light between the box and its shadow";
}

TEST_F(ShadowMapperTest, WithoutAnOccluderTheFloorIsEvenlyLit) {
    ShadowMapper shadow;
    shadow.setLightPosition(sceneLight.x, sceneLight.y, sceneLight.z);
    auto camera = placedCamera(Vec3(-6, 55, 45), Vec3(-8, 0, 6));
    const GLuint floorTexture = solidTexture({200, 200, 200, 255});
    drawFrame(shadow, *camera, floorTexture, floorTexture, false);
    // Where the box's shadow would fall, the floor is as bright as beside it.
    const WindowPoint inShadowPlace = projectToWindow(Vec3(-12.0f, 0.0f, 12.0f));
    const WindowPoint beside = projectToWindow(Vec3(-12.0f, 0.0f, -4.0f));
    EXPECT_NEAR(brightness(pixel(inShadowPlace.x, inShadowPlace.y)), brightness(pixel(beside.x, beside.y)), 12.0f);
}

TEST_F(ShadowMapperTest, BindAndUnbindLeaveTheStateTheyPromise) {
    ShadowMapper shadow;
    const GLuint floorTexture = solidTexture({200, 200, 200, 255});
    auto camera = placedCamera(Vec3(0, 50, 50), Vec3(0, 0, 0));
    shadow.beginPass();
    shadow.endPass();
    camera->apply();
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, floorTexture);

    shadow.bind();
    const GLenum unit = cgGLGetTextureEnum(shadow.shadowMapParam);
    EXPECT_NE(unit, static_cast<GLenum>(GL_TEXTURE0)) << "the scenery's unit stays free";
    EXPECT_EQ(glInteger(GL_ACTIVE_TEXTURE), GL_TEXTURE0);
    EXPECT_EQ(static_cast<GLuint>(glInteger(GL_TEXTURE_BINDING_2D)), floorTexture);
    EXPECT_NE(glInteger(GL_CURRENT_PROGRAM), 0);
    glActiveTexture(unit);
    EXPECT_EQ(static_cast<GLuint>(glInteger(GL_TEXTURE_BINDING_2D)), shadow.getShadowTexture());
    glActiveTexture(GL_TEXTURE0);

    shadow.unbind();
    EXPECT_EQ(glInteger(GL_CURRENT_PROGRAM), 0) << "fixed function after unbind";
    glActiveTexture(unit);
    EXPECT_EQ(static_cast<GLuint>(glInteger(GL_TEXTURE_BINDING_2D)), shadow.getShadowTexture()) << "stays bound";
    glActiveTexture(GL_TEXTURE0);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

// With the receivers' depth laid down first the picture is the same to the last
// pixel (depths that the renderer computes a step apart for the two programs
// would leave holes all over the box), and depth test, polygon offset and colour
// writes are as they were once unbind ran.
TEST_F(ShadowMapperTest, TheDepthPrepassKeepsThePictureAndPutsTheDepthStateBack) {
    ShadowMapper shadow;
    drawBoxOnFloor(shadow);
    const std::vector<unsigned char> plain = gl.readPixels(0, 0, 1024, 768);
    drawBoxOnFloor(shadow, true);
    const std::vector<unsigned char> depthFirst = gl.readPixels(0, 0, 1024, 768);
    const int changed = countPixels(plain, depthFirst, [](const unsigned char* p, const unsigned char* q) {
        return !std::equal(p, p + 3, q);
    });
    EXPECT_EQ(changed, 0) << "pixels changed by the pre-pass";

    GLboolean mask[4] = {GL_FALSE, GL_FALSE, GL_FALSE, GL_FALSE};
    glGetBooleanv(GL_COLOR_WRITEMASK, mask);
    EXPECT_TRUE(mask[0] && mask[1] && mask[2] && mask[3]);
    EXPECT_EQ(glInteger(GL_DEPTH_FUNC), GL_LESS);
    EXPECT_EQ(glInteger(GL_DEPTH_WRITEMASK), GL_TRUE);
    EXPECT_FALSE(glIsEnabled(GL_POLYGON_OFFSET_FILL));
    EXPECT_EQ(glInteger(GL_CURRENT_PROGRAM), 0);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));

    shadow.casterProgram = nullptr;  // as when its file is missing
    EXPECT_FALSE(shadow.beginDepthPrepass()) << "no pre-pass without the caster program";
    glGetBooleanv(GL_COLOR_WRITEMASK, mask);
    EXPECT_TRUE(mask[0] && mask[1] && mask[2] && mask[3]);
}

TEST_F(ShadowMapperTest, DestructionFreesTheTargetAndTheContext) {
    auto shadow = std::make_unique<ShadowMapper>();
    const GLuint depth = shadow->getShadowTexture(), color = shadow->renderTarget->colorTexture;
    const GLuint frame = shadow->renderTarget->frameBuffer;
    CGcontext context = shadow->shader.context;
    CGprogram program = shadow->shader.vertexProgram;
    shadow.reset();
    EXPECT_FALSE(glIsTexture(depth));
    EXPECT_FALSE(glIsTexture(color));
    EXPECT_FALSE(glIsFramebufferEXT(frame));
    EXPECT_FALSE(cgIsContext(context));
    EXPECT_FALSE(cgIsProgram(program));
}

// Missing and broken programs: the boxes, in order, and the scenery still drawn
// with its texture, even where another effect left its programs bound.
TEST_F(ShadowMapperTest, MissingProgramsShowTheBoxesAndTheSceneryDrawsPlain) {
    CGcontext other = cgCreateContext();
    CGprogram red = cgCreateProgramFromFile(other, CG_SOURCE, OKU_SOURCE_DIR "/tests/data/cg/solid_fragment.cg",
                                            CG_PROFILE_GLSLF, "main", nullptr);
    ASSERT_NE(red, nullptr);
    cgGLSetParameter4f(cgGetNamedParameter(red, "color"), 1, 0, 0, 1);
    cgGLBindProgram(red);  // left bound by someone else, profile disabled

    ScratchRunDirectory scratch;
    {
        ShadowMapper shadow;
        ASSERT_EQ(boxes.boxes.size(), 2u);
        EXPECT_EQ(boxes.boxes[0].text, "Kein Vertex Shader");
        EXPECT_EQ(boxes.boxes[1].text, "Kein Fragment Shader");
        for (const auto& box : boxes.boxes) {
            EXPECT_EQ(box.caption, "Warning");
            EXPECT_EQ(box.type, MB_OK);
        }
        EXPECT_FALSE(shadow.hasPrograms());
        shadow.setLightPosition(sceneLight.x, sceneLight.y, sceneLight.z);
        auto camera = placedCamera(Vec3(0, 50, 50), Vec3(0, 0, 0));
        const GLuint floorTexture = solidTexture({40, 200, 90, 255});
        drawFrame(shadow, *camera, floorTexture, floorTexture);
        const WindowPoint middle = projectToWindow(Vec3(-10, 0, 10));
        const Rgba c = pixel(middle.x, middle.y);
        EXPECT_EQ(c.r, 40);
        EXPECT_EQ(c.g, 200);
        EXPECT_EQ(c.b, 90);
        // The water still gets the light's texture matrix.
        EXPECT_NE(shadow.getTextureMatrix().m[0], 1.0f);
    }
    cgDestroyContext(other);
}

TEST_F(ShadowMapperTest, ABrokenFragmentProgramShowsOnlyItsBox) {
    ScratchRunDirectory scratch;
    scratch.copyFromRunDir("Cg/Shadow_vertex.cg");
    scratch.write("Cg/Shadow_fragment.cg", "void main() { gl_FragColor = undefinedThing; }\n");
    ShadowMapper shadow;
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].text, "Kein Fragment Shader");
    EXPECT_EQ(boxes.boxes[0].caption, "Warning");
    auto camera = placedCamera(Vec3(0, 50, 50), Vec3(0, 0, 0));
    const GLuint floorTexture = solidTexture({200, 100, 50, 255});
    drawFrame(shadow, *camera, floorTexture, floorTexture);
    const WindowPoint middle = projectToWindow(Vec3(-10, 0, 10));
    EXPECT_EQ(pixel(middle.x, middle.y).r, 200) << "plain textured, not black";
}

}  // namespace
