#include "tools/common/tga_writer.h"

#include <cmath>
#include <cstdint>
#include <cstdio>

#include "tools/common/noise.h"

namespace gen {

namespace {
bool writeFile(const std::string& path, const std::vector<unsigned char>& data) {
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return false;
    bool ok = std::fwrite(data.data(), 1, data.size(), file) == data.size();
    return std::fclose(file) == 0 && ok;
}

std::vector<unsigned char> header(int width, int height, int bytesPerPixel) {
    std::vector<unsigned char> data(18);
    data[2] = 2;  // uncompressed true colour; no ID, no colour map, origin (0, 0)
    data[12] = width & 0xff;
    data[13] = (width >> 8) & 0xff;
    data[14] = height & 0xff;
    data[15] = (height >> 8) & 0xff;
    data[16] = uint8_t(8 * bytesPerPixel);
    data[17] = bytesPerPixel == 4 ? 8 : 0;  // alpha bits; bottom-left origin
    return data;
}
}  // namespace

bool writeTga(const std::string& path, int size, const std::vector<Colour>& colour, const std::vector<double>* alpha) {
    const int bytesPerPixel = alpha ? 4 : 3;
    std::vector<unsigned char> data = header(size, size, bytesPerPixel);
    data.resize(18 + size_t(size) * size * bytesPerPixel);
    auto byte = [](double x) { return uint8_t(std::lround(clamp01(x) * 255.0)); };
    unsigned char* out = data.data() + 18;
    for (size_t i = 0; i < colour.size(); ++i) {
        *out++ = byte(colour[i].b);
        *out++ = byte(colour[i].g);
        *out++ = byte(colour[i].r);
        if (alpha) *out++ = byte((*alpha)[i]);
    }
    return writeFile(path, data);
}

bool writeTgaBytes(const std::string& path, int width, int height, int bytesPerPixel,
                   const std::vector<unsigned char>& pixels) {
    if ((bytesPerPixel != 3 && bytesPerPixel != 4) || pixels.size() != size_t(width) * height * bytesPerPixel)
        return false;
    std::vector<unsigned char> data = header(width, height, bytesPerPixel);
    data.insert(data.end(), pixels.begin(), pixels.end());
    return writeFile(path, data);
}

}  // namespace gen
