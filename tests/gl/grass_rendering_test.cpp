// Grass field in pixels on llvmpipe: flat before the start, growing, swaying, the GL
// state it leaves, and what it draws with missing shaders, texture or images.
#include <GL/glew.h>
#include <GL/glu.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "platform/clock/tick_count.h"
#include "platform/clock/timer.h"
#include "platform/random/crt_rand.h"
#include "scenes/outdoor/grass_field.h"
#include "scenes/outdoor/grass_files.h"
#include "support/tga_file_bytes.h"
#include "support/capture.h"
#include "support/gl_test_context.h"
#include "support/test_output.h"
#include "support/pixel_count.h"

namespace {

constexpr int kWidth = 1024, kHeight = 768;

using Pixels = std::vector<unsigned char>;

struct Difference {
    int changed = 0;         // pixels that differ from the bare ground
    double red = 0, green = 0, blue = 0;  // mean colour of the changed pixels
};

Difference compare(const Pixels& ground, const Pixels& frame) {
    Difference d;
    for (size_t i = 0; i + 3 < frame.size(); i += 4) {
        if (std::abs(frame[i] - ground[i]) + std::abs(frame[i + 1] - ground[i + 1]) +
                std::abs(frame[i + 2] - ground[i + 2]) <= 6)
            continue;
        ++d.changed;
        d.red += frame[i];
        d.green += frame[i + 1];
        d.blue += frame[i + 2];
    }
    if (d.changed) {
        d.red /= d.changed;
        d.green /= d.changed;
        d.blue /= d.changed;
    }
    return d;
}

int pixelsThatDiffer(const Pixels& a, const Pixels& b) {
    return countPixels(a, b, [](const unsigned char* p, const unsigned char* q) {
        return p[0] != q[0] || p[1] != q[1] || p[2] != q[2];
    });
}

class GrassRendering : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        static GlTestContext* shared = new GlTestContext(kWidth, kHeight);
        context = shared;
    }

    void SetUp() override {
        ASSERT_TRUE(context->ok()) << context->error();
        crtSrand(1);
        setTickSource([this] { return now; });
        timer = std::make_unique<Timer>();
    }
    void TearDown() override {
        grass.reset();
        setTickSource(nullptr);
    }

    // The scene's field, with any of its files replaced.
    void makeField(const char* vertexProgram = grassVertexProgramFile,
                   const char* fragmentProgram = grassFragmentProgramFile,
                   const char* bladeTexture = grassBladeTextureFile,
                   const char* positionImage = grassPositionImageFile) {
        grass = std::make_unique<GrassField>(grassBladeCount, grassGrowthSpan, vertexProgram, fragmentProgram,
                                             bladeTexture, positionImage, grassWindImageFile, grassFieldSize,
                                             timer.get());
        grass->setUp();
        grass->growthStart = grassGrowthStart;
    }

    void at(float seconds) {
        now = static_cast<uint32_t>(std::lround(seconds * 1000.0f));
        timer->update();
    }

    // The scene's convention: the whole view in the projection matrix, identity
    // model-view. From the south-west corner, a little above the grass.
    static void lookAt(float eyeX, float eyeY, float eyeZ, float atX, float atY, float atZ) {
        glViewport(0, 0, kWidth, kHeight);
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        gluPerspective(50.0, double(kWidth) / kHeight, 0.5, 500.0);
        gluLookAt(eyeX, eyeY, eyeZ, atX, atY, atZ, 0, 1, 0);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
    }
    static void overview() { lookAt(-44.0f, 14.0f, -50.0f, 4.0f, 0.0f, 4.0f); }

    // Frosty ground with the pool basin, drawn flat with fixed function.
    static void drawGround() {
        glClearColor(0.62f, 0.68f, 0.76f, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glEnable(GL_DEPTH_TEST);
        glDisable(GL_TEXTURE_2D);
        glBegin(GL_QUADS);
        glColor3f(0.47f, 0.44f, 0.40f);
        glVertex3f(-60, -0.02f, -60);
        glVertex3f(60, -0.02f, -60);
        glVertex3f(60, -0.02f, 60);
        glVertex3f(-60, -0.02f, 60);
        glColor3f(0.16f, 0.27f, 0.36f);
        glVertex3f(-16.5f, -0.01f, -17);
        glVertex3f(16.5f, -0.01f, -17);
        glVertex3f(16.5f, -0.01f, 17);
        glVertex3f(-16.5f, -0.01f, 17);
        glEnd();
        glColor3f(1, 1, 1);
    }

    Pixels groundOnly() {
        drawGround();
        return context->readPixels(0, 0, kWidth, kHeight);
    }
    Pixels frameAt(float seconds) {
        at(seconds);
        drawGround();
        grass->render();
        return context->readPixels(0, 0, kWidth, kHeight);
    }
    static void save(const std::string& name, const Pixels& pixels) {
        writePng(testOutputDir() + name, kWidth, kHeight, pixels);
    }

    static GlTestContext* context;
    uint32_t now = 0;
    std::unique_ptr<Timer> timer;
    std::unique_ptr<GrassField> grass;
};

