// The shader runtime, seen in pixels: every behaviour the effects rely on is drawn
// into a 64 x 64 corner of the window and read back.
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "platform/shader/cg_gl.h"
#include "support/capture.h"
#include "support/gl_test_context.h"
#include "support/test_output.h"
#include "support/pixel_count.h"

namespace {

using Bytes = std::vector<unsigned char>;
constexpr int kSize = 64;

std::string shaderPath(const std::string& name) { return std::string(OKU_SOURCE_DIR) + "/tests/data/cg/" + name; }

GLuint solidTexture(const Bytes& texels, int width, int height) {
    GLuint name = 0;
    glGenTextures(1, &name);
    glBindTexture(GL_TEXTURE_2D, name);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, width, height, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels.data());
    return name;
}

class ShaderRuntime : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(gl.ok()) << gl.error();
        context = cgCreateContext();
        vertexProfile = cgGLGetLatestProfile(CG_GL_VERTEX);
        fragmentProfile = cgGLGetLatestProfile(CG_GL_FRAGMENT);
        ASSERT_EQ(vertexProfile, CG_PROFILE_GLSLV);
        ASSERT_EQ(fragmentProfile, CG_PROFILE_GLSLF);
        cgGLSetOptimalOptions(vertexProfile);
        cgGLSetOptimalOptions(fragmentProfile);
        glViewport(0, 0, kSize, kSize);
        glDisable(GL_DEPTH_TEST);
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
    }

    void TearDown() override {
        cgGLDisableProfile(vertexProfile);
        cgGLDisableProfile(fragmentProfile);
        cgDestroyContext(context);
        EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    }

    CGprogram load(const std::string& file, CGprofile profile, const char* entry = "main") {
        CGprogram program = cgCreateProgramFromFile(context, CG_SOURCE, shaderPath(file).c_str(), profile, entry, nullptr);
        EXPECT_NE(program, nullptr) << file << " " << entry << ": " << cgGetLastListing(context);
        cgGLLoadProgram(program);
        return program;
    }

    CGparameter parameter(CGprogram program, const char* name) {
        CGparameter handle = cgGetNamedParameter(program, name);
        EXPECT_NE(handle, nullptr) << name;
        return handle;
    }

    static void clear() {
        glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
        glClear(GL_COLOR_BUFFER_BIT);
    }

    // A white quad with texture coordinates 0..1 over the given part of the view.
    static void drawQuad(float x0 = -1.0f, float y0 = -1.0f, float x1 = 1.0f, float y1 = 1.0f) {
        glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
        glBegin(GL_QUADS);
        glTexCoord2f(0.0f, 0.0f);
        glVertex2f(x0, y0);
        glTexCoord2f(1.0f, 0.0f);
        glVertex2f(x1, y0);
        glTexCoord2f(1.0f, 1.0f);
        glVertex2f(x1, y1);
        glTexCoord2f(0.0f, 1.0f);
        glVertex2f(x0, y1);
        glEnd();
    }

    void expectColor(int x, int y, const Bytes& expected, const std::string& what) {
        Bytes actual = gl.readPixels(x, y, 1, 1);
        bool same = true;
        for (size_t i = 0; i < expected.size(); ++i) same = same && std::abs(actual[i] - expected[i]) <= 2;
        EXPECT_TRUE(same) << what << " at (" << x << ", " << y << "): got " << int(actual[0]) << " " << int(actual[1])
                          << " " << int(actual[2]) << " " << int(actual[3]) << ", expected " << int(expected[0]) << " "
                          << int(expected[1]) << " " << int(expected[2]) << " " << int(expected[3]);
        if (!same) writePng(testOutputDir() + "cg_runtime_failure.png", kSize, kSize, gl.readPixels(0, 0, kSize, kSize));
    }

    GlTestContext gl;
    LogCapture log;
    CGcontext context = nullptr;
    CGprofile vertexProfile = CG_PROFILE_UNKNOWN;
    CGprofile fragmentProfile = CG_PROFILE_UNKNOWN;
};

