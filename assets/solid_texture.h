// One-texel textures: the neutral stand-ins effects draw with where a texture file
// could not be loaded, so that a shader never samples texture 0 (which reads black).
//
// GL state: the texture binding of the active unit is left as it was.
#pragma once

#include <GL/glew.h>

// A 1 x 1 RGBA texture of the given colour, nearest filtering.
GLuint createSolidTexture(unsigned char r, unsigned char g, unsigned char b, unsigned char a = 255);