GlTestContext* GrassRendering::context = nullptr;

TEST_F(GrassRendering, LiesFlatBeforeThirtySecondsAndRisesUntilFifty) {
    makeField();
    ASSERT_TRUE(grass->hasBlades()) << "generated images missing from the run directory?";
    overview();
    const Pixels ground = groundOnly();

    EXPECT_EQ(compare(ground, frameAt(29.0f)).changed, 0) << "nothing above the ground before the start";
    EXPECT_EQ(compare(ground, frameAt(30.0f)).changed, 0);

    const Pixels at35 = frameAt(35.0f), at40 = frameAt(40.0f), at45 = frameAt(45.0f), at50 = frameAt(50.0f);
    save("grass_35s.png", at35);
    save("grass_45s.png", at45);
    const Difference d35 = compare(ground, at35), d40 = compare(ground, at40), d50 = compare(ground, at50);
    EXPECT_GT(d35.changed, 0);
    EXPECT_GT(d40.changed, d35.changed);
    EXPECT_GT(d50.changed, d40.changed * 1.3) << "taller and wider at 50 s than at 40 s";
    EXPECT_GT(d50.changed, kWidth * kHeight / 10) << "a field, not a few blades";
    // Grass green, and lit: not black.
    EXPECT_GT(d50.green, d50.red);
    EXPECT_GT(d50.green, d50.blue);
    EXPECT_GT(d50.green, 60.0);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(GrassRendering, SwaysOnceGrown) {
    makeField();
    overview();
    const Pixels at100 = frameAt(100.0f), at101 = frameAt(101.0f), again100 = frameAt(100.0f);
    save("grass_100s.png", at100);
    EXPECT_EQ(pixelsThatDiffer(at100, again100), 0) << "the same time draws the same picture";
    EXPECT_GT(pixelsThatDiffer(at100, at101), 20000) << "the wind moves the blades";
    // Grown: the field keeps its height between 100 s and 101 s.
    const Pixels ground = groundOnly();
    const double ratio = double(compare(ground, at101).changed) / compare(ground, at100).changed;
    EXPECT_NEAR(ratio, 1.0, 0.1);

    lookAt(-30.0f, 3.0f, -34.0f, -20.0f, 1.0f, -24.0f);
    save("grass_close_100s.png", frameAt(100.0f));
    save("grass_close_102s.png", frameAt(102.0f));
}

TEST_F(GrassRendering, KeepsOutOfThePool) {
    makeField();
    // From straight above the pool: its basin (and a margin) stays clear.
    glViewport(0, 0, kWidth, kHeight);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(-24 * 4.0 / 3.0, 24 * 4.0 / 3.0, -24, 24, -100, 100);
    gluLookAt(0, 50, 0, 0, 0, 0, 0, 0, 1);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    const Pixels ground = groundOnly();
    const Pixels frame = frameAt(60.0f);
    save("grass_pool_from_above.png", frame);
    // The basin spans |x| <= 16.5, |z| <= 17: 16 pixels per unit in this view.
    int inside = 0, near = 0;
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x) {
            const double wx = (x + 0.5 - kWidth / 2.0) / 16.0, wz = (y + 0.5 - kHeight / 2.0) / 16.0;
            const size_t i = (size_t(y) * kWidth + x) * 4;
            const bool changed = ground[i] != frame[i] || ground[i + 1] != frame[i + 1] || ground[i + 2] != frame[i + 2];
            if (std::fabs(wx) <= 16.5 && std::fabs(wz) <= 17.0) inside += changed;
            if (std::fabs(wx) > 22.0 || std::fabs(wz) > 22.5) near += changed;
        }
    EXPECT_EQ(inside, 0) << "no blade over the water";
    EXPECT_GT(near, 5000) << "grass around it";
}

