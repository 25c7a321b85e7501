// Feeds arbitrary position and wind images to the grass placement: whatever the
// files hold, it places blades only from usable images, reads no byte outside
// them and writes only finite values inside the field.
//
// Input: one byte b, then the position image file (b x 4 bytes, capped at the
// input's length), then the wind image file (the rest).
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "assets/tga_image.h"
#include "support/fuzz_input_file.h"
#include "platform/log/debug_log.h"
#include "platform/random/crt_rand.h"
#include "platform/window/message_box.h"
#include "scenes/outdoor/grass_placement.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static FuzzInputFile positionFile(".tga");
    static FuzzInputFile windFile(".tga");
    static bool quiet = [] {
        setMessageBoxHandler([](const char*, const char*, unsigned) {});
        setDebugLogSink([](const std::string&) {});
        return true;
    }();
    (void)quiet;
    if (size < 1) return 0;
    const size_t split = std::min(size - 1, size_t(data[0]) * 4);

    TgaImage position, wind;
    loadTga(position, positionFile.write(data + 1, split));
    loadTga(wind, windFile.write(data + 1 + split, size - 1 - split));

    constexpr int blades = 48;
    constexpr float fieldSize = 92.0f;
    std::vector<float> positions(20 * blades, -7.0f), texCoords(10 * blades), offsets(15 * blades),
        windDirections(15 * blades);
    std::vector<uint16_t> indices(9 * blades);
    GrassBladeArrays arrays;
    arrays.positions = positions.data();
    arrays.texCoords = texCoords.data();
    arrays.offsets = offsets.data();
    arrays.windDirections = windDirections.data();
    arrays.indices = indices.data();

    crtSrand(1);
    const bool placed = placeGrassBlades(position, wind, blades, fieldSize, arrays);
    if (placed != canPlaceGrass(position, wind)) std::abort();
    if (!placed && positions[0] != -7.0f) std::abort();
    if (placed) {
        for (int i = 0; i < 5 * blades; ++i) {
            const float x = positions[4 * i], z = positions[4 * i + 2];
            if (!(x >= -fieldSize / 2 && x < fieldSize / 2 && z >= -fieldSize / 2 && z < fieldSize / 2)) std::abort();
            for (int c = 0; c < 3; ++c)
                if (!std::isfinite(offsets[3 * i + c]) || windDirections[3 * i + c] < 0 || windDirections[3 * i + c] > 1)
                    std::abort();
        }
        if (indices[9 * blades - 1] != 5 * blades - 1) std::abort();
    }
    releasePixels(position);
    releasePixels(wind);
    return 0;
}
