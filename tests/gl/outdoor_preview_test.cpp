// Preview frames of the outdoor scene, saved as PNG for a person to look at and
// checked for what a viewer notices first: the clear colour showing through a hole
// in the set, a frame that does not change. Three stages: the bare set (sky dome
// and scenery, plain as the water's reflection pass draws them, and lit with
// shadows as the main view draws it); a stand-in courtyard through the scene's
// pass order (shadow pass, the water's two captures, the main view); the real
// GrowingGrass along its flight.
#include <gtest/gtest.h>

#include <GL/glew.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "assets/mesh.h"
#include "math/spline.h"
#include "math/spline_camera.h"
#include "platform/clock/tick_count.h"
#include "platform/clock/timer.h"
#include "scenes/outdoor/growing_grass.h"
#include "scenes/outdoor/scenery.h"
#include "scenes/outdoor/shadow_mapper.h"
#include "scenes/outdoor/water_surface.h"
#include "support/capture.h"
#include "support/gl_test_context.h"
#include "support/outdoor_set_files.h"
#include "support/outdoor_test_geometry.h"
#include "support/pixel_count.h"
#include "support/test_output.h"

namespace {

using namespace outdoor_test;

constexpr int windowPixels = 1024 * 768;

// A GL context on a clock the test sets (`now`, in milliseconds).
class OutdoorPreview : public ::testing::Test {
protected:
    OutdoorPreview() { setTickSource([this] { return now; }); }
    ~OutdoorPreview() override { setTickSource(nullptr); }
    void SetUp() override { ASSERT_TRUE(gl.ok()) << gl.error(); }

    // The shell's start-up state: textures on, depth test, back faces culled.
    static void useShellStartUpState() {
        glEnable(GL_TEXTURE_2D);
        glShadeModel(GL_SMOOTH);
        glClearDepth(1.0);
        glEnable(GL_DEPTH_TEST);
        glDepthFunc(GL_LESS);
        glCullFace(GL_BACK);
        glEnable(GL_CULL_FACE);
    }

    // Reads the window, saves it as `name` and expects fewer than `allowedBlack`
    // pixels of clear colour in it.
    std::vector<unsigned char> saveAndExpectNoHoles(const std::string& name, int allowedBlack) {
        std::vector<unsigned char> pixels = gl.readPixels(0, 0, 1024, 768);
        writePng(testOutputDir() + name, 1024, 768, pixels);
        EXPECT_LT(blackPixels(pixels), allowedBlack) << "clear colour shows through in " << name;
        return pixels;
    }

    uint32_t now = 0;
    GlTestContext gl;
};

// The outdoor set's data as the build made it, in a scratch working directory,
// seen through the demo's own camera on a clock starting at 0.
class OutdoorSetPreview : public OutdoorPreview {
protected:
    OutdoorSetPreview() { timer.reset(); }
    void SetUp() override {
        OutdoorPreview::SetUp();
        useShellStartUpState();
        ASSERT_TRUE(loadTextures(images, 2));
        ASSERT_GT(sky.vertexCount, 0);
    }

    void moveClockTo(float t) {
        now = uint32_t(t * 1000.0f);
        timer.update();
    }
    // A frame of the bare set: the scenery (by fixed function, or through the shadow
    // programs after a shadow pass) and the sky.
    void drawSet(SplineCamera& camera, ShadowMapper* shadow = nullptr) {
        glClearColor(0, 0, 0, 0);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        camera.apply();
        if (shadow) {
            shadow->beginPass();
            drawScenery(images, 2);
            shadow->endPass();
            camera.apply();
            shadow->bind();
        }
        drawScenery(images, 2);
        if (shadow) shadow->unbind();
        drawSky(&sky, images);
        ASSERT_EQ(glGetError(), GLenum(GL_NO_ERROR));
    }

