// The outdoor scene as a whole: its timeline, its fixed sun, its music, and what it does with missing or damaged data.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "math/spline.h"
#include "platform/clock/tick_count.h"
#include "platform/sound/fmod.h"
#include "scenes/outdoor/grass_field.h"
#include "scenes/outdoor/growing_grass.h"
#include "scenes/outdoor/shadow_mapper.h"
#include "scenes/outdoor/snowfall_effect.h"
#include "scenes/outdoor/water_surface.h"
#include "shell/demo_app.h"
#include "support/capture.h"
#include "support/gl_test_context.h"
#include "support/test_output.h"
#include "support/scratch_run_directory.h"
#include "support/pixel_count.h"

namespace {

// Share of pixels of a 1024 x 768 frame that are not near black.
double litShare(const std::vector<unsigned char>& rgba) {
    const int lit = countPixels(rgba, [](const unsigned char* p) { return p[0] + p[1] + p[2] > 60; });
    return static_cast<double>(lit) / (rgba.size() / 4);
}

// Runs each scene in a scratch copy of the run directory (links to its files),
// where single files can be removed or damaged without touching the real one.
class GrowingGrassScene : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(gl.ok()) << gl.error();
        run.emplace();
        run->linkRunDir();
        now = 5000;
        setTickSource([this] { return now; });
    }
    void TearDown() override {
        setTickSource(nullptr);
        run.reset();
    }

    void remove(const std::string& relative) { run->remove(relative); }
    void replace(const std::string& relative, const std::string& content) { run->write(relative, content); }

    // Advances the clock to scene time `seconds` and steps the scene once.
    bool stepTo(GrowingGrass& scene, double seconds) {
        now = start + static_cast<uint32_t>(seconds * 1000.0 + 0.5);
        return scene.step();
    }

    // Plays the scene from 0 to past its end in `frameSeconds` steps; returns the frames drawn.
    int playToTheEnd(GrowingGrass& scene, double frameSeconds) {
        int frames = 0;
        for (double t = 0.0; !scene.isFinished() && frames < 2000; t += frameSeconds, ++frames)
            EXPECT_TRUE(stepTo(scene, t));
        return frames;
    }

    GlTestContext gl;
    std::optional<ScratchRunDirectory> run;
    uint32_t now = 0;
    uint32_t start = 5000;  // the tick count at the scene's construction
};

TEST_F(GrowingGrassScene, EndsAfter150SecondsAndDrawsItsLastFrameInFull) {
    GrowingGrass scene(&demoApp.input, nullptr);
    ASSERT_TRUE(scene.init());
    EXPECT_EQ(scene.leadingImageCount, 2);

    ASSERT_TRUE(stepTo(scene, 150.0));
    EXPECT_FALSE(scene.isFinished()) << "150 s exactly is still part of the scene";
    const std::vector<unsigned char> at150 = gl.readPixels(0, 0, 1024, 768);

    ASSERT_TRUE(stepTo(scene, 150.001));
    EXPECT_TRUE(scene.isFinished());
    const std::vector<unsigned char> last = gl.readPixels(0, 0, 1024, 768);
    EXPECT_GT(litShare(last), 0.9) << "the finishing frame is drawn completely";
    EXPECT_GT(litShare(at150), 0.9);

    EXPECT_TRUE(scene.cleanup());
    EXPECT_EQ(scene.images, nullptr);
    EXPECT_EQ(scene.skyMesh, nullptr);
    EXPECT_EQ(scene.lightPath, nullptr);
    EXPECT_EQ(scene.grass, nullptr);
    EXPECT_EQ(scene.snowfall, nullptr);
    EXPECT_EQ(scene.water, nullptr);
    EXPECT_EQ(scene.shadow, nullptr);
}

// The pictures one frame is made of, read back after GrowingGrass::render: what
// the pool mirrors, what it shows through its surface, and the window.
struct FramePictures {
    std::vector<unsigned char> reflection, refraction, window;
};

std::vector<unsigned char> targetPicture(const RenderTarget& target) {
    std::vector<unsigned char> pixels(static_cast<size_t>(target.width) * target.height * 4);
    glBindTexture(GL_TEXTURE_2D, target.colorTexture);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    glBindTexture(GL_TEXTURE_2D, 0);
    return pixels;
}

int changedPixels(const std::vector<unsigned char>& a, const std::vector<unsigned char>& b) {
    return countPixels(a, b, [](const unsigned char* p, const unsigned char* q) {
        return std::abs(p[0] - q[0]) + std::abs(p[1] - q[1]) + std::abs(p[2] - q[2]) > 12;
    });
}