const Bytes kRed{255, 0, 0, 255}, kGreen{0, 255, 0, 255}, kBlue{0, 0, 255, 255}, kWhite{255, 255, 255, 255},
    kNothing{0, 0, 0, 0};

TEST_F(ShaderRuntime, AFragmentProgramRunsOverFixedFunctionVerticesAndFixedFunctionComesBack) {
    CGprogram solid = load("solid_fragment.cg", fragmentProfile);
    CGparameter color = parameter(solid, "color");
    cgGLSetParameter4f(color, 1.0f, 0.0f, 0.0f, 1.0f);
    cgGLBindProgram(solid);
    cgGLEnableProfile(fragmentProfile);
    clear();
    drawQuad(-1.0f, -1.0f, 0.0f, 1.0f);  // left half, through the fixed-function vertex stage
    expectColor(16, 32, kRed, "fragment program");
    expectColor(48, 32, kNothing, "outside the quad");

    cgGLDisableProfile(fragmentProfile);
    EXPECT_EQ(glInteger(GL_CURRENT_PROGRAM), 0);
    drawQuad(0.0f, -1.0f, 1.0f, 1.0f);
    expectColor(48, 32, kWhite, "fixed function again");
}

TEST_F(ShaderRuntime, ATextureParameterUsesAUnitOfItsOwnAndLeavesUnitZeroAlone) {
    // Unit 0 holds a red texture bound by plain GL; the parameter's texture is left
    // blue, right green.
    GLuint red = solidTexture({255, 0, 0, 255}, 1, 1);
    GLuint blueGreen = solidTexture({0, 0, 255, 255, 0, 255, 0, 255}, 2, 1);
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, red);

    CGprogram textured = load("textured_fragment.cg", fragmentProfile);
    CGparameter base = parameter(textured, "BaseTexture");
    cgGLSetTextureParameter(base, blueGreen);
    EXPECT_GE(cgGLGetTextureEnum(base), static_cast<unsigned>(GL_TEXTURE1));
    EXPECT_EQ(cgGLGetTextureParameter(base), blueGreen);
    cgGLEnableTextureParameter(base);
    EXPECT_EQ(glInteger(GL_ACTIVE_TEXTURE), GL_TEXTURE0) << "the active unit is unchanged";
    EXPECT_EQ(static_cast<GLuint>(glInteger(GL_TEXTURE_BINDING_2D)), red) << "unit 0 keeps its texture";
    glActiveTexture(cgGLGetTextureEnum(base));
    EXPECT_EQ(static_cast<GLuint>(glInteger(GL_TEXTURE_BINDING_2D)), blueGreen);
    glActiveTexture(GL_TEXTURE0);

    // Fixed-function texture coordinates on unit 0 reach the program as gl_TexCoord[0]
    // while it samples its own unit.
    glEnable(GL_TEXTURE_2D);
    cgGLBindProgram(textured);
    cgGLEnableProfile(fragmentProfile);
    clear();
    drawQuad();
    expectColor(16, 32, kBlue, "left texel of the parameter's texture");
    expectColor(48, 32, kGreen, "right texel of the parameter's texture");

    cgGLDisableProfile(fragmentProfile);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
    drawQuad();
    expectColor(16, 32, kRed, "fixed function textures from unit 0");
    glDisable(GL_TEXTURE_2D);

    // Disabling unbinds it from its unit only.
    cgGLDisableTextureParameter(base);
    glActiveTexture(cgGLGetTextureEnum(base));
    EXPECT_EQ(glInteger(GL_TEXTURE_BINDING_2D), 0);
    glActiveTexture(GL_TEXTURE0);
    EXPECT_EQ(static_cast<GLuint>(glInteger(GL_TEXTURE_BINDING_2D)), red);
    glDeleteTextures(1, &red);
    glDeleteTextures(1, &blueGreen);
}

