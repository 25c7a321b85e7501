#include "tools/common/png_writer.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>

namespace {
uint32_t crc32(const unsigned char* data, size_t length, uint32_t crc = 0) {
    static uint32_t table[256];
    static bool ready = false;
    if (!ready) {
        for (uint32_t n = 0; n < 256; ++n) {
            uint32_t c = n;
            for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            table[n] = c;
        }
        ready = true;
    }
    crc = ~crc;
    for (size_t i = 0; i < length; ++i) crc = table[(crc ^ data[i]) & 0xFF] ^ (crc >> 8);
    return ~crc;
}

void putBigEndian(std::vector<unsigned char>& out, uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<unsigned char>(value >> shift));
}

void writeChunk(FILE* file, const char* type, const std::vector<unsigned char>& data) {
    std::vector<unsigned char> chunk;
    putBigEndian(chunk, static_cast<uint32_t>(data.size()));
    chunk.insert(chunk.end(), type, type + 4);
    chunk.insert(chunk.end(), data.begin(), data.end());
    putBigEndian(chunk, crc32(chunk.data() + 4, chunk.size() - 4));
    std::fwrite(chunk.data(), 1, chunk.size(), file);
}
}  // namespace

bool writePng(const std::string& path, int width, int height, const std::vector<unsigned char>& rgba) {
    if (width <= 0 || height <= 0 || rgba.size() < static_cast<size_t>(width) * height * 4) return false;
    std::vector<unsigned char> raw;
    size_t stride = static_cast<size_t>(width) * 4;
    for (int row = height - 1; row >= 0; --row) {
        raw.push_back(0);
        raw.insert(raw.end(), rgba.begin() + row * stride, rgba.begin() + (row + 1) * stride);
    }
    std::vector<unsigned char> zlib{0x78, 0x01};
    uint32_t a = 1, b = 0;
    for (unsigned char byte : raw) {
        a = (a + byte) % 65521;
        b = (b + a) % 65521;
    }
    for (size_t offset = 0; offset < raw.size(); offset += 65535) {
        size_t length = std::min<size_t>(65535, raw.size() - offset);
        zlib.push_back(offset + length == raw.size() ? 1 : 0);
        zlib.push_back(length & 0xFF);
        zlib.push_back((length >> 8) & 0xFF);
        zlib.push_back(~length & 0xFF);
        zlib.push_back((~length >> 8) & 0xFF);
        zlib.insert(zlib.end(), raw.begin() + offset, raw.begin() + offset + length);
    }
    putBigEndian(zlib, (b << 16) | a);

    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return false;
    static const unsigned char signature[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    std::fwrite(signature, 1, 8, file);
    std::vector<unsigned char> header;
    putBigEndian(header, static_cast<uint32_t>(width));
    putBigEndian(header, static_cast<uint32_t>(height));
    header.insert(header.end(), {8, 6, 0, 0, 0});
    writeChunk(file, "IHDR", header);
    writeChunk(file, "IDAT", zlib);
    writeChunk(file, "IEND", {});
    return std::fclose(file) == 0;
}
