// The shader runtime's OpenGL binding: profiles, loading and binding programs,
// uniform values, matrices from GL state, texture parameters and vertex-array
// parameters. See platform/shader/cg.h for the source convention.
//
// Stages:
// - One vertex and one fragment program can be bound at a time (cgGLBindProgram
//   binds a program for its own profile). A stage runs its bound program while its
//   profile is enabled; otherwise that stage is fixed function. So a bound fragment
//   program with the vertex profile disabled runs over fixed-function vertex
//   processing, and with both profiles disabled drawing is plain fixed function.
// - The runtime keeps the GL program in use matching the enabled stages: each
//   vertex + fragment, vertex-only and fragment-only combination is linked on first
//   use and cached; values set on either program are re-applied when a combination
//   becomes current. Binding a null program changes nothing. Destroying a bound
//   program unbinds it.
// - While a vertex program that writes gl_PointSize is in use,
//   GL_VERTEX_PROGRAM_POINT_SIZE is enabled; it is disabled when such a program
//   stops being used.
//
// Texture parameters: a sampler that the program never hands to the runtime keeps
// GLSL's default, unit 0, and samples whatever plain GL bound there (an effect
// that binds its texture with glBindTexture relies on that). The first
// cgGLSetTextureParameter, cgGLEnableTextureParameter or
// cgGLDisableTextureParameter on a sampler gives it a texture unit of its own,
// unit 1 and up (never unit 0), the lowest free one, held until its program is
// destroyed; cgGLGetTextureEnum tells which. cgGLEnableTextureParameter binds the
// parameter's texture on that unit (texture 0 when none was set), and
// cgGLDisableTextureParameter binds 0 there. Neither changes the active texture
// unit, anything bound on other units, or the fixed-function texture enables, so
// what plain GL calls bound on unit 0 stays in place. A sampler's unit is
// unrelated to texture coordinate sets: a fragment program over fixed-function
// vertices reads gl_TexCoord[0] (from unit 0's coordinates) and samples its
// texture on its own unit. Only when more samplers are managed than the driver
// has units do samplers share.
//
// Vertex-array parameters: each attribute of a vertex program has a fixed generic
// attribute location, bound by name before every link of that program. Location 0
// aliases gl_Vertex, so: a program that reads gl_Vertex keeps location 0 free; one
// that does not gives location 0 to its attribute "position" (or, lacking one, to
// its first attribute by name), as drivers that need array 0 to draw expect. The
// other attributes take the lowest free locations from 1 in name order, skipping
// locations that some drivers alias with conventional inputs the program reads (2
// gl_Normal, 3 gl_Color, 4 gl_SecondaryColor, 5 gl_FogCoord, 8 + n
// gl_MultiTexCoord<n>). cgGLSetParameterPointer is glVertexAttribPointer on that
// location (not normalised); the client-state calls enable and disable its array.
// These are GL vertex-array state, not program state: they hold until changed.
#pragma once

#include "platform/shader/cg.h"

enum CGGLenum {
    // How a state matrix is transformed before it is stored: the effects store it
    // as it is.
    CG_GL_MATRIX_IDENTITY = 0,
    // Which GL matrix (read at the moment of the call).
    CG_GL_MODELVIEW_MATRIX = 4,
    CG_GL_PROJECTION_MATRIX = 5,
    CG_GL_MODELVIEW_PROJECTION_MATRIX = 7,  // projection x modelview
    // Profile classes.
    CG_GL_VERTEX = 8,
    CG_GL_FRAGMENT = 9,
};

// CG_PROFILE_GLSLV / CG_PROFILE_GLSLF, or CG_PROFILE_UNKNOWN where the driver has no
// GLSL (then every program created for it is null).
CGprofile cgGLGetLatestProfile(CGGLenum profileClass);
// Nothing to do: the driver optimises GLSL itself.
void cgGLSetOptimalOptions(CGprofile profile);

// Creation already compiled and validated the program; loading marks it loaded.
void cgGLLoadProgram(CGprogram program);
void cgGLBindProgram(CGprogram program);
void cgGLEnableProfile(CGprofile profile);
void cgGLDisableProfile(CGprofile profile);

// Uniform values. A call with fewer components than the uniform sets the first ones
// (the rest keep their values); extra components are dropped. An array parameter's
// first element is set; the array call sets `count` elements from element `offset`
// (count 0: all from offset to the end). A call that reaches past the end of the
// array, or whose parameter is a sampler or an attribute, does nothing.
void cgGLSetParameter1f(CGparameter parameter, float x);
void cgGLSetParameter2f(CGparameter parameter, float x, float y);
void cgGLSetParameter3f(CGparameter parameter, float x, float y, float z);
void cgGLSetParameter4f(CGparameter parameter, float x, float y, float z, float w);
void cgGLSetParameterArray2f(CGparameter parameter, long offset, long count, const float* values);

// A 4 x 4 matrix parameter from GL state as it is at this call (a snapshot: later
// changes of the GL matrices do not reach it); `transform` CG_GL_MATRIX_IDENTITY
// stores it as it is, anything else leaves the parameter unchanged.
void cgGLSetStateMatrixParameter(CGparameter parameter, CGGLenum matrix, CGGLenum transform);
// A matrix from floats, column by column; layout rule in platform/shader/cg.h.
void cgGLSetMatrixParameterfc(CGparameter parameter, const float* matrix);

// Texture parameters (samplers).
void cgGLSetTextureParameter(CGparameter parameter, unsigned texture);
unsigned cgGLGetTextureParameter(CGparameter parameter);
void cgGLEnableTextureParameter(CGparameter parameter);
void cgGLDisableTextureParameter(CGparameter parameter);
// GL_TEXTURE0 + the unit the sampler reads (GL_TEXTURE0 until the runtime manages
// it); 0 for anything that is not a sampler.
unsigned cgGLGetTextureEnum(CGparameter parameter);

// Vertex-array parameters (vertex program attributes). `type` is a GL type enum
// (GL_FLOAT, ...), `size` the components per vertex, `stride` bytes (0: packed).
void cgGLSetParameterPointer(CGparameter parameter, int size, unsigned type, int stride, const void* pointer);
void cgGLEnableClientState(CGparameter parameter);
void cgGLDisableClientState(CGparameter parameter);
// The generic attribute location of an attribute parameter; -1 for anything else.
int cgGLGetParameterAttributeLocation(CGparameter parameter);
