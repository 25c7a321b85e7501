// The spline camera: the view it puts on the GL matrices along a path, at its ends and without a path.
#include <gtest/gtest.h>

#include <GL/glew.h>

#include <array>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>

#include "math/spline.h"
#include "math/spline_camera.h"
#include "platform/clock/tick_count.h"
#include "platform/clock/timer.h"
#include "support/gl_test_context.h"
#include "support/test_output.h"

namespace {

using Mat = std::array<double, 16>;  // column-major, element (r, c) at 4c + r

Mat multiply(const Mat& a, const Mat& b) {
    Mat result{};
    for (int c = 0; c < 4; ++c)
        for (int r = 0; r < 4; ++r)
            for (int k = 0; k < 4; ++k) result[4 * c + r] += a[4 * k + r] * b[4 * c + k];
    return result;
}

Mat perspective(double fovyDegrees, double aspect, double zNear, double zFar) {
    double f = 1.0 / std::tan(fovyDegrees * M_PI / 360.0);
    Mat m{};
    m[0] = f / aspect;
    m[5] = f;
    m[10] = (zFar + zNear) / (zNear - zFar);
    m[11] = -1.0;
    m[14] = 2.0 * zFar * zNear / (zNear - zFar);
    return m;
}

// Rows side, up, -forward, then the eye moved to the origin.
Mat lookAt(const double eye[3], const double centre[3]) {
    double f[3] = {centre[0] - eye[0], centre[1] - eye[1], centre[2] - eye[2]};
    double fl = std::sqrt(f[0] * f[0] + f[1] * f[1] + f[2] * f[2]);
    for (double& v : f) v /= fl;
    double s[3] = {-f[2], 0.0, f[0]};  // forward x (0, 1, 0)
    double sl = std::sqrt(s[0] * s[0] + s[2] * s[2]);
    for (double& v : s) v /= sl;
    double u[3] = {s[1] * f[2] - s[2] * f[1], s[2] * f[0] - s[0] * f[2], s[0] * f[1] - s[1] * f[0]};
    Mat m{};
    for (int c = 0; c < 3; ++c) {
        m[4 * c + 0] = s[c];
        m[4 * c + 1] = u[c];
        m[4 * c + 2] = -f[c];
    }
    for (int r = 0; r < 3; ++r) m[12 + r] = -(m[r] * eye[0] + m[4 + r] * eye[1] + m[8 + r] * eye[2]);
    m[15] = 1.0;
    return m;
}

Mat readMatrix(GLenum which) {
    GLfloat raw[16];
    glGetFloatv(which, raw);
    Mat m;
    for (int i = 0; i < 16; ++i) m[i] = raw[i];
    return m;
}

void expectMatrixNear(const Mat& actual, const Mat& expected) {
    double scale = 1.0;
    for (double v : expected) scale = std::fmax(scale, std::fabs(v));
    for (int i = 0; i < 16; ++i) EXPECT_NEAR(actual[i], expected[i], 2e-6 * scale) << "element " << i;
}

std::string writePath(const std::string& name, const std::string& text) {
    std::filesystem::path dir = std::filesystem::path(OKU_TEST_OUTPUT_DIR) / "camera";
    std::filesystem::create_directories(dir);
    std::string path = (dir / name).string();
    std::ofstream(path) << text;
    return path;
}

class SplineCameraTest : public ::testing::Test {
protected:
    SplineCameraTest() {
        setTickSource([this] { return now; });
        timer.reset();  // constructed before the tick source was installed
    }
    ~SplineCameraTest() override { setTickSource(nullptr); }

    void advanceTo(uint32_t milliseconds) {
        now = milliseconds;
        timer.update();
    }

    void SetUp() override { ASSERT_TRUE(gl.ok()) << gl.error(); }

