// The water surface: its set-up, the two captures (mirrored and clipped), the
// pictures they hold, and the water in pixels: reflection at the mirrored place,
// the floor through the surface, Fresnel, ripples over time, the shadow on it; the
// state it leaves; missing programs.
#include <gtest/gtest.h>

#include <GL/glew.h>
#include <GL/glu.h>

#include <cstdint>
#include <functional>
#include <vector>

#include "platform/clock/tick_count.h"
#include "platform/shader/cg_gl.h"
#include "scenes/outdoor/shadow_mapper.h"
#include "scenes/outdoor/water_surface.h"
#include "support/capture.h"
#include "support/gl_test_context.h"
#include "support/outdoor_test_geometry.h"
#include "support/scratch_run_directory.h"
#include "support/test_output.h"
#include "support/pixel_count.h"

namespace {

using namespace outdoor_test;

const Vec3 sceneLight(120.0f, 144.0f, -120.0f);
const Vec3 redLow(6, 2, -8), redHigh(12, 9, -2);        // above the water
const Vec3 blueLow(-12, -6, 4), blueHigh(-6, -1, 10);   // under the water

class WaterSurfaceTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(gl.ok()) << gl.error();
        setTickSource([this] { return now; });
        floorTexture = makeTexture(8, 8, [](int x, int y) {
            return ((x + y) % 2) ? Rgba{235, 200, 40, 255} : Rgba{215, 180, 30, 255};
        });
        red = solidTexture({220, 30, 30, 255});
        blue = solidTexture({30, 60, 230, 255});
        green = solidTexture({30, 220, 60, 255});
    }
    void TearDown() override { setTickSource(nullptr); }

    // The pool floor 3 units down, and whatever boxes the test asks for.
    void drawContent() {
        glEnable(GL_TEXTURE_2D);
        glColor4f(1, 1, 1, 1);
        glBindTexture(GL_TEXTURE_2D, floorTexture);
        drawFloor(-3.0f, 60.0f, 8.0f);
        if (withRedBox) {
            glBindTexture(GL_TEXTURE_2D, red);
            drawBox(redLow, redHigh);
        }
        if (withBlueBox) {
            glBindTexture(GL_TEXTURE_2D, blue);
            drawBox(blueLow, blueHigh);
        }
        if (withGreenPatch) {
            glBindTexture(GL_TEXTURE_2D, green);
            drawFloor(0.0f, 3.0f, 1.0f, 8.0f, 15.0f);
        }
    }

    // A frame in the scene's order: shadow pass, both captures, the main view.
    void drawFrame(ShadowMapper& shadow, WaterSurface& water, SplineCamera& camera,
                   const std::function<void()>& shadowCasters = nullptr) {
        camera.apply();
        shadow.beginPass();
        drawContent();
        if (shadowCasters) shadowCasters();
        shadow.endPass();
        camera.apply();
        water.beginReflection();
        drawContent();
        water.endReflection();
        water.beginRefraction();
        drawContent();
        water.endRefraction();
        camera.apply();
        shadow.bind();
        shadow.unbind();
        drawContent();
        water.render();
    }

    static void savePicture(const RenderTarget& target, const std::string& name) {
        glFinish();
        std::vector<unsigned char> texels(static_cast<size_t>(target.width) * target.height * 4);
        glBindTexture(GL_TEXTURE_2D, target.colorTexture);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels.data());
        for (size_t i = 3; i < texels.size(); i += 4) texels[i] = 255;
        writePng(testOutputDir() + name, target.width, target.height, texels);
    }

    // Counts the texels of a target's picture whose colour is dominated by one channel.
    // glFinish first: llvmpipe may otherwise hand back a picture from before the
    // last capture into the texture.
    static int texelsDominatedBy(const RenderTarget& target, int channel) {
        glFinish();
        std::vector<unsigned char> texels(static_cast<size_t>(target.width) * target.height * 4);
        glBindTexture(GL_TEXTURE_2D, target.colorTexture);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels.data());
        int count = 0;
        for (size_t i = 0; i < texels.size(); i += 4) {
            const int c = texels[i + channel], o1 = texels[i + (channel + 1) % 3], o2 = texels[i + (channel + 2) % 3];
            if (c > 150 && o1 < 100 && o2 < 100) ++count;
        }
        return count;
    }

    GlTestContext gl;
    LogCapture log;
    MessageBoxRecorder boxes;
    uint32_t now = 1000;
    GLuint floorTexture = 0, red = 0, blue = 0, green = 0;
    bool withRedBox = false, withBlueBox = false, withGreenPatch = false;
};

