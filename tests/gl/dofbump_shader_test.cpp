// The indoor scene's shader source "Cg/dofbump.cg", compiled the way the
// shader runtime does it (a GLSL 1.20 prelude naming the stage and entry), and
// run on Mesa: tangent-space bump lighting, the depth carried in alpha, the
// depth-of-field filter, and preview frames of the whole set along its paths.
#include <gtest/gtest.h>

#include <GL/glew.h>
#include <GL/glu.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <functional>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "scenes/indoor/model.h"
#include "support/gl_test_context.h"
#include "support/indoor_paths.h"
#include "support/png_writer.h"

namespace {

const float kTaps[12][2] = {{-0.326212f, -0.405810f}, {-0.840144f, -0.073580f}, {-0.695914f, 0.457137f},
                            {-0.203345f, 0.620716f},  {0.962340f, -0.194983f},  {0.473434f, -0.480026f},
                            {0.519456f, 0.767022f},   {0.185461f, -0.893124f},  {0.507431f, 0.064425f},
                            {0.896420f, 0.412458f},   {-0.321940f, -0.932615f}, {-0.791559f, -0.597710f}};
const float kDepthRange = 500.0f;  // as in the shader

std::string readText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

GLuint compileStage(GLenum stage, const std::string& source, const std::string& entry, std::string& log) {
    std::string prelude = "#version 120\n";
    prelude += stage == GL_VERTEX_SHADER ? "#define CG_VERTEX 1\n" : "#define CG_FRAGMENT 1\n";
    prelude += "#define CG_ENTRY_" + entry + " 1\n";
    if (entry != "main") prelude += "#define " + entry + " main\n";
    prelude += "#line 1\n";
    std::string text = prelude + source;
    const char* pointer = text.c_str();
    GLuint shader = glCreateShader(stage);
    glShaderSource(shader, 1, &pointer, nullptr);
    glCompileShader(shader);
    GLint ok = 0;
    glGetShaderiv(shader, GL_COMPILE_STATUS, &ok);
    char buffer[4096] = {0};
    glGetShaderInfoLog(shader, sizeof buffer, nullptr, buffer);
    log += buffer;
    if (!ok) {
        glDeleteShader(shader);
        return 0;
    }
    return shader;
}

GLuint linkProgram(const std::string& source, const char* vertexEntry, const char* fragmentEntry, std::string& log) {
    GLuint program = glCreateProgram();
    if (vertexEntry) {
        GLuint vs = compileStage(GL_VERTEX_SHADER, source, vertexEntry, log);
        if (!vs) return 0;
        glAttachShader(program, vs);
    }
    GLuint fs = compileStage(GL_FRAGMENT_SHADER, source, fragmentEntry, log);
    if (!fs) return 0;
    glAttachShader(program, fs);
    glLinkProgram(program);
    GLint ok = 0;
    glGetProgramiv(program, GL_LINK_STATUS, &ok);
    char buffer[4096] = {0};
    glGetProgramInfoLog(program, sizeof buffer, nullptr, buffer);
    log += buffer;
    return ok ? program : 0;
}

// A repeating, trilinear-mipmapped texture from an uncompressed TGA, as the
// scene makes them.
GLuint loadTexture(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    unsigned char header[18];
    if (!in.read(reinterpret_cast<char*>(header), 18) || header[2] != 2) return 0;
    int width = header[12] | header[13] << 8, height = header[14] | header[15] << 8, bytes = header[16] / 8;
    std::vector<unsigned char> pixels(size_t(width) * height * bytes);
    if (!in.read(reinterpret_cast<char*>(pixels.data()), pixels.size())) return 0;
    for (size_t i = 0; i < pixels.size(); i += bytes) std::swap(pixels[i], pixels[i + 2]);
    GLuint texture = 0;
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    gluBuild2DMipmaps(GL_TEXTURE_2D, bytes, width, height, bytes == 4 ? GL_RGBA : GL_RGB, GL_UNSIGNED_BYTE,
                      pixels.data());
    return texture;
}

GLuint solidTexture(unsigned char r, unsigned char g, unsigned char b, unsigned char a = 255) {
    const unsigned char texel[4] = {r, g, b, a};
    GLuint texture = 0;
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, 1, 1, 0, GL_RGBA, GL_UNSIGNED_BYTE, texel);
    return texture;
}