    OutdoorSetDirectory files;
    Timer timer;
    TgaImage images[12];
    Mesh sky{skyMeshFile};
};

// Every pixel of every frame is covered by the set or the sky: no hole in the
// dome, the ground or the walls lets the clear colour through, and no face the
// camera should see is culled away.
TEST_F(OutdoorSetPreview, FlightShowsTheSetUnderTheSkyWithoutHoles) {
    SplineCamera camera(&timer, "spline/camera0.spl", nullptr);
    ASSERT_TRUE(camera.path && camera.path->loaded);
    const float end = camera.path->endTime;
    for (int frame = 0; frame <= 13; ++frame) {
        const float t = end * frame / 13.0f;
        moveClockTo(t);
        camera.update();
        drawSet(camera);
        char name[64];
        std::snprintf(name, sizeof name, "outdoor_set_flight_%03d.png", int(t));
        saveAndExpectNoHoles(name, windowPixels / 2000);
    }
}

// Stills from chosen places, through a one-key camera path each: the sky's
// zenith, the terrace looking across the lawn, the buttressed north wall, the
// pool and planter from low down, the moss. Each view shows the set, not the clear colour.
TEST_F(OutdoorSetPreview, StillsFromAroundTheSite) {
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
        drawSet(camera);
        saveAndExpectNoHoles(std::string("outdoor_set_still_") + still.name + ".png", windowPixels / 2000);
    }
}

// The set as the main view shows it: the shadow pass from the scene's fixed
// light, then the scenery through the shadow programs (lit by the low sun, with
// shadows) and the sky, at moments of the flight.
TEST_F(OutdoorSetPreview, MainViewLitWithShadows) {
    SplineCamera camera(&timer, "spline/camera0.spl", nullptr);
    ShadowMapper shadow;
    ASSERT_TRUE(shadow.hasPrograms());
    shadow.setLightPosition(120, 144, -120);
    for (float t : {24.0f, 60.0f, 120.0f, 150.0f}) {
        moveClockTo(t);
        camera.update();
        drawSet(camera, &shadow);
        char name[64];
        std::snprintf(name, sizeof name, "outdoor_set_lit_%03d.png", int(t));
        saveAndExpectNoHoles(name, windowPixels / 2000);
    }
}

// A stand-in courtyard (ground round a sunken pool, walls, pillars, plants, a sky
// dome) drawn in the scene's pass order from three camera positions.
class StandInCourtyard {
public:
    StandInCourtyard() {
        paving = makeTexture(64, 64, [](int x, int y) {
            const bool joint = (x % 32) < 2 || (y % 32) < 2;
            const int grain = ((x * 7 + y * 13) % 11) * 2;
            return joint ? Rgba{120, 115, 110, 255}
                         : Rgba{static_cast<unsigned char>(196 + grain), static_cast<unsigned char>(190 + grain),
                                static_cast<unsigned char>(182 + grain), 255};
        });
        tiles = makeTexture(32, 32, [](int x, int y) {
            const bool joint = (x % 16) < 1 || (y % 16) < 1;
            return joint ? Rgba{200, 210, 210, 255} : Rgba{60, 150, 170, 255};
        });
        bricks = makeTexture(64, 64, [](int x, int y) {
            const int row = y / 8;
            const bool joint = (y % 8) < 1 || ((x + (row % 2) * 16) % 32) < 1;
            const int shade = ((x / 32 + row * 3) % 5) * 6;
            return joint ? Rgba{170, 165, 150, 255}
                         : Rgba{static_cast<unsigned char>(150 + shade), static_cast<unsigned char>(72 + shade / 2),
                                static_cast<unsigned char>(52), 255};
        });
        leaves = makeTexture(16, 16, [](int x, int y) {
            return Rgba{static_cast<unsigned char>(50 + (x * 5) % 20), static_cast<unsigned char>(120 + (y * 9) % 40),
                        40, 255};
        });
    }