TEST_F(WaterSurfaceTest, ConstructionMakesTheTargetsClipPlanesProgramsAndLookUps) {
    ShadowMapper shadow;
    auto camera = placedCamera(Vec3(0, 20, 40), Vec3(0, 0, 0));
    WaterSurface water(camera.get(), 0.0f, 1.0f, 0.0f, -2.0f, &shadow);
    EXPECT_TRUE(boxes.boxes.empty());
    EXPECT_EQ(water.reflection->width, 800);
    EXPECT_EQ(water.reflection->height, 600);
    EXPECT_EQ(water.refraction->width, 1024);
    EXPECT_EQ(water.refraction->height, 768);
    const double kept[4] = {0, 1, 0, -2}, negated[4] = {-0.0, -1, -0.0, 2};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(water.reflection->clipPlane[i], kept[i]);
        EXPECT_EQ(water.refraction->clipPlane[i], negated[i]);
        EXPECT_EQ(water.plane[i], static_cast<float>(kept[i]));
    }
    EXPECT_EQ(water.reflection->camera, camera.get());
    EXPECT_EQ(water.refraction->camera, camera.get());
    EXPECT_EQ(water.shadowMapper, &shadow);
    EXPECT_TRUE(water.hasPrograms());
    for (CGparameter parameter : {water.mvpParam, water.texProjParam, water.refractProjParam, water.reflectMapParam,
                                  water.refractMapParam, water.shadowMapParam, water.normalParam, water.eyeParam,
                                  water.textureTransformParam, water.timeParam})
        EXPECT_NE(parameter, nullptr);
}