// An off-screen 1024 x 768 colour texture with a depth buffer, like the scene's.
struct Target {
    GLuint framebuffer = 0, colour = 0, depth = 0;
    Target() {
        glGenFramebuffersEXT(1, &framebuffer);
        glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, framebuffer);
        glGenTextures(1, &colour);
        glBindTexture(GL_TEXTURE_2D, colour);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, 1024, 768, 0, GL_RGBA, GL_FLOAT, nullptr);
        glFramebufferTexture2DEXT(GL_FRAMEBUFFER_EXT, GL_COLOR_ATTACHMENT0_EXT, GL_TEXTURE_2D, colour, 0);
        glGenRenderbuffersEXT(1, &depth);
        glBindRenderbufferEXT(GL_RENDERBUFFER_EXT, depth);
        glRenderbufferStorageEXT(GL_RENDERBUFFER_EXT, GL_DEPTH_COMPONENT24, 1024, 768);
        glFramebufferRenderbufferEXT(GL_FRAMEBUFFER_EXT, GL_DEPTH_ATTACHMENT_EXT, GL_RENDERBUFFER_EXT, depth);
        glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, 0);
    }
    ~Target() {
        glDeleteFramebuffersEXT(1, &framebuffer);
        glDeleteRenderbuffersEXT(1, &depth);
        glDeleteTextures(1, &colour);
    }
};

struct Camera {
    float eye[3], target[3];
};

