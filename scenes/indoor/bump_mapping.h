// The indoor scene: the compiled-in pipe installation, bump-mapped under a light
// that moves along a path, rendered into an off-screen buffer and shown through a
// depth-of-field filter whose focus distance follows its own path. It lasts as
// long as its camera path and plays "./sound/beast.mp3".
#pragma once

#include <GL/glew.h>

#include "assets/shader_program.h"
#include "assets/tga_image.h"
#include "shell/scene.h"

class Spline;

class BumpMapping : public Scene {
public:
    BumpMapping(InputControl* input, FMOD::System* fmodSystem);
    ~BumpMapping() override = default;

    bool init() override;
    bool cleanup() override;
    bool render() override;

    // The scene's length: the camera path's end time, or a fixed length without one.
    float endTime() const;

    // The frame's two passes, as render() runs them after the camera is applied.
    // Pass 1: the lit model, seen through the current GL matrices with the light at
    // `light`, into the off-screen buffer (colour, view depth in alpha). Leaves
    // culling and depth testing on, framebuffer 0 bound, the vertex profile off.
    void drawModel(const float light[3]);
    // Pass 1 in its steps: set up the lighting programs and clear the off-screen
    // buffer; draw triangles of the bound vertex arrays with a texture pair; go
    // back to framebuffer 0.
    void beginModelPass(const float light[3]);
    void drawPart(GLuint diffuse, GLuint normalMap, int firstTriangle, int triangleCount);
    void endModelPass();

    // A 1 x 1 texture of one colour with nearest filtering: the stand-in for a part
    // whose texture file failed (neutral grey, or a flat normal map).
    static GLuint makeSolidTexture(unsigned char r, unsigned char g, unsigned char b, unsigned char a = 255);
    // Pass 2: colorTexture through the depth-of-field filter focused at `focus`, as
    // one full-screen quad into the bound framebuffer. Leaves identity modelview, an
    // orthographic -1..1 projection, texturing off, depth testing, lighting and
    // culling on.
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
    void startMusic();
    // The texture a part is drawn with: its own, or a neutral stand-in where its file failed.
    GLuint materialTexture(int entry) const;

    GLuint neutralDiffuse = 0;
    GLuint flatNormal = 0;
};