TEST_F(WaterSurfaceTest, TheCapturesMirrorTheCameraInTheWaterAndClipAtIt) {
    ShadowMapper shadow;
    auto camera = placedCamera(Vec3(5, 20, 30), Vec3(0, 0, 0));
    WaterSurface water(camera.get(), 0.0f, 1.0f, 0.0f, 0.0f, &shadow);
    camera->apply();
    const Vec3 p = camera->position, v = camera->direction;

    auto expectedView = [](double aspect, const Vec3& eye, const Vec3& centre, const Vec3& up) {
        glMatrixMode(GL_MODELVIEW);
        glPushMatrix();
        glLoadIdentity();
        gluPerspective(45.0, aspect, 1.0, 500.0);
        gluLookAt(eye.x, eye.y, eye.z, centre.x, centre.y, centre.z, up.x, up.y, up.z);
        Matrix4 m;
        glGetFloatv(GL_MODELVIEW_MATRIX, m.m);
        glPopMatrix();
        return m;
    };
    const Matrix4 mirrored = expectedView(800.0 / 600.0, Vec3(p.x, -p.y, p.z),
                                          Vec3(p.x + v.x, -(p.y + v.y), p.z + v.z), Vec3(0, -1, 0));
    const Matrix4 straight = expectedView(1024.0 / 768.0, p, p + v, Vec3(0, 1, 0));

    glClearColor(0.5f, 0.5f, 0.5f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    water.beginReflection();
    EXPECT_TRUE(glIsEnabled(GL_CLIP_PLANE0));
    EXPECT_EQ(static_cast<GLuint>(glInteger(GL_FRAMEBUFFER_BINDING_EXT)), water.reflection->frameBuffer);
    water.endReflection();
    EXPECT_FALSE(glIsEnabled(GL_CLIP_PLANE0));
    EXPECT_EQ(glInteger(GL_FRAMEBUFFER_BINDING_EXT), 0);
    EXPECT_EQ(pixel(5, 5).r, 0) << "the window is cleared after the capture";

    glClear(GL_COLOR_BUFFER_BIT);
    water.beginRefraction();
    EXPECT_TRUE(glIsEnabled(GL_CLIP_PLANE0));
    EXPECT_EQ(static_cast<GLuint>(glInteger(GL_FRAMEBUFFER_BINDING_EXT)), water.refraction->frameBuffer);
    water.endRefraction();
    EXPECT_FALSE(glIsEnabled(GL_CLIP_PLANE0));
    EXPECT_EQ(pixel(5, 5).r, 0) << "the window is cleared after the capture";

    for (int i = 0; i < 16; ++i) {
        EXPECT_NEAR(water.reflection->modelviewMatrix.m[i], mirrored.m[i], 1e-4f) << i;
        EXPECT_NEAR(water.refraction->modelviewMatrix.m[i], straight.m[i], 1e-4f) << i;
    }
}

TEST_F(WaterSurfaceTest, ThePicturesHoldWhatLiesAboveAndBelowTheWaterAndThePlaneInBoth) {
    ShadowMapper shadow;
    auto camera = placedCamera(Vec3(0, 25, 45), Vec3(0, 0, 0));
    WaterSurface water(camera.get(), 0.0f, 1.0f, 0.0f, 0.0f, &shadow);
    withRedBox = withBlueBox = withGreenPatch = true;
    drawFrame(shadow, water, *camera);
    savePicture(*water.reflection, "water_reflection_picture.png");
    savePicture(*water.refraction, "water_refraction_picture.png");
    EXPECT_GT(texelsDominatedBy(*water.reflection, 0), 500) << "the box above the water is reflected";
    EXPECT_EQ(texelsDominatedBy(*water.reflection, 2), 0) << "the box under the water is clipped away";
    EXPECT_GT(texelsDominatedBy(*water.refraction, 2), 500) << "the box under the water is refracted";
    EXPECT_EQ(texelsDominatedBy(*water.refraction, 0), 0) << "the box above the water is clipped away";
    EXPECT_GT(texelsDominatedBy(*water.reflection, 1), 50) << "geometry in the plane is in both";
    EXPECT_GT(texelsDominatedBy(*water.refraction, 1), 50) << "geometry in the plane is in both";

    // R maps a point of the box to where the mirrored capture drew it.
    const Matrix4 r = WaterSurface::pictureProjection(*water.reflection);
    const float centre[4] = {9, 5.5f, -5, 1};
    float mapped[4];
    transform(r, centre, mapped);
    std::vector<unsigned char> texels(800 * 600 * 4);
    glFinish();
    glBindTexture(GL_TEXTURE_2D, water.reflection->colorTexture);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels.data());
    const int tx = static_cast<int>(mapped[0] / mapped[3] * 800), ty = static_cast<int>(mapped[1] / mapped[3] * 600);
    ASSERT_TRUE(tx >= 0 && tx < 800 && ty >= 0 && ty < 600);
    EXPECT_GT(texels[(ty * 800 + tx) * 4], 150);

    // Just above the plane belongs to the reflection only, just below to the refraction only.
    for (float y : {0.05f, -0.05f}) {
        camera->apply();
        water.beginReflection();
        glBindTexture(GL_TEXTURE_2D, green);
        drawFloor(y, 3.0f, 1.0f, 8.0f, 15.0f);
        water.endReflection();
        water.beginRefraction();
        glBindTexture(GL_TEXTURE_2D, green);
        drawFloor(y, 3.0f, 1.0f, 8.0f, 15.0f);
        water.endRefraction();
        EXPECT_EQ(texelsDominatedBy(*water.reflection, 1) > 0, y > 0) << y;
        EXPECT_EQ(texelsDominatedBy(*water.refraction, 1) > 0, y < 0) << y;
    }
}

TEST_F(WaterSurfaceTest, TheRedBoxShowsInTheWaterAtItsMirroredPlace) {
    ShadowMapper shadow;
    shadow.setLightPosition(sceneLight.x, sceneLight.y, sceneLight.z);
    auto camera = placedCamera(Vec3(-4, 12, 40), Vec3(4, -4, -4));
    WaterSurface water(camera.get(), 0.0f, 1.0f, 0.0f, 0.0f, &shadow);
    withRedBox = withBlueBox = true;
    drawFrame(shadow, water, *camera);
    saveWindow("water_reflection.png");

    // The box's mirror image (y negated) as the camera sees it, on the water.
    const WindowPoint mirror = projectToWindow(Vec3(9, -4.0f, -2.5f));
    const WindowPoint direct = projectToWindow(Vec3(9, 4.0f, -2.5f));
    ASSERT_TRUE(mirror.inFront && mirror.y >= 0 && mirror.y < 768);
    const Rgba reflected = pixel(mirror.x, mirror.y);
    EXPECT_GT(reflected.r, reflected.g + 40) << "reflected red at " << mirror.x << "," << mirror.y;
    EXPECT_GT(reflected.r, reflected.b + 40);
    EXPECT_LT(mirror.y, direct.y) << "the mirror image lies below the box on screen";
    // The box under the water shows through the surface.
    const WindowPoint under = projectToWindow(Vec3(-9, -1.5f, 7));
    const Rgba refracted = pixel(under.x, under.y);
    EXPECT_GT(refracted.b, refracted.r + 30) << "refracted blue at " << under.x << "," << under.y;
}

