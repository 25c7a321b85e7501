#include "platform/sound/fmod_sdl_mp3_decoder.h"

#include <fcntl.h>
#include <mpg123.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <new>

namespace {

// Where the decoder's bytes come from: a file descriptor or a block of memory.
// libmpg123 reads through these callbacks, so both take the same path.
struct ByteSource {
    int fd = -1;
    const unsigned char* data = nullptr;
    size_t size = 0;
    size_t position = 0;

    ~ByteSource() {
        if (fd >= 0) close(fd);
    }

    static mpg123_ssize_t read(void* self, void* buffer, size_t count) {
        auto* source = static_cast<ByteSource*>(self);
        if (source->fd >= 0) {
            for (;;) {
                ssize_t got = ::read(source->fd, buffer, count);
                if (got >= 0 || errno != EINTR) return got;
            }
        }
        size_t left = source->size - source->position;
        size_t n = count < left ? count : left;
        if (n) std::memcpy(buffer, source->data + source->position, n);
        source->position += n;
        return static_cast<mpg123_ssize_t>(n);
    }

    static off_t seek(void* self, off_t offset, int whence) {
        auto* source = static_cast<ByteSource*>(self);
        if (source->fd >= 0) return lseek(source->fd, offset, whence);
        off_t base = 0;
        if (whence == SEEK_CUR) base = static_cast<off_t>(source->position);
        else if (whence == SEEK_END) base = static_cast<off_t>(source->size);
        else if (whence != SEEK_SET) return -1;
        if ((offset < 0 && -offset > base) || (offset > 0 && offset > static_cast<off_t>(source->size) - base))
            return -1;
        source->position = static_cast<size_t>(base + offset);
        return static_cast<off_t>(source->position);
    }
};

bool libraryReady() {
    static std::once_flag once;
    static bool ready = false;
    std::call_once(once, [] { ready = mpg123_init() == MPG123_OK; });
    return ready;
}

}  // namespace

struct Mp3Decoder::State {
    ByteSource source;
    mpg123_handle* handle = nullptr;
    int rate = 0;
    // The first frame, decoded by open() to prove the bytes are an mp3 stream and
    // handed out by the first nextFrame().
    const float* pending = nullptr;
    size_t pendingFrames = 0;
    bool ended = false;

    ~State() {
        if (handle) {
            mpg123_close(handle);
            mpg123_delete(handle);
        }
    }

    // Decodes frames until one yields samples. Null at the end or on an error.
    const float* decode(size_t* frames) {
        while (!ended) {
            off_t frameNumber = 0;
            unsigned char* audio = nullptr;
            size_t bytes = 0;
            int result = mpg123_decode_frame(handle, &frameNumber, &audio, &bytes);
            if (result == MPG123_NEW_FORMAT) {
                if (!acceptFormat()) break;
                continue;
            }
            if (result != MPG123_OK) break;
            // Frames inside the encoder delay come out empty; skip to the next.
            if (bytes < 2 * sizeof(float) || !audio) continue;
            *frames = bytes / (2 * sizeof(float));
            return reinterpret_cast<const float*>(audio);
        }
        ended = true;
        *frames = 0;
        return nullptr;
    }

    // The format is fixed by the first frame; a stream that changes it ends there.
    bool acceptFormat() {
        long newRate = 0;
        int channels = 0, encoding = 0;
        if (mpg123_getformat(handle, &newRate, &channels, &encoding) != MPG123_OK) return false;
        if (channels != 2 || encoding != MPG123_ENC_FLOAT_32 || newRate <= 0) return false;
        if (rate != 0 && newRate != rate) return false;
        rate = static_cast<int>(newRate);
        return true;
    }
};

Mp3Decoder::Mp3Decoder(std::unique_ptr<State> s) : state(std::move(s)) {}
Mp3Decoder::~Mp3Decoder() = default;

FMOD_RESULT Mp3Decoder::openFile(const char* path, std::unique_ptr<Mp3Decoder>* decoder) {
    if (!decoder) return FMOD_ERR_INVALID_PARAM;
    decoder->reset();
    if (!path) return FMOD_ERR_INVALID_PARAM;
    int fd = ::open(path, O_RDONLY | O_CLOEXEC);
    if (fd < 0) return FMOD_ERR_FILE_NOTFOUND;
    struct stat info;
    if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        close(fd);
        return FMOD_ERR_FILE_NOTFOUND;
    }
    std::unique_ptr<State> state(new (std::nothrow) State);
    if (!state) {
        close(fd);
        return FMOD_ERR_MEMORY;
    }
    state->source.fd = fd;
    return start(std::move(state), decoder);
}

FMOD_RESULT Mp3Decoder::openMemory(const void* data, size_t size, std::unique_ptr<Mp3Decoder>* decoder) {
    if (!decoder) return FMOD_ERR_INVALID_PARAM;
    decoder->reset();
    if (!data && size) return FMOD_ERR_INVALID_PARAM;
    std::unique_ptr<State> state(new (std::nothrow) State);
    if (!state) return FMOD_ERR_MEMORY;
    state->source.data = static_cast<const unsigned char*>(data);
    state->source.size = size;
    return start(std::move(state), decoder);
}

FMOD_RESULT Mp3Decoder::start(std::unique_ptr<State> state, std::unique_ptr<Mp3Decoder>* decoder) {
    if (!libraryReady()) return FMOD_ERR_INTERNAL;
    int error = MPG123_OK;
    state->handle = mpg123_new(nullptr, &error);
    if (!state->handle) return error == MPG123_OUT_OF_MEM ? FMOD_ERR_MEMORY : FMOD_ERR_INTERNAL;
    mpg123_handle* handle = state->handle;

    // Float stereo at any rate the library knows; gapless; no messages on stderr.
    bool configured =
        mpg123_param(handle, MPG123_ADD_FLAGS,
                     MPG123_QUIET | MPG123_GAPLESS | MPG123_FORCE_STEREO | MPG123_NO_FRANKENSTEIN, 0) == MPG123_OK &&
        mpg123_format_none(handle) == MPG123_OK;
    const long* rates = nullptr;
    size_t rateCount = 0;
    mpg123_rates(&rates, &rateCount);
    for (size_t i = 0; configured && i < rateCount; ++i)
        configured = mpg123_format(handle, rates[i], MPG123_STEREO, MPG123_ENC_FLOAT_32) == MPG123_OK;
    if (!configured) return FMOD_ERR_INTERNAL;

    if (mpg123_replace_reader_handle(handle, ByteSource::read, ByteSource::seek, nullptr) != MPG123_OK)
        return FMOD_ERR_INTERNAL;
    if (mpg123_open_handle(handle, &state->source) != MPG123_OK) return FMOD_ERR_FILE_BAD;

    state->pending = state->decode(&state->pendingFrames);
    if (!state->pending || state->rate <= 0) return FMOD_ERR_FILE_BAD;

    decoder->reset(new (std::nothrow) Mp3Decoder(std::move(state)));
    return *decoder ? FMOD_OK : FMOD_ERR_MEMORY;
}

int Mp3Decoder::sampleRate() const { return state->rate; }

const float* Mp3Decoder::nextFrame(size_t* frames) {
    if (state->pending) {
        const float* first = state->pending;
        *frames = state->pendingFrames;
        state->pending = nullptr;
        return first;
    }
    return state->decode(frames);
}

bool Mp3Decoder::rewind() {
    state->pending = nullptr;
    if (mpg123_seek(state->handle, 0, SEEK_SET) < 0) {
        state->ended = true;
        return false;
    }
    state->ended = false;
    return true;
}
