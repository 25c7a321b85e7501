#include "scenes/outdoor/snowfall_effect.h"

#include <GL/glew.h>

#include "platform/clock/timer.h"

SnowfallEffect::SnowfallEffect(int flakeCount, Timer* timer_, const Vec3& emitCorner1, const Vec3& emitCorner2,
                               const char* windPathFile, bool driftWithWind_, const Vec3& meltCorner1,
                               const Vec3& meltCorner2, const char* vertexProgramFile,
                               const char* fragmentProgramFile, const char* textureFile)
    : ParticleSystem(flakeCount, timer_, emitCorner1, emitCorner2, windPathFile, driftWithWind_) {
    texturePath = textureFile;
    image = new TgaImage;
    // A file that cannot be read has shown its message; the flakes go untextured.
    if (loadTga(image, texturePath)) createMipmappedTexture(image);

    vertexProgramPath = vertexProgramFile;
    fragmentProgramPath = fragmentProgramFile;

    meltingBox = new Vec3[2];
    meltingBox[0] = meltCorner1;
    meltingBox[1] = meltCorner2;
}

SnowfallEffect::~SnowfallEffect() {
    releasePixels(*image);
    delete image;
    image = nullptr;
    delete[] meltingBox;
    meltingBox = nullptr;
}

bool SnowfallEffect::initShaders() {
    shaders.createContext();
    shaders.selectProfiles();
    shaders.createVertexProgram(vertexProgramPath, "main");
    shaders.createFragmentProgram(fragmentProgramPath, "main");
    shaders.loadVertexProgram();
    shaders.loadFragmentProgram();

    timeParam = shaders.vertexParameter("time");
    modelViewParam = shaders.vertexParameter("modelView");
    modelViewProjParam = shaders.vertexParameter("modelViewProj");
    windParam = shaders.vertexParameter("wind");
    meltingBoxParam = shaders.vertexParameter("meltingBox");

    // Two rows of three: one corner per row, in the order given (not sorted).
    const float box[6] = {meltingBox[0].x, meltingBox[0].y, meltingBox[0].z,
                          meltingBox[1].x, meltingBox[1].y, meltingBox[1].z};
    cgSetMatrixParameterfr(meltingBoxParam, box);

    colorParam = shaders.fragmentParameter("color");
    cgGLSetParameter4f(colorParam, 1.0f, 1.0f, 1.0f, 1.0f);
    return true;
}

bool SnowfallEffect::render() {
    updateWind();
    cgGLSetParameter3f(windParam, wind.x, wind.y, wind.z);
    respawnExpired();

    // The flake texture goes to unit 0, where the fragment program samples it.
    glActiveTextureARB(GL_TEXTURE0_ARB);
    glEnable(GL_TEXTURE_2D);
    glEnable(GL_POINT_SPRITE_ARB);
    glTexEnvi(GL_POINT_SPRITE_ARB, GL_COORD_REPLACE_ARB, GL_TRUE);
    glEnable(GL_VERTEX_PROGRAM_POINT_SIZE_ARB);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE);
    glEnable(GL_BLEND);
    glDisable(GL_DEPTH_TEST);
    glEnable(GL_ALPHA_TEST);
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, image->textureId);

    shaders.bind();
    shaders.enableProfiles();
    cgGLSetStateMatrixParameter(modelViewParam, CG_GL_MODELVIEW_MATRIX, CG_GL_MATRIX_IDENTITY);
    cgGLSetStateMatrixParameter(modelViewProjParam, CG_GL_MODELVIEW_PROJECTION_MATRIX, CG_GL_MATRIX_IDENTITY);
    cgGLSetParameter1f(timeParam, static_cast<float>(timer->total()));

    glEnableClientState(GL_VERTEX_ARRAY);
    glVertexPointer(3, GL_FLOAT, 0, positions);
    glClientActiveTextureARB(GL_TEXTURE0_ARB);
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    glTexCoordPointer(4, GL_FLOAT, 0, lifeData);
    glClientActiveTextureARB(GL_TEXTURE1_ARB);
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    glTexCoordPointer(4, GL_FLOAT, 0, windData);

    // Without its vertex program a flake has no place but its emission point and
    // would hang there from the first frame on: then the snow is not drawn at all.
    if (shaders.vertexProgram) glDrawArrays(GL_POINTS, 0, count);

    glDisableClientState(GL_VERTEX_ARRAY);
    glClientActiveTextureARB(GL_TEXTURE1_ARB);
    glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    glClientActiveTextureARB(GL_TEXTURE0_ARB);
    glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    shaders.disableProfiles();
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_POINT_SPRITE_ARB);
    glDisable(GL_VERTEX_PROGRAM_POINT_SIZE_ARB);
    glTexEnvi(GL_POINT_SPRITE_ARB, GL_COORD_REPLACE_ARB, GL_FALSE);
    glDisable(GL_BLEND);
    glEnable(GL_DEPTH_TEST);
    glDisable(GL_ALPHA_TEST);
    return true;
}

bool SnowfallEffect::cleanup() { return true; }
