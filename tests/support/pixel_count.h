// Counting the pixels of RGBA read-backs (4 bytes a pixel, as GlTestContext::readPixels
// returns them) that meet a condition.
#pragma once

#include <cstddef>
#include <vector>

// Pixels p of `rgba` for which test(p) holds; p points at the pixel's r, g, b, a.
template <typename Test>
int countPixels(const std::vector<unsigned char>& rgba, Test test) {
    int count = 0;
    for (size_t i = 0; i + 3 < rgba.size(); i += 4) count += test(&rgba[i]) ? 1 : 0;
    return count;
}

// Pixels for which test(p, q) holds, p in `a` and q in `b` at the same place.
template <typename Test>
int countPixels(const std::vector<unsigned char>& a, const std::vector<unsigned char>& b, Test test) {
    int count = 0;
    for (size_t i = 0; i + 3 < a.size() && i + 3 < b.size(); i += 4) count += test(&a[i], &b[i]) ? 1 : 0;
    return count;
}

// Pixels that are black or nearly so (every channel below `limit`): the clear
// colour a frame starts from, showing where nothing was drawn.
inline int blackPixels(const std::vector<unsigned char>& rgba, int limit = 4) {
    return countPixels(rgba, [limit](const unsigned char* p) { return p[0] < limit && p[1] < limit && p[2] < limit; });
}
