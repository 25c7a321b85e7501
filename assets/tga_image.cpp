#include "assets/tga_image.h"

#include <GL/glew.h>
#include <GL/glu.h>
#include <sys/stat.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/window/message_box.h"

namespace {

const unsigned char kUncompressedHeader[12] = {0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0};
const unsigned char kRunLengthHeader[12] = {0, 0, 10, 0, 0, 0, 0, 0, 0, 0, 0, 0};

constexpr long kUnknownSize = -1;
constexpr uint64_t kMaxPixelsPerPacket = 128;

void report(const char* text, const char* caption = "ERROR") {
    MessageBoxA(nullptr, text, caption, MB_OK | MB_ICONEXCLAMATION);
}

// Closes the file on every way out of the reader.
class InputFile {
public:
    explicit InputFile(const char* path) : file_(path ? std::fopen(path, "rb") : nullptr) {}
    ~InputFile() {
        if (file_) std::fclose(file_);
    }
    InputFile(const InputFile&) = delete;
    InputFile& operator=(const InputFile&) = delete;

    explicit operator bool() const { return file_ != nullptr; }
    bool read(void* buffer, size_t bytes) { return std::fread(buffer, 1, bytes, file_) == bytes; }
    int readByte() { return std::fgetc(file_); }

    // Bytes between the read position and the end of a regular file; kUnknownSize
    // for anything whose size cannot be known in advance (a pipe, a device).
    long remaining() {
        struct stat info;
        if (fstat(fileno(file_), &info) != 0 || !S_ISREG(info.st_mode)) return kUnknownSize;
        long position = std::ftell(file_);
        if (position < 0 || position > info.st_size) return kUnknownSize;
        return static_cast<long>(info.st_size) - position;
    }

private:
    std::FILE* file_;
};

// Writes one B, G, R (, A) pixel as R, G, B (, A); `out` null only counts.
class PixelSink {
public:
    PixelSink(unsigned char* out, unsigned bytesPerPixel, uint64_t pixelCount)
        : out_(out), bytesPerPixel_(bytesPerPixel), pixelCount_(pixelCount) {}

    bool full() const { return written_ >= pixelCount_; }