    uint32_t now = 0;
    GlTestContext gl;
    Timer timer;
};

// Eye from (0, 0, 50) to (40, 20, 10), looking at the origin, then at (10, 0, 0).
const char* kFlight =
    "6 0 3\n"
    "0  0 0 50   0 0 0\n"
    "2  20 10 30   5 0 0\n"
    "4  40 20 10   10 0 0\n";

TEST_F(SplineCameraTest, ProjectionIsPerspectiveTimesLookAtAndModelviewIdentity) {
    SplineCamera camera(&timer, writePath("flight.spl", kFlight).c_str(), nullptr);
    ASSERT_TRUE(camera.path && camera.path->loaded);
    EXPECT_EQ(camera.timer, &timer);
    EXPECT_EQ(camera.input, nullptr);

    advanceTo(1000);
    camera.update();
    glMatrixMode(GL_MODELVIEW);
    glTranslatef(3, 4, 5);  // whatever was there before is replaced
    glViewport(0, 0, 17, 17);
    camera.apply();

    const float* v = camera.path->values;
    double eye[3] = {v[0], v[1], v[2]}, centre[3] = {v[3], v[4], v[5]};
    EXPECT_EQ(camera.position.x, v[0]);
    EXPECT_EQ(camera.position.y, v[1]);
    EXPECT_EQ(camera.position.z, v[2]);
    Vec3 expectedDirection = Vec3(v[3], v[4], v[5]) - Vec3(v[0], v[1], v[2]);
    expectedDirection.normalize();
    EXPECT_EQ(camera.direction.x, expectedDirection.x);
    EXPECT_EQ(camera.direction.y, expectedDirection.y);
    EXPECT_EQ(camera.direction.z, expectedDirection.z);
    EXPECT_NEAR(camera.direction.length(), 1.0f, 1e-6f);

    Mat projection = readMatrix(GL_PROJECTION_MATRIX);
    expectMatrixNear(projection, multiply(perspective(45, 1, 1, 2000), lookAt(eye, centre)));
    Mat identity{};
    identity[0] = identity[5] = identity[10] = identity[15] = 1;
    expectMatrixNear(readMatrix(GL_MODELVIEW_MATRIX), identity);
    GLint viewport[4], mode = 0;
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[0], 0);
    EXPECT_EQ(viewport[1], 0);
    EXPECT_EQ(viewport[2], 1024);
    EXPECT_EQ(viewport[3], 1024);
    glGetIntegerv(GL_MATRIX_MODE, &mode);
    EXPECT_EQ(mode, GL_MODELVIEW);

