// Simple geometry, textures and camera placement for the outdoor effect tests:
// boxes and floors drawn in world coordinates with texture coordinates (the way
// the scenery is drawn), and a helper that says where a world point lands in the
// window under the current matrices.
#pragma once

#include <GL/glew.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "math/matrix4.h"
#include "math/spline_camera.h"
#include "math/vec3.h"

namespace outdoor_test {

struct Rgba {
    unsigned char r, g, b, a;
};

// A texture from a texel function (x, y) -> colour; linear filtering, repeating.
GLuint makeTexture(int width, int height, const std::function<Rgba(int, int)>& texel);
GLuint solidTexture(Rgba colour);

// An axis-aligned box, each face with texture coordinates 0..1.
void drawBox(const Vec3& low, const Vec3& high);
// A horizontal square at height y, centred on (cx, cz), its texture repeated `repeat` times.
void drawFloor(float y, float half, float repeat = 1.0f, float cx = 0.0f, float cz = 0.0f);

// A scene camera without a path, placed at `eye` looking at `target`.
std::unique_ptr<SplineCamera> placedCamera(const Vec3& eye, const Vec3& target);

// Where a world point lands in the window under the current projection x modelview
// and viewport (window pixels, bottom row 0).
struct WindowPoint {
    int x, y;
    bool inFront;
};
WindowPoint projectToWindow(const Vec3& world);

// Reads one window pixel.
Rgba pixel(int x, int y);
// Brightness (0..255) of a pixel: the mean of its three channels.
float brightness(const Rgba& colour);

// A 4 x 4 inverse (column-major); the identity for a singular matrix.
Matrix4 inverse(const Matrix4& m);
void transform(const Matrix4& m, const float in[4], float out[4]);

// Saves the window's 1024 x 768 picture under the test output directory.
void saveWindow(const std::string& name);

}  // namespace outdoor_test