TEST_F(ShaderRuntime, ASamplerLeftToPlainGLReadsUnitZeroUntilTheRuntimeManagesIt) {
    // The grass and the snow bind their textures with glBindTexture on unit 0.
    GLuint red = solidTexture({255, 0, 0, 255}, 1, 1);
    GLuint green = solidTexture({0, 255, 0, 255}, 1, 1);
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, red);
    CGprogram textured = load("textured_fragment.cg", fragmentProfile);
    CGparameter base = parameter(textured, "BaseTexture");
    EXPECT_EQ(cgGLGetTextureEnum(base), static_cast<unsigned>(GL_TEXTURE0));
    cgGLBindProgram(textured);
    cgGLEnableProfile(fragmentProfile);
    clear();
    drawQuad();
    expectColor(32, 32, kRed, "unit 0's texture");

    // Handed to the runtime while its program is in use: its own unit, at once.
    cgGLSetTextureParameter(base, green);
    cgGLEnableTextureParameter(base);
    EXPECT_GT(cgGLGetTextureEnum(base), static_cast<unsigned>(GL_TEXTURE0));
    clear();
    drawQuad();
    expectColor(32, 32, kGreen, "the parameter's texture");
    glDeleteTextures(1, &red);
    glDeleteTextures(1, &green);
}

TEST_F(ShaderRuntime, EverySamplerHoldsItsOwnUnitUntilItsProgramGoes) {
    CGprogram first = load("multi_entry.cg", fragmentProfile, "fragment1");
    CGprogram second = load("textured_fragment.cg", fragmentProfile);
    CGparameter samplers[] = {parameter(first, "BaseTexture"), parameter(first, "NormalTexture"),
                              parameter(second, "BaseTexture")};
    cgGLSetTextureParameter(samplers[0], 0);
    cgGLEnableTextureParameter(samplers[1]);
    cgGLDisableTextureParameter(samplers[2]);
    std::vector<unsigned> units = {cgGLGetTextureEnum(samplers[0]), cgGLGetTextureEnum(samplers[1]),
                                   cgGLGetTextureEnum(samplers[2])};
    for (size_t i = 0; i < units.size(); ++i) {
        EXPECT_GT(units[i], static_cast<unsigned>(GL_TEXTURE0)) << "never unit 0";
        for (size_t j = 0; j < i; ++j) EXPECT_NE(units[i], units[j]);
    }
    cgDestroyProgram(first);
    EXPECT_FALSE(cgIsProgram(first));
    CGprogram third = load("textured_fragment.cg", fragmentProfile);
    CGparameter reused = parameter(third, "BaseTexture");
    cgGLSetTextureParameter(reused, 0);
    EXPECT_EQ(cgGLGetTextureEnum(reused), units[0]) << "a freed unit is handed out again";
}

TEST_F(ShaderRuntime, AStateMatrixIsASnapshotOfTheMomentItIsSet) {
    CGprogram transform = load("transform_vertex.cg", vertexProfile);
    CGparameter modelViewProj = parameter(transform, "modelViewProj");
    cgGLBindProgram(transform);
    cgGLEnableProfile(vertexProfile);
    // Projection x modelview moves the quad into the left half.
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glTranslatef(-0.5f, 0.0f, 0.0f);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glScalef(0.5f, 1.0f, 1.0f);
    cgGLSetStateMatrixParameter(modelViewProj, CG_GL_MODELVIEW_PROJECTION_MATRIX, CG_GL_MATRIX_IDENTITY);
    glLoadIdentity();  // too late: the parameter holds the matrix as it was
    clear();
    drawQuad();
    expectColor(16, 32, kWhite, "where the snapshot puts the quad");
    expectColor(48, 32, kNothing, "where the current matrix would have put it");
}

