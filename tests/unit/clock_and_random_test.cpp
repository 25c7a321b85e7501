// The clock and the random numbers: the Timer over a driven tick count, and crtRand's sequence.
#include <gtest/gtest.h>

#include <cstdint>

#include "platform/random/crt_rand.h"
#include "platform/clock/tick_count.h"
#include "platform/clock/timer.h"

namespace {

struct ManualTicks {
    uint32_t now = 0;
    ManualTicks() {
        setTickSource([this] { return now; });
    }
    ~ManualTicks() { setTickSource(nullptr); }
};

TEST(CrtRand, MatchesTheClassicRuntimeSequence) {
    crtSrand(1);
    EXPECT_EQ(crtRand(), 41);
    EXPECT_EQ(crtRand(), 18467);
    EXPECT_EQ(crtRand(), 6334);
    EXPECT_EQ(crtRand(), 26500);
    crtSrand(1);
    for (int i = 0; i < 100000; ++i) {
        int value = crtRand();
        ASSERT_GE(value, 0);
        ASSERT_LE(value, CRT_RAND_MAX);
    }
}

TEST(Timer, CountsOnlyOnUpdateAndSumsDifferences) {
    ManualTicks ticks;
    ticks.now = 5000;
    Timer timer;
    ticks.now = 90000;
    EXPECT_EQ(timer.total(), 0.0) << "a timer that is never updated reports 0";

    timer.update();  // a long pause (loading) is added at once
    EXPECT_DOUBLE_EQ(timer.total(), 85.0);
    EXPECT_DOUBLE_EQ(timer.delta(), 85.0);

    timer.update();  // same tick: no time passes
    EXPECT_EQ(timer.delta(), 0.0);
    EXPECT_DOUBLE_EQ(timer.total(), 85.0);

    ticks.now += 16;
    timer.update();
    EXPECT_DOUBLE_EQ(timer.delta(), 0.016);
}

TEST(Timer, SurvivesTheTickWrap) {
    ManualTicks ticks;
    ticks.now = 0xFFFFFFF0u;
    Timer timer;
    ticks.now = 0x00000010u;  // 32 ms later, across the wrap
    timer.update();
    EXPECT_DOUBLE_EQ(timer.delta(), 0.032);
    EXPECT_DOUBLE_EQ(timer.total(), 0.032);
}

TEST(Timer, ResetStartsAgainFromNow) {
    ManualTicks ticks;
    Timer timer;
    ticks.now = 3000;
    timer.update();
    ticks.now = 10000;
    timer.reset();
    EXPECT_EQ(timer.total(), 0.0);
    EXPECT_EQ(timer.delta(), 0.0);
    ticks.now = 10500;
    timer.update();
    EXPECT_DOUBLE_EQ(timer.total(), 0.5);
}

}  // namespace