    camera.apply();  // a second pass in the same frame sees the same view
    Mat again = readMatrix(GL_PROJECTION_MATRIX);
    for (int i = 0; i < 16; ++i) EXPECT_EQ(again[i], projection[i]);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(SplineCameraTest, HoldsTheLastKeyPastTheEndAndMovesOnlyInApply) {
    SplineCamera camera(&timer, writePath("flight_end.spl", kFlight).c_str(), nullptr);
    advanceTo(9000);
    camera.update();
    EXPECT_EQ(camera.position.y, 10.0f) << "position changes only in apply";
    camera.apply();
    EXPECT_EQ(camera.position.x, 40.0f);
    EXPECT_EQ(camera.position.y, 20.0f);
    EXPECT_EQ(camera.position.z, 10.0f);
    double eye[3] = {40, 20, 10}, centre[3] = {10, 0, 0};
    expectMatrixNear(readMatrix(GL_PROJECTION_MATRIX), multiply(perspective(45, 1, 1, 2000), lookAt(eye, centre)));
    EXPECT_EQ(camera.path->endTime, 4.0f);
}

TEST_F(SplineCameraTest, EyeOnTargetGivesZeroDirection) {
    SplineCamera camera(&timer, writePath("stare.spl", "6 0 2\n0 1 2 3 1 2 3\n5 1 2 3 1 2 3\n").c_str(), nullptr);
    camera.update();
    camera.apply();
    EXPECT_EQ(camera.direction.x, 0.0f);
    EXPECT_EQ(camera.direction.y, 0.0f);
    EXPECT_EQ(camera.direction.z, 0.0f);
    EXPECT_EQ(camera.position.z, 3.0f);
    for (double value : readMatrix(GL_PROJECTION_MATRIX)) EXPECT_TRUE(std::isfinite(value));
}

TEST_F(SplineCameraTest, MissingOrNarrowPathKeepsTheInitialView) {
    const std::string narrow = writePath("narrow.spl", "3 0 2\n0 1 2 3\n1 4 5 6\n");
    for (const std::string& file : {std::string(OKU_TEST_OUTPUT_DIR "/camera/never_written.spl"), narrow}) {
        SplineCamera camera(&timer, file.c_str(), nullptr);
        ASSERT_NE(camera.path, nullptr);
        advanceTo(now + 500);
        camera.update();
        camera.apply();
        EXPECT_EQ(camera.position.x, 0.0f) << file;
        EXPECT_EQ(camera.position.y, 10.0f) << file;
        EXPECT_EQ(camera.position.z, 10.0f) << file;
        EXPECT_EQ(camera.direction.z, -1.0f) << file;
        double eye[3] = {0, 10, 10}, centre[3] = {0, 10, 9};
        expectMatrixNear(readMatrix(GL_PROJECTION_MATRIX), multiply(perspective(45, 1, 1, 2000), lookAt(eye, centre)));
        GLint viewport[4];
        glGetIntegerv(GL_VIEWPORT, viewport);
        EXPECT_EQ(viewport[2], 1024) << file;
    }
}

// The square 1024 x 1024 viewport in a 1024 x 768 window: the camera's target
// appears at (512, 512), and the image is cut off at the top, not squeezed.
TEST_F(SplineCameraTest, TargetLandsAtTheCentreOfTheSquareViewport) {
    SplineCamera camera(&timer, writePath("look.spl", "6 0 2\n0 0 0 20 0 0 0\n10 0 0 20 0 0 0\n").c_str(), nullptr);
    camera.update();
    camera.apply();
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glDisable(GL_DEPTH_TEST);
    glColor3f(1, 1, 1);
    glBegin(GL_QUADS);  // 1 x 1 square at the target, seen from 20 units away
    glVertex3f(-0.5f, -0.5f, 0);
    glVertex3f(0.5f, -0.5f, 0);
    glVertex3f(0.5f, 0.5f, 0);
    glVertex3f(-0.5f, 0.5f, 0);
    glEnd();
    std::vector<unsigned char> pixels = gl.readPixels(0, 0, 1024, 768);
    writePng(testOutputDir() + "spline_camera_target.png", 1024, 768, pixels);

    int minX = 1024, maxX = -1, minY = 768, maxY = -1;
    for (int y = 0; y < 768; ++y)
        for (int x = 0; x < 1024; ++x)
            if (pixels[(static_cast<size_t>(y) * 1024 + x) * 4] > 128) {
                minX = std::min(minX, x);
                maxX = std::max(maxX, x);
                minY = std::min(minY, y);
                maxY = std::max(maxY, y);
            }
    // Half-width in pixels: 0.5 / 20 of the view's half height, 512 / tan(22.5 degrees).
    double halfSize = 512.0 * (0.5 / 20.0) / std::tan(22.5 * M_PI / 180.0);
    ASSERT_GE(maxX, 0) << "nothing drawn";
    EXPECT_NEAR((minX + maxX + 1) / 2.0, 512.0, 1.0);
    EXPECT_NEAR((minY + maxY + 1) / 2.0, 512.0, 1.0);
    EXPECT_NEAR((maxX - minX + 1) / 2.0, halfSize, 1.0);
    EXPECT_NEAR((maxY - minY + 1) / 2.0, halfSize, 1.0) << "square pixels: the picture is not stretched";
}

}  // namespace
