// The grass field's shader set-up, buffer objects and per-frame draw.
#include <cstddef>

#include "assets/solid_texture.h"
#include "platform/clock/timer.h"
#include "scenes/outdoor/grass_field.h"
#include "scenes/outdoor/grass_timeline.h"

namespace {
// The stand-in blade colour where the blade texture is missing: a mid grass green.
const unsigned char plainBladeColour[3] = {86, 140, 52};
}  // namespace

GLuint GrassField::uploadBuffer(GLenum target, const void* data, size_t bytes) {
    GLuint buffer = 0;
    glGenBuffers(1, &buffer);
    glBindBuffer(target, buffer);
    glBufferData(target, static_cast<GLsizeiptr>(bytes), data, GL_STATIC_DRAW);
    glBindBuffer(target, 0);
    return buffer;
}

bool GrassField::setUp() {
    shader.createContext();
    shader.selectProfiles();
    shader.createVertexProgram(vertexProgramFile, "main");
    shader.createFragmentProgram(fragmentProgramFile, "main");
    shader.reportMissingPrograms("So a Schaß");
    shader.loadVertexProgram();
    shader.loadFragmentProgram();

    modelViewProjParam = shader.vertexParameter("modelViewProj");
    growingTimeParam = shader.vertexParameter("growingTime");
    windTimeParam = shader.vertexParameter("windTime");
    scaleParam = shader.vertexParameter("scale");
    cgGLSetParameter1f(scaleParam, fieldSize);

    positionBuffer = uploadBuffer(GL_ARRAY_BUFFER, positions, sizeof(float) * positionFloatCount);
    texCoordBuffer = uploadBuffer(GL_ARRAY_BUFFER, texCoords, sizeof(float) * texCoordFloatCount);
    offsetBuffer = uploadBuffer(GL_ARRAY_BUFFER, offsets, sizeof(float) * offsetFloatCount);
    windBuffer = uploadBuffer(GL_ARRAY_BUFFER, windDirections, sizeof(float) * windFloatCount);
    indexBuffer = uploadBuffer(GL_ELEMENT_ARRAY_BUFFER, indices, sizeof(uint16_t) * indexCount);

    if (!colorTexture || !colorTexture->textureId)
        plainTexture = createSolidTexture(plainBladeColour[0], plainBladeColour[1], plainBladeColour[2]);
    return true;
}

GLuint GrassField::bladeTexture() const {
    if (colorTexture && colorTexture->textureId) return colorTexture->textureId;
    return plainTexture;
}

bool GrassField::render() {
    shader.bind();
    shader.enableProfiles();
    cgGLSetStateMatrixParameter(modelViewProjParam, CG_GL_MODELVIEW_PROJECTION_MATRIX, CG_GL_MATRIX_IDENTITY);

    const float sceneTime = timer ? static_cast<float>(timer->total()) : 0.0f;
    const GrassTimeValues time = grassTimeValues(sceneTime, growthStart, growthSpan);
    cgGLSetParameter1f(growingTimeParam, time.growingTime);
    cgGLSetParameter1f(windTimeParam, time.windTime);

    glDisable(GL_CULL_FACE);
    glEnable(GL_TEXTURE_2D);
    // The fragment program samples unit 0.
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, bladeTexture());

    glBindBuffer(GL_ARRAY_BUFFER, positionBuffer);
    glVertexPointer(4, GL_FLOAT, 0, nullptr);
    const GLuint perUnit[3] = {texCoordBuffer, offsetBuffer, windBuffer};
    const GLint components[3] = {2, 3, 3};
    for (int unit = 0; unit < 3; ++unit) {
        glClientActiveTexture(GL_TEXTURE0 + unit);
        glBindBuffer(GL_ARRAY_BUFFER, perUnit[unit]);
        glTexCoordPointer(components[unit], GL_FLOAT, 0, nullptr);
        glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    }
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, indexBuffer);
    glEnableClientState(GL_VERTEX_ARRAY);

    glEnable(GL_ALPHA_TEST);
    glAlphaFunc(GL_GEQUAL, 0.5f);
    // Positions carry the blade weight in w, which only the vertex program
    // understands: without it (or without placed blades) nothing is drawn.
    if (bladesPlaced && shader.vertexProgram && indexBuffer && indexCount > 0)
        glDrawElements(GL_TRIANGLES, indexCount, GL_UNSIGNED_SHORT, nullptr);

    glDisable(GL_ALPHA_TEST);
    glDisableClientState(GL_VERTEX_ARRAY);
    for (int unit = 2; unit >= 0; --unit) {
        glClientActiveTexture(GL_TEXTURE0 + unit);
        glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    }
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, 0);

    shader.disableProfiles();
    glDisable(GL_TEXTURE_2D);
    return true;
}
