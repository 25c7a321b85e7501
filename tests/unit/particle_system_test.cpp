// The snow's particle system on the CPU: the particles a known random sequence
// builds, the emission box, re-issue of expired particles, and the wind gathered
// over scene time whatever the frame rate.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cmath>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/clock/tick_count.h"
#include "platform/clock/timer.h"
#include "platform/random/crt_rand.h"
#include "scenes/outdoor/particle_system.h"
#include "support/capture.h"

namespace {

namespace fs = std::filesystem;

const Vec3 kLowCorner(-20.0f, 20.0f, -20.0f);
const Vec3 kHighCorner(20.0f, 40.0f, 20.0f);

// The runtime generator's draws from `seed`, computed here from its definition.
std::vector<int> draws(unsigned seed, int n) {
    std::vector<int> out;
    uint32_t state = seed;
    for (int i = 0; i < n; ++i) {
        state = state * 214013u + 2531011u;
        out.push_back(static_cast<int>((state >> 16) & 0x7FFF));
    }
    return out;
}

class ParticleSystemTest : public ::testing::Test {
protected:
    void SetUp() override {
        setTickSource([this] { return ticks; });
        timer = std::make_unique<Timer>();
        dir = fs::temp_directory_path() / ("oku-particles-" + std::to_string(getpid()));
        fs::create_directories(dir);
    }
    void TearDown() override {
        timer.reset();
        setTickSource(nullptr);
        fs::remove_all(dir);
    }

    void at(uint32_t milliseconds) {
        ticks = milliseconds;
        timer->update();
    }

    std::string writePath(const std::string& name, const std::string& text) {
        const fs::path file = dir / name;
        std::ofstream(file) << text;
        return file.string();
    }

    std::unique_ptr<ParticleSystem> make(int count, const std::string& windPath = "no/such/wind.spl",
                                         bool drift = false, Vec3 a = kLowCorner, Vec3 b = kHighCorner) {
        return std::make_unique<ParticleSystem>(count, timer.get(), a, b, windPath.c_str(), drift);
    }

    // Makes every particle but `index` live far beyond the test's times.
    static void keepAllBut(ParticleSystem& system, int index) {
        for (int i = 0; i < system.count; ++i)
            if (i != index) system.lifeData[4 * i] = 1.0e6f;
    }