    // False when the pixel would be one more than the image holds (it is not stored).
    bool store(const unsigned char* bgra) {
        if (written_ >= pixelCount_) return false;
        if (out_) {
            unsigned char* pixel = out_ + written_ * bytesPerPixel_;
            pixel[0] = bgra[2];
            pixel[1] = bgra[1];
            pixel[2] = bgra[0];
            if (bytesPerPixel_ == 4) pixel[3] = bgra[3];
        }
        ++written_;
        return true;
    }

private:
    unsigned char* out_;
    unsigned bytesPerPixel_;
    uint64_t pixelCount_;
    uint64_t written_ = 0;
};

// Decodes packets until the image is complete; returns the failure message, or null.
const char* decodeRunLength(InputFile& file, PixelSink& sink, unsigned bytesPerPixel) {
    unsigned char pixel[4] = {0, 0, 0, 0};
    while (!sink.full()) {
        int header = file.readByte();
        if (header == EOF) return "Could not read RLE header";
        if (header < 128) {
            for (int i = 0; i <= header; ++i) {
                if (!file.read(pixel, bytesPerPixel)) return "Could not read image data";
                if (!sink.store(pixel)) return "Too many pixels read";
            }
        } else {
            if (!file.read(pixel, bytesPerPixel)) return "Could not read from file";
            for (int i = 0; i < header - 127; ++i) {
                if (!sink.store(pixel)) return "Too many pixels read";
            }
        }
    }
    return nullptr;
}

// Reads the 6-byte info header and claims the pixel buffer. `minimumBodyBytes`
// gives the fewest file bytes that can hold `imageBytes` of pixels; a file with
// fewer left cannot be complete, and `bodyFits` is cleared instead of allocating.
bool readInfoAndAllocate(InputFile& file, TgaImage& image, uint64_t (*minimumBodyBytes)(uint64_t, unsigned),
                         bool& bodyFits) {
    unsigned char info[6];
    if (!file.read(info, sizeof info)) {
        report("Could not read info header");
        return false;
    }
    image.width = info[0] + 256u * info[1];
    image.height = info[2] + 256u * info[3];
    image.bpp = info[4];
    if (image.width == 0 || image.height == 0 || (image.bpp != 24 && image.bpp != 32)) {
        report("Invalid texture information");
        return false;
    }
    image.format = image.bpp == 24 ? GL_RGB : GL_RGBA;
    const unsigned bytesPerPixel = image.bpp / 8;
    const uint64_t pixelCount = static_cast<uint64_t>(image.width) * image.height;
    const uint64_t imageBytes = pixelCount * bytesPerPixel;

    long remaining = file.remaining();
    bodyFits = remaining == kUnknownSize ||
               static_cast<uint64_t>(remaining) >= minimumBodyBytes(pixelCount, bytesPerPixel);
    if (!bodyFits) return true;

    if (imageBytes > SIZE_MAX) {
        report("Could not allocate memory for image");
        return false;
    }
    image.pixels = static_cast<unsigned char*>(std::malloc(static_cast<size_t>(imageBytes)));
    if (!image.pixels) {
        report("Could not allocate memory for image");
        return false;
    }
    return true;
}

uint64_t uncompressedBodyBytes(uint64_t pixelCount, unsigned bytesPerPixel) { return pixelCount * bytesPerPixel; }

// Every packet holds at most 128 pixels and takes at least a header byte and one pixel.
uint64_t runLengthBodyBytes(uint64_t pixelCount, unsigned bytesPerPixel) {
    uint64_t packets = (pixelCount + kMaxPixelsPerPacket - 1) / kMaxPixelsPerPacket;
    return packets * (1 + bytesPerPixel);
}

bool loadUncompressed(InputFile& file, TgaImage& image) {
    bool bodyFits = true;
    if (!readInfoAndAllocate(file, image, uncompressedBodyBytes, bodyFits)) return false;
    const size_t bytesPerPixel = image.bpp / 8;
    const size_t imageBytes = bytesPerPixel * image.width * image.height;
    if (!bodyFits || !file.read(image.pixels, imageBytes)) {
        report("Could not read image data");
        releasePixels(image);
        return false;
    }
    for (size_t i = 0; i < imageBytes; i += bytesPerPixel) {
        unsigned char blue = image.pixels[i];
        image.pixels[i] = image.pixels[i + 2];
        image.pixels[i + 2] = blue;
    }
    return true;
}

bool loadRunLength(InputFile& file, TgaImage& image) {
    bool bodyFits = true;
    if (!readInfoAndAllocate(file, image, runLengthBodyBytes, bodyFits)) return false;
    const unsigned bytesPerPixel = image.bpp / 8;
    // A body too short for the image still fails where its packets run out, with
    // that place's message; it is decoded without storing anything.
    PixelSink sink(image.pixels, bytesPerPixel, static_cast<uint64_t>(image.width) * image.height);
    const char* failure = decodeRunLength(file, sink, bytesPerPixel);
    if (!failure && !bodyFits) failure = "Could not read RLE header";  // cannot happen: the bound is exact
    if (failure) {
        report(failure);
        releasePixels(image);
        return false;
    }
    return true;
}

}  // namespace

void releasePixels(TgaImage& image) {
    std::free(image.pixels);
    image.pixels = nullptr;
}

bool loadTga(TgaImage& image, const char* path) {
    releasePixels(image);
    InputFile file(path);
    if (!file) {
        report("Could not open texture file");
        return false;
    }
    unsigned char header[12];
    if (!file.read(header, sizeof header)) {
        report("Could not read file header");
        return false;
    }
    if (std::memcmp(header, kUncompressedHeader, sizeof header) == 0) return loadUncompressed(file, image);
    if (std::memcmp(header, kRunLengthHeader, sizeof header) == 0) return loadRunLength(file, image);
    report("TGA file be type 2 or type 10 ", "Invalid Image");
    return false;
}

bool loadTga(TgaImage* image, const char* path) {
    if (!image) return false;
    return loadTga(*image, path);
}

void createMipmappedTexture(TgaImage& image) {
    if (!image.pixels || image.width == 0 || image.height == 0) return;
    GLuint name = 0;
    glGenTextures(1, &name);
    image.textureId = name;
    glBindTexture(GL_TEXTURE_2D, name);
    glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, static_cast<GLfloat>(GL_REPEAT));
    glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, static_cast<GLfloat>(GL_REPEAT));
    // Rows are packed without padding; a 24-bit row need not be a multiple of 4 bytes.
    GLint alignment = 4;
    glGetIntegerv(GL_UNPACK_ALIGNMENT, &alignment);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    gluBuild2DMipmaps(GL_TEXTURE_2D, static_cast<GLint>(image.bpp / 8), static_cast<GLint>(image.width),
                      static_cast<GLint>(image.height), image.format, GL_UNSIGNED_BYTE, image.pixels);
    glPixelStorei(GL_UNPACK_ALIGNMENT, alignment);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    releasePixels(image);
}

void createMipmappedTexture(TgaImage* image) {
    if (image) createMipmappedTexture(*image);
}