// Which content each capture of the frame draws: the frame is drawn as it is, then
// again at the same scene time with one content left out; a content is in a
// picture where that picture changes. The reflection holds the set, the sky and
// the snow; the refraction the set alone; the window all of them and the grass.
TEST_F(GrowingGrassScene, EachPictureOfTheFrameHoldsItsOwnContent) {
    GrowingGrass scene(&demoApp.input, nullptr);
    ASSERT_TRUE(scene.init());
    const double t = 140.0;  // the grass has risen, the snow falls
    auto draw = [&] {
        EXPECT_TRUE(stepTo(scene, t));
        return FramePictures{targetPicture(*scene.water->reflection), targetPicture(*scene.water->refraction),
                             gl.readPixels(0, 0, 1024, 768)};
    };
    // The first frame after init starts from the state init left (a few reflected
    // pixels differ); every later frame from the one before it.
    draw();
    const FramePictures whole = draw();
    writePng(testOutputDir() + "outdoor_reflection_140s.png", 800, 600, whole.reflection);
    writePng(testOutputDir() + "outdoor_refraction_140s.png", 1024, 768, whole.refraction);
    EXPECT_GT(litShare(whole.reflection), 0.5) << "the reflection shows the set and the sky";
    EXPECT_GT(litShare(whole.refraction), 0.3) << "the refraction shows the set below the water";

    struct Content {
        const char* name;
        std::function<void(bool)> show;
        bool inReflection, inRefraction, inWindow;
    };
    Mesh* const sky = scene.skyMesh;
    const int indices = scene.grass->indexCount, flakes = scene.snowfall->count;
    const Content contents[] = {
        {"sky", [&](bool on) { scene.skyMesh = on ? sky : nullptr; }, true, false, true},
        {"grass", [&](bool on) { scene.grass->indexCount = on ? indices : 0; }, false, false, true},
        {"snow", [&](bool on) { scene.snowfall->count = on ? flakes : 0; }, true, false, true},
    };
    const int minimum = 200;  // pixels that change where a content is drawn
    for (const Content& content : contents) {
        content.show(false);
        const FramePictures without = draw();
        content.show(true);
        const int reflection = changedPixels(whole.reflection, without.reflection);
        const int refraction = changedPixels(whole.refraction, without.refraction);
        const int window = changedPixels(whole.window, without.window);
        std::printf("without the %s: reflection %d, refraction %d, window %d pixels changed\n", content.name,
                    reflection, refraction, window);
        EXPECT_EQ(reflection > minimum, content.inReflection) << content.name << " in the reflection: " << reflection;
        EXPECT_EQ(refraction > 0, content.inRefraction) << content.name << " in the refraction: " << refraction;
        EXPECT_EQ(window > minimum, content.inWindow) << content.name << " in the main view: " << window;
    }
    EXPECT_TRUE(scene.cleanup());
}

TEST_F(GrowingGrassScene, SetsUpItsEffectsWithTheScenesValues) {
    GrowingGrass scene(&demoApp.input, nullptr);
    ASSERT_TRUE(scene.init());
    EXPECT_FLOAT_EQ(scene.grass->growthStart, 30.0f);
    EXPECT_EQ(scene.grass->bladeCount, 10000);
    EXPECT_FLOAT_EQ(scene.grass->fieldSize, 92.0f);
    EXPECT_EQ(scene.snowfall->count, 10000);
    for (int slot = 0; slot < 12; ++slot) EXPECT_NE(scene.images[slot].textureId, 0u) << "slot " << slot;
    EXPECT_TRUE(scene.lightPath->loaded);
    EXPECT_TRUE(scene.cleanup());
}

TEST_F(GrowingGrassScene, TheSunStaysWhereItIsWhateverTheLightPathHolds) {
    replace("spline/lightPos1.spl", "1 0 3\n0 1 2 3\n10 -500 -500 -500\n200 900 900 900\n");
    GrowingGrass scene(&demoApp.input, nullptr);
    ASSERT_TRUE(scene.init());
    for (double t : {0.0, 10.0, 75.0, 149.0}) {
        ASSERT_TRUE(stepTo(scene, t));
        EXPECT_FLOAT_EQ(scene.shadow->lightPosition.x, 120.0f) << t;
        EXPECT_FLOAT_EQ(scene.shadow->lightPosition.y, 144.0f) << t;
        EXPECT_FLOAT_EQ(scene.shadow->lightPosition.z, -120.0f) << t;
    }
    EXPECT_TRUE(scene.cleanup());
}

TEST_F(GrowingGrassScene, WithoutItsMusicTheSceneReportsItAndPlaysSilently) {
    remove("sound/helios.mp3");
    FMOD::System* system = nullptr;
    ASSERT_EQ(FMOD_System_Create(&system), FMOD_OK);
    ASSERT_EQ(system->init(8, FMOD_INIT_NORMAL, nullptr), FMOD_OK);
    {
        LogCapture log;
        GrowingGrass scene(&demoApp.input, system);
        ASSERT_TRUE(scene.init());
        int fmodErrors = 0;
        for (const auto& line : log.lines)
            if (line.find("FMOD error!") != std::string::npos) ++fmodErrors;
        EXPECT_EQ(fmodErrors, 2) << "the stream fails, and playing the empty slot is still tried";
        ASSERT_TRUE(stepTo(scene, 60.0));
        EXPECT_GT(litShare(gl.readPixels(0, 0, 1024, 768)), 0.9);
        EXPECT_TRUE(scene.cleanup());
    }
    system->release();
}

