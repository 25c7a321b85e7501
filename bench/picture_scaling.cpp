// Cost of showing the 1024 x 768 picture on a full screen: each SwapBuffers scales it
// with linear filtering into the largest centred 4:3 rectangle of the screen and
// clears the bars. Timed at 1280 x 1024 and 1920 x 1080 against the same frames
// presented without the scale step (a picture-sized fill and the swap), alternating
// the two in one run.
//
//   bench_picture_scaling [frames]     (with a display; windows larger than its screen are fine)
#include <GL/glew.h>

#include <cstdio>

#include "bench/support/bench_window.h"
#include "bench/support/frame_timing.h"
#include "bench/support/textured_quad.h"
#include "platform/window/win32_sdl_picture.h"
#include "shell/gl_window.h"

namespace {

constexpr int pictureWidth = 1024;
constexpr int pictureHeight = 768;

// A picture that is not one flat colour: a textured quad over the whole picture.
void drawPicture(GLuint texture) {
    glViewport(0, 0, pictureWidth, pictureHeight);
    glBindTexture(GL_TEXTURE_2D, texture);
    drawTexturedQuad();
}

GLuint noiseTexture() {
    static unsigned char texels[256 * 256 * 3];
    unsigned state = 1;
    for (unsigned char& texel : texels) texel = static_cast<unsigned char>((state = state * 1103515245u + 12345u) >> 24);
    GLuint texture = 0;
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB8, 256, 256, 0, GL_RGB, GL_UNSIGNED_BYTE, texels);
    return texture;
}

}  // namespace

int main(int argc, char** argv) {
    const int frames = frameCountArgument(argc, argv, 200);
    const int screens[][2] = {{1280, 1024}, {1920, 1080}};
    std::printf("picture %d x %d scaled to the screen, %d frames per run, two runs each (ms)\n", pictureWidth,
                pictureHeight, frames);
    for (const auto& screen : screens) {
        const int width = screen[0], height = screen[1];
        if (!openBenchWindow(width, height)) return 1;
        if (!startPictureFramebuffer(pictureWidth, pictureHeight)) {
            std::fprintf(stderr, "no framebuffer objects with blits: nothing to measure\n");
            closeWindow();
            return 1;
        }
        beginPlainTexturedFill();
        const GLuint texture = noiseTexture();
        Figures plain[2], scaled[2];
        for (int run = 0; run < 2; ++run) {
            plain[run] = timeFrames(frames, [&](int) { drawPicture(texture); });
            scaled[run] = timeFrames(frames, [&](int) {
                drawPicture(texture);
                presentPicture(width, height);
            });
        }
        const PictureRect rect = pictureRectIn(width, height, pictureWidth, pictureHeight);
        std::printf("%d x %d (picture at %d x %d, x %d y %d)\n", width, height, rect.width, rect.height, rect.x,
                    rect.y);
        for (int run = 0; run < 2; ++run) {
            std::printf("  run %d: without scaling median %.2f p95 %.2f cpu %.2f | with scaling median %.2f p95 %.2f "
                        "cpu %.2f | scale step +%.2f ms median, %.2fx the frame\n",
                        run + 1, plain[run].median, plain[run].p95, plain[run].cpuPerFrame, scaled[run].median,
                        scaled[run].p95, scaled[run].cpuPerFrame, scaled[run].median - plain[run].median,
                        scaled[run].median / plain[run].median);
        }
        glDeleteTextures(1, &texture);
        closeWindow();
    }
    return 0;
}
