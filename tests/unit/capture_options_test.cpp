// oku-capture's command line, its frame clock and its progress line.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "capture/capture_options.h"
#include "capture/frame_clock.h"
#include "capture/progress_line.h"

namespace {

struct Parsed {
    bool ok;
    CaptureOptions options;
    std::string error;
};

Parsed parse(std::vector<std::string> arguments) {
    Parsed parsed;
    parsed.ok = parseCaptureOptions(arguments, &parsed.options, &parsed.error);
    return parsed;
}

}  // namespace

TEST(CaptureOptions, DefaultsRecordTheWholeDemoAtSixtyFramesIntoOkuMp4) {
    Parsed parsed = parse({});
    ASSERT_TRUE(parsed.ok);
    EXPECT_EQ(parsed.options.fps, 60);
    EXPECT_EQ(parsed.options.from, 0.0);
    EXPECT_FALSE(parsed.options.hasTo);
    EXPECT_EQ(parsed.options.out, "oku.mp4");
}

TEST(CaptureOptions, TakesValuesAsSeparateArgumentsOrAfterAnEqualsSign) {
    Parsed parsed = parse({"--fps", "30", "--from=1.5", "--to", "4", "--out=clips/a b.mp4"});
    ASSERT_TRUE(parsed.ok) << parsed.error;
    EXPECT_EQ(parsed.options.fps, 30);
    EXPECT_DOUBLE_EQ(parsed.options.from, 1.5);
    EXPECT_TRUE(parsed.options.hasTo);
    EXPECT_DOUBLE_EQ(parsed.options.to, 4.0);
    EXPECT_EQ(parsed.options.out, "clips/a b.mp4");
    EXPECT_TRUE(parse({"--help"}).options.help);
}

TEST(CaptureOptions, RefusesWhatItCannotRecordWithAMessageNamingTheProblem) {
    struct Case {
        std::vector<std::string> arguments;
        std::string message;
    } cases[] = {
        {{"--fps", "0"}, "--fps must lie between 1 and 240, not 0"},
        {{"--fps", "241"}, "--fps must lie between 1 and 240"},
        {{"--fps", "-5"}, "--fps must lie between"},
        {{"--fps", "29.97"}, "--fps needs a whole number"},
        {{"--fps", "99999999999999999999"}, "--fps needs a whole number"},
        {{"--fps", ""}, "--fps needs a whole number"},
        {{"--from", "-1"}, "--from must lie between 0 and 3600 seconds, not -1"},
        {{"--to", "1e9"}, "--to must lie between 0 and 3600"},
        {{"--to", "nan"}, "--to needs a number of seconds"},
        {{"--from", "inf"}, "--from needs a number of seconds"},
        {{"--from", "3s"}, "--from needs a number of seconds, not \"3s\""},
        {{"--from", "5", "--to", "2"}, "--to must come after --from (the stretch from 5 s to 2 s is empty)"},
        {{"--from", "2", "--to", "2"}, "--to must come after --from"},
        {{"--to", "0"}, "--to must come after --from"},
        {{"--out"}, "--out needs a value"},
        {{"--out="}, "--out needs a file name"},
        {{"--speed", "2"}, "unknown option --speed"},
        {{"movie.mp4"}, "unexpected argument movie.mp4"},
    };
    for (const Case& c : cases) {
        Parsed parsed = parse(c.arguments);
        EXPECT_FALSE(parsed.ok) << c.message;
        EXPECT_NE(parsed.error.find(c.message), std::string::npos) << "got: " << parsed.error;
    }
}

TEST(FrameClock, FrameNIsShownAtNOverFpsAndReadsTheRoundedMillisecond) {
    FrameClock sixty(60);
    EXPECT_EQ(sixty.tickAt(0), 0u);
    EXPECT_EQ(sixty.tickAt(1), 17u);   // 16.67
    EXPECT_EQ(sixty.tickAt(2), 33u);   // 33.33
    EXPECT_EQ(sixty.tickAt(3), 50u);
    EXPECT_EQ(sixty.tickAt(60), 1000u);
    EXPECT_EQ(sixty.tickAt(9000), 150000u);  // no drift over a whole scene
    FrameClock eight(8);
    EXPECT_EQ(eight.tickAt(1), 125u);
    EXPECT_EQ(FrameClock(16).tickAt(1), 63u);  // 62.5 rounds up
    // Never two frames on one tick at the highest rate.
    FrameClock fastest(maxCaptureFps);
    for (uint64_t n = 1; n < 1000; ++n) EXPECT_GT(fastest.tickAt(n), fastest.tickAt(n - 1)) << n;
}

TEST(FrameClock, AStretchStartsAtTheFirstFrameShownAtOrAfterItsTime) {
    EXPECT_EQ(FrameClock(30).firstFrameAt(0.0), 0u);
    EXPECT_EQ(FrameClock(30).firstFrameAt(0.1), 3u);  // 2.9999999999999996 in binary
    EXPECT_EQ(FrameClock(60).firstFrameAt(1.01), 61u);
    EXPECT_EQ(FrameClock(60).firstFrameAt(150.0), 9000u);
    EXPECT_EQ(FrameClock(7).firstFrameAt(1.0), 7u);
    // A soundtrack frame lines up with each video frame.
    EXPECT_EQ(FrameClock(60).soundFrameAt(1, 44100), 735u);
    EXPECT_EQ(FrameClock(60).soundFrameAt(9000, 44100), 150u * 44100u);
    EXPECT_EQ(FrameClock(7).soundFrameAt(1, 44100), 6300u);
}

TEST(ProgressLine, ShowsFrameSceneShareRateAndTimeLeft) {
    CaptureProgress progress;
    progress.rendered = 30;
    progress.endFrame = 90;
    progress.fps = 30;
    progress.sceneNumber = 2;
    progress.sceneName = "BumpMapping";
    progress.elapsedSeconds = 3.0;
    EXPECT_EQ(progressLine(progress), "frame 30/90 (0:01)  scene 2 BumpMapping  33%  10.0 fps  0:06 left");

    progress.endFrame = 0;  // the demo's end decides: no share, no time left
    progress.firstFrame = 60;
    EXPECT_EQ(progressLine(progress), "frame 30 (0:01)  scene 2 BumpMapping  (not recorded yet)  10.0 fps");

    EXPECT_EQ(clockText(59.4), "0:59");
    EXPECT_EQ(clockText(3725), "1:02:05");
    EXPECT_EQ(clockText(-3), "0:00");
}