    uint32_t ticks = 0;
    std::unique_ptr<Timer> timer;
    fs::path dir;
};

TEST_F(ParticleSystemTest, FirstParticleTakesSevenDrawsInOrder) {
    crtSrand(1);  // 41, 18467, 6334, 26500, 19169, 15724, 11478, then 29358
    auto system = make(2);
    EXPECT_FLOAT_EQ(system->positions[0].x, -20.0f + 40.0f * 0.0041f);
    EXPECT_FLOAT_EQ(system->positions[0].y, 20.0f + 20.0f * 0.8467f);
    EXPECT_FLOAT_EQ(system->positions[0].z, -20.0f + 40.0f * 0.6334f);
    EXPECT_FLOAT_EQ(system->lifeData[0], 115.0f) << "spawn: 110 + 500 / 100";
    EXPECT_FLOAT_EQ(system->lifeData[1], 29.169f) << "life: 20 + 9169 / 1000";
    EXPECT_FLOAT_EQ(system->lifeData[2], 124.0f) << "paramA: 120 + 4";
    EXPECT_FLOAT_EQ(system->lifeData[3], 28.0f) << "paramB: 20 + 8";
    EXPECT_FLOAT_EQ(system->positions[1].x, -20.0f + 40.0f * 0.9358f) << "the second particle starts at draw 8";
    for (int i = 0; i < 8; ++i) EXPECT_EQ(system->windData[i], 0.0f);
    EXPECT_EQ(system->wind.x, 0.0f);
    EXPECT_EQ(system->count, 2);
}

TEST_F(ParticleSystemTest, EveryParticleLiesInItsRanges) {
    crtSrand(77);
    auto system = make(5000);
    for (int i = 0; i < system->count; ++i) {
        const Vec3& p = system->positions[i];
        ASSERT_GE(p.x, -20.0f);
        ASSERT_LE(p.x, -20.0f + 0.9999f * 40.0f + 1e-4f);
        ASSERT_GE(p.y, 20.0f);
        ASSERT_LE(p.y, 20.0f + 0.9999f * 20.0f + 1e-4f);
        const float* life = system->lifeData + 4 * i;
        ASSERT_GE(life[0], 110.0f);
        ASSERT_LE(life[0], 119.99f + 1e-4f);
        ASSERT_GE(life[1], 20.0f);
        ASSERT_LE(life[1], 29.999f + 1e-4f);
        ASSERT_EQ(life[2], std::floor(life[2]));
        ASSERT_GE(life[2], 120.0f);
        ASSERT_LE(life[2], 129.0f);
        ASSERT_GE(life[3], 20.0f);
        ASSERT_LE(life[3], 29.0f);
    }
}

TEST_F(ParticleSystemTest, EmissionBoxCornersInEitherOrderGiveTheSamePoints) {
    crtSrand(5);
    auto lowFirst = make(500);
    crtSrand(5);
    auto highFirst = make(500, "no/such/wind.spl", false, kHighCorner, kLowCorner);
    crtSrand(5);
    auto mixed = make(500, "no/such/wind.spl", false, Vec3(20, 20, -20), Vec3(-20, 40, 20));
    for (int i = 0; i < 500; ++i) {
        EXPECT_EQ(lowFirst->positions[i].x, highFirst->positions[i].x);
        EXPECT_EQ(lowFirst->positions[i].y, highFirst->positions[i].y);
        EXPECT_EQ(lowFirst->positions[i].z, highFirst->positions[i].z);
        EXPECT_EQ(lowFirst->positions[i].x, mixed->positions[i].x);
        EXPECT_EQ(lowFirst->positions[i].z, mixed->positions[i].z);
    }
    EXPECT_EQ(highFirst->emitBox[0].y, 40.0f) << "the corners are kept as given";
}

TEST_F(ParticleSystemTest, ReissuesOnlyStrictlyAfterTheEndOfLife) {
    auto system = make(3);
    keepAllBut(*system, 1);
    float* life = system->lifeData + 4;
    life[0] = 110.0f;
    life[1] = 20.0f;
    life[2] = 123.0f;
    life[3] = 21.0f;
    const Vec3 emission = system->positions[1];
    system->wind.set(1.5f, -0.5f, 2.5f);

    at(130000);
    crtSrand(9);
    system->respawnExpired();
    EXPECT_EQ(life[0], 110.0f) << "at exactly spawn + life the particle lives on";
    EXPECT_EQ(crtRand(), draws(9, 1)[0]) << "nothing was drawn";

    at(130001);
    crtSrand(9);
    system->respawnExpired();
    const std::vector<int> r = draws(9, 2);
    const float now = static_cast<float>(timer->total());
    EXPECT_FLOAT_EQ(life[1], 20 + (r[0] % 10000) / 1000.0f) << "life is drawn first";
    EXPECT_FLOAT_EQ(life[0], now + 110 + (r[1] % 1000) / 100.0f) << "then the spawn time, after now";
    EXPECT_EQ(life[2], 123.0f);
    EXPECT_EQ(life[3], 21.0f);
    EXPECT_EQ(system->windData[4], 1.5f);
    EXPECT_EQ(system->windData[5], -0.5f);
    EXPECT_EQ(system->windData[6], 2.5f);
    EXPECT_EQ(system->windData[7], 0.0f);
    EXPECT_EQ(system->positions[1].x, emission.x) << "without drift the emission point stays";
    EXPECT_EQ(system->positions[1].y, emission.y);
    EXPECT_EQ(system->positions[1].z, emission.z);
    EXPECT_EQ(system->lifeData[0], 1.0e6f) << "others untouched";
    EXPECT_EQ(system->windData[0], 0.0f);
}

TEST_F(ParticleSystemTest, DriftMovesAReissuedParticleByTheWindInXAndZ) {
    auto system = make(1, "no/such/wind.spl", true);
    system->lifeData[0] = 100.0f;
    system->lifeData[1] = 20.0f;
    const Vec3 emission = system->positions[0];
    system->wind.set(3.0f, 7.0f, -2.0f);
    at(121000);
    system->respawnExpired();
    EXPECT_FLOAT_EQ(system->positions[0].x, emission.x + 3.0f);
    EXPECT_EQ(system->positions[0].y, emission.y);
    EXPECT_FLOAT_EQ(system->positions[0].z, emission.z - 2.0f);
}

TEST_F(ParticleSystemTest, WindIsThePathsVelocityTimesSceneTime) {
    auto system = make(0, writePath("steady.spl", "3 0 2\n0 1 -2 0.5\n100 1 -2 0.5\n"));
    at(10000);
    system->updateWind();
    EXPECT_EQ(system->wind.x, 0.0f) << "the first call only marks the time";
    system->updateWind();
    EXPECT_EQ(system->wind.x, 0.0f) << "a second call at the same time adds nothing";
    at(12500);
    system->updateWind();
    system->updateWind();
    EXPECT_FLOAT_EQ(system->wind.x, 2.5f);
    EXPECT_FLOAT_EQ(system->wind.y, -5.0f);
    EXPECT_FLOAT_EQ(system->wind.z, 1.25f);
}

TEST_F(ParticleSystemTest, WindAtATimeDoesNotDependOnTheFrameRate) {
    // A breeze that rises from 0 to 2 units per second over 20 s.
    const std::string path = writePath("rising.spl", "3 0 2\n0 0 0 0\n20 2 0 -2\n");
    auto windAfter = [&](uint32_t frameMilliseconds, int callsPerFrame) {
        ticks = 0;
        timer = std::make_unique<Timer>();
        auto system = make(0, path);
        for (uint32_t t = 0; t <= 20000; t += frameMilliseconds) {
            at(t);
            for (int call = 0; call < callsPerFrame; ++call) system->updateWind();
        }
        return system->wind;
    };
    const Vec3 smooth = windAfter(10, 2);  // 100 frames a second, two draws each
    const Vec3 choppy = windAfter(125, 1);  // 8 frames a second
    const Vec3 twice = windAfter(20, 2);
    const Vec3 once = windAfter(20, 1);
    EXPECT_NEAR(smooth.x, 20.0f, 0.05f) << "the integral of the ramp over 20 s";
    EXPECT_NEAR(choppy.x, smooth.x, 0.15f);
    EXPECT_NEAR(choppy.z, smooth.z, 0.15f);
    EXPECT_FLOAT_EQ(twice.x, once.x) << "the second draw of a frame adds nothing";
}

TEST_F(ParticleSystemTest, WithoutAUsableWindPathTheWindStaysStill) {
    auto missing = make(0, "no/such/wind.spl");
    auto narrow = make(0, writePath("narrow.spl", "1 0 2\n0 5\n10 5\n"));
    auto garbage = make(0, writePath("garbage.spl", "3 0 two\n0 1 1 1\n"));
    for (uint32_t t : {1000u, 2000u, 5000u}) {
        at(t);
        for (auto* system : {missing.get(), narrow.get(), garbage.get()}) {
            system->updateWind();
            EXPECT_EQ(system->wind.x, 0.0f);
            EXPECT_EQ(system->wind.y, 0.0f);
            EXPECT_EQ(system->wind.z, 0.0f);
        }
    }
}

TEST_F(ParticleSystemTest, EmptySystemsDoNothingPerFrame) {
    crtSrand(3);
    auto none = make(0);
    auto negative = make(-5);
    EXPECT_EQ(negative->count, 0);
    at(500000);
    none->updateWind();
    none->respawnExpired();
    negative->respawnExpired();
    EXPECT_EQ(crtRand(), draws(3, 1)[0]) << "no particle, no draws";
}

TEST_F(ParticleSystemTest, LogsItsConstructionAndDestruction) {
    LogCapture log;
    make(1).reset();
    ASSERT_EQ(log.lines.size(), 2u);
    EXPECT_EQ(log.lines[0], "Construction Particle System");
    EXPECT_EQ(log.lines[1], "Destruction Particle System");
}

}  // namespace
