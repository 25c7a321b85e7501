// TGA files as bytes, apart from the demo's own reader: built for the tests that
// feed the readers, and read back for the tests that check what the generators wrote.
#pragma once

#include <cmath>
#include <cstddef>
#include <fstream>
#include <string>
#include <vector>

// The 18-byte header of a TGA file with no ID and no colour map: `type` 2 is
// uncompressed true colour, 10 run-length encoded; `descriptor` holds the alpha
// bits and the origin (0x20: top row first).
inline std::vector<unsigned char> tgaHeader(unsigned char type, unsigned width, unsigned height,
                                            unsigned char bitsPerPixel, unsigned char descriptor = 0) {
    return {0, 0, type, 0, 0, 0, 0, 0, 0, 0, 0, 0,
            static_cast<unsigned char>(width & 0xFF), static_cast<unsigned char>(width >> 8),
            static_cast<unsigned char>(height & 0xFF), static_cast<unsigned char>(height >> 8),
            bitsPerPixel, descriptor};
}

// An uncompressed TGA file: the header, then `pixels` as stored (B, G, R (, A),
// bottom row first).
inline std::vector<unsigned char> tgaFile(unsigned width, unsigned height, unsigned char bitsPerPixel,
                                          const std::vector<unsigned char>& pixels, unsigned char descriptor = 0) {
    std::vector<unsigned char> file = tgaHeader(2, width, height, bitsPerPixel, descriptor);
    file.insert(file.end(), pixels.begin(), pixels.end());
    return file;
}

struct TgaFileBytes {
    int width = 0, height = 0, bytesPerPixel = 0;
    std::vector<unsigned char> pixels;  // B, G, R (, A), bottom row first
    unsigned char header[18] = {0};
    size_t fileSize = 0;

    bool load(const std::string& path) {
        std::ifstream in(path, std::ios::binary | std::ios::ate);
        if (!in) return false;
        fileSize = size_t(in.tellg());
        in.seekg(0);
        if (!in.read(reinterpret_cast<char*>(header), 18)) return false;
        width = header[12] | header[13] << 8;
        height = header[14] | header[15] << 8;
        bytesPerPixel = header[16] / 8;
        pixels.resize(size_t(width) * height * bytesPerPixel);
        return bool(in.read(reinterpret_cast<char*>(pixels.data()), pixels.size()));
    }
    const unsigned char* at(int x, int y) const { return &pixels[(size_t(y) * width + x) * bytesPerPixel]; }
    // Colour difference between two texels, summed over the channels.
    double step(int x0, int y0, int x1, int y1) const {
        double sum = 0;
        for (int c = 0; c < 3; ++c) sum += std::fabs(double(at(x0, y0)[c]) - at(x1, y1)[c]);
        return sum;
    }
};
