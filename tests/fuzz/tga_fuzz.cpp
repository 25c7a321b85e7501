// Feeds arbitrary bytes to the TGA reader: it must fail cleanly or produce exactly
// the pixels its header promises, never touching memory outside them.
#include <cstdint>
#include <cstdlib>

#include "assets/tga_image.h"
#include "support/fuzz_input_file.h"
#include "platform/window/message_box.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static FuzzInputFile file(".tga");
    static bool quiet = [] {
        setMessageBoxHandler([](const char*, const char*, unsigned) {});
        return true;
    }();
    (void)quiet;

    TgaImage image;
    bool loaded = loadTga(image, file.write(data, size));
    if (loaded) {
        if (!image.pixels || image.width == 0 || image.height == 0 || (image.bpp != 24 && image.bpp != 32)) std::abort();
        // Touch every byte the record claims, so the sanitizer sees any short buffer.
        size_t bytes = static_cast<size_t>(image.bpp / 8) * image.width * image.height;
        volatile unsigned sum = 0;
        for (size_t i = 0; i < bytes; ++i) sum = sum + image.pixels[i];
    } else if (image.pixels) {
        std::abort();
    }
    releasePixels(image);
    return 0;
}