TEST_F(GrowingGrassScene, PlaysItsMusicAndStopsItAtCleanup) {
    FMOD::System* system = nullptr;
    ASSERT_EQ(FMOD_System_Create(&system), FMOD_OK);
    ASSERT_EQ(system->init(8, FMOD_INIT_NORMAL, nullptr), FMOD_OK);
    {
        LogCapture log;
        GrowingGrass scene(&demoApp.input, system);
        ASSERT_TRUE(scene.init());
        EXPECT_FALSE(log.contains("FMOD error!"));
        ASSERT_NE(scene.channel, nullptr);
        bool playing = false;
        EXPECT_EQ(scene.channel->isPlaying(&playing), FMOD_OK);
        EXPECT_TRUE(playing);
        FMOD::Channel* music = scene.channel;
        EXPECT_TRUE(scene.cleanup());
        playing = true;
        if (music->isPlaying(&playing) != FMOD_OK) playing = false;
        EXPECT_FALSE(playing);
    }
    system->release();
}

// Every kind of broken data in turn: the scene starts, shows the set (never a black
// frame), and plays to its end.
struct BrokenData {
    const char* name;
    std::vector<std::string> removed;
    std::vector<std::pair<std::string, std::string>> replaced;
    size_t messageBoxes;
};

class GrowingGrassWithBrokenData : public GrowingGrassScene, public ::testing::WithParamInterface<BrokenData> {};

TEST_P(GrowingGrassWithBrokenData, StillShowsTheSetAndPlaysToItsEnd) {
    const BrokenData& broken = GetParam();
    for (const auto& file : broken.removed) remove(file);
    for (const auto& [file, content] : broken.replaced) replace(file, content);

    MessageBoxRecorder boxes;
    GrowingGrass scene(&demoApp.input, nullptr);
    ASSERT_TRUE(scene.init());
    EXPECT_EQ(boxes.boxes.size(), broken.messageBoxes);

    for (double t : {20.0, 60.0, 130.0}) {
        ASSERT_TRUE(stepTo(scene, t));
        const std::vector<unsigned char> frame = gl.readPixels(0, 0, 1024, 768);
        EXPECT_GT(litShare(frame), 0.5) << broken.name << " at " << t << " s";
        if (t == 60.0)
            writePng(testOutputDir() + "outdoor_broken_" + broken.name + ".png", 1024, 768, frame);
    }
    playToTheEnd(scene, 12.5);
    EXPECT_TRUE(scene.isFinished());
    EXPECT_TRUE(scene.cleanup());
}

const std::vector<std::string> allTextures = {
    "textures/grass01_diffuse.tga", "textures/SkyHigh2.tga",   "textures/Moss0040_S.tga",
    "textures/tWall_512_5_05.tga",  "textures/even_wood_5132616.tga", "textures/Banana_T.tga",
    "textures/Banana_1.tga",        "textures/Banana_2.tga",   "textures/ulo.tga",
    "textures/tGrass.tga",          "textures/t703009.tga",    "textures/grasPos1024final1.tga",
    "textures/wind1024clouds.tga",  "textures/snowflake_test.tga"};

INSTANTIATE_TEST_SUITE_P(
    EachFileInTurn, GrowingGrassWithBrokenData,
    ::testing::Values(
        // One box per load: the table's twelve (the stem texture twice), the grass's blade
        // texture and two maps, the flake.
        BrokenData{"all_textures_missing", allTextures, {}, 16},
        BrokenData{"sky_mesh_missing", {"mesh/sky2.msh"}, {}, 0},
        BrokenData{"sky_mesh_damaged", {}, {{"mesh/sky2.msh", "polycount 99999 vertices -3\nfoo"}}, 0},
        BrokenData{"paths_missing", {"spline/camera0.spl", "spline/lightPos1.spl", "spline/wind.spl"}, {}, 0},
        // Without its caster program the shadow pass textures the casters itself, silently.
        BrokenData{"shadow_caster_missing", {"Cg/ShadowCaster_fragment.cg"}, {}, 0},
        // Each failing program shows its effect's boxes: grass, shadow and water name the missing
        // programs; the snow shows none.
        BrokenData{"shaders_broken",
                   {},
                   {{"Cg/Grass_vertex.cg", "void main( {"},
                    {"Cg/Shadow_fragment.cg", "garbage"},
                    {"Cg/Water_vertex.cg", ""},
                    {"Cg/Snowfall_vertex.cg", "}}}"}},
                   3}),
    [](const ::testing::TestParamInfo<BrokenData>& info) { return std::string(info.param.name); });

}  // namespace
