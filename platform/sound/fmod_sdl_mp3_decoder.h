// Frame-by-frame mp3 decoding (libmpg123 behind it) from a file or from memory.
// Output is always interleaved stereo 32-bit float (mono files are doubled) at the
// file's own sample rate, which stays the same for the whole stream (decoding ends
// where a file changes its format).
// The encoder's delay and padding are removed when the file carries a LAME tag.
// One decoder is used by one thread at a time.
#pragma once

#include <cstddef>
#include <memory>

#include "platform/sound/fmod.h"

class Mp3Decoder {
public:
    ~Mp3Decoder();
    Mp3Decoder(const Mp3Decoder&) = delete;
    Mp3Decoder& operator=(const Mp3Decoder&) = delete;

    // FMOD_ERR_FILE_NOTFOUND when the file cannot be opened, FMOD_ERR_FILE_BAD when
    // no mp3 frame can be decoded from it, FMOD_ERR_MEMORY / FMOD_ERR_INTERNAL when
    // the decoder library fails.
    static FMOD_RESULT openFile(const char* path, std::unique_ptr<Mp3Decoder>* decoder);
    // The bytes are not copied and must outlive the decoder.
    static FMOD_RESULT openMemory(const void* data, size_t size, std::unique_ptr<Mp3Decoder>* decoder);

    int sampleRate() const;
    // Decodes the next mp3 frame. Returns its samples (*frames x 2 floats) in memory
    // the decoder owns, valid until the next call, or null at the end of the stream
    // (also where the rest of the file cannot be decoded).
    const float* nextFrame(size_t* frames);
    // Goes back to the first frame. False when the source cannot seek.
    bool rewind();

    struct State;

private:
    explicit Mp3Decoder(std::unique_ptr<State> state);
    static FMOD_RESULT start(std::unique_ptr<State> state, std::unique_ptr<Mp3Decoder>* decoder);
    std::unique_ptr<State> state;
};
