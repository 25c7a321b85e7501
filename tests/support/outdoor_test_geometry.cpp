#include "support/outdoor_test_geometry.h"

#include <unistd.h>

#include <cmath>
#include <fstream>

#include "support/test_output.h"

namespace outdoor_test {

namespace fs = std::filesystem;

GLuint makeTexture(int width, int height, const std::function<Rgba(int, int)>& texel) {
    std::vector<unsigned char> texels;
    texels.reserve(static_cast<size_t>(width) * height * 4);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            Rgba c = texel(x, y);
            texels.insert(texels.end(), {c.r, c.g, c.b, c.a});
        }
    }
    GLuint name = 0;
    glGenTextures(1, &name);
    glBindTexture(GL_TEXTURE_2D, name);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, width, height, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels.data());
    return name;
}

GLuint solidTexture(Rgba colour) {
    return makeTexture(1, 1, [colour](int, int) { return colour; });
}

void drawBox(const Vec3& lo, const Vec3& hi) {
    const float x[2] = {lo.x, hi.x}, y[2] = {lo.y, hi.y}, z[2] = {lo.z, hi.z};
    // Each face as four corner indices (bit 0: x, bit 1: y, bit 2: z).
    static const int faces[6][4] = {{0, 1, 3, 2}, {4, 6, 7, 5}, {0, 4, 5, 1},
                                    {2, 3, 7, 6}, {0, 2, 6, 4}, {1, 5, 7, 3}};
    static const float st[4][2] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
    glBegin(GL_QUADS);
    for (const auto& face : faces) {
        for (int corner = 0; corner < 4; ++corner) {
            const int i = face[corner];
            glTexCoord2f(st[corner][0], st[corner][1]);
            glVertex3f(x[i & 1], y[(i >> 1) & 1], z[(i >> 2) & 1]);
        }
    }
    glEnd();
}

void drawFloor(float y, float half, float repeat, float cx, float cz) {
    glBegin(GL_QUADS);
    glTexCoord2f(0, 0);
    glVertex3f(cx - half, y, cz - half);
    glTexCoord2f(0, repeat);
    glVertex3f(cx - half, y, cz + half);
    glTexCoord2f(repeat, repeat);
    glVertex3f(cx + half, y, cz + half);
    glTexCoord2f(repeat, 0);
    glVertex3f(cx + half, y, cz - half);
    glEnd();
}

std::unique_ptr<SplineCamera> placedCamera(const Vec3& eye, const Vec3& target) {
    auto camera = std::make_unique<SplineCamera>(nullptr, "spline/no-such-path.spl", nullptr);
    camera->position = eye;
    camera->direction = target - eye;
    camera->direction.normalize();
    return camera;
}

void transform(const Matrix4& m, const float in[4], float out[4]) {
    for (int r = 0; r < 4; ++r) out[r] = m.m[r] * in[0] + m.m[4 + r] * in[1] + m.m[8 + r] * in[2] + m.m[12 + r] * in[3];
}

WindowPoint projectToWindow(const Vec3& world) {
    Matrix4 projection, modelview;
    glGetFloatv(GL_PROJECTION_MATRIX, projection.m);
    glGetFloatv(GL_MODELVIEW_MATRIX, modelview.m);
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    const float in[4] = {world.x, world.y, world.z, 1.0f};
    float clip[4];
    transform(projection * modelview, in, clip);
    if (clip[3] <= 0.0f) return {0, 0, false};
    const float nx = clip[0] / clip[3], ny = clip[1] / clip[3];
    return {static_cast<int>(std::floor(viewport[0] + (nx + 1.0f) * 0.5f * viewport[2])),
            static_cast<int>(std::floor(viewport[1] + (ny + 1.0f) * 0.5f * viewport[3])), true};
}

Rgba pixel(int x, int y) {
    unsigned char c[4] = {};
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(x, y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, c);
    return {c[0], c[1], c[2], c[3]};
}

float brightness(const Rgba& c) { return (c.r + c.g + c.b) / 3.0f; }

Matrix4 inverse(const Matrix4& source) {
    // Gauss-Jordan on [A | I] in double precision, rows of the 4 x 4 matrix.
    double a[4][8];
    for (int r = 0; r < 4; ++r) {
        for (int c = 0; c < 4; ++c) {
            a[r][c] = source.m[4 * c + r];
            a[r][4 + c] = r == c ? 1.0 : 0.0;
        }
    }
    for (int col = 0; col < 4; ++col) {
        int pivot = col;
        for (int r = col + 1; r < 4; ++r)
            if (std::fabs(a[r][col]) > std::fabs(a[pivot][col])) pivot = r;
        if (std::fabs(a[pivot][col]) < 1e-15) return Matrix4();
        for (int c = 0; c < 8; ++c) std::swap(a[col][c], a[pivot][c]);
        const double scale = 1.0 / a[col][col];
        for (int c = 0; c < 8; ++c) a[col][c] *= scale;
        for (int r = 0; r < 4; ++r) {
            if (r == col) continue;
            const double factor = a[r][col];
            for (int c = 0; c < 8; ++c) a[r][c] -= factor * a[col][c];
        }
    }
    Matrix4 result;
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) result.m[4 * c + r] = static_cast<float>(a[r][4 + c]);
    return result;
}

void saveWindow(const std::string& name) {
    std::vector<unsigned char> pixels(1024 * 768 * 4);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, 1024, 768, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    for (size_t i = 3; i < pixels.size(); i += 4) pixels[i] = 255;  // show colour regardless of alpha
    writePng(testOutputDir() + name, 1024, 768, pixels);
}

}  // namespace outdoor_test
