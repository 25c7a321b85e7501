// What one streamed track costs: CPU time per second of audio (a share of one
// core) and the memory a playing stream holds.
//   bench_sound_stream [track.mp3] [seconds]
// Live: the system plays through SDL's dummy driver (unless SDL_AUDIODRIVER says
// otherwise) for the given seconds, first with nothing playing (the baseline: a
// silent mix), then with the track; the main thread only calls update() every
// 16 ms as the frame loop does. Offline: the whole track decoded, converted to
// 48 kHz and mixed as fast as one core can, against the same mix of silence.
#include <malloc.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "platform/sound/fmod_sdl_channel_mixer.h"
#include "platform/sound/fmod.h"
#include "platform/sound/fmod_sdl_mp3_decoder.h"
#include "platform/sound/fmod_sdl_mp3_stream.h"

namespace {

double processCpuSeconds() {
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return double(now.tv_sec) + double(now.tv_nsec) * 1e-9;
}

double threadCpuSeconds() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return double(now.tv_sec) + double(now.tv_nsec) * 1e-9;
}

size_t heapInUse() { return mallinfo2().uordblks; }

size_t residentBytes() {
    std::ifstream statm("/proc/self/statm");
    size_t pages = 0, resident = 0;
    statm >> pages >> resident;
    return resident * 4096;
}

// CPU share of the whole process while the main thread idles like a frame loop.
double liveShare(FMOD::System* system, double seconds) {
    double cpuStart = processCpuSeconds();
    auto start = std::chrono::steady_clock::now();
    auto end = start + std::chrono::duration<double>(seconds);
    while (std::chrono::steady_clock::now() < end) {
        system->update();
        std::this_thread::sleep_for(std::chrono::milliseconds(16));
    }
    double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    return (processCpuSeconds() - cpuStart) / wall;
}

}  // namespace

int main(int argc, char** argv) {
    std::string track = argc > 1 ? argv[1] : OKU_RUN_DIR "/sound/helios.mp3";
    double seconds = argc > 2 ? std::atof(argv[2]) : 10.0;
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    std::printf("track: %s\n", track.c_str());

    // Offline: decode, convert and mix the whole track on this thread.
    {
        const int rate = 48000;
        std::unique_ptr<Mp3Decoder> decoder;
        if (Mp3Decoder::openFile(track.c_str(), &decoder) != FMOD_OK) {
            std::printf("cannot open the track\n");
            return 1;
        }
        std::unique_ptr<Mp3Stream> stream;
        Mp3Stream::open(std::move(decoder), rate, rate, &stream);
        ChannelMixer mixer(100, 240);
        std::vector<float> period(1024 * 2);
        size_t periods = 0;
        double start = threadCpuSeconds();
        int slot = mixer.acquire(FMOD_CHANNEL_FREE, stream.get());
        mixer.start(slot, stream.get(), 1, false);
        bool playing = true;
        while (playing) {
            stream->fill();
            mixer.mix(period.data(), 1024);
            ++periods;
            bool dummy = false;
            playing = mixer.isPlaying(slot, 1, &dummy) == FMOD_OK;
        }
        double streamed = threadCpuSeconds() - start;
        double audio = double(periods) * 1024 / rate;
        start = threadCpuSeconds();
        for (size_t i = 0; i < periods; ++i) mixer.mix(period.data(), 1024);  // nothing plays now
        double silent = threadCpuSeconds() - start;
        std::printf("offline, %.1f s of audio at %d Hz:\n", audio, rate);
        std::printf("  decode + convert + mix: %.3f s CPU = %.3f %% of one core\n", streamed, 100 * streamed / audio);
        std::printf("  baseline silent mix:    %.3f s CPU = %.3f %% of one core\n", silent, 100 * silent / audio);
    }

    // Live, through the audio device.
    FMOD::System* system = nullptr;
    FMOD_System_Create(&system);
    FMOD_RESULT result = system->init(100, FMOD_INIT_NORMAL, nullptr);
    if (result != FMOD_OK) {
        std::printf("init failed: %s\n", FMOD_ErrorString(result));
        system->release();
        return 1;
    }
    double baseline = liveShare(system, seconds);
    size_t heapBefore = heapInUse(), residentBefore = residentBytes();
    FMOD::Sound* sound = nullptr;
    FMOD::Channel* channel = nullptr;
    system->createStream(track.c_str(), FMOD_DEFAULT, nullptr, &sound);
    size_t heapOpened = heapInUse();
    system->playSound(FMOD_CHANNEL_FREE, sound, false, &channel);
    double playing = liveShare(system, seconds);
    size_t heapPlaying = heapInUse(), residentPlaying = residentBytes();
    bool stillPlaying = false;
    channel->isPlaying(&stillPlaying);
    std::printf("live, driver %s, %.0f s each:\n", std::getenv("SDL_AUDIODRIVER"), seconds);
    std::printf("  baseline (silent mix):  %.3f %% of one core\n", 100 * baseline);
    std::printf("  one track streaming:    %.3f %% of one core (%.3f %% over the baseline)%s\n", 100 * playing,
                100 * (playing - baseline), stillPlaying ? "" : "  [the track ended early]");
    std::printf("  heap held by the stream: %.2f MB at createStream, %.2f MB while playing\n",
                double(heapOpened - heapBefore) / 1e6, double(heapPlaying - heapBefore) / 1e6);
    std::printf("  resident memory grew by %.2f MB\n", (double(residentPlaying) - double(residentBefore)) / 1e6);
    system->release();
    return 0;
}