TEST_F(WaterSurfaceTest, LookingDownShowsTheFloorAndAGrazingViewMirrorsTheSky) {
    ShadowMapper shadow;
    shadow.setLightPosition(sceneLight.x, sceneLight.y, sceneLight.z);
    auto steep = placedCamera(Vec3(0, 40, 6), Vec3(0, 0, -4));
    WaterSurface water(steep.get(), 0.0f, 1.0f, 0.0f, 0.0f, &shadow);
    drawFrame(shadow, water, *steep);
    saveWindow("water_from_above.png");
    const WindowPoint below = projectToWindow(Vec3(0, 0, -4));
    const Rgba fromAbove = pixel(below.x, below.y);
    EXPECT_GT(fromAbove.r, fromAbove.b + 40) << "the yellow floor shows through";
    EXPECT_GT(fromAbove.g, fromAbove.b + 30);

    auto grazing = placedCamera(Vec3(0, 3, 29), Vec3(0, 0, -20));
    water.camera = water.reflection->camera = water.refraction->camera = grazing.get();
    drawFrame(shadow, water, *grazing);
    saveWindow("water_grazing.png");
    const WindowPoint far = projectToWindow(Vec3(0, 0, -20));
    const Rgba atGrazing = pixel(far.x, far.y);
    EXPECT_GT(atGrazing.b, atGrazing.r) << "mostly mirrored pale sky";
    EXPECT_GT(brightness(atGrazing), 120.0f);
}

TEST_F(WaterSurfaceTest, RipplesMoveWithTheWatersOwnClock) {
    ShadowMapper shadow;
    shadow.setLightPosition(sceneLight.x, sceneLight.y, sceneLight.z);
    auto camera = placedCamera(Vec3(-4, 12, 40), Vec3(4, -4, -4));
    WaterSurface water(camera.get(), 0.0f, 1.0f, 0.0f, 0.0f, &shadow);
    withRedBox = true;
    auto waterPixels = [&] {
        drawFrame(shadow, water, *camera);
        return gl.readPixels(0, 0, 1024, 768);
    };
    now += 2000;
    const auto first = waterPixels();
    const auto again = waterPixels();  // the clock has not moved
    now += 700;
    const auto later = waterPixels();
    EXPECT_EQ(first, again) << "the same time draws the same water";
    const int changed = countPixels(first, later, [](const unsigned char* p, const unsigned char* q) {
        return std::abs(p[0] - q[0]) > 6 || std::abs(p[2] - q[2]) > 6;
    });
    EXPECT_GT(changed, 5000) << "the ripples moved";
}

TEST_F(WaterSurfaceTest, AShadowDarkensTheWater) {
    ShadowMapper shadow;
    shadow.setLightPosition(sceneLight.x, sceneLight.y, sceneLight.z);
    auto camera = placedCamera(Vec3(0, 30, 35), Vec3(0, 0, 0));
    WaterSurface water(camera.get(), 0.0f, 1.0f, 0.0f, 0.0f, &shadow);
    // A slab high above the water, seen only by the light: its shadow lands on the
    // water around the origin.
    const auto slab = [] {
        const Vec3 toLight = sceneLight * (1.0f / sceneLight.length());
        const Vec3 centre = toLight * 20.0f;
        drawBox(centre + Vec3(-6, -0.5f, -6), centre + Vec3(6, 0.5f, 6));
    };
    drawFrame(shadow, water, *camera);
    const WindowPoint middle = projectToWindow(Vec3(0, 0, 0));
    const WindowPoint aside = projectToWindow(Vec3(20, 0, 12));
    const float litMiddle = brightness(pixel(middle.x, middle.y)), litAside = brightness(pixel(aside.x, aside.y));
    drawFrame(shadow, water, *camera, slab);
    saveWindow("water_shadowed.png");
    const float shadowedMiddle = brightness(pixel(middle.x, middle.y));
    const float shadowedAside = brightness(pixel(aside.x, aside.y));
    EXPECT_LT(shadowedMiddle, litMiddle * 0.8f);
    EXPECT_NEAR(shadowedAside, litAside, 3.0f) << "outside the shadow nothing changes";
}

