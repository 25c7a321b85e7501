// What the fill-limit passes draw: one plain textured full-screen quad per target,
// the cheapest frame a scene's passes could make at their sizes.
#pragma once

// Identity projection and modelview, no depth test, no face culling, 2D texturing on
// texture unit 0: the state every fill-limit pass draws its quads in.
void beginPlainTexturedFill();

// A quad over the whole viewport with texture coordinates 0..1, in immediate mode.
void drawTexturedQuad();