// The scene camera: 45 degrees, square, near 1, far 2000, the look-at on the
// projection stack, a 1024 x 1024 viewport and the modelview left at identity.
void applyCamera(const Camera& c) {
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(45.0, 1.0, 1.0, 2000.0);
    glViewport(0, 0, 1024, 1024);
    gluLookAt(c.eye[0], c.eye[1], c.eye[2], c.target[0], c.target[1], c.target[2], 0, 1, 0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}

class DofBump : public ::testing::Test {
protected:
    // One context for the whole program, kept until exit: creating and dropping
    // one per test makes SDL's X11 back end fail now and then, and dropping the
    // last one unloads the GL driver, whose leftover allocations then can no
    // longer be told apart from ours by the leak checker.
    static void SetUpTestSuite() {
        static GlTestContext* shared = new GlTestContext();
        context = shared;
    }

    void SetUp() override {
        ASSERT_TRUE(context->ok()) << context->error();
        std::string source = readText("Cg/dofbump.cg");
        ASSERT_FALSE(source.empty()) << "Cg/dofbump.cg missing from the run directory";
        std::string log;
        lit = linkProgram(source, "vertex1", "fragment1", log);
        ASSERT_NE(lit, 0u) << log;
        dof = linkProgram(source, nullptr, "fragment2", log);
        ASSERT_NE(dof, 0u) << log;
        target = std::make_unique<Target>();
        screen = std::make_unique<Target>();
    }
    void TearDown() override {
        target.reset();
        screen.reset();
        if (lit) glDeleteProgram(lit);
        if (dof) glDeleteProgram(dof);
    }

    // Pass 1 over `triangles` triangles from `first` of the given arrays.
    void drawLit(const float* positions, const float* normals, const float* tangents, const float* texCoords,
                 int first, int count, GLuint base, GLuint bump, const float light[3]) {
        glUseProgram(lit);
        struct {
            const char* name;
            const float* data;
            int size;
        } inputs[] = {{"position", positions, 3}, {"normal", normals, 3}, {"tangent", tangents, 3}, {"texCoord", texCoords, 2}};
        std::vector<GLint> used;
        for (auto& input : inputs) {
            GLint location = glGetAttribLocation(lit, input.name);
            if (location < 0) continue;
            glEnableVertexAttribArray(location);
            glVertexAttribPointer(location, input.size, GL_FLOAT, GL_FALSE, 0, input.data);
            used.push_back(location);
        }
        float mv[16], p[16];
        glGetFloatv(GL_MODELVIEW_MATRIX, mv);
        glGetFloatv(GL_PROJECTION_MATRIX, p);
        glUniformMatrix4fv(glGetUniformLocation(lit, "MV"), 1, GL_FALSE, mv);
        glUniformMatrix4fv(glGetUniformLocation(lit, "P"), 1, GL_FALSE, p);
        glUniform3fv(glGetUniformLocation(lit, "lightPos"), 1, light);
        glUniform1i(glGetUniformLocation(lit, "BaseTexture"), 0);
        glUniform1i(glGetUniformLocation(lit, "NormalTexture"), 1);
        glActiveTexture(GL_TEXTURE1);
        glBindTexture(GL_TEXTURE_2D, bump);
        glActiveTexture(GL_TEXTURE0);
        glBindTexture(GL_TEXTURE_2D, base);
        glDrawArrays(GL_TRIANGLES, 3 * first, 3 * count);
        for (GLint location : used) glDisableVertexAttribArray(location);
        glUseProgram(0);
    }

    void beginPass1() {
        glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, target->framebuffer);
        glEnable(GL_CULL_FACE);
        glCullFace(GL_BACK);
        glEnable(GL_DEPTH_TEST);
        glDepthFunc(GL_LESS);
        glClearDepth(1.0);
        glClearColor(0, 0, 0, 1);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    }

    // Pass 2: the full-screen quad through the filter, into the 1024 x 768
    // "window" with the camera's square viewport.
    void filter(GLuint picture, float focus) {
        glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, screen->framebuffer);
        glViewport(0, 0, 1024, 1024);
        glDisable(GL_CULL_FACE);
        glDisable(GL_DEPTH_TEST);
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glOrtho(-1, 1, -1, 1, -1, 1);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        glUseProgram(dof);
        float taps[24];
        for (int i = 0; i < 12; ++i) {
            taps[2 * i] = kTaps[i][0] / 2048.0f;
            taps[2 * i + 1] = kTaps[i][1] / 2048.0f;
        }
        glUniform2fv(glGetUniformLocation(dof, "FilterTabs"), 12, taps);
        glUniform1f(glGetUniformLocation(dof, "FocusPlane"), focus);
        glUniform1i(glGetUniformLocation(dof, "BaseTexture"), 0);
        glActiveTexture(GL_TEXTURE0);
        glBindTexture(GL_TEXTURE_2D, picture);
        glEnable(GL_TEXTURE_2D);
        glBegin(GL_QUADS);
        glMultiTexCoord2f(GL_TEXTURE0, 0, 0);
        glVertex2f(-1, -1);
        glMultiTexCoord2f(GL_TEXTURE0, 1, 0);
        glVertex2f(1, -1);
        glMultiTexCoord2f(GL_TEXTURE0, 1, 1);
        glVertex2f(1, 1);
        glMultiTexCoord2f(GL_TEXTURE0, 0, 1);
        glVertex2f(-1, 1);
        glEnd();
        glDisable(GL_TEXTURE_2D);
        glUseProgram(0);
    }

    std::vector<unsigned char> read(GLuint framebuffer, int x, int y, int w, int h) {
        glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, framebuffer);
        std::vector<unsigned char> pixels = context->readPixels(x, y, w, h);
        glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, 0);
        return pixels;
    }

    static GlTestContext* context;
    GLuint lit = 0, dof = 0;
    std::unique_ptr<Target> target, screen;
};

GlTestContext* DofBump::context = nullptr;