TEST_F(WaterSurfaceTest, RenderLeavesTheStateItPromises) {
    ShadowMapper shadow;
    auto camera = placedCamera(Vec3(0, 30, 35), Vec3(0, 0, 0));
    WaterSurface water(camera.get(), 0.0f, 1.0f, 0.0f, 0.0f, &shadow);
    drawFrame(shadow, water, *camera);
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, floorTexture);
    glColor4f(0.25f, 0.5f, 0.75f, 1.0f);
    water.render();
    EXPECT_EQ(glInteger(GL_CURRENT_PROGRAM), 0) << "both profiles disabled";
    EXPECT_EQ(glInteger(GL_ACTIVE_TEXTURE), GL_TEXTURE0);
    EXPECT_EQ(static_cast<GLuint>(glInteger(GL_TEXTURE_BINDING_2D)), floorTexture) << "unit 0 untouched";
    float colour[4];
    glGetFloatv(GL_CURRENT_COLOR, colour);
    EXPECT_FLOAT_EQ(colour[1], 0.5f);
    const std::pair<CGparameter, GLuint> samplers[3] = {{water.reflectMapParam, water.reflection->colorTexture},
                                                        {water.refractMapParam, water.refraction->colorTexture},
                                                        {water.shadowMapParam, shadow.getShadowTexture()}};
    for (const auto& [parameter, texture] : samplers) {
        const GLenum unit = cgGLGetTextureEnum(parameter);
        EXPECT_NE(unit, static_cast<GLenum>(GL_TEXTURE0));
        glActiveTexture(unit);
        EXPECT_EQ(static_cast<GLuint>(glInteger(GL_TEXTURE_BINDING_2D)), texture) << "stays enabled";
        glActiveTexture(GL_TEXTURE0);
    }
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(WaterSurfaceTest, DestructionReleasesTargetsClockAndContext) {
    ShadowMapper shadow;
    auto camera = placedCamera(Vec3(0, 30, 35), Vec3(0, 0, 0));
    auto water = std::make_unique<WaterSurface>(camera.get(), 0.0f, 1.0f, 0.0f, 0.0f, &shadow);
    const GLuint reflection = water->reflection->colorTexture, refraction = water->refraction->frameBuffer;
    CGcontext context = water->shader.context;
    water.reset();
    EXPECT_FALSE(glIsTexture(reflection));
    EXPECT_FALSE(glIsFramebufferEXT(refraction));
    EXPECT_FALSE(cgIsContext(context));
    EXPECT_TRUE(glIsTexture(shadow.getShadowTexture())) << "the shadow map is not the water's";
}

// Without its programs the water still shows: the floor through a tinted surface
// with a faint reflection, never black, whatever another effect left bound.
TEST_F(WaterSurfaceTest, MissingProgramsShowTheBoxesAndAPlainSurface) {
    ScratchRunDirectory scratch;
    scratch.copyFromRunDir("Cg/Shadow_vertex.cg");
    scratch.copyFromRunDir("Cg/Shadow_fragment.cg");
    ShadowMapper shadow;
    ASSERT_TRUE(shadow.hasPrograms());
    auto camera = placedCamera(Vec3(0, 40, 6), Vec3(0, 0, -4));
    WaterSurface water(camera.get(), 0.0f, 1.0f, 0.0f, 0.0f, &shadow);
    ASSERT_EQ(boxes.boxes.size(), 2u);
    EXPECT_EQ(boxes.boxes[0].text, "Kein Vertex Shader");
    EXPECT_EQ(boxes.boxes[1].text, "Kein Fragment Shader");
    EXPECT_EQ(boxes.boxes[0].caption, "Warning");
    EXPECT_EQ(boxes.boxes[1].caption, "Warning");

    withRedBox = true;
    camera->apply();
    shadow.bind();  // leaves the shadow programs bound, profiles then disabled
    shadow.unbind();
    drawFrame(shadow, water, *camera);
    saveWindow("water_without_programs.png");
    const WindowPoint below = projectToWindow(Vec3(0, 0, -4));
    const Rgba c = pixel(below.x, below.y);
    EXPECT_GT(c.r, 100) << "the floor shows through";
    EXPECT_GT(c.r, c.b + 40);
    EXPECT_LT(c.r, 215) << "tinted by the water";
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    EXPECT_EQ(glInteger(GL_DEPTH_FUNC), GL_LESS);
    EXPECT_EQ(glInteger(GL_TEXTURE_BINDING_2D), 0);
    EXPECT_EQ(glInteger(GL_CURRENT_PROGRAM), 0);
}

}  // namespace
