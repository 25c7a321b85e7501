// The snowfall drawn on Mesa: the values its programs receive, the GL state it
// leaves, flakes in pixels over a simple courtyard at chosen scene times (with
// preview frames), melting at the ground, frame-rate independence, and harmless
// drawing with its shaders or texture missing.
#include <gtest/gtest.h>

#include <GL/glew.h>
#include <GL/glu.h>
#include <unistd.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "platform/clock/tick_count.h"
#include "platform/clock/timer.h"
#include "platform/random/crt_rand.h"
#include "scenes/outdoor/snow_files.h"
#include "scenes/outdoor/snowfall_effect.h"
#include "support/capture.h"
#include "support/gl_test_context.h"
#include "support/test_output.h"

namespace {

namespace fs = std::filesystem;
using Pixels = std::vector<unsigned char>;

constexpr int kWidth = 1024;
constexpr int kHeight = 768;

std::string testShader(const std::string& name) { return std::string(OKU_SOURCE_DIR) + "/tests/data/cg/" + name; }

class Snowfall : public ::testing::Test {
protected:
    // One context for the whole program, kept until exit (as the other shader tests do).
    static void SetUpTestSuite() {
        static GlTestContext* shared = new GlTestContext();
        context = shared;
    }

    void SetUp() override {
        ASSERT_TRUE(context->ok()) << context->error();
        setTickSource([this] { return ticks; });
        ticks = 0;
        timer = std::make_unique<Timer>();
        scratch = fs::temp_directory_path() / ("oku-snow-" + std::to_string(getpid()));
        fs::create_directories(scratch);
        crtSrand(1);
        glAlphaFunc(GL_GEQUAL, 0.5f);  // as the grass leaves it in the scene
    }
    void TearDown() override {
        snow.reset();
        timer.reset();
        setTickSource(nullptr);
        fs::remove_all(scratch);
        EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    }

    SnowfallEffect& make(int count = 10000, std::string vertex = snowVertexProgramFile,
                         std::string fragment = snowFragmentProgramFile, std::string texture = snowflakeTextureFile,
                         std::string windPath = snowWindPathFile) {
        // The effect borrows its path strings: keep them alive as long as it lives.
        paths = {vertex, fragment, texture, windPath};
        snow = std::make_unique<SnowfallEffect>(count, timer.get(), Vec3(-20, 20, -20), Vec3(20, 40, 20),
                                                paths[3].c_str(), false, Vec3(50, -1, 50), Vec3(-50, 0, -50),
                                                paths[0].c_str(), paths[1].c_str(), paths[2].c_str());
        EXPECT_TRUE(snow->initShaders());
        return *snow;
    }

    void at(double seconds) {
        ticks = static_cast<uint32_t>(std::lround(seconds * 1000.0));
        timer->update();
    }

    // Plays the scene's CPU side (what render does before drawing) from where the
    // clock stands, or from 90 s when the wind is still calm, to `seconds` at
    // `framesPerSecond`.
    void advanceTo(double seconds, double framesPerSecond) {
        for (double t = std::max(90.0, timer->total()); t < seconds; t += 1.0 / framesPerSecond) {
            at(t);
            snow->updateWind();
            snow->updateWind();  // the scene draws the snow twice a frame
            snow->respawnExpired();
        }
        at(seconds);
    }

    // The scene camera's arrangement: the whole view in the projection, identity
    // modelview, a 1024 x 1024 viewport of which the window shows the lower rows.
    static void courtyardView(bool close = false) {
        glViewport(0, 0, 1024, 1024);
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        gluPerspective(45.0, 1.0, 1.0, 2000.0);
        if (close)
            gluLookAt(4.0, 6.0, 28.0, 4.0, 12.0, 0.0, 0.0, 1.0, 0.0);
        else
            gluLookAt(0.0, 4.0, 70.0, 0.0, 26.0, 0.0, 0.0, 1.0, 0.0);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
    }

