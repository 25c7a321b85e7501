// Writes RGBA images as PNG (stored, uncompressed deflate) so the pictures that
// tests and benchmarks take can be looked at. Rows are given bottom row first, as
// glReadPixels returns them, and written top row first.
#pragma once

#include <string>
#include <vector>

bool writePng(const std::string& path, int width, int height, const std::vector<unsigned char>& rgbaBottomUp);
