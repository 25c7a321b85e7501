// A playing mp3 stream: decodes its file a little ahead into a bounded buffer of
// stereo float frames at the output rate, converting the file's rate on the way.
// The decoding side (fill, restart) may be called from any thread, one call at a
// time under the stream's own lock; the playing side (read) is lock-free and is
// meant for the one audio thread. Memory is the buffer plus the decoder's, whatever
// the length of the track.
#pragma once

#include <atomic>
#include <cstddef>
#include <memory>
#include <mutex>
#include <vector>

#include "platform/sound/fmod.h"
#include "platform/sound/fmod_sdl_mp3_decoder.h"
#include "platform/sound/fmod_sdl_pcm_ring.h"

class Mp3Stream {
public:
    ~Mp3Stream();
    Mp3Stream(const Mp3Stream&) = delete;
    Mp3Stream& operator=(const Mp3Stream&) = delete;

    // bufferFrames: how far ahead the stream decodes, in output frames.
    static FMOD_RESULT open(std::unique_ptr<Mp3Decoder> decoder, int outputRate, size_t bufferFrames,
                            std::unique_ptr<Mp3Stream>* stream);

    // Decodes until the buffer holds at least `upTo` frames (at most its capacity)
    // or the track has ended. Returns the frames added.
    size_t fill(size_t upTo = static_cast<size_t>(-1));
    // Back to the start of the track with an empty buffer. The playing side must
    // not read while this runs.
    void restart();

    // Takes up to count frames. *ended is set once the track is over and every
    // frame of it has been read.
    size_t read(float* frames, size_t count, bool* ended);

    size_t bufferedFrames() const { return ring.readable(); }
    size_t capacityFrames() const { return ring.capacity(); }
    int sourceRate() const { return rate; }

private:
    Mp3Stream(std::unique_ptr<Mp3Decoder> decoder, size_t bufferFrames);

    std::mutex decoding;  // serialises fill and restart
    std::unique_ptr<Mp3Decoder> decoder;
    struct RateConverter;
    std::unique_ptr<RateConverter> converter;  // file rate to output rate
    std::vector<float> scratch;
    int rate;
    bool decoderDone = false;          // under `decoding`
    std::atomic<bool> trackEnded{false};  // the ring will get no more frames
    PcmRing ring;
};
