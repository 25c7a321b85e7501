// Feeds arbitrary bytes to the motion-path reader as a .spl file, then evaluates
// the path at ordinary and hostile times, checking that a loaded path keeps its
// arrays consistent.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <string>
#include <unistd.h>

#include "math/spline.h"

namespace {

const std::string& scratchPath() {
    static const std::string path = [] {
        char name[] = "/tmp/spline_fuzz_XXXXXX";
        int fd = mkstemp(name);
        if (fd < 0) std::abort();
        close(fd);
        return std::string(name);
    }();
    return path;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string& path = scratchPath();
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return 0;
    if (size > 0) std::fwrite(data, 1, size, file);
    std::fclose(file);

    Spline spline(path.c_str());
    if (!spline.loaded) {
        if (spline.evaluate(0.0f) || spline.values || spline.keyTable) std::abort();
        return 0;
    }
    if (spline.keyCount < 1 || spline.dimension < 1 || !(spline.startTime <= spline.endTime)) std::abort();

    const float end = spline.endTime;
    const float times[] = {0.0f, -1.0f, spline.startTime, end, 0.5f * end, 1.5f * end, end + 1e-3f,
                           1e30f, -1e30f, std::numeric_limits<float>::max(),
                           std::numeric_limits<float>::infinity(), -std::numeric_limits<float>::infinity(),
                           std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::denorm_min()};
    for (float t : times) {
        if (!spline.evaluate(t)) std::abort();
        for (int c = 0; c < spline.dimension; ++c) {
            volatile float v = spline.values[c];  // touches every value
            (void)v;
        }
    }
    // A key's own time gives that key's values exactly.
    const int columns = spline.dimension + 1;
    for (int k = 0; k < spline.keyCount && k < 8; ++k) {
        const float* key = spline.keyTable + static_cast<int64_t>(k) * columns;
        if (!spline.evaluate(key[0])) std::abort();
        if (spline.loop && k == spline.keyCount - 1 && spline.keyCount > 1 && spline.endTime > 0.0f) continue;
        for (int c = 0; c < spline.dimension; ++c)
            if (spline.values[c] != key[c + 1]) std::abort();
    }
    spline.load(path.c_str());  // reloading the same file replaces it cleanly
    spline.release();
    return 0;
}