TEST_F(ShaderRuntime, AMissingOrBrokenProgramIsNullAndEveryCallOnItIsHarmless) {
    CGprogram missing =
        cgCreateProgramFromFile(context, CG_SOURCE, shaderPath("absent.cg").c_str(), fragmentProfile, "main", nullptr);
    EXPECT_EQ(missing, nullptr);
    EXPECT_NE(std::string(cgGetLastListing(context)).find("absent.cg"), std::string::npos);

    log.lines.clear();
    CGprogram broken = cgCreateProgramFromFile(context, CG_SOURCE, shaderPath("broken_fragment.cg").c_str(),
                                               fragmentProfile, "main", nullptr);
    EXPECT_EQ(broken, nullptr);
    EXPECT_TRUE(log.contains("broken_fragment.cg"));
    EXPECT_TRUE(log.contains("0:4(")) << "the compile log gives the file's own line: " << cgGetLastListing(context);
    EXPECT_EQ(cgCreateProgramFromFile(context, CG_SOURCE, shaderPath("multi_entry.cg").c_str(), fragmentProfile,
                                      "fragment9", nullptr),
              nullptr)
        << "an entry the file lacks";
    EXPECT_EQ(cgCreateProgramFromFile(nullptr, CG_SOURCE, shaderPath("solid_fragment.cg").c_str(), fragmentProfile,
                                      "main", nullptr),
              nullptr);
    EXPECT_EQ(cgCreateProgramFromFile(context, CG_OBJECT, shaderPath("solid_fragment.cg").c_str(), fragmentProfile,
                                      "main", nullptr),
              nullptr);

    // The pattern an effect runs with its null handles, then plain drawing.
    CGprogram solid = load("solid_fragment.cg", fragmentProfile);
    EXPECT_EQ(cgGetNamedParameter(solid, "noSuchName"), nullptr);
    EXPECT_EQ(cgGetNamedParameter(solid, "color"), cgGetNamedParameter(solid, "color"));
    CGparameter none = cgGetNamedParameter(missing, "color");
    EXPECT_EQ(none, nullptr);
    const float values[16] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16};
    cgGLLoadProgram(missing);
    cgGLBindProgram(missing);
    cgGLEnableProfile(vertexProfile);
    cgGLEnableProfile(fragmentProfile);
    cgGLSetParameter1f(none, 1.0f);
    cgGLSetParameterArray2f(none, 0, 12, values);
    cgGLSetStateMatrixParameter(none, CG_GL_MODELVIEW_PROJECTION_MATRIX, CG_GL_MATRIX_IDENTITY);
    cgGLSetMatrixParameterfc(none, values);
    cgSetMatrixParameterfr(none, values);
    cgGLSetTextureParameter(none, 5);
    cgGLEnableTextureParameter(none);
    cgGLDisableTextureParameter(none);
    cgGLSetParameterPointer(none, 3, GL_FLOAT, 0, values);
    cgGLEnableClientState(none);
    cgGLDisableClientState(none);
    // Handles of the wrong kind are not parameters either.
    cgGLSetParameter1f(reinterpret_cast<CGparameter>(solid), 1.0f);
    cgGLBindProgram(reinterpret_cast<CGprogram>(context));
    EXPECT_EQ(glInteger(GL_CURRENT_PROGRAM), 0) << "nothing bound: both stages fixed function";
    clear();
    drawQuad();
    expectColor(32, 32, kWhite, "plain drawing");
    cgDestroyProgram(missing);
    cgDestroyContext(nullptr);
}

TEST_F(ShaderRuntime, TheProgramInUseFollowsTheEnabledStages) {
    CGprogram green = load("green_vertex.cg", vertexProfile);
    CGprogram solid = load("solid_fragment.cg", fragmentProfile);
    cgGLSetParameter4f(parameter(solid, "color"), 1.0f, 0.5f, 1.0f, 1.0f);
    cgGLBindProgram(green);
    cgGLBindProgram(solid);

    const Bytes tint{255, 128, 255, 255}, greenTinted{0, 128, 0, 255};
    struct Case {
        bool vertex, fragment;
        Bytes expected;
        const char* what;
    } cases[] = {
        {true, true, greenTinted, "green vertices, tinted"},
        {false, true, tint, "fixed-function white vertices, tinted"},
        {true, false, kGreen, "green vertices, fixed-function fragments"},
        {false, false, kWhite, "all fixed function"},
        {true, true, greenTinted, "both again, from the cache"},
    };
    for (const Case& c : cases) {
        (c.vertex ? cgGLEnableProfile : cgGLDisableProfile)(vertexProfile);
        (c.fragment ? cgGLEnableProfile : cgGLDisableProfile)(fragmentProfile);
        EXPECT_EQ(glInteger(GL_CURRENT_PROGRAM) != 0, c.vertex || c.fragment) << c.what;
        clear();
        drawQuad();
        expectColor(32, 32, c.expected, c.what);
    }}