TEST_F(GrassRendering, LeavesTheStateItsHeaderLists) {
    makeField();
    overview();
    glEnable(GL_CULL_FACE);
    glEnable(GL_ALPHA_TEST);
    frameAt(60.0f);
    EXPECT_FALSE(glIsEnabled(GL_CULL_FACE));
    EXPECT_FALSE(glIsEnabled(GL_ALPHA_TEST));
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
    EXPECT_FALSE(glIsEnabled(GL_VERTEX_ARRAY));
    EXPECT_EQ(glInteger(GL_ARRAY_BUFFER_BINDING), 0);
    EXPECT_EQ(glInteger(GL_ELEMENT_ARRAY_BUFFER_BINDING), 0);
    for (int unit = 0; unit < 3; ++unit) {
        glClientActiveTexture(GL_TEXTURE0 + unit);
        EXPECT_FALSE(glIsEnabled(GL_TEXTURE_COORD_ARRAY)) << unit;
    }
    glClientActiveTexture(GL_TEXTURE0);
    frameAt(60.0f);
    EXPECT_EQ(glInteger(GL_CLIENT_ACTIVE_TEXTURE), GL_TEXTURE0);
    EXPECT_EQ(glInteger(GL_CURRENT_PROGRAM), 0) << "fixed function again for what follows";
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    glDisable(GL_DEPTH_TEST);
}

TEST_F(GrassRendering, UploadsFiveBuffersOfTheArraysSizes) {
    makeField();
    struct {
        GLuint buffer;
        GLenum target;
        GLint bytes;
    } expected[] = {{grass->positionBuffer, GL_ARRAY_BUFFER, 4 * 20 * grassBladeCount},
                    {grass->texCoordBuffer, GL_ARRAY_BUFFER, 4 * 10 * grassBladeCount},
                    {grass->offsetBuffer, GL_ARRAY_BUFFER, 4 * 15 * grassBladeCount},
                    {grass->windBuffer, GL_ARRAY_BUFFER, 4 * 15 * grassBladeCount},
                    {grass->indexBuffer, GL_ELEMENT_ARRAY_BUFFER, 2 * 9 * grassBladeCount}};
    for (const auto& e : expected) {
        ASSERT_NE(e.buffer, 0u);
        glBindBuffer(e.target, e.buffer);
        GLint bytes = 0, usage = 0;
        glGetBufferParameteriv(e.target, GL_BUFFER_SIZE, &bytes);
        glGetBufferParameteriv(e.target, GL_BUFFER_USAGE, &usage);
        EXPECT_EQ(bytes, e.bytes);
        EXPECT_EQ(usage, GL_STATIC_DRAW);
        glBindBuffer(e.target, 0);
    }
    unsigned short lastIndices[9] = {};
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, grass->indexBuffer);
    glGetBufferSubData(GL_ELEMENT_ARRAY_BUFFER, 2 * 9 * (grassBladeCount - 1), sizeof lastIndices, lastIndices);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, 0);
    EXPECT_EQ(lastIndices[8], 5 * grassBladeCount - 1);
}

