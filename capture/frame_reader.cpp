#include "capture/frame_reader.h"

#include <GL/glew.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "capture/video_encoder.h"

void readPresentedFrame(int drawableWidth, int drawableHeight, uint8_t* rgb) {
    const size_t rowBytes = static_cast<size_t>(captureWidth) * 3;
    int width = std::clamp(drawableWidth, 0, captureWidth);
    int height = std::clamp(drawableHeight, 0, captureHeight);
    if (width < captureWidth || height < captureHeight) std::memset(rgb, 0, captureFrameBytes);
    if (width == 0 || height == 0) return;

    GLint readFramebuffer = 0, readBuffer = GL_BACK, packBuffer = 0;
    glGetIntegerv(GL_READ_FRAMEBUFFER_BINDING, &readFramebuffer);
    glGetIntegerv(GL_PIXEL_PACK_BUFFER_BINDING, &packBuffer);
    if (readFramebuffer != 0) glBindFramebuffer(GL_READ_FRAMEBUFFER, 0);
    if (packBuffer != 0) glBindBuffer(GL_PIXEL_PACK_BUFFER, 0);
    glGetIntegerv(GL_READ_BUFFER, &readBuffer);
    glPushClientAttrib(GL_CLIENT_PIXEL_STORE_BIT);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glPixelStorei(GL_PACK_ROW_LENGTH, captureWidth);
    glPixelStorei(GL_PACK_SKIP_ROWS, 0);
    glPixelStorei(GL_PACK_SKIP_PIXELS, 0);
    glPixelStorei(GL_PACK_SWAP_BYTES, GL_FALSE);
    glPixelStorei(GL_PACK_LSB_FIRST, GL_FALSE);
    glReadBuffer(GL_BACK);

    // The window's lowest rows come first; the frame's top row is the window's top row.
    uint8_t* lowestRow = rgb + static_cast<size_t>(captureHeight - height) * rowBytes;
    glReadPixels(0, 0, width, height, GL_RGB, GL_UNSIGNED_BYTE, lowestRow);
    std::vector<uint8_t> swap(rowBytes);
    for (int top = 0, bottom = captureHeight - 1; top < bottom; ++top, --bottom) {
        uint8_t* a = rgb + static_cast<size_t>(top) * rowBytes;
        uint8_t* b = rgb + static_cast<size_t>(bottom) * rowBytes;
        std::memcpy(swap.data(), a, rowBytes);
        std::memcpy(a, b, rowBytes);
        std::memcpy(b, swap.data(), rowBytes);
    }

    glPopClientAttrib();
    glReadBuffer(static_cast<GLenum>(readBuffer));
    if (packBuffer != 0) glBindBuffer(GL_PIXEL_PACK_BUFFER, static_cast<GLuint>(packBuffer));
    if (readFramebuffer != 0) glBindFramebuffer(GL_READ_FRAMEBUFFER, static_cast<GLuint>(readFramebuffer));
}
