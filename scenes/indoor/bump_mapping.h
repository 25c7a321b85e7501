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
