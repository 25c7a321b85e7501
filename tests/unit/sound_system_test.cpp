// The sound system end to end: SDL's disk driver writes the mixed output to a
// file that the tests read back; the dummy driver stands in where only the
// bookkeeping matters; a driver that does not exist plays a machine without sound.
#include <gtest/gtest.h>

#include <malloc.h>

#include <chrono>
#include <thread>

#include "support/capture.h"
#include "platform/sound/fmod.h"
#include "shell/fmod_check.h"
#include "support/sound_fixtures.h"

using namespace soundtest;

namespace {

constexpr int kRate = 44100;  // the disk driver takes the rate the layer asks for

// Waits, calling update() as the frame loop does.
void play(FMOD::System* system, double seconds) {
    auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    while (std::chrono::steady_clock::now() < end) {
        system->update();
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

// A system whose output goes to a file, and that file read back after release.
class DiskOutput {
public:
    explicit DiskOutput(const std::string& name)
        : path(outputDir() + "/" + name + ".f32"), driver("SDL_AUDIODRIVER", "disk"),
          file("SDL_DISKAUDIOFILE", path.c_str()), delay("SDL_DISKAUDIODELAY", nullptr) {
        std::remove(path.c_str());
        EXPECT_EQ(FMOD_System_Create(&system), FMOD_OK);
        EXPECT_EQ(system->init(100, FMOD_INIT_NORMAL, nullptr), FMOD_OK);
    }
    // Releases the system and returns what it played, interleaved stereo.
    std::vector<float> finish() {
        EXPECT_EQ(system->release(), FMOD_OK);
        system = nullptr;
        std::vector<uint8_t> bytes = readBytes(path);
        std::vector<float> samples(bytes.size() / sizeof(float));
        std::memcpy(samples.data(), bytes.data(), samples.size() * sizeof(float));
        return samples;
    }
    ~DiskOutput() {
        if (system) system->release();
    }

    FMOD::System* system = nullptr;

private:
    std::string path;
    ScopedEnv driver, file, delay;
};

float largestStep(const std::vector<float>& stereo) {
    float step = 0.0f;
    for (size_t i = 2; i < stereo.size(); ++i) step = std::max(step, std::fabs(stereo[i] - stereo[i - 2]));
    return step;
}

TEST(SoundSystem, PlaysAStreamOnceThroughThenFallsSilentAndFreesTheChannel) {
    std::string track = sineMp3(440, 1.0, 44100, 2);
    DiskOutput output("once_through");
    FMOD::Sound* sound = nullptr;
    FMOD::Channel* channel = nullptr;
    ASSERT_EQ(output.system->createStream(track.c_str(), FMOD_DEFAULT, nullptr, &sound), FMOD_OK);
    ASSERT_EQ(output.system->playSound(FMOD_CHANNEL_FREE, sound, false, &channel), FMOD_OK);
    bool playing = false;
    EXPECT_EQ(channel->isPlaying(&playing), FMOD_OK);
    EXPECT_TRUE(playing);
    play(output.system, 1.6);
    EXPECT_EQ(channel->isPlaying(&playing), FMOD_ERR_INVALID_HANDLE) << "an ended channel is gone";
    EXPECT_FALSE(playing);
    EXPECT_EQ(channel->stop(), FMOD_ERR_INVALID_HANDLE);
    std::vector<float> out = output.finish();

    size_t frames = out.size() / 2;
    ASSERT_GT(frames, size_t(1.4 * kRate));
    auto [first, last] = audibleSpan(out);
    EXPECT_NEAR(double(last - first) / kRate, 1.0, 0.03) << "the whole track, once, without gaps";
    EXPECT_LT(double(first) / kRate, 0.1) << "playback starts at once";
    EXPECT_NEAR(frequency(out, first + 1000, last - 1000, kRate), 440.0, 2.0);
    EXPECT_NEAR(frequency(out, first + 1000, last - 1000, kRate, 1), 440.0, 2.0);
    EXPECT_NEAR(rms(out, first + 1000, last - 1000), 0.5 / std::sqrt(2.0), 0.02);
    EXPECT_GT(frames - last, size_t(0.3 * kRate));
    EXPECT_EQ(peak(out, last + kRate / 50, frames), 0.0f) << "silence after the end";
}

TEST(SoundSystem, AStoppedChannelFadesOutWithinMillisecondsWithoutAClick) {
    std::string track = sineMp3(440, 3.0, 44100, 2);
    DiskOutput output("stopped");
    FMOD::Sound* sound = nullptr;
    FMOD::Channel* channel = nullptr;
    ASSERT_EQ(output.system->createStream(track.c_str(), FMOD_DEFAULT, nullptr, &sound), FMOD_OK);
    ASSERT_EQ(output.system->playSound(FMOD_CHANNEL_FREE, sound, false, &channel), FMOD_OK);
    play(output.system, 0.5);
    EXPECT_EQ(channel->stop(), FMOD_OK);
    EXPECT_EQ(channel->stop(), FMOD_ERR_INVALID_HANDLE) << "the slot is freed at once";
    play(output.system, 0.4);
    std::vector<float> out = output.finish();

    auto [first, last] = audibleSpan(out, 0.001f);
    EXPECT_NEAR(double(last - first) / kRate, 0.5, 0.1) << "silent within a tenth of a second of stop()";
    EXPECT_EQ(peak(out, last + kRate / 50, out.size() / 2), 0.0f);
    // A 440 Hz sine at 0.5 moves at most 0.031 a sample; a cut would jump by up to 0.5.
    EXPECT_LT(largestStep(out), 0.05f);
}

TEST(SoundSystem, MixesSeveralStreamsAtTheDeviceRate) {
    // A 22.05 kHz mono track is converted to the 44.1 kHz stereo output beside a
    // 44.1 kHz stereo one.
    std::string low = sineMp3(440, 1.0, 44100, 2, 0.3f);
    std::string high = sineMp3(1000, 1.0, 22050, 1, 0.3f);
    DiskOutput output("mixed");
    FMOD::Sound* a = nullptr;
    FMOD::Sound* b = nullptr;
    ASSERT_EQ(output.system->createStream(low.c_str(), FMOD_DEFAULT, nullptr, &a), FMOD_OK);
    ASSERT_EQ(output.system->createStream(high.c_str(), FMOD_DEFAULT, nullptr, &b), FMOD_OK);
    ASSERT_EQ(output.system->playSound(FMOD_CHANNEL_FREE, a, false, nullptr), FMOD_OK);
    ASSERT_EQ(output.system->playSound(FMOD_CHANNEL_FREE, b, false, nullptr), FMOD_OK);
    play(output.system, 1.3);
    std::vector<float> out = output.finish();

    auto [first, last] = audibleSpan(out);
    ASSERT_GT(last, first + kRate / 2);
    size_t begin = first + 2000, end = last - 2000;
    EXPECT_NEAR(toneAmplitude(out, begin, end, kRate, 440), 0.3, 0.03);
    EXPECT_NEAR(toneAmplitude(out, begin, end, kRate, 1000), 0.3, 0.03);
    EXPECT_LT(toneAmplitude(out, begin, end, kRate, 700), 0.01);
    for (size_t i = begin; i < end; ++i) ASSERT_NEAR(out[2 * i], out[2 * i + 1], 1e-6f) << "frame " << i;
}

TEST(SoundSystem, KeepsALongStreamGoingWithoutGapsOnBoundedMemory) {
    std::string track = sineMp3(220, 60, 44100, 2, 0.3f);
    DiskOutput output("long");
    FMOD::Sound* sound = nullptr;
    FMOD::Channel* channel = nullptr;
    ASSERT_EQ(output.system->createStream(track.c_str(), FMOD_DEFAULT, nullptr, &sound), FMOD_OK);
    ASSERT_EQ(output.system->playSound(FMOD_CHANNEL_FREE, sound, false, &channel), FMOD_OK);
    play(output.system, 1.0);
    size_t heapAfterOneSecond = mallinfo2().uordblks;
    play(output.system, 2.0);
    size_t heapAfterThree = mallinfo2().uordblks;
    bool playing = false;
    EXPECT_EQ(channel->isPlaying(&playing), FMOD_OK);
    EXPECT_TRUE(playing);
    std::vector<float> out = output.finish();

    EXPECT_LT(heapAfterThree, heapAfterOneSecond + 64 * 1024);
    auto [first, last] = audibleSpan(out);
    EXPECT_GT(double(last - first) / kRate, 2.8);
    // A 220 Hz tone crosses zero every 100 samples: any longer quiet run is a gap.
    size_t quietRun = 0, longestQuiet = 0;
    for (size_t i = first; i < last; ++i) {
        quietRun = std::fabs(out[2 * i]) < 0.01f ? quietRun + 1 : 0;
        longestQuiet = std::max(longestQuiet, quietRun);
    }
    EXPECT_LT(longestQuiet, 20u) << "the stream never ran dry";
}

TEST(SoundSystem, ChannelHandlesStayValidOnlyForTheirOwnPlay) {
    ScopedEnv driver("SDL_AUDIODRIVER", "dummy");
    std::string track = sineMp3(440, 3.0, 44100, 2);
    FMOD::System* system = nullptr;
    ASSERT_EQ(FMOD_System_Create(&system), FMOD_OK);
    ASSERT_EQ(system->init(2, FMOD_INIT_NORMAL, nullptr), FMOD_OK);
    FMOD::Sound* sounds[3] = {};
    for (auto*& sound : sounds) ASSERT_EQ(system->createStream(track.c_str(), FMOD_DEFAULT, nullptr, &sound), FMOD_OK);

    FMOD::Channel* a = nullptr;
    FMOD::Channel* b = nullptr;
    FMOD::Channel* c = nullptr;
    ASSERT_EQ(system->playSound(FMOD_CHANNEL_FREE, sounds[0], false, &a), FMOD_OK);
    ASSERT_EQ(system->playSound(FMOD_CHANNEL_FREE, sounds[1], true, &b), FMOD_OK);
    EXPECT_EQ(system->playSound(FMOD_CHANNEL_FREE, sounds[2], false, &c), FMOD_ERR_CHANNEL_ALLOC);
    ASSERT_NE(c, nullptr) << "a failed play still hands out a handle that is safe to call";
    EXPECT_EQ(c->stop(), FMOD_ERR_INVALID_HANDLE);

    bool paused = false;
    EXPECT_EQ(b->getPaused(&paused), FMOD_OK);
    EXPECT_TRUE(paused);
    EXPECT_EQ(b->setPaused(false), FMOD_OK);
    EXPECT_EQ(b->getPaused(&paused), FMOD_OK);
    EXPECT_FALSE(paused);

    // A stopped channel's slot goes to the next play; the old handle stays dead.
    EXPECT_EQ(a->stop(), FMOD_OK);
    ASSERT_EQ(system->playSound(FMOD_CHANNEL_FREE, sounds[2], false, &c), FMOD_OK);
    bool playing = true;
    EXPECT_EQ(a->isPlaying(&playing), FMOD_ERR_INVALID_HANDLE);
    EXPECT_EQ(c->isPlaying(&playing), FMOD_OK);
    EXPECT_NE(a, c);

    // Playing a stream again moves it: the earlier channel is over.
    FMOD::Channel* again = nullptr;
    ASSERT_EQ(system->playSound(FMOD_CHANNEL_FREE, sounds[1], false, &again), FMOD_OK);
    EXPECT_EQ(b->isPlaying(&playing), FMOD_ERR_INVALID_HANDLE);
    EXPECT_EQ(again->isPlaying(&playing), FMOD_OK);

    // A named channel index takes that slot over.
    FMOD::Channel* named = nullptr;
    ASSERT_EQ(system->playSound(0, sounds[0], false, &named), FMOD_OK);
    EXPECT_EQ(named->isPlaying(&playing), FMOD_OK);
    EXPECT_EQ(system->playSound(2, sounds[0], false, nullptr), FMOD_ERR_INVALID_PARAM);

    // A pointer that is not one of this system's sounds is refused, not used.
    int notASound = 0;
    EXPECT_EQ(system->playSound(FMOD_CHANNEL_FREE, reinterpret_cast<FMOD::Sound*>(&notASound), false, nullptr),
              FMOD_ERR_INVALID_HANDLE);
    EXPECT_EQ(reinterpret_cast<FMOD::Channel*>(&notASound)->stop(), FMOD_ERR_INVALID_HANDLE);

    EXPECT_EQ(system->release(), FMOD_OK);
    // Handles of a released system: calls are safe and fail.
    EXPECT_EQ(c->stop(), FMOD_ERR_INVALID_HANDLE);
    EXPECT_EQ(again->setPaused(true), FMOD_ERR_INVALID_HANDLE);
    EXPECT_EQ(named->getPaused(&paused), FMOD_ERR_INVALID_HANDLE);
}

TEST(SoundSystem, WithoutAnAudioDeviceEveryCallFailsAndNothingBreaks) {
    ScopedEnv driver("SDL_AUDIODRIVER", "no_such_driver");
    LogCapture log;
    MessageBoxRecorder boxes;
    FMOD::System* system = nullptr;
    ASSERT_TRUE(fmodCheck(FMOD_System_Create(&system)));
    ASSERT_NE(system, nullptr);
    FMOD_RESULT result = system->init(100, FMOD_INIT_NORMAL, nullptr);
    EXPECT_EQ(result, FMOD_ERR_OUTPUT_INIT);
    EXPECT_FALSE(fmodCheck(result));
    EXPECT_TRUE(log.contains("FMOD error! (8) Error initializing output device.\n"));

    std::string track = sineMp3(440, 1.0, 44100, 2);
    FMOD::Sound* sound = reinterpret_cast<FMOD::Sound*>(&log);  // must be overwritten
    FMOD::Channel* channel = nullptr;
    EXPECT_EQ(system->createStream(track.c_str(), FMOD_DEFAULT, nullptr, &sound), FMOD_ERR_UNINITIALIZED);
    EXPECT_EQ(sound, nullptr);
    EXPECT_EQ(system->playSound(FMOD_CHANNEL_FREE, sound, false, &channel), FMOD_ERR_UNINITIALIZED);
    ASSERT_NE(channel, nullptr);
    EXPECT_EQ(channel->stop(), FMOD_ERR_INVALID_HANDLE);
    EXPECT_EQ(system->update(), FMOD_ERR_UNINITIALIZED);
    EXPECT_EQ(system->init(100, FMOD_INIT_NORMAL, nullptr), FMOD_ERR_INITIALIZED);
    EXPECT_EQ(system->release(), FMOD_OK);
    EXPECT_TRUE(boxes.boxes.empty()) << "the layer never shows a message";
}

TEST(SoundSystem, BadFilesAndArgumentsAreErrorsTheDemoCanIgnore) {
    ScopedEnv driver("SDL_AUDIODRIVER", "dummy");
    LogCapture log;
    MessageBoxRecorder boxes;
    FMOD::System* system = nullptr;
    ASSERT_EQ(FMOD_System_Create(&system), FMOD_OK);
    FMOD::Sound* sound = nullptr;
    std::string track = sineMp3(440, 1.0, 44100, 2);
    EXPECT_EQ(system->createStream(track.c_str(), FMOD_DEFAULT, nullptr, &sound), FMOD_ERR_UNINITIALIZED)
        << "before init";
    EXPECT_EQ(system->init(0, FMOD_INIT_NORMAL, nullptr), FMOD_ERR_INVALID_PARAM);
    ASSERT_EQ(system->init(100, FMOD_INIT_NORMAL, nullptr), FMOD_OK);

    // The way a scene starts its music when the file is missing.
    FMOD::Channel* channel = nullptr;
    FMOD_RESULT result = system->createStream("./sound/no_such_track.mp3", FMOD_DEFAULT, nullptr, &sound);
    EXPECT_EQ(result, FMOD_ERR_FILE_NOTFOUND);
    fmodCheck(result);
    EXPECT_EQ(sound, nullptr);
    result = system->playSound(FMOD_CHANNEL_FREE, sound, false, &channel);
    EXPECT_EQ(result, FMOD_ERR_INVALID_PARAM);
    fmodCheck(result);
    EXPECT_EQ(system->update(), FMOD_OK);
    EXPECT_EQ(channel->stop(), FMOD_ERR_INVALID_HANDLE);
    EXPECT_TRUE(log.contains("FMOD error! (1) File not found.\n"));
    EXPECT_TRUE(log.contains("FMOD error! (4) "));

    std::string garbage = outputDir() + "/garbage.mp3";
    writeBytes(garbage, std::vector<uint8_t>(5000, 0x55));
    EXPECT_EQ(system->createStream(garbage.c_str(), FMOD_DEFAULT, nullptr, &sound), FMOD_ERR_FILE_BAD);
    EXPECT_EQ(sound, nullptr);
    EXPECT_EQ(system->createStream(nullptr, FMOD_DEFAULT, nullptr, &sound), FMOD_ERR_INVALID_PARAM);
    EXPECT_EQ(system->createStream(track.c_str(), 0x2u, nullptr, &sound), FMOD_ERR_INVALID_PARAM)
        << "only once-through streams";
    EXPECT_EQ(system->createStream(track.c_str(), FMOD_DEFAULT, nullptr, nullptr), FMOD_ERR_INVALID_PARAM);
    EXPECT_EQ(system->release(), FMOD_OK);
    EXPECT_TRUE(boxes.boxes.empty());
    EXPECT_STREQ(FMOD_ErrorString(12345), "Unknown error.");
}

}  // namespace
