// The decoding path of the sound layer without an audio device: mp3 frames from
// files and memory, rate conversion into the bounded stream buffer, damaged input.
#include <gtest/gtest.h>

#include <malloc.h>

#include <cstdio>
#include <random>

#include "platform/sound/fmod_sdl_mp3_decoder.h"
#include "platform/sound/fmod_sdl_mp3_stream.h"
#include "platform/sound/fmod_sdl_pcm_ring.h"
#include "support/sound_fixtures.h"

using namespace soundtest;

namespace {

std::unique_ptr<Mp3Decoder> openOrFail(const std::string& path) {
    std::unique_ptr<Mp3Decoder> decoder;
    EXPECT_EQ(Mp3Decoder::openFile(path.c_str(), &decoder), FMOD_OK) << path;
    return decoder;
}

// Reads a whole stream the way the mixer does, refilling whenever it runs dry.
std::vector<float> playThrough(Mp3Stream& stream, size_t* mostBuffered = nullptr) {
    std::vector<float> out, chunk(2 * 1024);
    bool ended = false;
    size_t most = 0;
    while (!ended) {
        stream.fill();
        most = std::max(most, stream.bufferedFrames());
        size_t got = stream.read(chunk.data(), 1024, &ended);
        out.insert(out.end(), chunk.begin(), chunk.begin() + static_cast<long>(got) * 2);
    }
    if (mostBuffered) *mostBuffered = most;
    return out;
}

TEST(SoundDecoder, DecodesASineAsMpg123DoesAndTrimsTheEncoderPadding) {
    std::string path = sineMp3(440, 1.5, 44100, 2);
    ASSERT_FALSE(path.empty()) << "lame failed";
    auto decoder = openOrFail(path);
    ASSERT_TRUE(decoder);
    EXPECT_EQ(decoder->sampleRate(), 44100);
    std::vector<float> ours = decodeAll(*decoder);
    size_t frames = ours.size() / 2;
    // Gapless decoding gives back the encoded length exactly (within one mp3 frame
    // where the tag is missing).
    EXPECT_NEAR(double(frames), 1.5 * 44100, 1152.0);
    EXPECT_NEAR(frequency(ours, 2000, frames - 2000, 44100), 440.0, 2.0);
    EXPECT_NEAR(frequency(ours, 2000, frames - 2000, 44100, 1), 440.0, 2.0);
    EXPECT_NEAR(rms(ours, 2000, frames - 2000), 0.5 / std::sqrt(2.0), 0.02);

    // The reference: mpg123's own decoder, float output.
    std::string raw = outputDir() + "/reference.f32";
    std::string command = "mpg123 -q -e f32 -s '" + path + "' > '" + raw + "'";
    ASSERT_EQ(std::system(command.c_str()), 0);
    std::vector<uint8_t> bytes = readBytes(raw);
    std::vector<float> reference(bytes.size() / sizeof(float));
    std::memcpy(reference.data(), bytes.data(), reference.size() * sizeof(float));
    ASSERT_EQ(reference.size(), ours.size());
    float largest = 0.0f;
    for (size_t i = 0; i < ours.size(); ++i) largest = std::max(largest, std::fabs(ours[i] - reference[i]));
    EXPECT_LT(largest, 1e-5f);
}

TEST(SoundDecoder, DoublesMonoAndReadsFromMemoryAndRewinds) {
    std::string path = sineMp3(1000, 0.5, 22050, 1);
    std::vector<uint8_t> bytes = readBytes(path);
    ASSERT_FALSE(bytes.empty());
    std::unique_ptr<Mp3Decoder> decoder;
    ASSERT_EQ(Mp3Decoder::openMemory(bytes.data(), bytes.size(), &decoder), FMOD_OK);
    EXPECT_EQ(decoder->sampleRate(), 22050);
    std::vector<float> first = decodeAll(*decoder);
    ASSERT_GT(first.size(), 2u * 10000);
    for (size_t i = 0; i < first.size(); i += 2) ASSERT_EQ(first[i], first[i + 1]) << "frame " << i / 2;
    EXPECT_NEAR(frequency(first, 500, first.size() / 2 - 500, 22050), 1000.0, 4.0);

    // After a rewind the same samples again, up to rounding in the filter bank's
    // warm-up.
    ASSERT_TRUE(decoder->rewind());
    std::vector<float> again = decodeAll(*decoder);
    ASSERT_EQ(again.size(), first.size());
    for (size_t i = 0; i < first.size(); ++i) ASSERT_NEAR(again[i], first[i], 1e-4f) << "sample " << i;
}

TEST(SoundDecoder, RefusesWhatIsNotAnMp3) {
    std::string dir = outputDir();
    std::string good = sineMp3(440, 1.5, 44100, 2);
    std::vector<uint8_t> mp3 = readBytes(good);
    ASSERT_GT(mp3.size(), 4000u);

    std::mt19937 random(1234);
    std::vector<uint8_t> noise(64 * 1024);
    for (auto& byte : noise) byte = static_cast<uint8_t>(random());
    // An ID3v2 header saying 1000 bytes of tag, then nothing but the tag.
    std::vector<uint8_t> tagOnly = {'I', 'D', '3', 4, 0, 0, 0, 0, 7, 104};
    tagOnly.resize(10 + 1000, 0);
    std::vector<uint8_t> headOnly(mp3.begin(), mp3.begin() + 100);

    struct Case {
        const char* name;
        std::vector<uint8_t> bytes;
    } cases[] = {{"empty", {}}, {"noise", noise}, {"tag_only", tagOnly}, {"first_100_bytes", headOnly}};
    for (const Case& c : cases) {
        std::string path = dir + "/bad_" + c.name + ".mp3";
        writeBytes(path, c.bytes);
        std::unique_ptr<Mp3Decoder> decoder;
        EXPECT_EQ(Mp3Decoder::openFile(path.c_str(), &decoder), FMOD_ERR_FILE_BAD) << c.name;
        EXPECT_FALSE(decoder) << c.name;
        EXPECT_EQ(Mp3Decoder::openMemory(c.bytes.data(), c.bytes.size(), &decoder), FMOD_ERR_FILE_BAD) << c.name;
    }

    std::unique_ptr<Mp3Decoder> decoder;
    EXPECT_EQ(Mp3Decoder::openFile((dir + "/no_such_file.mp3").c_str(), &decoder), FMOD_ERR_FILE_NOTFOUND);
    EXPECT_EQ(Mp3Decoder::openFile(dir.c_str(), &decoder), FMOD_ERR_FILE_NOTFOUND) << "a folder";
    EXPECT_EQ(Mp3Decoder::openFile(nullptr, &decoder), FMOD_ERR_INVALID_PARAM);
}

TEST(SoundDecoder, ATruncatedFilePlaysWhatIsThereAndGarbageInsideIsSurvived) {
    std::vector<uint8_t> mp3 = readBytes(sineMp3(440, 1.5, 44100, 2));
    std::vector<uint8_t> half(mp3.begin(), mp3.begin() + static_cast<long>(mp3.size() / 2));
    std::unique_ptr<Mp3Decoder> decoder;
    ASSERT_EQ(Mp3Decoder::openMemory(half.data(), half.size(), &decoder), FMOD_OK);
    size_t frames = decodeAll(*decoder).size() / 2;
    EXPECT_NEAR(double(frames), 0.75 * 44100, 3 * 1152.0);

    // Noise over the middle third: decoding goes on to the end without a crash.
    std::vector<uint8_t> damaged = mp3;
    std::mt19937 random(99);
    for (size_t i = damaged.size() / 3; i < 2 * damaged.size() / 3; ++i) damaged[i] = static_cast<uint8_t>(random());
    ASSERT_EQ(Mp3Decoder::openMemory(damaged.data(), damaged.size(), &decoder), FMOD_OK);
    std::vector<float> samples = decodeAll(*decoder);
    EXPECT_GT(samples.size() / 2, 44100u / 3);
    for (float s : samples) ASSERT_TRUE(std::isfinite(s));
}

TEST(SoundStream, ConvertsToTheOutputRateWithinABoundedBuffer) {
    // 44.1 kHz in, 48 kHz out: same pitch, length scaled by the rate ratio.
    auto decoder = openOrFail(sineMp3(440, 1.5, 44100, 2));
    std::unique_ptr<Mp3Stream> stream;
    ASSERT_EQ(Mp3Stream::open(std::move(decoder), 48000, 4800, &stream), FMOD_OK);
    size_t mostBuffered = 0;
    std::vector<float> out = playThrough(*stream, &mostBuffered);
    size_t frames = out.size() / 2;
    EXPECT_NEAR(double(frames), 1.5 * 48000, 1152.0 * 48 / 44.1 + 64);
    EXPECT_NEAR(frequency(out, 2000, frames - 2000, 48000), 440.0, 2.0);
    EXPECT_LE(mostBuffered, 4800u);
    EXPECT_EQ(stream->capacityFrames(), 4800u);

    // Played again from the start after restart(): the same samples.
    stream->restart();
    std::vector<float> again = playThrough(*stream);
    ASSERT_EQ(again.size(), out.size());
    for (size_t i = 0; i < out.size(); ++i) ASSERT_NEAR(again[i], out[i], 1e-4f) << "sample " << i;
}

TEST(SoundStream, AFillStopsAtTheBufferAndALongTrackHoldsNoMoreMemory) {
    // A minute of tone: memory stays at the buffer's size however far it plays.
    auto decoder = openOrFail(sineMp3(220, 60, 44100, 2, 0.3f));
    std::unique_ptr<Mp3Stream> stream;
    ASSERT_EQ(Mp3Stream::open(std::move(decoder), 44100, 44100, &stream), FMOD_OK);
    EXPECT_GT(stream->fill(4410), 4409u);
    EXPECT_LT(stream->bufferedFrames(), 4410u + 1152u * 2);
    stream->fill();
    EXPECT_EQ(stream->bufferedFrames(), 44100u) << "filled to the brim, not beyond";
    EXPECT_EQ(stream->fill(), 0u);

    std::vector<float> chunk(2 * 1024);
    size_t total = 0, heapAtTenSeconds = 0, heapMost = 0;
    bool ended = false;
    while (!ended) {
        stream->fill();
        total += stream->read(chunk.data(), 1024, &ended);
        size_t heap = mallinfo2().uordblks;
        if (total >= 10 * 44100 && !heapAtTenSeconds) heapAtTenSeconds = heap;
        if (heapAtTenSeconds) heapMost = std::max(heapMost, heap);
    }
    EXPECT_NEAR(double(total), 60.0 * 44100, 1152.0);
    EXPECT_LT(heapMost - heapAtTenSeconds, 64u * 1024) << "the heap does not grow while a track plays";
}

TEST(SoundRing, WrapsAroundAndNeverOverfills) {
    PcmRing ring(5);
    float in[14], out[14];
    for (int i = 0; i < 14; ++i) in[i] = float(i);
    EXPECT_EQ(ring.write(in, 3), 3u);
    EXPECT_EQ(ring.read(out, 2), 2u);
    EXPECT_EQ(ring.write(in + 6, 7), 4u) << "only four frames fit";
    EXPECT_EQ(ring.readable(), 5u);
    EXPECT_EQ(ring.writable(), 0u);
    EXPECT_EQ(ring.read(out, 7), 5u);
    const float expected[] = {4, 5, 6, 7, 8, 9, 10, 11, 12, 13};
    for (int i = 0; i < 10; ++i) EXPECT_EQ(out[i], expected[i]) << i;
    EXPECT_EQ(ring.read(out, 1), 0u);
}

}  // namespace
