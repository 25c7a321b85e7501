// The indoor scene: the compiled-in pipe installation, bump-mapped under a light
// that moves along a path, rendered into an off-screen buffer and shown through a
// depth-of-field filter whose focus distance follows its own path. It lasts as
// long as its camera path and plays "./sound/beast.mp3".
//
// Where "./Cg/dofbump.cg" is missing or does not compile, the set is still shown:
// without "vertex1" or "fragment1" the model is drawn textured and unlit by fixed
// function and the picture shown unfiltered; without "fragment2" alone the lit
// picture is shown unfiltered.
//
// GL state after a frame: framebuffer 0; GL_TEXTURE_2D off; depth test, lighting
// and back-face culling on; projection and modelview matrices as the full-screen
// quad left them (identity and an orthographic -1..1 box); unit 0's texture
// environment GL_REPLACE with the picture's texture bound. The fragment profile
// stays enabled with "fragment2" bound, except in the fixed-function fallback.
#pragma once

#include <GL/glew.h>

#include "assets/shader_program.h"
#include "assets/tga_image.h"
#include "shell/scene.h"

class Spline;

class BumpMapping : public Scene {
public:
    BumpMapping(InputControl* input, FMOD::System* fmodSystem);
    // Gives back what `cleanup` would have where the demo ended inside the scene
    // (Escape, a closed window) and `cleanup` never ran.
    ~BumpMapping() override;

    bool init() override;
    bool cleanup() override;
    bool render() override;

    // The scene's length: the camera path's end time, or a fixed length without one.
    float endTime() const;
    // Whether "vertex1" and "fragment1" compiled; without them both passes are drawn
    // by fixed function: the model textured and unlit, the picture unfiltered.
    bool hasLightingPrograms() const;

    // The frame's two passes, as render() runs them after the camera is applied.
    // Pass 1: the lit model, seen through the current GL matrices with the light at
    // `light`, into the off-screen buffer (colour, view depth in alpha); without the
    // lighting programs, textured and unlit. Leaves culling and depth testing on,
    // framebuffer 0 bound, the vertex profile off.
    void drawModel(const float light[3]);
    // Pass 1 in its steps: set up the lighting programs and clear the off-screen
    // buffer; draw triangles of the bound vertex arrays with a texture pair; go
    // back to framebuffer 0.
    void beginModelPass(const float light[3]);
    void drawPart(GLuint diffuse, GLuint normalMap, int firstTriangle, int triangleCount);
    void endModelPass();

    // Pass 2: colorTexture through the depth-of-field filter focused at `focus`, as
    // one full-screen quad into the bound framebuffer; without the filter (or the
    // lighting programs, which write the depth it needs), the picture as it is with
    // an opaque alpha. Leaves identity modelview, an orthographic -1..1 projection,
    // texturing off, depth testing, lighting and culling on.
    void drawDepthOfField(float focus);

    // Entries "vertex1" (vertex) and "fragment1" (the lit model) in the shell's context;
    // the depth-of-field pass pairs "fragment2" with fixed-function vertices.
    ShaderProgram lighting;
    CGprogram dofFragmentProgram = nullptr;
    CGparameter positionParameter = nullptr;
    CGparameter texCoordParameter = nullptr;
    CGparameter normalParameter = nullptr;
    CGparameter tangentParameter = nullptr;
    CGparameter baseTextureParameter = nullptr;
    CGparameter normalTextureParameter = nullptr;
    CGparameter lightPosParameter = nullptr;
    CGparameter modelViewParameter = nullptr;
    CGparameter projectionParameter = nullptr;
    CGparameter focusPlaneParameter = nullptr;
    CGparameter filterTapsParameter = nullptr;
    CGparameter dofBaseTextureParameter = nullptr;
    CGparameter dofNormalTextureParameter = nullptr;
    GLuint frameBuffer = 0;
    GLuint colorTexture = 0;
    GLuint depthRenderbuffer = 0;
    int filterTapCount = 0;
    float* filterTaps = nullptr;
    TgaImage* materialImages = nullptr;
    Spline* lightPath = nullptr;
    Spline* focusPath = nullptr;

private:
    void loadMaterials();
    void createOffscreenBuffer();
    // The texture a part is drawn with: its own, or a neutral stand-in where its file failed.
    GLuint materialTexture(int entry) const;
    // The depth, culling and clear state both forms of pass 1 start from.
    void applyModelPassState();
    // Pass 1 without the lighting programs: the model with its diffuse textures, unlit.
    void drawPlainModel();
    // The scene's own memory: material records, light and focus paths, filter taps.
    void releaseMemory();

    GLuint neutralDiffuse = 0;
    GLuint flatNormal = 0;
};
