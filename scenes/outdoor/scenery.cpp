#include "scenes/outdoor/scenery.h"

#include <GL/glew.h>

#include "scenes/outdoor/scenery_model.h"

bool loadTextures(TgaImage* images, int leadingImageCount) {
    const int slotCount = leadingImageCount + sceneryGroupCount;
    // Every file is tried, so one run reports every missing texture.
    bool allLoaded = loadTga(images[1], skyTextureFile);
    allLoaded = loadTga(images[0], grassTextureFile) && allLoaded;
    for (int g = 0; g < sceneryGroupCount; ++g)
        allLoaded = loadTga(images[leadingImageCount + g], sceneryGroups[g].texture) && allLoaded;
    if (!allLoaded) {
        // All or nothing: a partly textured set would look broken, an untextured
        // one is at least consistent. The pixels read so far are of no use now.
        for (int slot = 0; slot < slotCount; ++slot) releasePixels(images[slot]);
        return false;
    }
    for (int slot = 0; slot < slotCount; ++slot) createMipmappedTexture(images[slot]);
    return true;
}

void drawScenery(const TgaImage* images, int leadingImageCount) {
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    glEnable(GL_TEXTURE_2D);
    for (int g = 0; g < sceneryGroupCount; ++g) {
        glVertexPointer(3, GL_FLOAT, 0, sceneryPositions);
        glTexCoordPointer(2, GL_FLOAT, 0, sceneryTexCoords);
        glEnableClientState(GL_VERTEX_ARRAY);
        glEnableClientState(GL_TEXTURE_COORD_ARRAY);
        glBindTexture(GL_TEXTURE_2D, images[leadingImageCount + g].textureId);
        glDrawArrays(GL_TRIANGLES, 3 * sceneryGroups[g].firstTriangle, 3 * sceneryGroups[g].triangleCount);
        glDisableClientState(GL_TEXTURE_COORD_ARRAY);
        glDisableClientState(GL_VERTEX_ARRAY);
    }
}

void drawSky(const Mesh* skyMesh, const TgaImage* images) {
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, images[1].textureId);
    if (!skyMesh || skyMesh->vertexCount <= 0 || !skyMesh->positions || !skyMesh->texCoords) return;
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    glVertexPointer(3, GL_FLOAT, 0, skyMesh->positions);
    glTexCoordPointer(2, GL_FLOAT, 0, skyMesh->texCoords);
    glDrawArrays(GL_TRIANGLES, 0, skyMesh->vertexCount);
    glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    glDisableClientState(GL_VERTEX_ARRAY);
}
