// A full-screen quad with texture coordinates 0..1, drawn in immediate mode with the
// identity matrices: the fill-limit passes draw one per target.
#pragma once

void drawTexturedQuad();
