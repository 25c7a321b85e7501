// oku-capture end to end: short recordings of the real demo, checked with ffprobe
// and decoded back with ffmpeg; usage errors and failing encoders.
#include <gtest/gtest.h>

#include <GL/glew.h>
#include <dirent.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "capture/capture_run.h"
#include "capture/video_encoder.h"
#include "platform/clock/tick_count.h"
#include "platform/sound/fmod_sdl_mp3_decoder.h"
#include "platform/window/win32.h"
#include "scenes/demo_scenes.h"
#include "scenes/indoor/bump_mapping.h"
#include "shell/demo_app.h"
#include "shell/scene.h"
#include "shell/scene_sequence.h"
#include "platform/clock/timer.h"
#include "support/test_output.h"

namespace {

using Frame = std::vector<uint8_t>;  // RGB, top row first

std::string freshFolder(const std::string& name) {
    std::string folder = testOutputDir() + "capture/";
    mkdir(folder.c_str(), 0755);
    folder += name;
    std::system(("rm -rf '" + folder + "'").c_str());
    mkdir(folder.c_str(), 0755);
    return folder;
}

std::vector<std::string> filesIn(const std::string& folder) {
    std::vector<std::string> names;
    if (DIR* dir = opendir(folder.c_str())) {
        while (dirent* entry = readdir(dir)) {
            std::string name = entry->d_name;
            if (name != "." && name != "..") names.push_back(name);
        }
        closedir(dir);
    }
    return names;
}

std::string readText(const std::string& path) {
    std::ifstream in(path);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string shellOutput(const std::string& command) {
    std::string text;
    if (FILE* pipe = popen(command.c_str(), "r")) {
        char chunk[4096];
        size_t got;
        while ((got = fread(chunk, 1, sizeof chunk, pipe)) > 0) text.append(chunk, got);
        pclose(pipe);
    }
    return text;
}

std::vector<uint8_t> shellBytes(const std::string& command) {
    std::string text = shellOutput(command);
    return std::vector<uint8_t>(text.begin(), text.end());
}

struct ProgramRun {
    int exitCode = -1;
    std::string messages;  // what it wrote to stderr
};

// Runs oku-capture with the arguments (already quoted), stderr into a file (not a terminal).
ProgramRun runProgram(const std::string& arguments, const std::string& folder, const std::string& path = "") {
    std::string messages = folder + "/../" + "messages.txt";
    std::string command = (path.empty() ? std::string() : "PATH='" + path + "' ") + "'" OKU_CAPTURE_PROGRAM "' " +
                          arguments + " 2>'" + messages + "' </dev/null >/dev/null";
    ProgramRun run;
    int status = std::system(command.c_str());
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    run.messages = readText(messages);
    return run;
}

std::map<std::string, std::string> probe(const std::string& file, const char* stream) {
    std::string text = shellOutput(std::string("ffprobe -v error -select_streams ") + stream +
                                   " -show_entries stream=codec_name,width,height,pix_fmt,nb_frames,duration,"
                                   "sample_rate,channels,avg_frame_rate -of default=noprint_wrappers=1 '" +
                                   file + "'");
    std::map<std::string, std::string> fields;
    size_t at = 0;
    while (at < text.size()) {
        size_t end = text.find('\n', at);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(at, end - at);
        size_t equals = line.find('=');
        if (equals != std::string::npos) fields[line.substr(0, equals)] = line.substr(equals + 1);
        at = end + 1;
    }
    return fields;
}

std::vector<Frame> decodeFrames(const std::string& file) {
    std::vector<uint8_t> all =
        shellBytes("ffmpeg -v error -i '" + file + "' -map 0:v -f rawvideo -pix_fmt rgb24 -");
    std::vector<Frame> frames;
    for (size_t at = 0; at + captureFrameBytes <= all.size(); at += captureFrameBytes)
        frames.emplace_back(all.begin() + static_cast<long>(at), all.begin() + static_cast<long>(at + captureFrameBytes));
    return frames;
}

std::vector<float> decodeSound(const std::string& file) {
    std::vector<uint8_t> bytes = shellBytes("ffmpeg -v error -i '" + file + "' -map 0:a -f f32le -ac 2 -");
    std::vector<float> samples(bytes.size() / sizeof(float));
    std::memcpy(samples.data(), bytes.data(), samples.size() * sizeof(float));
    return samples;
}

// The decoded picture and sound of every frame, without the container's header lines.
std::string frameChecksums(const std::string& file) {
    std::string text = shellOutput("ffmpeg -v error -i '" + file + "' -map 0 -f framemd5 -");
    std::string kept;
    size_t at = 0;
    while (at < text.size()) {
        size_t end = text.find('\n', at);
        if (end == std::string::npos) end = text.size();
        if (text[at] != '#') kept += text.substr(at, end - at + 1);
        at = end + 1;
    }
    return kept;
}

double psnr(const Frame& a, const Frame& b) {
    double sum = 0.0;
    for (size_t i = 0; i < a.size(); ++i) sum += (double(a[i]) - b[i]) * (double(a[i]) - b[i]);
    double mse = sum / double(a.size());
    return mse == 0.0 ? 99.0 : 10.0 * std::log10(255.0 * 255.0 / mse);
}

Frame flipped(const Frame& frame) {
    Frame out(frame.size());
    size_t row = size_t(captureWidth) * 3;
    for (int y = 0; y < captureHeight; ++y)
        std::memcpy(&out[size_t(y) * row], &frame[size_t(captureHeight - 1 - y) * row], row);
    return out;
}

void savePng(const std::string& path, const Frame& rgbTopDown) {
    std::vector<unsigned char> rgba(size_t(captureWidth) * captureHeight * 4);
    for (int y = 0; y < captureHeight; ++y)
        for (int x = 0; x < captureWidth; ++x)
            for (int c = 0; c < 4; ++c)
                rgba[(size_t(captureHeight - 1 - y) * captureWidth + x) * 4 + c] =
                    c == 3 ? 255 : rgbTopDown[(size_t(y) * captureWidth + x) * 3 + c];
    writePng(path, captureWidth, captureHeight, rgba);
}

// The first audible stereo frame, or the length when there is none.
size_t onsetFrame(const std::vector<float>& stereo, float threshold) {
    for (size_t i = 0; i < stereo.size(); ++i)
        if (std::fabs(stereo[i]) > threshold) return i / 2;
    return stereo.size() / 2;
}

float loudest(const std::vector<float>& stereo, size_t beginFrame, size_t endFrame) {
    float top = 0.0f;
    for (size_t i = beginFrame * 2; i < std::min(endFrame * 2, stereo.size()); ++i)
        top = std::max(top, std::fabs(stereo[i]));
    return top;
}

// A first scene that plays no music and finishes after one second of scene time,
// so the indoor scene starts at a known frame whatever the demo's first scene is.
class OneSecondScene : public Scene {
public:
    OneSecondScene(InputControl* input, FMOD::System* fmodSystem) : Scene("OneSecond", input, fmodSystem) {}
    bool render() override {
        glClearColor(0.2f, 0.1f, 0.3f, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
        // Ten steps of 0.1 s add up to just under 1.0 in binary.
        if (timer->total() > 0.999) finished = true;
        return true;
    }
};
Scene* makeOneSecondScene(InputControl* input, FMOD::System* fmod) { return new OneSecondScene(input, fmod); }

// The indoor scene's first frame as the scene itself sees it, read inside render.
struct FirstIndoorFrame {
    double sceneTime = -1.0;
    Frame rgb;
} firstIndoorFrame;

class FirstFrameBumpMapping : public BumpMapping {
public:
    using BumpMapping::BumpMapping;
    bool render() override {
        bool ok = BumpMapping::render();
        if (firstIndoorFrame.sceneTime < 0.0) {
            firstIndoorFrame.sceneTime = timer->total();
            Frame bottomUp(captureFrameBytes);
            glPixelStorei(GL_PACK_ALIGNMENT, 1);
            glReadPixels(0, 0, captureWidth, captureHeight, GL_RGB, GL_UNSIGNED_BYTE, bottomUp.data());
            firstIndoorFrame.rgb = flipped(bottomUp);
            finished = true;  // one frame is all the reference needs
        }
        return ok;
    }
};
Scene* makeFirstFrameBumpMapping(InputControl* input, FMOD::System* fmod) {
    return new FirstFrameBumpMapping(input, fmod);
}

// Runs a capture in this process and returns its exit code; *report gets what it wrote.
int captureHere(const CaptureOptions& options, std::string* report, const CapturedFrameObserver& observer = {}) {
    std::FILE* sink = std::tmpfile();
    int code = runCapture(options, sink, observer);
    std::rewind(sink);
    report->clear();
    char chunk[1024];
    size_t got;
    while ((got = std::fread(chunk, 1, sizeof chunk, sink)) > 0) report->append(chunk, got);
    std::fclose(sink);
    return code;
}

}  // namespace

TEST(CaptureProgram, RecordsThreeSecondsWithMusicAndReportsOneSummaryLine) {
    std::string folder = freshFolder("three_seconds");
    std::string file = folder + "/three.mp4";
    ProgramRun run = runProgram("--fps 5 --to 3 --out '" + file + "'", folder);
    ASSERT_EQ(run.exitCode, 0) << run.messages;
    // stderr is no terminal here: no progress, just the summary.
    EXPECT_EQ(run.messages.rfind("oku-capture: wrote " + file + ": 15 frames from 0.00 s to 3.00 s at 5 fps", 0), 0u)
        << run.messages;
    EXPECT_EQ(std::count(run.messages.begin(), run.messages.end(), '\n'), 1) << run.messages;
    EXPECT_EQ(filesIn(folder), std::vector<std::string>{"three.mp4"});  // no temporary file left

    auto video = probe(file, "v");
    EXPECT_EQ(video["codec_name"], "h264");
    EXPECT_EQ(video["pix_fmt"], "yuv420p");
    EXPECT_EQ(video["width"], "1024");
    EXPECT_EQ(video["height"], "768");
    EXPECT_EQ(video["avg_frame_rate"], "5/1");
    EXPECT_EQ(video["nb_frames"], "15");
    EXPECT_NEAR(std::atof(video["duration"].c_str()), 3.0, 1e-3);
    auto sound = probe(file, "a");
    EXPECT_EQ(sound["codec_name"], "aac");
    EXPECT_EQ(sound["sample_rate"], "44100");
    EXPECT_EQ(sound["channels"], "2");
    EXPECT_NEAR(std::atof(sound["duration"].c_str()), 3.0, 0.03);
    std::vector<float> decoded = decodeSound(file);
    EXPECT_GT(loudest(decoded, 0, decoded.size() / 2), 0.05f) << "the music is missing";
}

TEST(CaptureProgram, UsageErrorsExitWithTwoAndWriteNothing) {
    std::string folder = freshFolder("usage");
    std::string out = "--out '" + folder + "/x.mp4' ";
    mkdir((folder + "/taken").c_str(), 0755);
    struct Case {
        std::string arguments;
        std::string message;
    } cases[] = {
        {out + "--fps 0", "--fps must lie between 1 and 240, not 0"},
        {out + "--from 5 --to 2", "--to must come after --from"},
        {out + "--from -1", "--from must lie between 0 and 3600 seconds"},
        {out + "--to 99999", "--to must lie between 0 and 3600 seconds"},
        {out + "--fps", "--fps needs a value"},
        {out + "--loop", "unknown option --loop"},
        {"--out '" + folder + "/no/such/folder/x.mp4'", "the folder " + folder + "/no/such/folder does not exist"},
        {"--out '" + folder + "/taken'", "is a folder, not a file"},
        {"--out /proc/x.mp4", "cannot write /proc/x.mp4"},
        {"--fps 1 --from 0.2 --to 0.5 " + out, "holds no frame at 1 fps"},
    };
    for (const Case& c : cases) {
        ProgramRun run = runProgram(c.arguments, folder);
        EXPECT_EQ(run.exitCode, 2) << c.arguments << "\n" << run.messages;
        EXPECT_NE(run.messages.find(c.message), std::string::npos) << c.arguments << "\n" << run.messages;
        EXPECT_EQ(filesIn(folder), std::vector<std::string>{"taken"}) << c.arguments;
    }
    ProgramRun help = runProgram("--help", folder);
    EXPECT_EQ(help.exitCode, 0);
}

TEST(CaptureProgram, AFailingEncoderEndsTheCaptureWithAMessageAndNoFile) {
    std::string folder = freshFolder("failing_encoder");
    std::string tools = freshFolder("fake_tools");
    struct Case {
        const char* script;  // an ffmpeg that fails; empty: no ffmpeg at all
        std::string message;
    } cases[] = {
        {"head -c 3000000 >/dev/null; echo 'Error writing trailer: No space left on device' >&2; exit 1",
         "ffmpeg failed with exit code 1:\nError writing trailer: No space left on device"},
        {"head -c 3000000 >/dev/null; kill -9 $$", "ffmpeg was killed by signal 9"},
        {"", "cannot run ffmpeg: No such file or directory"},
        // Encodes the frames, then fails while taking the soundtrack.
        {"case \"$*\" in *copy*) head -c 1000 >/dev/null; echo 'Error: muxing failed' >&2; exit 1;; esac\n"
         "exec /usr/bin/ffmpeg \"$@\"",
         "adding the soundtrack failed: ffmpeg failed with exit code 1:\nError: muxing failed"},
    };
    for (const Case& c : cases) {
        std::string fake = tools + "/ffmpeg";
        std::remove(fake.c_str());
        if (*c.script) {
            std::ofstream script(fake);
            script << "#!/bin/sh\n" << c.script << "\n";
            script.close();
            ASSERT_EQ(chmod(fake.c_str(), 0755), 0);
        }
        // Without a script the search path holds no ffmpeg at all.
        std::string path = *c.script ? tools + ":/usr/bin:/bin" : tools;
        ProgramRun run = runProgram("--fps 5 --to 2 --out '" + folder + "/x.mp4'", folder, path);
        EXPECT_EQ(run.exitCode, 1) << run.messages;
        EXPECT_NE(run.messages.find(c.message), std::string::npos) << run.messages;
        EXPECT_NE(run.messages.find("nothing written"), std::string::npos) << run.messages;
        EXPECT_TRUE(filesIn(folder).empty()) << run.messages;
    }
}

// Captures the demo's own scenes, as oku-capture's main hands them to the shell.
class CaptureInProcess : public ::testing::Test {
protected:
    void SetUp() override { setSceneSequence(demoSceneSequence()); }
    void TearDown() override { setSceneSequence({nullptr, nullptr}); }
};

TEST_F(CaptureInProcess, TwoCapturesOfTheSameStretchDecodeToIdenticalFrames) {
    std::string folder = freshFolder("determinism");
    CaptureOptions options;
    options.fps = 4;
    options.from = 0.5;
    options.to = 1.5;
    options.hasTo = true;
    std::string report;
    options.out = folder + "/first.mp4";
    ASSERT_EQ(captureHere(options, &report), captureSucceeded) << report;
    options.out = folder + "/second.mp4";
    ASSERT_EQ(captureHere(options, &report), captureSucceeded) << report;
    EXPECT_NE(report.find("4 frames from 0.50 s to 1.50 s"), std::string::npos) << report;

    std::string first = frameChecksums(folder + "/first.mp4");
    ASSERT_EQ(std::count(first.begin(), first.end(), '\n') > 4, true) << first;
    EXPECT_EQ(first, frameChecksums(folder + "/second.mp4"));
}

TEST_F(CaptureInProcess, TheNextSceneAndItsMusicStartWhereTheFirstSceneEnds) {
    constexpr int fps = 10;
    // The reference: the demo's own loop with scene time driven by the presented
    // frames, and the indoor scene reading its first frame back itself; it ends the
    // demo after that frame.
    firstIndoorFrame = FirstIndoorFrame{};
    setSceneSequence({makeOneSecondScene, makeFirstFrameBumpMapping});
    setTickSource([] { return static_cast<uint32_t>(GetPresentedFrameCount(demoApp.deviceContext) * (1000 / fps)); });
    WinMain(nullptr, nullptr, nullptr, 0);
    setTickSource(nullptr);
    ASSERT_FALSE(firstIndoorFrame.rgb.empty());
    EXPECT_NEAR(firstIndoorFrame.sceneTime, 0.1, 1e-9);  // scene time at its first frame: one frame

    // The capture of the same sequence.
    setSceneSequence({makeOneSecondScene, demoSceneSequence().second});
    std::string folder = freshFolder("scene_change");
    CaptureOptions options;
    options.fps = fps;
    options.to = 1.5;
    options.hasTo = true;
    options.out = folder + "/change.mp4";
    std::map<uint64_t, Frame> recorded;
    std::string report;
    ASSERT_EQ(captureHere(options, &report,
                          [&recorded](uint64_t frame, const uint8_t* rgb) {
                              recorded[frame].assign(rgb, rgb + captureFrameBytes);
                          }),
              captureSucceeded)
        << report;
    ASSERT_EQ(recorded.size(), 15u);

    // Frames 0..10 belong to the first scene (it finishes during frame 10, at 1.0 s);
    // frame 11 is the indoor scene's first, at its scene time 0.1 s.
    const Frame& purple = recorded[10];
    EXPECT_NEAR(purple[0], 51, 1);
    EXPECT_NEAR(purple[2], 77, 1);
    const Frame& indoor = recorded[11];
    size_t same = 0;
    for (size_t i = 0; i < indoor.size(); ++i) same += indoor[i] == firstIndoorFrame.rgb[i];
    EXPECT_GT(double(same) / indoor.size(), 0.999) << "the recorded frame differs from the scene's own";

    // What the file holds looks like what was drawn, the right way up.
    std::vector<Frame> decoded = decodeFrames(options.out);
    ASSERT_EQ(decoded.size(), 15u);
    savePng(folder + "/decoded_frame_11.png", decoded[11]);
    savePng(folder + "/drawn_frame_11.png", indoor);
    EXPECT_GT(psnr(decoded[11], indoor), 32.0);
    EXPECT_LT(psnr(decoded[11], flipped(indoor)), 25.0);
    EXPECT_GT(psnr(decoded[3], recorded[3]), 40.0);

    // The music starts with the indoor scene's init, at 1.0 s, within one frame.
    std::unique_ptr<Mp3Decoder> track;
    ASSERT_EQ(Mp3Decoder::openFile("./sound/beast.mp3", &track), FMOD_OK);
    std::vector<float> own;
    size_t frames = 0;
    while (own.size() < 44100 * 4) {
        const float* piece = track->nextFrame(&frames);
        if (!piece) break;
        own.insert(own.end(), piece, piece + frames * 2);
    }
    constexpr float audible = 0.01f;
    size_t expected = 44100 + onsetFrame(own, audible);
    std::vector<float> sound = decodeSound(options.out);
    size_t onset = onsetFrame(sound, audible);
    EXPECT_NEAR(double(onset), double(expected), 44100.0 / fps) << "onset at " << onset / 44100.0 << " s";
    EXPECT_LT(loudest(sound, 0, 44100 * 9 / 10), 0.005f);
    EXPECT_NEAR(std::atof(probe(options.out, "a")["duration"].c_str()), 1.5, 0.03);
}

TEST_F(CaptureInProcess, WithoutItsMusicTheDemoIsRecordedWithASilentSoundtrack) {
    // A run directory whose sound/ folder is missing; the rest is the real one.
    std::string run = freshFolder("no_music_run");
    for (const char* data : {"textures", "spline", "mesh", "Cg"})
        symlink((std::string(OKU_RUN_DIR) + "/" + data).c_str(), (run + "/" + data).c_str());
    char here[4096];
    ASSERT_NE(getcwd(here, sizeof here), nullptr);
    ASSERT_EQ(chdir(run.c_str()), 0);
    CaptureOptions options;
    options.fps = 4;
    options.to = 1.0;
    options.hasTo = true;
    options.out = run + "/silent.mp4";
    std::string report;
    int code = captureHere(options, &report);
    ASSERT_EQ(chdir(here), 0);
    ASSERT_EQ(code, captureSucceeded) << report;
    EXPECT_EQ(probe(options.out, "v")["nb_frames"], "4");
    EXPECT_NEAR(std::atof(probe(options.out, "a")["duration"].c_str()), 1.0, 0.03);
    std::vector<float> sound = decodeSound(options.out);
    EXPECT_EQ(loudest(sound, 0, sound.size() / 2), 0.0f);
}