    // A dusky courtyard: sky, a paved ground and a back wall, fixed function.
    static void drawBackdrop() {
        glClearColor(0.10f, 0.13f, 0.22f, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glEnable(GL_DEPTH_TEST);
        glBegin(GL_QUADS);
        glColor3f(0.16f, 0.17f, 0.16f);
        glVertex3f(-60, 0, 60);
        glVertex3f(60, 0, 60);
        glVertex3f(60, 0, -45);
        glVertex3f(-60, 0, -45);
        glColor3f(0.30f, 0.26f, 0.22f);
        glVertex3f(-60, 0, -45);
        glVertex3f(60, 0, -45);
        glVertex3f(60, 30, -45);
        glVertex3f(-60, 30, -45);
        glEnd();
        glColor3f(1, 1, 1);
    }

    Pixels courtyardFrame(bool withSnow, bool close = false) {
        courtyardView(close);
        drawBackdrop();
        if (withSnow) snow->render();
        return context->readPixels(0, 0, kWidth, kHeight);
    }

    // Pixels where the frame is brighter than the backdrop by more than `margin`.
    static int brighterPixels(const Pixels& frame, const Pixels& backdrop, int margin = 12) {
        int count = 0;
        for (size_t i = 0; i < frame.size(); i += 4) {
            int lift = 0;
            for (int c = 0; c < 3; ++c) lift = std::max(lift, frame[i + c] - backdrop[i + c]);
            if (lift > margin) ++count;
        }
        return count;
    }
    static int darkerPixels(const Pixels& frame, const Pixels& backdrop) {
        int count = 0;
        for (size_t i = 0; i < frame.size(); i += 4)
            for (int c = 0; c < 3; ++c)
                if (frame[i + c] + 1 < backdrop[i + c]) ++count;
        return count;
    }

    static void save(const std::string& name, const Pixels& frame) {
        writePng(testOutputDir() + name, kWidth, kHeight, frame);
    }

    static GlTestContext* context;
    uint32_t ticks = 0;
    std::unique_ptr<Timer> timer;
    std::unique_ptr<SnowfallEffect> snow;
    std::vector<std::string> paths;
    fs::path scratch;
};

GlTestContext* Snowfall::context = nullptr;

// --- What the programs receive ---------------------------------------------------

class SnowfallInputs : public Snowfall {
protected:
    // The probe strip: slot n's colour decoded back to the value it encodes.
    Vec3 slot(int n) {
        Pixels p = context->readPixels(16 * n + 8, 8, 1, 1);
        auto decode = [](unsigned char c) { return c / 255.0f * 128.0f - 64.0f; };
        return Vec3(decode(p[0]), decode(p[1]), decode(p[2]));
    }
    void drawProbe() {
        glViewport(0, 0, 128, 16);
        glClearColor(0, 0, 0, 0);
        glClear(GL_COLOR_BUFFER_BIT);
        snow->render();
    }
};

TEST_F(SnowfallInputs, MeltingBoxRowsColorTimeMatricesAndFlakeArrays) {
    std::ofstream(scratch / "steady.spl") << "3 0 2\n0 1 -2 0.5\n200 1 -2 0.5\n";
    make(6, testShader("snow_probe_vertex.cg"), testShader("snow_probe_fragment.cg"), snowflakeTextureFile,
         (scratch / "steady.spl").string());
    ASSERT_NE(snow->shaders.vertexProgram, nullptr);
    ASSERT_NE(snow->shaders.fragmentProgram, nullptr);
    for (int i = 0; i < 6; ++i) snow->positions[i].x = static_cast<float>(i);
    const float windAtIssue[3] = {3, -4, 5};
    for (int c = 0; c < 3; ++c) snow->windData[4 * 4 + c] = windAtIssue[c];
    const float life[4] = {110, 25, 123, 21};
    for (int c = 0; c < 4; ++c) snow->lifeData[4 * 5 + c] = life[c];

    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glTranslatef(5, 0, 0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glTranslatef(0, 7, 0);
    glAlphaFunc(GL_ALWAYS, 0.0f);
    at(120.0);
    drawProbe();
    const float tolerance = 0.6f;
    // The corners arrive row by row in the order given, not sorted; "color" is white.
    EXPECT_NEAR(slot(0).x, 50, tolerance);
    EXPECT_NEAR(slot(0).y, -1, tolerance);
    EXPECT_NEAR(slot(0).z, 50, tolerance);
    EXPECT_NEAR(slot(1).x, -50, tolerance);
    EXPECT_NEAR(slot(1).y, 0, tolerance);
    EXPECT_NEAR(slot(1).z, -50, tolerance);
    EXPECT_NEAR(slot(3).x, 20, tolerance) << "time";
    EXPECT_NEAR(slot(3).y, 5, tolerance) << "modelViewProj is projection x modelview of the moment";
    EXPECT_NEAR(slot(3).z, 7, tolerance) << "modelView";
    EXPECT_NEAR(slot(4).x, 3, tolerance) << "windData on texture coordinate set 1";
    EXPECT_NEAR(slot(4).y, -4, tolerance);
    EXPECT_NEAR(slot(4).z, 5, tolerance);
    EXPECT_NEAR(slot(5).x, 10, tolerance) << "lifeData on texture coordinate set 0";
    EXPECT_NEAR(slot(5).y, 25, tolerance);
    EXPECT_NEAR(slot(5).z, 21, tolerance);

    // The wind: nothing at the first draw, nothing more at the second draw of the
    // same frame, then the path's velocity times the time passed.
    EXPECT_NEAR(slot(2).x, 0, tolerance);
    drawProbe();
    EXPECT_NEAR(slot(2).x, 0, tolerance);
    at(124.0);
    drawProbe();
    drawProbe();
    EXPECT_NEAR(slot(2).x, 4, tolerance);
    EXPECT_NEAR(slot(2).y, -8, tolerance);
    EXPECT_NEAR(slot(2).z, 2, tolerance);
    EXPECT_NEAR(slot(0).x, 50, tolerance) << "the set-once values hold";
    writePng(testOutputDir() + "snowfall_probe.png", 128, 16, context->readPixels(0, 0, 128, 16));
}

// --- GL state -----------------------------------------------------------------------

bool enabled(GLenum capability) { return glIsEnabled(capability) == GL_TRUE; }

void setEverything(bool on) {
    for (GLenum capability : {GL_TEXTURE_2D, GL_POINT_SPRITE_ARB, GL_VERTEX_PROGRAM_POINT_SIZE_ARB, GL_BLEND,
                              GL_DEPTH_TEST, GL_ALPHA_TEST})
        on ? glEnable(capability) : glDisable(capability);
    glTexEnvi(GL_POINT_SPRITE_ARB, GL_COORD_REPLACE_ARB, on ? GL_TRUE : GL_FALSE);
    glBlendFunc(on ? GL_ONE : GL_ZERO, on ? GL_ZERO : GL_ONE_MINUS_SRC_ALPHA);
    for (GLenum unit : {GL_TEXTURE1_ARB, GL_TEXTURE0_ARB}) {
        glClientActiveTextureARB(unit);
        on ? glEnableClientState(GL_TEXTURE_COORD_ARRAY) : glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    }
    on ? glEnableClientState(GL_VERTEX_ARRAY) : glDisableClientState(GL_VERTEX_ARRAY);
    glClientActiveTextureARB(on ? GL_TEXTURE1_ARB : GL_TEXTURE0_ARB);
}

TEST_F(Snowfall, LeavesTheSameFixedStateWhateverWasThereBefore) {
    make(2000);
    at(125.0);
    courtyardView();
    for (bool before : {true, false, true}) {
        setEverything(before);
        snow->render();
        SCOPED_TRACE(before ? "after everything on" : "after everything off");
        EXPECT_FALSE(enabled(GL_TEXTURE_2D));
        EXPECT_FALSE(enabled(GL_POINT_SPRITE_ARB));
        EXPECT_FALSE(enabled(GL_VERTEX_PROGRAM_POINT_SIZE_ARB));
        EXPECT_FALSE(enabled(GL_BLEND));
        EXPECT_TRUE(enabled(GL_DEPTH_TEST));
        EXPECT_FALSE(enabled(GL_ALPHA_TEST));
        GLint value = -1;
        glGetTexEnviv(GL_POINT_SPRITE_ARB, GL_COORD_REPLACE_ARB, &value);
        EXPECT_EQ(value, GL_FALSE);
        glGetIntegerv(GL_BLEND_SRC, &value);
        EXPECT_EQ(value, GL_SRC_ALPHA);
        glGetIntegerv(GL_BLEND_DST, &value);
        EXPECT_EQ(value, GL_ONE);
        EXPECT_FALSE(enabled(GL_VERTEX_ARRAY));
        glGetIntegerv(GL_CLIENT_ACTIVE_TEXTURE_ARB, &value);
        EXPECT_EQ(value, GL_TEXTURE0_ARB) << "client unit 0 selected last";
        glGetIntegerv(GL_ACTIVE_TEXTURE_ARB, &value);
        EXPECT_EQ(value, GL_TEXTURE0_ARB);
        glGetIntegerv(GL_TEXTURE_BINDING_2D, &value);
        EXPECT_EQ(static_cast<GLuint>(value), snow->image->textureId);
        glGetIntegerv(GL_CURRENT_PROGRAM, &value);
        EXPECT_EQ(value, 0) << "both profiles disabled";
        for (GLenum unit : {GL_TEXTURE1_ARB, GL_TEXTURE0_ARB}) {
            glClientActiveTextureARB(unit);
            EXPECT_FALSE(enabled(GL_TEXTURE_COORD_ARRAY));
        }
        EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    }
}

// --- In pixels ------------------------------------------------------------------------

TEST_F(Snowfall, FallsFrom110SecondsOnAndPreviewFrames) {
    make();
    EXPECT_NE(snow->image->textureId, 0u);
    at(1.0);
    const Pixels backdrop = courtyardFrame(false);
    save("snowfall_backdrop.png", backdrop);

    struct Moment {
        double seconds;
        const char* file;
        int flakePixels = 0;
    } moments[] = {{100.0, "snowfall_100s.png"}, {109.9, "snowfall_109s.png"}, {115.0, "snowfall_115s.png"},
                   {125.0, "snowfall_125s.png"}, {140.0, "snowfall_140s.png"}};
    for (Moment& moment : moments) {
        advanceTo(moment.seconds, 10.0);
        const Pixels frame = courtyardFrame(true);
        save(moment.file, frame);
        moment.flakePixels = brighterPixels(frame, backdrop);
        EXPECT_EQ(darkerPixels(frame, backdrop), 0) << moment.seconds << " s: snow only adds light";
        std::printf("%6.1f s: %d pixels lit by flakes\n", moment.seconds, moment.flakePixels);
        if (moment.seconds == 125.0) save("snowfall_125s_close.png", courtyardFrame(true, true));
    }
    EXPECT_EQ(moments[0].flakePixels, 0) << "no flake before 110 s";
    EXPECT_EQ(moments[1].flakePixels, 0);
    EXPECT_GT(moments[2].flakePixels, 2000) << "the first flakes at 115 s";
    EXPECT_GT(moments[3].flakePixels, moments[2].flakePixels) << "all flakes out by 125 s";
    EXPECT_GT(moments[4].flakePixels, 2000) << "still snowing at 140 s";
}

TEST_F(Snowfall, NoFlakeBelowTheMeltingBox) {
    make();
    // From the side, orthographic: world height maps straight to window rows,
    // y = -5 at row 0 and y = 25 at the top (y = -1 at row 102, y = 0 at row 128).
    auto sideView = [] {
        glViewport(0, 0, kWidth, kHeight);
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glOrtho(-60.0, 60.0, -5.0, 25.0, -200.0, 200.0);
        gluLookAt(0.0, 0.0, 50.0, 0.0, 0.0, 0.0, 0.0, 1.0, 0.0);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        glClearColor(0, 0, 0, 1);
        glClear(GL_COLOR_BUFFER_BIT);
    };
    int landed = 0;
    for (double seconds : {125.0, 135.0, 142.0, 146.0}) {
        advanceTo(seconds, 10.0);
        sideView();
        snow->render();
        const Pixels frame = context->readPixels(0, 0, kWidth, kHeight);
        char name[64];
        std::snprintf(name, sizeof name, "snowfall_side_%03ds.png", static_cast<int>(seconds));
        save(name, frame);
        int below = 0, above = 0;
        for (int row = 0; row < kHeight; ++row)
            for (int column = 0; column < kWidth; ++column) {
                const unsigned char* p = &frame[(size_t(row) * kWidth + column) * 4];
                if (std::max({p[0], p[1], p[2]}) <= 8) continue;
                if (row < 96) ++below;      // under the box, beyond any sprite's reach
                else if (row < 160) ++landed;  // near the ground
                else ++above;
            }
        EXPECT_EQ(below, 0) << seconds << " s";
        EXPECT_GT(above, 500) << seconds << " s";
    }
    EXPECT_GT(landed, 0) << "flakes reach the ground before they melt";
}

TEST_F(Snowfall, LooksTheSameAtEightAndAtSixtyFramesASecond) {
    auto flakeCentre = [this](double framesPerSecond, Pixels* out) {
        crtSrand(1);
        ticks = 0;
        timer = std::make_unique<Timer>();
        make(3000);
        advanceTo(128.0, framesPerSecond);
        const Pixels frame = courtyardFrame(true);
        *out = frame;
        double sumX = 0, sumY = 0, weight = 0;
        for (int row = 0; row < kHeight; ++row)
            for (int column = 0; column < kWidth; ++column) {
                const unsigned char* p = &frame[(size_t(row) * kWidth + column) * 4];
                const double lift = std::max(0, p[0] - 60);
                sumX += lift * column;
                sumY += lift * row;
                weight += lift;
            }
        return std::make_pair(sumX / weight, sumY / weight);
    };
    Pixels slow, fast;
    const auto atEight = flakeCentre(8.0, &slow);
    const auto atSixty = flakeCentre(60.0, &fast);
    std::printf("flake centre at 8 fps (%.2f, %.2f), at 60 fps (%.2f, %.2f)\n", atEight.first, atEight.second,
                atSixty.first, atSixty.second);
    EXPECT_NEAR(atEight.first, atSixty.first, 1.5);
    EXPECT_NEAR(atEight.second, atSixty.second, 1.5);
    save("snowfall_8fps.png", slow);
    save("snowfall_60fps.png", fast);
}

// --- Missing or broken data --------------------------------------------------------

TEST_F(Snowfall, WithoutItsVertexProgramNothingIsDrawn) {
    std::ofstream(scratch / "garbage.cg") << "this is { not a shader";
    for (std::string vertex : {std::string("Cg/no_such_vertex.cg"), (scratch / "garbage.cg").string()}) {
        MessageBoxRecorder boxes;
        crtSrand(1);
        make(10000, vertex);
        EXPECT_EQ(snow->shaders.vertexProgram, nullptr);
        EXPECT_TRUE(boxes.boxes.empty()) << "the snow shows no message for its programs";
        advanceTo(125.0, 4.0);
        const Pixels backdrop = courtyardFrame(false);
        const Pixels frame = courtyardFrame(true);
        EXPECT_EQ(brighterPixels(frame, backdrop, 0), 0) << vertex;
        EXPECT_EQ(darkerPixels(frame, backdrop), 0) << vertex;
    }
}

TEST_F(Snowfall, WithoutItsFragmentProgramFlakesArePlainSprites) {
    make(10000, snowVertexProgramFile, "Cg/no_such_fragment.cg");
    EXPECT_EQ(snow->shaders.fragmentProgram, nullptr);
    advanceTo(125.0, 4.0);
    const Pixels backdrop = courtyardFrame(false);
    const Pixels frame = courtyardFrame(true);
    save("snowfall_no_fragment_program.png", frame);
    EXPECT_GT(brighterPixels(frame, backdrop), 2000);
    EXPECT_EQ(darkerPixels(frame, backdrop), 0);
}

TEST_F(Snowfall, WithoutItsTextureFlakesAreSoftDiscs) {
    MessageBoxRecorder boxes;
    make(10000, snowVertexProgramFile, snowFragmentProgramFile, "textures/no_such_flake.tga");
    ASSERT_EQ(boxes.boxes.size(), 1u) << "the reader's message";
    EXPECT_EQ(snow->image->textureId, 0u);
    advanceTo(125.0, 4.0);
    const Pixels backdrop = courtyardFrame(false);
    const Pixels frame = courtyardFrame(true);
    save("snowfall_no_texture.png", frame);
    EXPECT_GT(brighterPixels(frame, backdrop), 2000);
    EXPECT_EQ(darkerPixels(frame, backdrop), 0);
}

TEST_F(Snowfall, NoFlakesDrawNothing) {
    make(0);
    advanceTo(125.0, 4.0);
    const Pixels backdrop = courtyardFrame(false);
    EXPECT_EQ(brighterPixels(courtyardFrame(true), backdrop, 0), 0);
}

}  // namespace
