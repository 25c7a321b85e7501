// Reads the finished frame from the window's back buffer, just before it is
// presented: captureWidth x captureHeight RGB, tightly packed, top row first.
// Where the window's drawable is smaller than that, the rest stays black. Every
// piece of GL state it touches (read framebuffer, read buffer, pack buffer,
// pixel-store settings) is put back as it was, so the demo's next frame is not
// affected by being recorded.
#pragma once

#include <cstdint>

void readPresentedFrame(int drawableWidth, int drawableHeight, uint8_t* rgb);