TEST_F(GrassRendering, MissingVertexProgramIsReportedAndDrawsNothing) {
    MessageBoxRecorder boxes;
    makeField("./Cg/Missing_vertex.cg");
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].text, "Kein Vertex Shader");
    EXPECT_EQ(boxes.boxes[0].caption, "So a Schaß");
    overview();
    const Pixels ground = groundOnly();
    EXPECT_EQ(compare(ground, frameAt(60.0f)).changed, 0) << "harmless: the ground shows unchanged";
}

TEST_F(GrassRendering, MissingFragmentProgramDrawsPlainTexturedBlades) {
    MessageBoxRecorder boxes;
    makeField(grassVertexProgramFile, "./Cg/Missing_fragment.cg");
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].text, "Kein Fragment Shader");
    EXPECT_EQ(boxes.boxes[0].caption, "So a Schaß");
    overview();
    const Pixels ground = groundOnly();
    const Pixels frame = frameAt(60.0f);
    save("grass_without_fragment_program.png", frame);
    const Difference d = compare(ground, frame);
    EXPECT_GT(d.changed, kWidth * kHeight / 10);
    EXPECT_GT(d.green, 60.0) << "textured and lit, never black";
    EXPECT_GT(d.green, d.red);
}

TEST_F(GrassRendering, BrokenProgramsAreReportedAndLeaveTheGroundAlone) {
    MessageBoxRecorder boxes;
    makeField(OKU_SOURCE_DIR "/tests/data/cg/broken_fragment.cg", OKU_SOURCE_DIR "/tests/data/cg/broken_fragment.cg");
    ASSERT_EQ(boxes.boxes.size(), 2u);
    EXPECT_EQ(boxes.boxes[0].text, "Kein Vertex Shader");
    EXPECT_EQ(boxes.boxes[1].text, "Kein Fragment Shader");
    overview();
    const Pixels ground = groundOnly();
    EXPECT_EQ(compare(ground, frameAt(60.0f)).changed, 0);
}

TEST_F(GrassRendering, MissingBladeTextureDrawsPlainGreenBlades) {
    MessageBoxRecorder boxes;
    makeField(grassVertexProgramFile, grassFragmentProgramFile, "textures/no_such_blades.tga");
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].text, "Could not open texture file");
    overview();
    const Pixels ground = groundOnly();
    const Pixels frame = frameAt(60.0f);
    save("grass_without_blade_texture.png", frame);
    const Difference d = compare(ground, frame);
    EXPECT_GT(d.changed, kWidth * kHeight / 10);
    EXPECT_GT(d.green, 60.0) << "never black";
}

TEST_F(GrassRendering, AlphaTestKeepsHalfCoveredTexelsAndCutsTheRest) {
    // Blade textures of one colour with alpha just above and just below one half.
    const std::string path = testOutputDir() + "grass_uniform_alpha.tga";
    for (unsigned char alpha : {128, 127}) {
        SCOPED_TRACE(int(alpha));
        std::vector<unsigned char> texels;
        for (int i = 0; i < 16; ++i) texels.insert(texels.end(), {40, 200, 90, alpha});
        const std::vector<unsigned char> file = tgaFile(4, 4, 32, texels, 8);
        std::FILE* out = std::fopen(path.c_str(), "wb");
        ASSERT_NE(out, nullptr);
        std::fwrite(file.data(), 1, file.size(), out);
        std::fclose(out);
        crtSrand(1);
        makeField(grassVertexProgramFile, grassFragmentProgramFile, path.c_str());
        overview();
        const Pixels ground = groundOnly();
        const int changed = compare(ground, frameAt(60.0f)).changed;
        if (alpha == 128)
            EXPECT_GT(changed, kWidth * kHeight / 10);
        else
            EXPECT_EQ(changed, 0);
    }
}

TEST_F(GrassRendering, MissingPositionImageDrawsNothing) {
    MessageBoxRecorder boxes;
    makeField(grassVertexProgramFile, grassFragmentProgramFile, grassBladeTextureFile, "textures/no_such_map.tga");
    EXPECT_FALSE(grass->hasBlades());
    overview();
    const Pixels ground = groundOnly();
    EXPECT_EQ(compare(ground, frameAt(60.0f)).changed, 0);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

}  // namespace