    void drawScenery() const {
        glEnable(GL_TEXTURE_2D);
        glColor4f(1, 1, 1, 1);
        // Ground round the pool hole (the pool spans -30..30).
        glBindTexture(GL_TEXTURE_2D, paving);
        drawBox(Vec3(-80, -1, -80), Vec3(80, 0, -30));
        drawBox(Vec3(-80, -1, 30), Vec3(80, 0, 80));
        drawBox(Vec3(-80, -1, -30), Vec3(-30, 0, 30));
        drawBox(Vec3(30, -1, -30), Vec3(80, 0, 30));
        // The pool's floor and walls.
        glBindTexture(GL_TEXTURE_2D, tiles);
        drawFloor(-4.0f, 30.0f, 12.0f);
        drawBox(Vec3(-31, -4, -31), Vec3(-30, 0, 31));
        drawBox(Vec3(30, -4, -31), Vec3(31, 0, 31));
        drawBox(Vec3(-31, -4, -31), Vec3(31, 0, -30));
        drawBox(Vec3(-31, -4, 30), Vec3(31, 0, 31));
        // Courtyard walls and pillars.
        glBindTexture(GL_TEXTURE_2D, bricks);
        drawBox(Vec3(-70, 0, -72), Vec3(70, 14, -68));
        drawBox(Vec3(-72, 0, -70), Vec3(-68, 14, 70));
        drawBox(Vec3(68, 0, -70), Vec3(72, 14, 40));
        for (float x : {-45.0f, 45.0f})
            for (float z : {-45.0f, 45.0f}) drawBox(Vec3(x - 2, 0, z - 2), Vec3(x + 2, 18, z + 2));
        // Plants: trunks with a crown of slabs.
        glBindTexture(GL_TEXTURE_2D, leaves);
        for (const Vec3& at : {Vec3(40, 0, -10), Vec3(-40, 0, 15), Vec3(10, 0, 40)}) {
            drawBox(at + Vec3(-0.6f, 0, -0.6f), at + Vec3(0.6f, 9, 0.6f));
            for (int leaf = 0; leaf < 5; ++leaf) {
                const float a = leaf * 1.2566f;
                const Vec3 tip = at + Vec3(5.0f * std::cos(a), 8.0f, 5.0f * std::sin(a));
                drawBox(Vec3(std::min(at.x, tip.x) - 0.8f, 8.5f, std::min(at.z, tip.z) - 0.8f),
                        Vec3(std::max(at.x, tip.x) + 0.8f, 9.0f, std::max(at.z, tip.z) + 0.8f));
            }
        }
    }

    // A dome of winter sky, pale at the horizon and deeper overhead.
    static void drawSky() {
        glDisable(GL_TEXTURE_2D);
        const float radius = 420.0f;
        for (int ring = 0; ring < 8; ++ring) {
            glBegin(GL_QUAD_STRIP);
            for (int step = 0; step <= 24; ++step) {
                const float azimuth = step * 6.2831853f / 24.0f;
                for (int k = 1; k >= 0; --k) {
                    const float elevation = (ring + k) * 1.5707963f / 8.0f;
                    const float h = std::sin(elevation);
                    glColor3f(0.78f - 0.4f * h, 0.84f - 0.3f * h, 0.92f - 0.12f * h);
                    glVertex3f(radius * std::cos(elevation) * std::cos(azimuth), radius * h - 40.0f,
                               radius * std::cos(elevation) * std::sin(azimuth));
                }
            }
            glEnd();
        }
        glColor3f(1, 1, 1);
        glEnable(GL_TEXTURE_2D);
    }

private:
    GLuint paving = 0, tiles = 0, bricks = 0, leaves = 0;
};