TEST_F(ShaderRuntime, ValuesBelongToTheProgramAndSurviveEveryCombination) {
    CGprogram solid = load("solid_fragment.cg", fragmentProfile);
    CGprogram green = load("green_vertex.cg", vertexProfile);
    CGprogram transform = load("transform_vertex.cg", vertexProfile);
    CGparameter color = parameter(solid, "color");
    // Set before anything is bound or enabled.
    cgGLSetParameter4f(color, 0.0f, 0.0f, 1.0f, 1.0f);
    cgGLSetStateMatrixParameter(parameter(transform, "modelViewProj"), CG_GL_MODELVIEW_PROJECTION_MATRIX,
                                CG_GL_MATRIX_IDENTITY);
    cgGLBindProgram(solid);
    cgGLEnableProfile(fragmentProfile);
    clear();
    drawQuad();
    expectColor(32, 32, kBlue, "fragment only");

    cgGLBindProgram(transform);
    cgGLEnableProfile(vertexProfile);
    clear();
    drawQuad();
    expectColor(32, 32, kBlue, "paired with one vertex program");

    // A change while this pair is in use, then another pair and back.
    cgGLSetParameter3f(color, 1.0f, 1.0f, 0.0f);  // alpha keeps its 1
    cgGLSetParameter2f(parameter(transform, "shift"), 1.0f, 0.0f);
    cgGLBindProgram(green);
    clear();
    drawQuad();
    expectColor(32, 32, kGreen, "paired with another: yellow x green");
    cgGLBindProgram(transform);
    clear();
    drawQuad();
    expectColor(16, 32, kNothing, "the shift holds: the quad moved right by half the view");
    expectColor(48, 32, {255, 255, 0, 255}, "the colour holds");
    cgGLDisableProfile(vertexProfile);
    clear();
    drawQuad();
    expectColor(16, 32, {255, 255, 0, 255}, "fragment only again");
}

