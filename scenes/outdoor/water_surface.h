// The pool: a 60 x 60 square in the plane y = 0 centred on the origin, drawn by the
// water programs from two pictures captured earlier in the frame (the reflection,
// from the camera mirrored in the water; the refraction, from the camera itself,
// below the water) and the shadow map. Each water point looks up the place where it
// was drawn in each picture through that picture's own view-projection.
//
// Per frame, in this order: camera.apply(); beginReflection(), draw what the water
// reflects, endReflection(); beginRefraction(), draw what lies under the water,
// endRefraction(); the main view with camera.apply() and, among its draws, render().
// Every capture ends by clearing the window.
//
// GL state left behind:
// - begin/end of either capture: as RenderTarget's clipped capture leaves it
//   (framebuffer 0, the earlier viewport, window cleared, depth test on with
//   GL_LESS, culling off, clip plane 0 off, projection identity, modelview holding
//   the capture's view).
// - render: both water profiles disabled; the water programs stay bound; the
//   reflection, refraction and shadow textures stay bound on their samplers' own
//   units (never unit 0); the active texture unit, unit 0 and the current colour
//   are untouched.
// - render without both programs (a file missing or broken): the quad is drawn
//   with fixed function instead, the refraction picture with the reflection
//   blended over it; afterwards texture 0 is bound on unit 0 with GL_TEXTURE_2D
//   enabled and GL_MODULATE, blending is off, the depth function is GL_LESS, the
//   colour is white and the active texture unit is unit 0. No profile is enabled.
#pragma once

#include "assets/shader_program.h"
#include "math/matrix4.h"
#include "scenes/outdoor/reflection_target.h"
#include "scenes/outdoor/refraction_target.h"

class ShadowMapper;
class SplineCamera;
class Timer;

class WaterSurface {
public:
    static constexpr float halfSize = 30.0f;
    static constexpr const char* vertexProgramFile = "./Cg/Water_vertex.cg";
    static constexpr const char* fragmentProgramFile = "./Cg/Water_fragment.cg";

    // The water plane a x + b y + c z + d = 0 gives the clip planes and the normal;
    // the quad itself always lies in y = 0.
    WaterSurface(SplineCamera* camera, float a, float b, float c, float d, ShadowMapper* shadowMapper);
    // Releases both targets; also frees the clock and the own Cg context.
    ~WaterSurface();
    WaterSurface(const WaterSurface&) = delete;
    WaterSurface& operator=(const WaterSurface&) = delete;

    void beginReflection() { reflection->begin(); }
    void endReflection() { reflection->end(); }
    void beginRefraction() { refraction->begin(); }
    void endRefraction() { refraction->end(); }
    void render();

    // textureBias x projection x modelview of a target's last capture: maps a world
    // point to where it was drawn in the target's picture (divide by q).
    static Matrix4 pictureProjection(const RenderTarget& target);
    bool hasPrograms() const { return shader.vertexProgram && shader.fragmentProgram; }

    ShaderProgram shader;  // own context, profiles, programs
    CGparameter mvpParam = nullptr;
    CGparameter texProjParam = nullptr;       // "Mtexproj": into the reflection picture
    CGparameter refractProjParam = nullptr;   // "MRefractProj": into the refraction picture
    CGparameter reflectMapParam = nullptr;
    CGparameter refractMapParam = nullptr;
    CGparameter shadowMapParam = nullptr;
    CGparameter normalParam = nullptr;
    CGparameter eyeParam = nullptr;
    CGparameter textureTransformParam = nullptr;
    CGparameter timeParam = nullptr;
    ReflectionTarget* reflection = nullptr;
    RefractionTarget* refraction = nullptr;
    ShadowMapper* shadowMapper;  // not owned
    SplineCamera* camera;        // not owned
    Timer* timer = nullptr;
    float plane[4];

private:
    void drawQuad() const;
    void renderWithoutPrograms(const Matrix4& reflect, const Matrix4& refract) const;
};