TEST_F(OutdoorPreview, ShadowsAndThePoolFromThreeCameraPositions) {
    MessageBoxRecorder boxes;
    StandInCourtyard set;
    ShadowMapper shadow;
    shadow.setLightPosition(120.0f, 144.0f, -120.0f);
    auto camera = placedCamera(Vec3(0, 30, 90), Vec3(0, 0, 0));
    WaterSurface water(camera.get(), 0.0f, 1.0f, 0.0f, 0.0f, &shadow);
    ASSERT_TRUE(boxes.boxes.empty());

    const struct {
        Vec3 eye, target;
        const char* name;
    } views[3] = {{Vec3(-10, 28, 85), Vec3(0, 0, -5), "outdoor_preview_overview.png"},
                  {Vec3(-20, 5, 58), Vec3(8, 1, -20), "outdoor_preview_low.png"},
                  {Vec3(25, 40, 25), Vec3(-5, -4, -5), "outdoor_preview_above.png"}};
    for (const auto& view : views) {
        camera->position = view.eye;
        camera->direction = view.target - view.eye;
        camera->direction.normalize();
        glClearColor(0, 0, 0, 0);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        camera->apply();
        shadow.beginPass();
        set.drawScenery();
        shadow.endPass();
        camera->apply();
        water.beginReflection();
        set.drawScenery();
        StandInCourtyard::drawSky();
        water.endReflection();
        water.beginRefraction();
        set.drawScenery();
        water.endRefraction();
        camera->apply();
        shadow.bind();
        set.drawScenery();
        shadow.unbind();
        water.render();
        StandInCourtyard::drawSky();
        saveWindow(view.name);

        const WindowPoint pool = projectToWindow(Vec3(0, 0, 0));
        ASSERT_TRUE(pool.inFront);
        if (pool.y < 768) {
            EXPECT_GT(brightness(pixel(pool.x, pool.y)), 15.0f) << view.name;
        }
        EXPECT_GT(brightness(pixel(512, 100)), 40.0f) << view.name;
    }
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

// The scene times to look at: by default the moments of the flight that matter
// (the opening, the grass rising, the swaying field, the pool, the snow);
// OKU_FLIGHT_TIMES="0 6 12 ..." renders the given times (in increasing order) instead.
std::vector<float> previewTimes() {
    std::vector<float> times;
    if (const char* list = std::getenv("OKU_FLIGHT_TIMES")) {
        char* end = nullptr;
        for (float t = std::strtof(list, &end); end != list; t = std::strtof(list, &end)) {
            if (t >= 0.0f && (times.empty() || t > times.back())) times.push_back(t);
            list = end;
        }
    }
    if (times.empty()) times = {5.0f, 20.0f, 38.0f, 45.0f, 70.0f, 100.0f, 118.0f, 140.0f};
    return times;
}

// The real scene with all its passes at moments of its flight: every frame shows
// the set under its sky with nothing missing (the clear colour never shows
// through), and the view changes from frame to frame.
TEST_F(OutdoorPreview, FlightThroughTheWholeScene) {
    useShellStartUpState();
    now = 1000;
    MessageBoxRecorder boxes;
    GrowingGrass scene(nullptr, nullptr);
    ASSERT_TRUE(scene.init());
    EXPECT_TRUE(boxes.boxes.empty()) << boxes.boxes.front().caption << ": " << boxes.boxes.front().text;

    const uint32_t start = now;
    std::vector<unsigned char> previous;
    for (float t : previewTimes()) {
        now = start + uint32_t(t * 1000.0f + 0.5f);
        ASSERT_TRUE(scene.step());
        ASSERT_EQ(glGetError(), GLenum(GL_NO_ERROR)) << "at " << t << " s";
        char name[64];
        std::snprintf(name, sizeof name, "outdoor_flight_%03d.png", int(t + 0.5f));
        std::vector<unsigned char> pixels = saveAndExpectNoHoles(name, windowPixels / 1000);
        gl.swap();
        if (!previous.empty()) {
            double difference = 0.0;  // mean absolute difference per channel
            for (size_t i = 0; i < pixels.size(); ++i) difference += std::abs(int(previous[i]) - int(pixels[i]));
            EXPECT_GT(difference / double(pixels.size()), 2.0) << "a still picture at " << t << " s";
        }
        previous = std::move(pixels);
    }
    EXPECT_TRUE(scene.cleanup());
}

}  // namespace
