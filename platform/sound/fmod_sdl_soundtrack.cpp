// Offline mix of a recorded sound timeline: the cues are replayed on a mixer of
// the live kind, between them the mixer runs over exactly the frames that the
// ticks say passed, and every playing stream is decoded ahead before each block.
#include <algorithm>
#include <map>
#include <memory>
#include <vector>

#include "platform/sound/fmod_sdl_channel_mixer.h"
#include "platform/sound/fmod_sdl_mp3_decoder.h"
#include "platform/sound/fmod_sdl_mp3_stream.h"
#include "platform/sound/sound_capture.h"

namespace {

constexpr int mixerChannels = 100;
constexpr size_t blockFrames = 1024;
constexpr size_t bufferFrames = soundtrackSampleRate;  // one second ahead, as live streams decode

size_t fadeFrames() { return static_cast<size_t>(channelStopFadeSeconds * soundtrackSampleRate); }

class SoundtrackMixer {
public:
    SoundtrackMixer() : mixer(mixerChannels, fadeFrames()), block(blockFrames * 2) {}

    void apply(const SoundCue& cue) {
        if (cue.kind == SoundCue::Kind::Play) {
            Mp3Stream* stream = streamFor(cue);
            if (!stream) return;
            int slot = mixer.acquire(cue.channelIndex, stream);
            if (slot < 0) return;
            stream->restart();
            uint64_t serial = ++lastSerial;
            mixer.start(slot, stream, serial, cue.paused);
            plays[cue.channel] = Play{slot, serial};
            return;
        }
        auto found = plays.find(cue.channel);
        if (found == plays.end()) return;
        const Play& play = found->second;
        if (cue.kind == SoundCue::Kind::Stop)
            mixer.stop(play.slot, play.serial);
        else
            mixer.setPaused(play.slot, play.serial, cue.kind == SoundCue::Kind::Pause);
    }

    // Mixes frames [position, until) and hands those inside [begin, end) to the sink.
    bool mixUntil(uint64_t until, uint64_t begin, uint64_t end, const SoundtrackSink& sink) {
        while (position < until) {
            size_t frames = static_cast<size_t>(std::min<uint64_t>(blockFrames, until - position));
            // A stopped stream still needs a fade's worth of frames after the block.
            mixer.playingStreams(&playing);
            for (Mp3Stream* stream : playing) stream->fill(frames + fadeFrames());
            mixer.mix(block.data(), frames);
            uint64_t from = std::max(position, begin);
            uint64_t to = std::min(position + frames, end);
            if (from < to && !sink(block.data() + (from - position) * 2, static_cast<size_t>(to - from)))
                return false;
            position += frames;
        }
        return true;
    }

private:
    struct Play {
        int slot;
        uint64_t serial;
    };

    Mp3Stream* streamFor(const SoundCue& cue) {
        auto found = streams.find(cue.sound);
        if (found != streams.end()) return found->second.get();
        std::unique_ptr<Mp3Decoder> decoder;
        std::unique_ptr<Mp3Stream> stream;
        if (Mp3Decoder::openFile(cue.path.c_str(), &decoder) != FMOD_OK ||
            Mp3Stream::open(std::move(decoder), soundtrackSampleRate, bufferFrames, &stream) != FMOD_OK)
            stream.reset();
        Mp3Stream* made = stream.get();
        streams[cue.sound] = std::move(stream);  // a failed file stays silent on later plays too
        return made;
    }

    ChannelMixer mixer;
    std::map<int, std::unique_ptr<Mp3Stream>> streams;
    std::map<uint64_t, Play> plays;
    std::vector<Mp3Stream*> playing;
    std::vector<float> block;
    uint64_t lastSerial = 0;
    uint64_t position = 0;
};

}  // namespace

uint64_t soundtrackFrameAt(uint32_t tick) {
    return (static_cast<uint64_t>(tick) * soundtrackSampleRate + 999) / 1000;
}

bool renderSoundtrack(const SoundTimeline& timeline, uint64_t beginFrame, uint64_t endFrame,
                      const SoundtrackSink& sink) {
    if (endFrame <= beginFrame) return true;
    std::unique_ptr<SoundtrackMixer> mixer(new SoundtrackMixer);
    for (const SoundCue& cue : timeline.cues) {
        uint64_t at = std::min(soundtrackFrameAt(cue.tick), endFrame);
        if (!mixer->mixUntil(at, beginFrame, endFrame, sink)) return false;
        mixer->apply(cue);
    }
    return mixer->mixUntil(endFrame, beginFrame, endFrame, sink);
}
