#include "capture/capture_run.h"

#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <limits>
#include <string>

#include "capture/frame_clock.h"
#include "capture/frame_reader.h"
#include "capture/output_file.h"
#include "capture/progress_line.h"
#include "capture/soundtrack_mux.h"
#include "capture/video_encoder.h"
#include "platform/clock/tick_count.h"
#include "platform/sound/sound_capture.h"
#include "platform/window/message_box.h"
#include "platform/window/win32.h"
#include "shell/demo_app.h"
#include "shell/scene.h"
#include "shell/scene_sequence.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr double progressInterval = 0.25;  // seconds between progress-line updates on a terminal

// What the hooks share while WinMain runs. One capture runs at a time.
struct CaptureSession {
    CaptureSession(const CaptureOptions& options, const FrameClock& clock) : options(options), clock(clock) {}

    const CaptureOptions& options;
    const FrameClock& clock;
    VideoEncoder encoder;
    SoundTimeline timeline;
    CapturedFrameObserver observer;
    std::FILE* report = nullptr;
    bool terminal = false;

    uint64_t firstFrame = 0;
    uint64_t endFrame = std::numeric_limits<uint64_t>::max();
    uint64_t rendered = 0;  // frames presented so far: the frame being drawn is this one
    uint64_t recorded = 0;
    bool quitPosted = false;
    bool encoderBroke = false;

    SceneSequence demoSequence{nullptr, nullptr};
    int sceneNumber = 0;
    std::string sceneName;

    Clock::time_point started = Clock::now();
    Clock::time_point lastProgress{};
    bool progressShown = false;

    void present();
    void showProgress(bool force);
    void clearProgress();
};

CaptureSession* session = nullptr;

Scene* recordScene(Scene* scene, int number) {
    session->sceneNumber = number;
    session->sceneName = scene ? scene->name : std::string();
    return scene;
}
Scene* makeFirstScene(InputControl* input, FMOD::System* fmodSystem) {
    return recordScene(session->demoSequence.first(input, fmodSystem), 1);
}
Scene* makeSecondScene(InputControl* input, FMOD::System* fmodSystem) {
    return recordScene(session->demoSequence.second(input, fmodSystem), 2);
}

void CaptureSession::present() {
    uint64_t frame = rendered;
    if (frame >= firstFrame && frame < endFrame && !encoderBroke) {
        std::vector<uint8_t>* buffer = encoder.frameBuffer();
        if (buffer) {
            RECT client{0, 0, 0, 0};
            GetClientRect(demoApp.windowHandle, &client);
            readPresentedFrame(client.right - client.left, client.bottom - client.top, buffer->data());
            if (observer) observer(frame, buffer->data());
            if (encoder.submit(buffer)) ++recorded;
        }
        if (!buffer || encoder.failed()) encoderBroke = true;
    }
    rendered = frame + 1;
    if ((rendered >= endFrame || encoderBroke) && !quitPosted) {
        // The frame loop leaves on its next pass, before drawing another frame.
        PostQuitMessage(0);
        quitPosted = true;
    }
    showProgress(false);
}

void CaptureSession::showProgress(bool force) {
    if (!terminal) return;
    Clock::time_point now = Clock::now();
    if (!force && std::chrono::duration<double>(now - lastProgress).count() < progressInterval) return;
    lastProgress = now;
    CaptureProgress progress;
    progress.rendered = rendered;
    progress.firstFrame = firstFrame;
    progress.endFrame = options.hasTo ? endFrame : 0;
    progress.fps = clock.framesPerSecond();
    progress.sceneNumber = sceneNumber;
    progress.sceneName = sceneName;
    progress.elapsedSeconds = std::chrono::duration<double>(now - started).count();
    std::fprintf(report, "\r\033[K%s", progressLine(progress).c_str());
    std::fflush(report);
    progressShown = true;
}

void CaptureSession::clearProgress() {
    if (!progressShown) return;
    std::fprintf(report, "\r\033[K");
    progressShown = false;
}

// Installs the capture's clock, frame hook, sound recording, message-box report and
// scene bookkeeping for the life of the object, and takes them all out again.
class CaptureHooks {
public:
    explicit CaptureHooks(CaptureSession& s) {
        session = &s;
        s.demoSequence = currentSceneSequence();
        setSceneSequence({makeFirstScene, makeSecondScene});
        setTickSource([] { return session->clock.tickAt(session->rendered); });
        SetPresentHook([](HDC) { session->present(); });
        SetFullScreenAllowed(false);  // the recording is the 1024 x 768 picture; the screen stays the user's
        setSoundCaptureTimeline(&s.timeline);
        setMessageBoxHandler([](const char* text, const char* caption, unsigned) {
            session->clearProgress();
            std::fprintf(session->report, "%s: %s\n", caption, text);
        });
    }
    ~CaptureHooks() {
        setMessageBoxHandler(nullptr);
        setSoundCaptureTimeline(nullptr);
        SetFullScreenAllowed(true);
        SetPresentHook(nullptr);
        setTickSource(nullptr);
        setSceneSequence(session->demoSequence);
        session = nullptr;
    }
};