TEST_F(ShaderRuntime, VaryingParametersFeedAVertexProgramFromArrays) {
    CGprogram program = load("attributes_vertex.cg", vertexProfile);
    CGparameter position = parameter(program, "position");
    CGparameter normal = parameter(program, "normal");
    CGparameter tangent = parameter(program, "tangent");
    CGparameter texCoord = parameter(program, "texCoord");
    EXPECT_EQ(cgGLGetParameterAttributeLocation(position), 0) << "no gl_Vertex: position drives the draw";
    std::vector<int> locations = {cgGLGetParameterAttributeLocation(normal), cgGLGetParameterAttributeLocation(tangent),
                                  cgGLGetParameterAttributeLocation(texCoord)};
    for (size_t i = 0; i < locations.size(); ++i) {
        EXPECT_GE(locations[i], 1);
        for (size_t j = 0; j < i; ++j) EXPECT_NE(locations[i], locations[j]);
    }

    // Two triangles covering the left half; the normal array carries the colour.
    const float positions[] = {-1, -1, 0, 0, -1, 0, 0, 1, 0, -1, -1, 0, 0, 1, 0, -1, 1, 0};
    const float normals[] = {1, 0.5f, 0, 1, 0.5f, 0, 1, 0.5f, 0, 1, 0.5f, 0, 1, 0.5f, 0, 1, 0.5f, 0};
    const float zeros[18] = {0};
    for (auto [handle, data, size] : {std::tuple<CGparameter, const float*, int>{position, positions, 3},
                                      {normal, normals, 3}, {tangent, zeros, 3}, {texCoord, zeros, 2}}) {
        cgGLSetParameterPointer(handle, size, GL_FLOAT, 0, data);
        cgGLEnableClientState(handle);
    }
    cgGLBindProgram(program);
    cgGLEnableProfile(vertexProfile);
    clear();
    glDrawArrays(GL_TRIANGLES, 0, 6);
    expectColor(16, 32, {255, 128, 0, 255}, "colour from the normal array");
    expectColor(48, 32, kNothing, "outside the triangles");
    cgGLDisableProfile(vertexProfile);
    for (CGparameter handle : {position, normal, tangent, texCoord}) cgGLDisableClientState(handle);
    GLint enabled = 1;
    glGetVertexAttribiv(static_cast<GLuint>(locations[0]), GL_VERTEX_ATTRIB_ARRAY_ENABLED, &enabled);
    EXPECT_EQ(enabled, 0);

    // A program that reads gl_Vertex and gl_Normal keeps their locations free.
    CGprogram mixed = load("mixed_inputs_vertex.cg", vertexProfile);
    CGparameter weight = parameter(mixed, "weight");
    int location = cgGLGetParameterAttributeLocation(weight);
    EXPECT_NE(location, 0);
    EXPECT_NE(location, 2);
    const float weights[] = {0, 0, 1, 1, 0, 0, 1, 1, 0, 0, 1, 1, 0, 0, 1, 1};
    const float quad[] = {-1, -1, 1, -1, 1, 1, -1, 1};
    cgGLSetParameterPointer(weight, 4, GL_FLOAT, 0, weights);
    cgGLEnableClientState(weight);
    glVertexPointer(2, GL_FLOAT, 0, quad);
    glEnableClientState(GL_VERTEX_ARRAY);
    cgGLBindProgram(mixed);
    cgGLEnableProfile(vertexProfile);
    clear();
    glDrawArrays(GL_QUADS, 0, 4);
    expectColor(32, 32, kBlue, "generic attribute beside gl_Vertex");
    glDisableClientState(GL_VERTEX_ARRAY);
    cgGLDisableClientState(weight);
}

TEST_F(ShaderRuntime, MatricesGivenRowByRowArriveAsTheLayoutRuleSays) {
    CGprogram program = load("matrices_fragment.cg", fragmentProfile);
    CGparameter box = parameter(program, "box");
    CGparameter wide = parameter(program, "wide");
    CGparameter mode = parameter(program, "mode");
    cgGLBindProgram(program);
    cgGLEnableProfile(fragmentProfile);

    // A 2 x 3 matrix row by row, as the melting box is set: mat2x3, box[i] = row i.
    const float rows[6] = {1.0f, 0.0f, 0.5f, 0.0f, 1.0f, 0.25f};
    cgSetMatrixParameterfr(box, rows);
    cgGLSetParameter1f(mode, 0.0f);
    clear();
    drawQuad();
    expectColor(16, 32, {255, 0, 128, 255}, "box[0] is the first row");
    expectColor(48, 32, {0, 255, 64, 255}, "box[1] is the second row");
    // The same matrix column by column gives the same picture.
    const float columns[6] = {1.0f, 0.0f, 0.0f, 1.0f, 0.5f, 0.25f};
    const float zeros[6] = {0, 0, 0, 0, 0, 0};
    cgGLSetMatrixParameterfc(box, zeros);
    cgGLSetMatrixParameterfc(box, columns);
    clear();
    drawQuad();
    expectColor(16, 32, {255, 0, 128, 255}, "column by column, first row");
    expectColor(48, 32, {0, 255, 64, 255}, "column by column, second row");

    // A 3 x 2 matrix row by row: mat3x2, wide[i] = row i (three rows of two). The
    // shader shows components 0 and 1 of all three rows.
    const float tall[6] = {1.0f, 0.0f, 0.5f, 1.0f, 0.0f, 0.25f};
    cgSetMatrixParameterfr(wide, tall);
    cgGLSetParameter1f(mode, 1.0f);
    clear();
    drawQuad();
    expectColor(16, 32, {255, 128, 0, 255}, "first components of the rows");
    expectColor(48, 32, {0, 255, 64, 255}, "second components of the rows");
}