TEST_F(DofBump, EntriesExposeTheParametersTheSceneSets) {
    for (const char* name : {"position", "texCoord", "normal", "tangent"})
        EXPECT_GE(glGetAttribLocation(lit, name), 0) << name;
    for (const char* name : {"lightPos", "MV", "P", "BaseTexture", "NormalTexture"})
        EXPECT_GE(glGetUniformLocation(lit, name), 0) << name;
    for (const char* name : {"BaseTexture", "FocusPlane", "FilterTabs"})
        EXPECT_GE(glGetUniformLocation(dof, name), 0) << name;
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

// A flat square of floor (normal +y, tangent +x, v growing with z like the
// floor plate) seen from straight above, lit from one side.
struct FloorSquare {
    float positions[18], normals[18], tangents[18], texCoords[12];
    FloorSquare() {
        const float corners[6][2] = {{-20, -20}, {-20, 20}, {20, -20}, {-20, 20}, {20, 20}, {20, -20}};
        for (int i = 0; i < 6; ++i) {
            positions[3 * i] = corners[i][0], positions[3 * i + 1] = 0, positions[3 * i + 2] = corners[i][1];
            normals[3 * i] = 0, normals[3 * i + 1] = 1, normals[3 * i + 2] = 0;
            tangents[3 * i] = 1, tangents[3 * i + 1] = 0, tangents[3 * i + 2] = 0;
            texCoords[2 * i] = (corners[i][0] + 20) / 40, texCoords[2 * i + 1] = (corners[i][1] + 20) / 40;
        }
    }
};

class DofBumpLighting : public DofBump {
protected:
    std::vector<unsigned char> centre(const unsigned char bump[3], const float light[3]) {
        FloorSquare square;
        GLuint base = solidTexture(180, 180, 180, 0);
        GLuint normalMap = solidTexture(bump[0], bump[1], bump[2]);
        applyCamera({{0, 60, 0.001f}, {0, 0, 0}});
        beginPass1();
        drawLit(square.positions, square.normals, square.tangents, square.texCoords, 0, 2, base, normalMap, light);
        glDeleteTextures(1, &base);
        glDeleteTextures(1, &normalMap);
        // The square's centre is the square view's centre: row 512 of the
        // 1024-row view, which the 768-row target holds.
        return read(target->framebuffer, 512, 512, 1, 1);
    }
};

TEST_F(DofBumpLighting, NormalMapTiltsTheReliefAlongUAndV) {
    const unsigned char flat[3] = {128, 128, 255};
    const unsigned char towardsU[3] = {218, 128, 218};  // normal leaning to +u (+x on the floor)
    const unsigned char towardsV[3] = {128, 218, 218};  // normal leaning to +v (+z on the floor)
    const float lightPlusX[3] = {40, 30, 0}, lightMinusX[3] = {-40, 30, 0};
    const float lightPlusZ[3] = {0, 30, 40}, lightMinusZ[3] = {0, 30, -40};

    auto flatPlus = centre(flat, lightPlusX), flatMinus = centre(flat, lightMinusX);
    EXPECT_NEAR(flatPlus[0], flatMinus[0], 2) << "a flat normal map lights both sides alike";
    EXPECT_GT(flatPlus[0], 20);

    EXPECT_GT(centre(towardsU, lightPlusX)[0], centre(towardsU, lightMinusX)[0] + 20);
    EXPECT_GT(centre(towardsV, lightPlusZ)[0], centre(towardsV, lightMinusZ)[0] + 20);
    EXPECT_NEAR(centre(towardsU, lightPlusZ)[0], centre(towardsU, lightMinusZ)[0], 2);
}

TEST_F(DofBumpLighting, NearerLightIsBrighterAndAlphaCarriesTheViewDepth) {
    const unsigned char flat[3] = {128, 128, 255};
    const float nearLight[3] = {0, 20, 0}, farLight[3] = {0, 250, 0};
    auto lit = centre(flat, nearLight);
    EXPECT_GT(lit[0], centre(flat, farLight)[0] + 20);
    // Seen from 60 units straight above: depth 60 of 500.
    EXPECT_NEAR(lit[3], 60.0 / kDepthRange * 255, 1.5);
}

// Pass-1 pictures made by hand: colour and depth per texel.
class DofBumpFilter : public DofBump {
protected:
    GLuint picture(const std::function<void(int x, int y, unsigned char* rgba)>& paint) {
        std::vector<unsigned char> pixels(1024 * 768 * 4);
        for (int y = 0; y < 768; ++y)
            for (int x = 0; x < 1024; ++x) paint(x, y, &pixels[(size_t(y) * 1024 + x) * 4]);
        GLuint texture = 0;
        glGenTextures(1, &texture);
        glBindTexture(GL_TEXTURE_2D, texture);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, 1024, 768, 0, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
        return texture;
    }
    static unsigned char depthByte(float depth) { return (unsigned char)std::lround(depth / kDepthRange * 255); }
};

// Window row r shows picture row 0.75 r: read the "window" in picture texels.
double spread(const std::vector<unsigned char>& rgba) {
    double mean = 0, square = 0;
    size_t n = rgba.size() / 4;
    for (size_t i = 0; i < n; ++i) mean += rgba[4 * i];
    mean /= n;
    for (size_t i = 0; i < n; ++i) square += (rgba[4 * i] - mean) * (rgba[4 * i] - mean);
    return std::sqrt(square / n);
}

TEST_F(DofBumpFilter, SharpAtTheFocusPlaneBlurredAwayFromIt) {
    // A fine checkerboard everywhere, 300 units away.
    GLuint board = picture([](int x, int y, unsigned char* p) {
        unsigned char c = ((x / 2 + y / 2) & 1) ? 230 : 20;
        p[0] = p[1] = p[2] = c;
        p[3] = depthByte(300);
    });
    filter(board, 300.0f);
    auto sharp = read(screen->framebuffer, 300, 200, 64, 64);
    filter(board, 60.0f);
    auto blurred = read(screen->framebuffer, 300, 200, 64, 64);
    glDeleteTextures(1, &board);
    EXPECT_GT(spread(sharp), 80.0) << "in focus the checkerboard stays";
    EXPECT_LT(spread(blurred), 0.5 * spread(sharp)) << "out of focus it is averaged";
}

TEST_F(DofBumpFilter, SharpForegroundLeavesNoHaloOnTheBlurredBackground) {
    // A bright square in focus 80 units away in front of a dark, far, blurred wall.
    const int x0 = 400, x1 = 600, y0 = 300, y1 = 500;
    GLuint scene = picture([&](int x, int y, unsigned char* p) {
        bool inside = x >= x0 && x < x1 && y >= y0 && y < y1;
        p[0] = p[1] = p[2] = inside ? 240 : 10;
        p[3] = depthByte(inside ? 80 : 450);
    });
    filter(scene, 80.0f);
    // Picture column x is window column x; picture row y is window row y / 0.75.
    auto row = read(screen->framebuffer, 0, int((y0 + y1) / 2 / 0.75), 1024, 1);
    glDeleteTextures(1, &scene);
    EXPECT_GT(row[4 * (x0 + 2)], 230) << "the square's edge stays sharp";
    EXPECT_LT(row[4 * (x0 - 3)], 20) << "the wall beside it does not pick up the square";
    EXPECT_LT(row[4 * (x1 + 2)], 20);
}

// Preview frames of the whole set along the camera, light and focus paths,
// through both passes as the scene draws them.
TEST_F(DofBump, PreviewFramesAlongThePaths) {
    TestPath camera, light, focus;
    ASSERT_TRUE(camera.load("spline/camera1.spl"));
    ASSERT_TRUE(light.load("spline/lightPos0.spl"));
    ASSERT_TRUE(focus.load("spline/focus.spl"));
    GLuint textures[2 * modelPartCount];
    for (int p = 0; p < modelPartCount; ++p) {
        textures[2 * p] = loadTexture(modelParts[p].diffuseTexture);
        textures[2 * p + 1] = loadTexture(modelParts[p].normalTexture);
        ASSERT_NE(textures[2 * p], 0u) << modelParts[p].diffuseTexture;
        ASSERT_NE(textures[2 * p + 1], 0u) << modelParts[p].normalTexture;
    }
    const char* times = std::getenv("OKU_PREVIEW_TIMES");
    std::vector<float> at;
    if (times) {
        std::stringstream list(times);
        for (float t; list >> t;) at.push_back(t);
    } else {
        for (float t = 4.0f; t < camera.endTime(); t += 14.0f) at.push_back(t);
    }
    for (float t : at) {
        auto c = camera.at(t);
        applyCamera({{c[0], c[1], c[2]}, {c[3], c[4], c[5]}});
        beginPass1();
        auto l = light.at(t);
        for (int p = 0; p < modelPartCount; ++p)
            drawLit(modelPositions, modelNormals, modelTangents, modelTexCoords, modelParts[p].firstTriangle,
                    modelParts[p].triangleCount, textures[2 * p], textures[2 * p + 1], l.data());
        filter(target->colour, focus.at(t)[0]);
        auto frame = read(screen->framebuffer, 0, 0, 1024, 768);
        char name[64];
        std::snprintf(name, sizeof name, "indoor_preview_%05.1f.png", t);
        ASSERT_TRUE(writePng(testOutputDir() + name, 1024, 768, frame));
        double mean = 0;
        for (size_t i = 0; i < frame.size(); i += 4) mean += frame[i] + frame[i + 1] + frame[i + 2];
        mean /= frame.size() / 4 * 3;
        EXPECT_GT(mean, 15.0) << "frame at " << t << " s is nearly black";
        EXPECT_GT(spread(frame), 10.0) << "frame at " << t << " s shows nothing";
    }
    glDeleteTextures(2 * modelPartCount, textures);
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

}  // namespace
