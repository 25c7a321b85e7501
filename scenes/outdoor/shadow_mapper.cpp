#include "scenes/outdoor/shadow_mapper.h"

#include <GL/glew.h>

ShadowMapper::ShadowMapper() {
    textureMatrix = Matrix4();
    renderTarget = new RenderTarget(mapWidth, mapHeight);

    shader.createContext();
    shader.selectProfiles();
    shader.createVertexProgram(vertexProgramFile);
    shader.createFragmentProgram(fragmentProgramFile);
    shader.reportMissingPrograms("Warning");
    shader.loadFragmentProgram();
    shader.loadVertexProgram();

    modelViewProjParam = shader.vertexParameter("ModelViewProj");
    textureTransformParam = shader.fragmentParameter("textureTransform");
    shadowMapParam = shader.fragmentParameter("shadowMap");

    // Silent when missing: the shadow pass then draws with fixed function.
    casterProgram = shader.createProgram(shader.fragmentProfile, casterProgramFile, "main");
    cgGLLoadProgram(casterProgram);

    lightPosition.set(-20.0f, 25.0f, 40.0f);
}

ShadowMapper::~ShadowMapper() {
    shader.destroyContext();
    if (renderTarget) {
        renderTarget->release();
        delete renderTarget;
        renderTarget = nullptr;
    }
}

void ShadowMapper::setLightPosition(float x, float y, float z) { lightPosition.set(x, y, z); }

void ShadowMapper::beginPass() {
    renderTarget->beginCapture(lightPosition, Vec3(0.0f, 0.0f, 0.0f), Vec3(0.0f, 1.0f, 0.0f));
    // Only depth is read from the map: no colour writes, and the caster program
    // instead of fixed-function texturing, which the renderer would otherwise run
    // for every covered pixel of every layer the light sees.
    glColorMask(GL_FALSE, GL_FALSE, GL_FALSE, GL_FALSE);
    if (casterProgram) {
        cgGLBindProgram(casterProgram);
        cgGLEnableProfile(shader.fragmentProfile);
    }
}

void ShadowMapper::endPass() {
    if (casterProgram) {
        cgGLDisableProfile(shader.fragmentProfile);
        // An effect whose own fragment program is missing runs whatever program is
        // bound; leave it the receiving program that bind() binds anyway.
        cgGLBindProgram(shader.fragmentProgram);
    }
    // Before the capture's end clears the window, which needs colour writes.
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    renderTarget->endCapture();
}

bool ShadowMapper::beginDepthPrepass() {
    if (!hasPrograms() || !casterProgram) return false;
    glColorMask(GL_FALSE, GL_FALSE, GL_FALSE, GL_FALSE);
    // The depths laid down here sit a few steps behind the surfaces: the renderer
    // may compute a pixel's depth a step differently for another fragment program,
    // and the receiving pass must never fail on its own nearest surface.
    glEnable(GL_POLYGON_OFFSET_FILL);
    glPolygonOffset(1.0f, 4.0f);
    cgGLBindProgram(shader.vertexProgram);
    cgGLBindProgram(casterProgram);
    shader.enableProfiles();
    cgGLSetStateMatrixParameter(modelViewProjParam, CG_GL_MODELVIEW_PROJECTION_MATRIX, CG_GL_MATRIX_IDENTITY);
    return true;
}

void ShadowMapper::endDepthPrepass() {
    shader.disableProfiles();
    cgGLBindProgram(shader.fragmentProgram);  // as endPass leaves it
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    glPolygonOffset(0.0f, 0.0f);
    glDisable(GL_POLYGON_OFFSET_FILL);
}

void ShadowMapper::bind() {
    // With a program missing, enabling the profiles would run whatever program
    // another effect left bound for that stage; the scenery draws with fixed
    // function instead.
    const bool programs = hasPrograms();
    if (programs) {
        shader.bind();
        shader.enableProfiles();
        cgGLSetStateMatrixParameter(modelViewProjParam, CG_GL_MODELVIEW_PROJECTION_MATRIX, CG_GL_MATRIX_IDENTITY);
    }
    // The water reads the matrix whether or not the scenery's programs exist.
    textureMatrix = textureBias * renderTarget->projectionMatrix;
    textureMatrix = textureMatrix * renderTarget->modelviewMatrix;
    if (programs) {
        cgGLSetMatrixParameterfc(textureTransformParam, textureMatrix.m);
        cgGLSetTextureParameter(shadowMapParam, renderTarget->depthTexture);
        cgGLEnableTextureParameter(shadowMapParam);
    }
}

void ShadowMapper::unbind() {
    cgGLDisableProfile(shader.vertexProfile);
    cgGLDisableProfile(shader.fragmentProfile);
}