TEST_F(ShaderRuntime, SquareMatricesRowByRowAndColumnByColumnAgree) {
    CGprogram transform = load("transform_vertex.cg", vertexProfile);
    CGparameter modelViewProj = parameter(transform, "modelViewProj");
    cgGLBindProgram(transform);
    cgGLEnableProfile(vertexProfile);
    // Scale x by 0.5 and move left by 0.5: the quad covers the left half.
    const float byColumns[16] = {0.5f, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, -0.5f, 0, 0, 1};
    const float byRows[16] = {0.5f, 0, 0, -0.5f, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
    for (int pass = 0; pass < 2; ++pass) {
        if (pass == 0) cgGLSetMatrixParameterfc(modelViewProj, byColumns);
        else cgSetMatrixParameterfr(modelViewProj, byRows);
        clear();
        drawQuad();
        expectColor(16, 32, kWhite, pass == 0 ? "column by column" : "row by row");
        expectColor(48, 32, kNothing, pass == 0 ? "column by column" : "row by row");
    }
}

TEST_F(ShaderRuntime, OneFileHoldsSeveralEntriesAndArraysOfFloat2AreSetByRange) {
    CGprogram vertex1 = load("multi_entry.cg", vertexProfile, "vertex1");
    CGprogram fragment1 = load("multi_entry.cg", fragmentProfile, "fragment1");
    CGprogram fragment2 = load("multi_entry.cg", fragmentProfile, "fragment2");
    EXPECT_NE(cgGetNamedParameter(vertex1, "lightPos"), nullptr);
    EXPECT_EQ(cgGetNamedParameter(vertex1, "FocusPlane"), nullptr) << "each entry sees only its own part";
    EXPECT_NE(cgGetNamedParameter(fragment1, "NormalTexture"), nullptr);
    CGparameter taps = parameter(fragment2, "FilterTabs");
    CGparameter focus = parameter(fragment2, "FocusPlane");

    float table[24];
    for (int tap = 0; tap < 12; ++tap) {
        table[2 * tap] = tap / 11.0f;
        table[2 * tap + 1] = 1.0f - tap / 11.0f;
    }
    cgGLSetParameterArray2f(taps, 0, 12, table);
    cgGLSetParameter1f(focus, 0.5f);
    // Pass 2's arrangement: the fragment program over fixed-function vertices.
    cgGLBindProgram(fragment2);
    cgGLEnableProfile(fragmentProfile);
    clear();
    drawQuad();
    expectColor(16, 32, {70, 185, 128, 255}, "tap 3 on the left");
    expectColor(48, 32, {255, 0, 128, 255}, "tap 11 on the right");

    // A range from an offset; a range past the end changes nothing.
    const float replacement[4] = {1.0f, 1.0f, 0.0f, 0.0f};
    cgGLSetParameterArray2f(taps, 3, 1, replacement);
    cgGLSetParameterArray2f(taps, 11, 2, replacement + 2);
    clear();
    drawQuad();
    expectColor(16, 32, {255, 255, 128, 255}, "tap 3 replaced");
    expectColor(48, 32, {255, 0, 128, 255}, "tap 11 untouched by the call that ran past the end");
    cgGLSetParameterArray2f(taps, 11, 0, replacement + 2);  // count 0: from the offset to the end
    clear();
    drawQuad();
    expectColor(48, 32, {0, 0, 128, 255}, "tap 11 set by a count of 0");
}

TEST_F(ShaderRuntime, AVertexProgramThatSizesPointsGetsProgramPointSize) {
    CGprogram points = load("points_vertex.cg", vertexProfile);
    cgGLSetParameter1f(parameter(points, "size"), 9.0f);
    cgGLBindProgram(points);
    EXPECT_FALSE(glIsEnabled(GL_VERTEX_PROGRAM_POINT_SIZE));
    cgGLEnableProfile(vertexProfile);
    EXPECT_TRUE(glIsEnabled(GL_VERTEX_PROGRAM_POINT_SIZE));
    clear();
    glBegin(GL_POINTS);
    glVertex2f(0.0f, 0.0f);
    glEnd();
    Bytes pixels = gl.readPixels(0, 0, kSize, kSize);
    EXPECT_EQ(countPixels(pixels, [](const unsigned char* p) { return p[0] > 128; }), 81) << "a 9 x 9 point";
    cgGLDisableProfile(vertexProfile);
    EXPECT_FALSE(glIsEnabled(GL_VERTEX_PROGRAM_POINT_SIZE));
}

TEST_F(ShaderRuntime, DestroyingAContextFreesItsProgramsAndUnbindsThem) {
    CGcontext other = cgCreateContext();
    CGprogram solid = cgCreateProgramFromFile(other, CG_SOURCE, shaderPath("solid_fragment.cg").c_str(),
                                              fragmentProfile, "main", nullptr);
    ASSERT_NE(solid, nullptr);
    CGparameter color = cgGetNamedParameter(solid, "color");
    cgGLSetParameter4f(color, 1.0f, 0.0f, 0.0f, 1.0f);
    cgGLBindProgram(solid);
    cgGLEnableProfile(fragmentProfile);
    EXPECT_NE(glInteger(GL_CURRENT_PROGRAM), 0);
    cgDestroyContext(other);
    EXPECT_FALSE(cgIsContext(other));
    EXPECT_FALSE(cgIsProgram(solid));
    EXPECT_FALSE(cgIsParameter(color));
    EXPECT_EQ(glInteger(GL_CURRENT_PROGRAM), 0);
    cgGLSetParameter4f(color, 0.0f, 1.0f, 0.0f, 1.0f);  // a stale handle does nothing
    clear();
    drawQuad();
    expectColor(32, 32, kWhite, "fixed function once the bound program is gone");
}

// A program outlives the GL context it was made in (an effect whose context is
// never destroyed): in the next GL context it acts as a null program.
TEST(ShaderRuntimeContexts, ProgramsOfAGoneGLContextActAsNull) {
    auto first = std::make_unique<GlTestContext>(kSize, kSize);
    ASSERT_TRUE(first->ok());
    CGcontext context = cgCreateContext();
    CGprogram old = cgCreateProgramFromFile(context, CG_SOURCE, shaderPath("solid_fragment.cg").c_str(),
                                            CG_PROFILE_GLSLF, "main", nullptr);
    ASSERT_NE(old, nullptr);
    cgGLBindProgram(old);
    cgGLEnableProfile(CG_PROFILE_GLSLF);
    first.reset();

    GlTestContext second(kSize, kSize);
    ASSERT_TRUE(second.ok());
    glViewport(0, 0, kSize, kSize);
    cgGLBindProgram(old);
    cgGLEnableProfile(CG_PROFILE_GLSLF);
    EXPECT_EQ(glInteger(GL_CURRENT_PROGRAM), 0) << "nothing of the old context is used";
    CGprogram fresh = cgCreateProgramFromFile(context, CG_SOURCE, shaderPath("solid_fragment.cg").c_str(),
                                              CG_PROFILE_GLSLF, "main", nullptr);
    ASSERT_NE(fresh, nullptr);
    cgGLSetParameter4f(cgGetNamedParameter(fresh, "color"), 0.0f, 1.0f, 0.0f, 1.0f);
    cgGLBindProgram(fresh);
    glClearColor(0, 0, 0, 0);
    glClear(GL_COLOR_BUFFER_BIT);
    glColor4f(1, 1, 1, 1);
    glRectf(-1, -1, 1, 1);
    Bytes pixel = second.readPixels(32, 32, 1, 1);
    EXPECT_EQ(pixel, kGreen);
    cgGLDisableProfile(CG_PROFILE_GLSLF);
    cgDestroyContext(context);  // deletes only what lives in this GL context
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

}  // namespace