// While ffmpeg is fed (frames, then the soundtrack), one that has gone away shows
// as a failed write instead of ending this process.
class PipeSignalIgnored {
public:
    PipeSignalIgnored() : previous(::signal(SIGPIPE, SIG_IGN)) {}
    ~PipeSignalIgnored() { ::signal(SIGPIPE, previous); }

private:
    void (*previous)(int);
};

std::string sizeText(const std::string& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) return "?";
    char text[32];
    std::snprintf(text, sizeof text, "%.1f MB", static_cast<double>(info.st_size) / 1e6);
    return text;
}

}  // namespace

int runCapture(const CaptureOptions& options, std::FILE* report, const CapturedFrameObserver& observer) {
    std::string problem = outputPathProblem(options.out);
    if (!problem.empty()) {
        std::fprintf(report, "oku-capture: %s\n", problem.c_str());
        return captureUsageError;
    }
    if (session) {
        std::fprintf(report, "oku-capture: a capture is already running\n");
        return captureFailed;
    }

    PipeSignalIgnored pipeSignal;
    FrameClock clock(options.fps);
    CaptureSession s(options, clock);
    s.observer = observer;
    s.report = report;
    s.terminal = ::isatty(::fileno(report)) != 0;
    s.firstFrame = clock.firstFrameAt(options.from);
    if (options.hasTo) s.endFrame = clock.firstFrameAt(options.to);
    if (s.endFrame <= s.firstFrame) {
        std::fprintf(report, "oku-capture: the stretch from %g s to %g s holds no frame at %d fps\n", options.from,
                     options.to, options.fps);
        return captureUsageError;
    }

    const std::string videoPath = temporaryPathBeside(options.out, "video");
    const std::string partPath = temporaryPathBeside(options.out, "part");
    std::string error;
    if (!s.encoder.start(videoPath, options.fps, &error)) {
        std::fprintf(report, "oku-capture: %s; nothing written\n", error.c_str());
        ::unlink(videoPath.c_str());
        return captureFailed;
    }

    {
        CaptureHooks hooks(s);
        WinMain(nullptr, nullptr, nullptr, 0);
    }
    s.showProgress(true);
    s.clearProgress();
    double elapsed = std::chrono::duration<double>(Clock::now() - s.started).count();

    auto fail = [&](const std::string& why) {
        std::fprintf(report, "oku-capture: %s; nothing written\n", why.c_str());
        ::unlink(videoPath.c_str());
        ::unlink(partPath.c_str());
        return captureFailed;
    };
    bool encoded = s.encoder.finish(&error);
    if (s.rendered == 0) return fail("the demo did not start (no window or OpenGL context; is there a display?)");
    if (s.recorded == 0 && !s.encoderBroke) {
        char why[128];
        std::snprintf(why, sizeof why, "the demo ended at %.2f s, before the stretch to record", clock.secondsAt(s.rendered));
        return fail(why);
    }
    if (!encoded || s.encoderBroke) return fail("encoding the video failed: " + error);

    uint64_t endFrame = s.firstFrame + s.recorded;
    if (!muxSoundtrack(videoPath, s.timeline, clock.soundFrameAt(s.firstFrame, soundtrackSampleRate),
                       clock.soundFrameAt(endFrame, soundtrackSampleRate), partPath, &error))
        return fail("adding the soundtrack failed: " + error);
    ::unlink(videoPath.c_str());
    if (::rename(partPath.c_str(), options.out.c_str()) != 0)
        return fail("cannot move the finished file to " + options.out + ": " + std::strerror(errno));

    std::string ending;
    if (options.hasTo && endFrame < s.endFrame) {
        char text[96];
        std::snprintf(text, sizeof text, "; the demo ended at %.2f s, before --to", clock.secondsAt(s.rendered));
        ending = text;
    }
    std::fprintf(report,
                 "oku-capture: wrote %s: %llu frames from %.2f s to %.2f s at %d fps, %dx%d, %s, AAC 192 kbit/s, "
                 "%s; took %s (%.1f frames/s)%s\n",
                 options.out.c_str(), static_cast<unsigned long long>(s.recorded), clock.secondsAt(s.firstFrame),
                 clock.secondsAt(endFrame), options.fps, captureWidth, captureHeight,
                 VideoEncoder::qualityDescription(), sizeText(options.out).c_str(), clockText(elapsed).c_str(),
                 elapsed > 0.0 ? static_cast<double>(s.rendered) / elapsed : 0.0, ending.c_str());
    return captureSucceeded;
}
