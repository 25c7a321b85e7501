// Preview frames of the courtyard's shadows and pool: a stand-in set (ground round
// a sunken pool, walls, pillars, plants, a sky dome) drawn in the scene's pass
// order (shadow pass, the water's two captures, the main view) from three camera
// positions, saved as PNG for a person to look at.
#include <gtest/gtest.h>

#include <GL/glew.h>

#include <cmath>
#include <string>

#include "scenes/outdoor/shadow_mapper.h"
#include "scenes/outdoor/water_surface.h"
#include "support/capture.h"
#include "support/gl_test_context.h"
#include "support/outdoor_test_geometry.h"

namespace {

using namespace outdoor_test;

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

TEST(OutdoorPreview, ShadowsAndThePoolFromThreeCameraPositions) {
    GlTestContext gl;
    ASSERT_TRUE(gl.ok()) << gl.error();
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

}  // namespace
