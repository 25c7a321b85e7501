// Flies the outdoor set's camera path through the demo's own camera and draws
// the bare set (sky dome and scenery, plain textured fixed-function drawing as
// the water's reflection pass draws them), saving frames as PNG to look at.
#include <gtest/gtest.h>

#include <GL/glew.h>

#include <cstdio>
#include <string>

#include "assets/mesh.h"
#include "math/spline.h"
#include "math/spline_camera.h"
#include "platform/clock/tick_count.h"
#include "platform/clock/timer.h"
#include "scenes/outdoor/scenery.h"
#include "scenes/outdoor/shadow_mapper.h"
#include "support/gl_test_context.h"
#include "support/outdoor_set_files.h"
#include "support/test_output.h"

namespace {

class OutdoorSetPreview : public ::testing::Test {
protected:
    OutdoorSetPreview() {
        setTickSource([this] { return now; });
        timer.reset();
    }
    ~OutdoorSetPreview() override { setTickSource(nullptr); }
    void SetUp() override {
        ASSERT_TRUE(gl.ok()) << gl.error();
        // The shell's start-up state: textures on, depth test, back faces culled.
        glEnable(GL_TEXTURE_2D);
        glShadeModel(GL_SMOOTH);
        glEnable(GL_DEPTH_TEST);
        glDepthFunc(GL_LESS);
        glCullFace(GL_BACK);
        glEnable(GL_CULL_FACE);
    }

    uint32_t now = 0;
    GlTestContext gl;
    OutdoorSetDirectory files;
    Timer timer;
};

// Every pixel of every frame is covered by the set or the sky: no hole in the
// dome, the ground or the walls lets the clear colour through, and no face the
// camera should see is culled away.
TEST_F(OutdoorSetPreview, FlightShowsTheSetUnderTheSkyWithoutHoles) {
    TgaImage images[12];
    ASSERT_TRUE(loadTextures(images, 2));
    Mesh sky(skyMeshFile);
    ASSERT_GT(sky.vertexCount, 0);
    SplineCamera camera(&timer, "spline/camera0.spl", nullptr);
    ASSERT_TRUE(camera.path && camera.path->loaded);

    const float end = camera.path->endTime;
    for (int frame = 0; frame <= 13; ++frame) {
        const float t = end * frame / 13.0f;
        now = uint32_t(t * 1000.0f);
        timer.update();
        camera.update();
        glClearColor(0, 0, 0, 0);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        camera.apply();
        drawScenery(images, 2);
        drawSky(&sky, images);
        ASSERT_EQ(glGetError(), GLenum(GL_NO_ERROR));

        std::vector<unsigned char> pixels = gl.readPixels(0, 0, 1024, 768);
        int black = 0;
        for (size_t i = 0; i < pixels.size(); i += 4)
            if (pixels[i] < 4 && pixels[i + 1] < 4 && pixels[i + 2] < 4) ++black;
        char name[64];
        std::snprintf(name, sizeof name, "outdoor_set_flight_%03d.png", int(t));
        writePng(testOutputDir() + name, 1024, 768, pixels);
        EXPECT_LT(black, 1024 * 768 / 2000) << "clear colour shows through at " << t << " s (" << name << ")";
    }
}

// Stills from chosen places, through a one-key camera path each: the sky's
// zenith, the terrace looking across the lawn, the buttressed north wall, the
// pool and planter from low down. Each view shows the set, not the clear colour.
TEST_F(OutdoorSetPreview, StillsFromAroundTheSite) {
    TgaImage images[12];
    ASSERT_TRUE(loadTextures(images, 2));
    Mesh sky(skyMeshFile);
    struct Still {
        const char* name;
        float eye[3], target[3];
    };
    const Still stills[] = {
        {"zenith", {0, 20, 0}, {1, 200, 0.5f}},
        {"terrace", {-60, 9, -20}, {30, 8, 25}},
        {"north_wall", {-20, 6, 50}, {-30, 8, 80}},
        {"pool_and_planter", {-5, 3, -28}, {25, 12, 30}},
        {"moss_at_wall_foot", {-36, 3, 64}, {-30, 0.5, 75}},
        {"moss_on_boulder", {-15, 4.5, 49}, {-20, 1, 42}},
    };
    for (const Still& still : stills) {
        char path[400];
        std::snprintf(path, sizeof path, "6 0 2\n0 %g %g %g %g %g %g\n1 %g %g %g %g %g %g\n", still.eye[0], still.eye[1],
                      still.eye[2], still.target[0], still.target[1], still.target[2], still.eye[0], still.eye[1],
                      still.eye[2], still.target[0], still.target[1], still.target[2]);
        files.overwrite("spline/still.spl", path);
        SplineCamera camera(&timer, "spline/still.spl", nullptr);
        camera.update();
        glClearColor(0, 0, 0, 0);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        camera.apply();
        drawScenery(images, 2);
        drawSky(&sky, images);
        std::vector<unsigned char> pixels = gl.readPixels(0, 0, 1024, 768);
        int black = 0;
        for (size_t i = 0; i < pixels.size(); i += 4)
            if (pixels[i] < 4 && pixels[i + 1] < 4 && pixels[i + 2] < 4) ++black;
        writePng(testOutputDir() + "outdoor_set_still_" + still.name + ".png", 1024, 768, pixels);
        EXPECT_LT(black, 1024 * 768 / 2000) << still.name;
    }
}

// The set as the main view shows it: the shadow pass from the scene's fixed
// light, then the scenery through the shadow programs (lit by the low sun, with
// shadows) and the sky, at moments of the flight.
TEST_F(OutdoorSetPreview, MainViewLitWithShadows) {
    TgaImage images[12];
    ASSERT_TRUE(loadTextures(images, 2));
    Mesh sky(skyMeshFile);
    SplineCamera camera(&timer, "spline/camera0.spl", nullptr);
    ShadowMapper shadow;
    ASSERT_TRUE(shadow.hasPrograms());
    shadow.setLightPosition(120, 144, -120);
    for (float t : {24.0f, 60.0f, 120.0f, 150.0f}) {
        now = uint32_t(t * 1000.0f);
        timer.update();
        camera.update();
        glClearColor(0, 0, 0, 0);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        camera.apply();
        shadow.beginPass();
        drawScenery(images, 2);
        shadow.endPass();
        camera.apply();
        shadow.bind();
        drawScenery(images, 2);
        shadow.unbind();
        drawSky(&sky, images);
        ASSERT_EQ(glGetError(), GLenum(GL_NO_ERROR));
        std::vector<unsigned char> pixels = gl.readPixels(0, 0, 1024, 768);
        int black = 0;
        for (size_t i = 0; i < pixels.size(); i += 4)
            if (pixels[i] < 4 && pixels[i + 1] < 4 && pixels[i + 2] < 4) ++black;
        char name[64];
        std::snprintf(name, sizeof name, "outdoor_set_lit_%03d.png", int(t));
        writePng(testOutputDir() + name, 1024, 768, pixels);
        EXPECT_LT(black, 1024 * 768 / 2000) << name;
    }
}

}  // namespace
