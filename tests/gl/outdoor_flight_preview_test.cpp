// Preview of the whole outdoor scene along its camera flight: the real GrowingGrass
// with all its passes, driven by a hand-set clock, saved as PNG frames to look at.
#include <gtest/gtest.h>

#include <GL/glew.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/clock/tick_count.h"
#include "scenes/outdoor/growing_grass.h"
#include "support/capture.h"
#include "support/gl_test_context.h"
#include "support/test_output.h"

namespace {

class OutdoorFlightPreview : public ::testing::Test {
protected:
    OutdoorFlightPreview() { setTickSource([this] { return now; }); }
    ~OutdoorFlightPreview() override { setTickSource(nullptr); }
    void SetUp() override {
        ASSERT_TRUE(gl.ok()) << gl.error();
        // The shell's start-up state: textures on, depth test, back faces culled.
        glEnable(GL_TEXTURE_2D);
        glShadeModel(GL_SMOOTH);
        glClearDepth(1.0);
        glEnable(GL_DEPTH_TEST);
        glDepthFunc(GL_LESS);
        glCullFace(GL_BACK);
        glEnable(GL_CULL_FACE);
    }

    uint32_t now = 1000;
    GlTestContext gl;
};

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

// Mean absolute difference of two RGBA pictures, per channel.
double meanDifference(const std::vector<unsigned char>& a, const std::vector<unsigned char>& b) {
    double sum = 0.0;
    for (size_t i = 0; i < a.size(); ++i) sum += std::abs(int(a[i]) - int(b[i]));
    return sum / double(a.size());
}

// Every frame of the flight shows the set under its sky with nothing missing (the
// clear colour never shows through), and the view changes from frame to frame.
TEST_F(OutdoorFlightPreview, FlightThroughTheWholeScene) {
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
        std::vector<unsigned char> pixels = gl.readPixels(0, 0, 1024, 768);
        gl.swap();

        char name[64];
        std::snprintf(name, sizeof name, "outdoor_flight_%03d.png", int(t + 0.5f));
        writePng(testOutputDir() + name, 1024, 768, pixels);

        int black = 0;
        for (size_t i = 0; i < pixels.size(); i += 4)
            if (pixels[i] < 4 && pixels[i + 1] < 4 && pixels[i + 2] < 4) ++black;
        EXPECT_LT(black, 1024 * 768 / 1000) << "clear colour shows through at " << t << " s (" << name << ")";
        if (!previous.empty()) {
            EXPECT_GT(meanDifference(previous, pixels), 2.0) << "a still picture at " << t << " s";
        }
        previous = std::move(pixels);
    }
    EXPECT_TRUE(scene.cleanup());
}

}  // namespace
