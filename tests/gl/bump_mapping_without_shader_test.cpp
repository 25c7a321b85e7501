// The indoor scene with its shader file missing or damaged still shows the set.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "platform/clock/tick_count.h"
#include "scenes/indoor/bump_mapping.h"
#include "shell/demo_app.h"
#include "support/capture.h"
#include "support/gl_test_context.h"
#include "support/scratch_run_directory.h"
#include "support/test_output.h"

namespace {

namespace fs = std::filesystem;

constexpr int width = 1024;
constexpr int height = 768;
const char* const shaderFile = "Cg/dofbump.cg";

struct Frame {
    std::vector<unsigned char> pixels;  // RGBA, bottom row first

    int luminance(size_t pixel) const {
        const unsigned char* p = &pixels[4 * pixel];
        return (p[0] * 299 + p[1] * 587 + p[2] * 114) / 1000;
    }
    size_t size() const { return pixels.size() / 4; }
    // Pixels where something of the set is seen (the clear colour is black).
    std::vector<bool> setMask() const {
        std::vector<bool> mask(size());
        for (size_t i = 0; i < size(); ++i) mask[i] = luminance(i) > 12;
        return mask;
    }
    double fractionShowingTheSet() const {
        size_t count = 0;
        for (bool covered : setMask()) count += covered;
        return static_cast<double>(count) / static_cast<double>(size());
    }
    // Pixels of painted green pipe: green clearly above red and blue.
    // A window shows through where its alpha is below one on compositing desktops.
    bool opaque() const {
        for (size_t i = 0; i < size(); ++i)
            if (pixels[4 * i + 3] != 255) return false;
        return true;
    }
    double fractionGreen() const {
        size_t count = 0;
        for (size_t i = 0; i < size(); ++i) {
            const unsigned char* p = &pixels[4 * i];
            count += p[1] > p[0] + 15 && p[1] > p[2] + 15;
        }
        return static_cast<double>(count) / static_cast<double>(size());
    }
};

// Of the pixels where either frame shows the set, the share where both do.
double silhouetteAgreement(const Frame& a, const Frame& b) {
    std::vector<bool> maskA = a.setMask(), maskB = b.setMask();
    size_t both = 0, either = 0;
    for (size_t i = 0; i < maskA.size(); ++i) {
        both += maskA[i] && maskB[i];
        either += maskA[i] || maskB[i];
    }
    return either ? static_cast<double>(both) / static_cast<double>(either) : 0.0;
}

class BumpMappingWithoutShader : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(gl.ok()) << gl.error();
        run.emplace();
        for (const char* folder : {"textures", "spline"}) run->copyFromRunDir(folder);
        setTickSource([this] { return now; });
        demoApp.cgContext = cgCreateContext();
    }
    void TearDown() override {
        cgDestroyContext(demoApp.cgContext);
        demoApp.cgContext = nullptr;
        setTickSource(nullptr);
        run.reset();
    }

    std::string intactShader() const {
        std::ifstream in(run->runDir() / shaderFile, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    void writeShader(const std::string& text) const {
        run->write(shaderFile, text);
    }

    // Plays a fresh scene to `seconds` and returns the frame it presents there; the
    // scene is stepped a few times so that frames after the first are seen too.
    Frame frameAt(double seconds, const std::string& name, bool* lit = nullptr) {
        now = 0;
        BumpMapping scene(&demoApp.input, nullptr);
        EXPECT_TRUE(scene.init());
        if (lit) *lit = scene.hasLightingPrograms();
        for (int step = 3; step >= 0; --step) {
            now = static_cast<uint32_t>(seconds * 1000.0) - static_cast<uint32_t>(step) * 40;
            EXPECT_TRUE(scene.step());
        }
        Frame frame{gl.readPixels(0, 0, width, height)};
        writePng(testOutputDir() + "indoor_without_shader_" + name + ".png", width, height, frame.pixels);
        EXPECT_TRUE(scene.cleanup());
        EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
        return frame;
    }

    GlTestContext gl;
    std::optional<ScratchRunDirectory> run;
    uint32_t now = 0;
};

TEST_F(BumpMappingWithoutShader, AMissingOrBrokenFileStillShowsTheSetUnlit) {
    const std::string intact = intactShader();
    ASSERT_GT(intact.size(), 1000u);
    writeShader(intact);
    bool lit = false;
    const Frame reference = frameAt(10.0, "reference", &lit);
    ASSERT_TRUE(lit);
    ASSERT_GT(reference.fractionShowingTheSet(), 0.3) << "the reference shot shows the set";
    ASSERT_TRUE(reference.opaque());

    struct Damage {
        const char* name;
        std::string text;  // empty name of "missing": no file at all
    };
    std::string garbage;
    for (int i = 0; i < 3000; ++i) garbage += static_cast<char>((i * 7919 + 13) % 256);
    const Damage damages[] = {
        {"missing", ""}, {"empty", ""}, {"cut_in_half", intact.substr(0, intact.size() / 2)}, {"garbage", garbage}};
    for (const Damage& damage : damages) {
        SCOPED_TRACE(damage.name);
        run->remove(shaderFile);
        if (std::string(damage.name) != "missing") writeShader(damage.text);
        LogCapture log;
        MessageBoxRecorder boxes;
        const Frame frame = frameAt(10.0, damage.name, &lit);
        EXPECT_FALSE(lit);
        EXPECT_TRUE(boxes.boxes.empty()) << "this scene shows no box for its shaders";
        EXPECT_GT(frame.fractionShowingTheSet(), 0.3) << "not a black frame";
        EXPECT_TRUE(frame.opaque());
        EXPECT_GT(frame.fractionGreen(), 0.02) << "the painted pipes are seen";
        EXPECT_GT(silhouetteAgreement(frame, reference), 0.8) << "the same set, seen from the same place";
    }
}

TEST_F(BumpMappingWithoutShader, WithoutTheFilterTheLitPictureIsShownUnfiltered) {
    // Cut just before the filter's entry: the lit pass compiles, the filter does not.
    const std::string intact = intactShader();
    const size_t filterEntry = intact.find("#ifdef CG_ENTRY_fragment2");
    ASSERT_NE(filterEntry, std::string::npos);
    writeShader(intact);
    const Frame reference = frameAt(40.0, "filtered");

    writeShader(intact.substr(0, filterEntry));
    bool lit = false;
    const Frame frame = frameAt(40.0, "unfiltered", &lit);
    EXPECT_TRUE(lit);
    EXPECT_GT(frame.fractionShowingTheSet(), 0.3);
    EXPECT_TRUE(frame.opaque()) << "the picture's alpha holds its depth, not for the window";
    EXPECT_GT(silhouetteAgreement(frame, reference), 0.9);
    // The filter blurs what is out of focus: the unfiltered picture has more fine detail.
    auto detail = [](const Frame& f) {
        double sum = 0.0;
        for (int y = 0; y < height; ++y)
            for (int x = 1; x < width; ++x)
                sum += std::abs(f.luminance(y * width + x) - f.luminance(y * width + x - 1));
        return sum;
    };
    EXPECT_GT(detail(frame), detail(reference) * 1.05);
}

}  // namespace
