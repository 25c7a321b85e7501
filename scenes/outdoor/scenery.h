// The outdoor scene's static surroundings: its texture table (two leading
// textures, then one per scenery group), the compiled-in scenery model and the
// sky dome. Both draws use plain textured client vertex arrays and bind no
// shader of their own, so whatever programs are bound apply to them.
//
// GL state left behind:
//   drawScenery: current colour (1, 1, 1, 1); GL_TEXTURE_2D enabled; the last
//     group's texture bound on the active unit; vertex and texture-coordinate
//     arrays disabled (their pointers left at the model's data).
//   drawSky: GL_TEXTURE_2D enabled; the sky texture bound; vertex and
//     texture-coordinate arrays disabled. The current colour is not touched.
#pragma once

#include "assets/mesh.h"
#include "assets/tga_image.h"
#include "scenes/outdoor/scenery_files.h"  // the two leading slots' files and the sky mesh's

// Loads the sky texture into slot 1, the grass texture into slot 0 and the ten
// group textures into the slots from leadingImageCount on, trying every file.
// When all loaded, turns every slot into a repeating mipmapped texture and
// returns true; when any failed (its reader has shown the message), no slot gets
// a texture, the pixels already read are released, and it returns false.
bool loadTextures(TgaImage* images, int leadingImageCount);

// Draws the whole scenery model under the current matrices, one draw call per
// group with its texture from slot leadingImageCount + group.
void drawScenery(const TgaImage* images, int leadingImageCount);

// Draws the sky dome at its model coordinates under the current matrices with
// the texture of slot 1. An empty (or absent) mesh draws nothing.
void drawSky(const Mesh* skyMesh, const TgaImage* images);
