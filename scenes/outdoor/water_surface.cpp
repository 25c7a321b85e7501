#include "scenes/outdoor/water_surface.h"

#include <GL/glew.h>

#include "math/spline_camera.h"
#include "platform/clock/timer.h"
#include "scenes/outdoor/shadow_mapper.h"

namespace {

// The quad's corners with their texture coordinates, counter-clockwise seen from
// above: s runs from 1 at z = -30 to 0 at z = 30, t from 0 at x = -30 to 1 at x = 30.
struct Corner {
    float s, t, x, z;
};
constexpr float h = WaterSurface::halfSize;
constexpr Corner corners[4] = {{1, 0, -h, -h}, {0, 0, -h, h}, {0, 1, h, h}, {1, 1, h, -h}};

// Where the programs are missing: how much of the reflection shows over the
// refraction, and the cold tint both are drawn with.
constexpr float plainReflectionShare = 0.35f;
constexpr float plainTint[3] = {0.72f, 0.86f, 0.92f};

}  // namespace

WaterSurface::WaterSurface(SplineCamera* camera_, float a, float b, float c, float d, ShadowMapper* shadowMapper_)
    : shadowMapper(shadowMapper_), camera(camera_), plane{a, b, c, d} {
    reflection = new ReflectionTarget(camera, a, b, c, d);
    refraction = new RefractionTarget(camera, a, b, c, d);
    timer = new Timer();
    timer->reset();

    shader.createContext();
    shader.selectProfiles();
    shader.createVertexProgram(vertexProgramFile);
    shader.createFragmentProgram(fragmentProgramFile);
    shader.reportMissingPrograms("Warning");
    shader.loadFragmentProgram();
    shader.loadVertexProgram();

    mvpParam = shader.vertexParameter("Mvp");
    texProjParam = shader.fragmentParameter("Mtexproj");
    refractProjParam = shader.fragmentParameter("MRefractProj");
    reflectMapParam = shader.fragmentParameter("ReflectMap");
    refractMapParam = shader.fragmentParameter("RefractMap");
    shadowMapParam = shader.fragmentParameter("ShadowMap");
    normalParam = shader.fragmentParameter("normal");
    eyeParam = shader.fragmentParameter("eye");
    textureTransformParam = shader.fragmentParameter("textureTransform");
    timeParam = shader.fragmentParameter("time");

    cgGLSetParameter3f(normalParam, a, b, c);
}

WaterSurface::~WaterSurface() {
    if (reflection) {
        reflection->release();
        delete reflection;
        reflection = nullptr;
    }
    if (refraction) {
        refraction->release();
        delete refraction;
        refraction = nullptr;
    }
    delete timer;
    timer = nullptr;
    shader.destroyContext();
}

Matrix4 WaterSurface::pictureProjection(const RenderTarget& target) {
    return textureBias * target.projectionMatrix * target.modelviewMatrix;
}

void WaterSurface::drawQuad() const {
    glBegin(GL_QUADS);
    for (const Corner& corner : corners) {
        glTexCoord2f(corner.s, corner.t);
        glVertex3f(corner.x, 0.0f, corner.z);
    }
    glEnd();
}

void WaterSurface::render() {
    const Matrix4 reflect = pictureProjection(*reflection);
    const Matrix4 refract = pictureProjection(*refraction);
    if (!hasPrograms()) {
        // Enabling the profiles now would run whatever another effect left bound.
        timer->update();
        renderWithoutPrograms(reflect, refract);
        return;
    }

    shader.bind();
    shader.enableProfiles();
    cgGLSetStateMatrixParameter(mvpParam, CG_GL_MODELVIEW_PROJECTION_MATRIX, CG_GL_MATRIX_IDENTITY);
    cgGLSetMatrixParameterfc(texProjParam, reflect.m);
    cgGLSetMatrixParameterfc(refractProjParam, refract.m);
    cgGLSetTextureParameter(reflectMapParam, reflection->colorTexture);
    cgGLSetTextureParameter(refractMapParam, refraction->colorTexture);
    cgGLSetTextureParameter(shadowMapParam, shadowMapper ? shadowMapper->getShadowTexture() : 0u);
    cgGLEnableTextureParameter(reflectMapParam);
    cgGLEnableTextureParameter(refractMapParam);
    cgGLEnableTextureParameter(shadowMapParam);
    const Vec3 p = camera->position;
    cgGLSetParameter3f(eyeParam, p.x, p.y, p.z);
    const Matrix4 shadowMatrix = shadowMapper ? shadowMapper->getTextureMatrix() : Matrix4();
    cgGLSetMatrixParameterfc(textureTransformParam, shadowMatrix.m);
    timer->update();
    cgGLSetParameter1f(timeParam, static_cast<float>(timer->total()));

    drawQuad();
    shader.disableProfiles();
}

// Fixed function: each corner carries its place in the picture as projective
// texture coordinates (s, t, 0, q), so the pictures stay put under perspective.
void WaterSurface::renderWithoutPrograms(const Matrix4& reflect, const Matrix4& refract) const {
    const auto drawPicture = [](unsigned texture, const Matrix4& projection, float alpha) {
        glBindTexture(GL_TEXTURE_2D, texture);
        glColor4f(plainTint[0], plainTint[1], plainTint[2], alpha);
        glBegin(GL_QUADS);
        for (const Corner& corner : corners) {
            const float* m = projection.m;
            const float s = m[0] * corner.x + m[8] * corner.z + m[12];
            const float t = m[1] * corner.x + m[9] * corner.z + m[13];
            const float q = m[3] * corner.x + m[11] * corner.z + m[15];
            glTexCoord4f(s, t, 0.0f, q);
            glVertex3f(corner.x, 0.0f, corner.z);
        }
        glEnd();
    };
    glActiveTexture(GL_TEXTURE0);
    glEnable(GL_TEXTURE_2D);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    drawPicture(refraction->colorTexture, refract, 1.0f);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glDepthFunc(GL_LEQUAL);
    drawPicture(reflection->colorTexture, reflect, plainReflectionShare);
    glDepthFunc(GL_LESS);
    glDisable(GL_BLEND);
    glBindTexture(GL_TEXTURE_2D, 0);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
}
