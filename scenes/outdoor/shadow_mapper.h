// Shadows from a fixed light through a depth map. Once per frame the scenery is
// drawn from the light into the depth texture of a 1024 x 768 render target (the
// shadow pass, beginPass/endPass); later the main view binds the shadow programs
// (bind/unbind) and draws the scenery again: they texture it from unit 0, light it
// with a low sun and a cool sky, and darken what the depth map hides from the
// light. The water reads the same depth texture and texture matrix.
//
// GL state left behind:
// - beginPass: colour writes off (the map needs depth only) and, where it
//   compiled, the caster program bound with the fragment profile enabled, so the
//   scenery drawn into the map is not textured.
// - endPass: as RenderTarget::endCapture leaves it (framebuffer 0, the earlier
//   viewport, window cleared, depth test on with GL_LESS, culling off, projection
//   identity, modelview holding the light's view); colour writes on and the
//   fragment profile disabled again. The bound fragment program is then this
//   mapper's own receiving program, as bind() leaves it.
// - bind: both shadow programs bound and their profiles enabled; the depth texture
//   bound on the "shadowMap" sampler's own unit (never unit 0). The active texture
//   unit and unit 0 are untouched.
// - beginDepthPrepass: colour writes off, polygon offset (1, 4) on for filled
//   polygons, the receiving vertex program and the caster program bound with both
//   profiles enabled.
// - endDepthPrepass: colour writes on, polygon offset off and back to (0, 0), both
//   profiles disabled. The depth function is untouched (GL_LESS): the receiving
//   pass keeps the frontmost fragment as without the pre-pass, and fragments
//   hidden by more than the offset fail before they are shaded.
// - unbind: both profiles disabled; the depth texture stays bound on its unit.
// Where either program failed to compile, bind neither binds nor enables anything
// (the scenery then draws with fixed function) and unbind leaves both profiles
// disabled.
#pragma once

#include "assets/render_target.h"
#include "assets/shader_program.h"
#include "math/matrix4.h"
#include "math/vec3.h"

class ShadowMapper {
public:
    static constexpr int mapWidth = 1024;
    static constexpr int mapHeight = 768;
    static constexpr const char* vertexProgramFile = "./Cg/Shadow_vertex.cg";
    static constexpr const char* fragmentProgramFile = "./Cg/Shadow_fragment.cg";
    // Replaces texturing while the casters are drawn into the map; without it the
    // shadow pass textures them with fixed function (same depth, more work).
    static constexpr const char* casterProgramFile = "./Cg/ShadowCaster_fragment.cg";

    ShadowMapper();
    // Destroys the own Cg context (and its programs), then releases the target.
    ~ShadowMapper();
    ShadowMapper(const ShadowMapper&) = delete;
    ShadowMapper& operator=(const ShadowMapper&) = delete;

    void setLightPosition(float x, float y, float z);
    // The shadow pass: draws go into the depth map, seen from lightPosition towards
    // the origin.
    void beginPass();
    void endPass();
    // The receiving pass's depth first: between the two calls the scenery is drawn
    // into the depth buffer only, through the same vertex program and pushed back
    // a few depth steps, so that the expensive receiving program then runs about
    // once per pixel instead of once per layer. False (and nothing changed) where
    // a program is missing: the caller then skips the draw.
    bool beginDepthPrepass();
    void endDepthPrepass();
    // The receiving pass, after the main camera is applied.
    void bind();
    void unbind();

    // textureBias x P x M of the last shadow pass, as of the last bind(); the
    // identity before the first bind().
    Matrix4 getTextureMatrix() const { return textureMatrix; }
    unsigned getShadowTexture() const { return renderTarget ? renderTarget->depthTexture : 0u; }
    // Whether both programs compiled, so bind() draws through them.
    bool hasPrograms() const { return shader.vertexProgram && shader.fragmentProgram; }

    RenderTarget* renderTarget = nullptr;
    ShaderProgram shader;  // own context, profiles, programs
    CGparameter modelViewProjParam = nullptr;     // vertex: "ModelViewProj"
    CGparameter textureTransformParam = nullptr;  // fragment: "textureTransform"
    CGparameter shadowMapParam = nullptr;         // fragment: "shadowMap"
    CGprogram casterProgram = nullptr;            // fragment program of the shadow pass
    Vec3 lightPosition;
    Matrix4 textureMatrix;
};
