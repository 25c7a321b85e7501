// The sound layer's capture mode: what it records, and the soundtrack mixed offline from it.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "platform/clock/tick_count.h"
#include "platform/sound/fmod.h"
#include "platform/sound/sound_capture.h"
#include "support/sound_fixtures.h"

using namespace soundtest;

namespace {

constexpr int rate = soundtrackSampleRate;

std::vector<float> render(const SoundTimeline& timeline, uint64_t begin, uint64_t end) {
    std::vector<float> out;
    renderSoundtrack(timeline, begin, end, [&out](const float* frames, size_t count) {
        out.insert(out.end(), frames, frames + count * 2);
        return true;
    });
    return out;
}

SoundCue play(uint32_t tick, const std::string& path, uint64_t channel, int sound = 0) {
    SoundCue cue;
    cue.kind = SoundCue::Kind::Play;
    cue.tick = tick;
    cue.path = path;
    cue.channel = channel;
    cue.sound = sound;
    return cue;
}

SoundCue cue(SoundCue::Kind kind, uint32_t tick, uint64_t channel) {
    SoundCue made;
    made.kind = kind;
    made.tick = tick;
    made.channel = channel;
    return made;
}

class ScopedTimeline {
public:
    ScopedTimeline() {
        setSoundCaptureTimeline(&timeline);
        setTickSource([this] { return tick; });
    }
    ~ScopedTimeline() {
        setSoundCaptureTimeline(nullptr);
        setTickSource(nullptr);
    }
    SoundTimeline timeline;
    uint32_t tick = 0;
};

}  // namespace

TEST(SoundCapture, RecordsPlaysAndStopsAtTheTickOfTheCallWithoutAnAudioDevice) {
    std::string tone = sineMp3(440.0, 2.0, 44100, 2);
    ASSERT_FALSE(tone.empty());
    // No driver could open a device: capture mode must not need one.
    ScopedEnv driver("SDL_AUDIODRIVER", "no_such_driver");
    ScopedTimeline capture;

    FMOD::System* system = nullptr;
    ASSERT_EQ(FMOD_System_Create(&system), FMOD_OK);
    ASSERT_EQ(system->init(100, FMOD_INIT_NORMAL, nullptr), FMOD_OK);
    FMOD::Sound* sound = nullptr;
    EXPECT_EQ(system->createStream("no/such.mp3", FMOD_DEFAULT, nullptr, &sound), FMOD_ERR_FILE_NOTFOUND);
    ASSERT_EQ(system->createStream(tone.c_str(), FMOD_DEFAULT, nullptr, &sound), FMOD_OK);

    capture.tick = 1250;
    FMOD::Channel* channel = nullptr;
    ASSERT_EQ(system->playSound(FMOD_CHANNEL_FREE, sound, false, &channel), FMOD_OK);
    capture.tick = 1300;
    EXPECT_EQ(system->update(), FMOD_OK);
    EXPECT_EQ(channel->setPaused(true), FMOD_OK);
    EXPECT_EQ(channel->setPaused(true), FMOD_OK);  // no change: nothing recorded
    capture.tick = 1400;
    EXPECT_EQ(channel->setPaused(false), FMOD_OK);
    capture.tick = 2000;
    EXPECT_EQ(channel->stop(), FMOD_OK);
    EXPECT_EQ(channel->stop(), FMOD_ERR_INVALID_HANDLE);  // a stale handle records nothing
    EXPECT_EQ(system->release(), FMOD_OK);

    const auto& cues = capture.timeline.cues;
    ASSERT_EQ(cues.size(), 4u);
    EXPECT_EQ(cues[0].kind, SoundCue::Kind::Play);
    EXPECT_EQ(cues[0].tick, 1250u);
    EXPECT_EQ(cues[0].path, tone);
    EXPECT_EQ(cues[0].channelIndex, FMOD_CHANNEL_FREE);
    EXPECT_EQ(cues[1].kind, SoundCue::Kind::Pause);
    EXPECT_EQ(cues[1].tick, 1300u);
    EXPECT_EQ(cues[2].kind, SoundCue::Kind::Resume);
    EXPECT_EQ(cues[2].tick, 1400u);
    EXPECT_EQ(cues[3].kind, SoundCue::Kind::Stop);
    EXPECT_EQ(cues[3].tick, 2000u);
    for (const SoundCue& c : cues) EXPECT_EQ(c.channel, cues[0].channel);
}

