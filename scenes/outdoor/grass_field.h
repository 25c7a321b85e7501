// The grass of the outdoor scene: blades standing on a square patch of ground
// centred on the origin, placed once from a position image and a wind image (see
// grass_placement.h), kept in five static buffer objects and drawn in one call.
// A vertex program grows the blades out of the ground after `growthStart` and
// sways them in the wind; a fragment program shades them from the blade texture,
// and the alpha test cuts each blade out.
//
// Life: construct (arrays filled, blade texture uploaded) -> setUp (programs
// compiled, arrays copied into buffer objects) -> render every frame ->
// releaseImages -> destroy.
//
// GL state after render: GL_CULL_FACE and GL_ALPHA_TEST disabled, GL_TEXTURE_2D
// disabled, texture unit 0 active with the blade texture (or the plain stand-in)
// left bound, no array or element buffer bound, vertex and texture-coordinate arrays of
// client units 0 to 2 disabled, client unit GL_TEXTURE0 active, both grass profiles
// disabled. Face culling stays off for whatever draws next.
#pragma once

#include <GL/glew.h>

#include <cstdint>

#include "assets/shader_program.h"
#include "assets/tga_image.h"

class Timer;

class GrassField {
public:
    // `bladeCount` blades (clamped to 0..grassMaxBladeCount so that indices stay
    // 16-bit), growing for `growthSpan` seconds; program files and image paths
    // relative to the working directory; `fieldSize` world units wide; `timer` is
    // the scene's clock (not owned). A missing or unusable position or wind image
    // places no blade, and the field then draws nothing.
    GrassField(int bladeCount, float growthSpan, const char* vertexProgramFile, const char* fragmentProgramFile,
               const char* colorTexturePath, const char* positionImagePath, const char* windImagePath,
               float fieldSize, Timer* timer);
    ~GrassField();
    GrassField(const GrassField&) = delete;
    GrassField& operator=(const GrassField&) = delete;

    // Compiles the two programs in a context of the field's own (showing "Kein Vertex
    // Shader" / "Kein Fragment Shader" with the caption "So a Schaß" for a missing
    // one), looks up the parameters, sets "scale" and fills the buffer objects.
    bool setUp();
    // Draws all blades with the current matrices, at the timer's scene time.
    bool render();
    // Frees the three images and clears their pointers (the texture name stays).
    bool releaseImages();

    // Whether construction placed the blades; without them nothing is drawn.
    bool hasBlades() const { return bladesPlaced; }

    TgaImage* positionImage = nullptr;
    TgaImage* windImage = nullptr;
    ShaderProgram shader;
    CGparameter modelViewProjParam = nullptr;
    CGparameter growingTimeParam = nullptr;
    CGparameter windTimeParam = nullptr;
    CGparameter scaleParam = nullptr;
    const char* vertexProgramFile = nullptr;
    const char* fragmentProgramFile = nullptr;
    const char* colorTexturePath = nullptr;
    TgaImage* colorTexture = nullptr;
    float* positions = nullptr;
    float* texCoords = nullptr;
    float* offsets = nullptr;
    float* windDirections = nullptr;
    float growthSpan = 0.0f;
    float growthStart = 0.0f;
    uint16_t* indices = nullptr;
    float fieldSize = 0.0f;
    GLuint positionBuffer = 0;
    GLuint texCoordBuffer = 0;
    GLuint offsetBuffer = 0;
    GLuint indexBuffer = 0;
    GLuint windBuffer = 0;
    int verticesPerBlade = 0;
    int bladeCount = 0;
    int positionFloatCount = 0;
    int texCoordFloatCount = 0;
    int offsetFloatCount = 0;
    int windFloatCount = 0;
    int indexCount = 0;
    Timer* timer = nullptr;

private:
    GLuint uploadBuffer(GLenum target, const void* data, size_t bytes);
    // The texture the blades are drawn with: the blade texture, or, where its file
    // could not be loaded, a plain grass-green texel, so that blades never sample
    // an empty texture (which reads black).
    GLuint bladeTexture() const;

    bool bladesPlaced = false;
    GLuint plainTexture = 0;
};
