// The indoor scene with missing or damaged data files: it runs to its end harmlessly and reports each problem once.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>

#include "math/spline.h"
#include "platform/clock/tick_count.h"
#include "scenes/indoor/bump_mapping.h"
#include "shell/demo_app.h"
#include "support/capture.h"
#include "support/gl_test_context.h"
#include "support/scratch_run_directory.h"
#include "support/pixel_count.h"

// The indoor scene must run to its end, harmlessly, whatever is missing or damaged in
// its data: paths, textures, the shader file, the music.
namespace {

namespace fs = std::filesystem;

class BumpMappingWithBrokenData : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(gl.ok()) << gl.error();
        run.emplace();
        setTickSource([this] { return now; });
        demoApp.cgContext = cgCreateContext();
    }
    void TearDown() override {
        cgDestroyContext(demoApp.cgContext);
        demoApp.cgContext = nullptr;
        setTickSource(nullptr);
        run.reset();
    }

    // Steps the scene through its whole length; returns the frames drawn.
    int playToTheEnd(BumpMapping& scene) {
        int frames = 0;
        while (!scene.isFinished() && frames < 1000) {
            now += 500;
            EXPECT_TRUE(scene.step());
            ++frames;
        }
        return frames;
    }

    GlTestContext gl;
    std::optional<ScratchRunDirectory> run;
    uint32_t now = 0;
};

TEST_F(BumpMappingWithBrokenData, NothingAtAllStillRunsAFixedLengthAndEnds) {
    LogCapture log;
    MessageBoxRecorder boxes;
    BumpMapping scene(&demoApp.input, nullptr);
    ASSERT_TRUE(scene.init());
    EXPECT_EQ(boxes.boxes.size(), 8u) << "one box per missing texture";
    for (const auto& box : boxes.boxes) EXPECT_EQ(box.text, "Could not open texture file");
    EXPECT_EQ(scene.lighting.vertexProgram, nullptr);
    EXPECT_EQ(scene.endTime(), 90.0f);

    int frames = playToTheEnd(scene);
    EXPECT_TRUE(scene.isFinished());
    EXPECT_NEAR(frames, 181, 2) << "90 s in half-second frames";
    EXPECT_TRUE(scene.cleanup());
    EXPECT_TRUE(log.contains("FMOD error!"));
}

TEST_F(BumpMappingWithBrokenData, DamagedTexturesAndPathsFallBackAndTheRestStillShows) {
    for (const char* file : {"Cg/dofbump.cg", "spline/camera1.spl", "spline/lightPos0.spl", "spline/focus.spl",
                             "textures/Diffuse.tga", "textures/Normal.tga", "textures/green_metal_diffuse.tga",
                             "textures/green_metal_normal.tga", "textures/pipe_joint_diffuse.tga",
                             "textures/pipe_joint_normal.tga"})
        run->copyFromRunDir(file);
    run->truncate("textures/Diffuse.tga", 5000);        // the floor's colour: cut short
    run->truncate("spline/lightPos0.spl", 12);          // the light path: cut inside its first key
    std::ofstream("spline/focus.spl") << "1 0 3\n0 10\n";  // claims three keys, holds one

    MessageBoxRecorder boxes;
    BumpMapping scene(&demoApp.input, nullptr);
    ASSERT_TRUE(scene.init());
    ASSERT_EQ(boxes.boxes.size(), 3u) << "the cut texture and the two missing valve textures";
    EXPECT_EQ(boxes.boxes[0].text, "Could not read image data");
    EXPECT_EQ(boxes.boxes[1].text, "Could not open texture file");
    EXPECT_FALSE(scene.lightPath->loaded);
    EXPECT_FALSE(scene.focusPath->loaded);
    EXPECT_NE(scene.lighting.vertexProgram, nullptr);
    EXPECT_NEAR(scene.endTime(), 90.0f, 10.0f) << "the camera path is intact";

    now += 40000;
    ASSERT_TRUE(scene.step());
    // The frame still shows the set: the parts with textures and the neutral stand-ins.
    std::vector<unsigned char> pixels = gl.readPixels(0, 0, 1024, 768);
    EXPECT_GT(countPixels(pixels, [](const unsigned char* p) { return p[0] + p[1] + p[2] > 60; }), 1024 * 768 / 10);

    playToTheEnd(scene);
    EXPECT_TRUE(scene.isFinished());
    EXPECT_TRUE(scene.cleanup());
}

}  // namespace