TEST(SoundCapture, OfflineMixStartsAndStopsEachTrackOnItsSampleWithTheLiveFade) {
    std::string tone = sineMp3(440.0, 2.0, 44100, 2);
    ASSERT_FALSE(tone.empty());
    SoundTimeline timeline;
    timeline.cues = {play(100, tone, 7), cue(SoundCue::Kind::Stop, 600, 7)};
    std::vector<float> mixed = render(timeline, 0, rate);  // one second
    ASSERT_EQ(mixed.size(), size_t(rate) * 2);

    // The track's own first audible sample, shifted by exactly 100 ms.
    std::unique_ptr<Mp3Decoder> decoder;
    ASSERT_EQ(Mp3Decoder::openFile(tone.c_str(), &decoder), FMOD_OK);
    size_t ownOnset = audibleSpan(decodeAll(*decoder), 0.001f).first;
    auto span = audibleSpan(mixed, 0.001f);
    EXPECT_EQ(span.first, 4410 + ownOnset);
    EXPECT_NEAR(toneAmplitude(mixed, 8000, 20000, rate, 440.0), 0.5, 0.05);
    // Stopped at 600 ms: the 5 ms fade, then silence.
    EXPECT_GT(span.second, 26460u);
    EXPECT_LE(span.second, 26460u + 221u);
    float largestStep = 0.0f;
    for (size_t i = 26400; i < 26460 + 300; ++i)
        largestStep = std::max(largestStep, std::fabs(mixed[2 * i + 2] - mixed[2 * i]));
    EXPECT_LT(largestStep, 0.08f);  // no click
    EXPECT_EQ(peak(mixed, 26460 + 221, rate), 0.0f);
}

TEST(SoundCapture, AnyStretchOfTheSoundtrackEqualsThatStretchOfTheWhole) {
    std::string low = sineMp3(220.0, 1.0, 22050, 1);  // resampled to the soundtrack rate
    std::string high = sineMp3(660.0, 2.0, 44100, 2, 0.3f);
    ASSERT_FALSE(low.empty());
    ASSERT_FALSE(high.empty());
    SoundTimeline timeline;
    timeline.cues = {play(0, high, 1, 0), play(250, low, 2, 1), cue(SoundCue::Kind::Pause, 500, 1),
                     cue(SoundCue::Kind::Resume, 700, 1), cue(SoundCue::Kind::Stop, 1500, 2)};
    std::vector<float> whole = render(timeline, 0, 2 * rate);
    std::vector<float> stretch = render(timeline, 33333, 55555);
    ASSERT_EQ(stretch.size(), size_t(55555 - 33333) * 2);
    EXPECT_TRUE(std::equal(stretch.begin(), stretch.end(), whole.begin() + 33333 * 2));
    // Paused from 500 to 700 ms: only the low tone sounds there.
    EXPECT_LT(toneAmplitude(whole, 23000, 30000, rate, 660.0), 0.01);
    EXPECT_GT(toneAmplitude(whole, 23000, 30000, rate, 220.0), 0.3);
    // The same timeline gives the same samples every time.
    EXPECT_EQ(render(timeline, 0, 2 * rate), whole);
}

TEST(SoundCapture, MissingOrDamagedTracksStaySilentAndCuesForUnknownChannelsAreIgnored) {
    std::string junk = outputDir() + "/capture_junk.mp3";
    writeBytes(junk, std::vector<uint8_t>(5000, 0x55));
    SoundTimeline timeline;
    timeline.cues = {play(0, "no/such/file.mp3", 1, 0), play(10, junk, 2, 1), play(20, "", 3, 0),
                     cue(SoundCue::Kind::Stop, 30, 99), cue(SoundCue::Kind::Pause, 40, 3)};
    std::vector<float> mixed = render(timeline, 0, 4410);
    ASSERT_EQ(mixed.size(), 4410u * 2);
    EXPECT_EQ(peak(mixed, 0, 4410), 0.0f);
    // A sink that gives up ends the render.
    int pieces = 0;
    EXPECT_FALSE(renderSoundtrack(timeline, 0, 44100, [&pieces](const float*, size_t) { return ++pieces < 2; }));
    EXPECT_EQ(pieces, 2);
    EXPECT_TRUE(render(timeline, 500, 500).empty());
}
