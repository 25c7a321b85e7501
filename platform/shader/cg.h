// The shader runtime's core: contexts, programs compiled from source files, and
// named parameters. It offers the calls, names and constants of the Cg runtime that
// the effects make; underneath, every program is GLSL compiled by the OpenGL
// driver. The OpenGL binding (profiles, binding, state
// matrices, textures, vertex arrays) is in platform/shader/cg_gl.h.
//
// Source convention (every file under Cg/ follows it):
// - Files keep their .cg names and hold GLSL 1.20 (compatibility profile) without a
//   `#version` line. A program is compiled from:
//       #version 120
//       #define CG_VERTEX 1            (or CG_FRAGMENT for a fragment program)
//       #define CG_ENTRY_<entry> 1
//       #define <entry> main           (only when the entry is not "main")
//       #line 0
//       <the file's text>
//   GLSL 1.20 numbers the line after `#line n` as n + 1, so compile logs carry the
//   file's own line numbers.
// - A file with several entries (e.g. vertex1, fragment1, fragment2) guards each
//   entry, with what only it needs, by `#ifdef CG_ENTRY_<entry>`.
// - Uniform parameters are GLSL uniforms of the same name: float, vec2..vec4, int,
//   bool, mat2..mat4, non-square matrices, and arrays of them
//   (`uniform vec2 FilterTabs[12];`). Texture parameters are samplers
//   (`uniform sampler2D BaseTexture;`; 1D, 3D, cube, rectangle and shadow samplers
//   work too).
// - Varying inputs of a vertex program are `attribute`s of the same name (e.g.
//   `attribute vec3 tangent;`), fed by cgGLSetParameterPointer.
// - The two stages meet only through built-in varyings (gl_TexCoord[0..7],
//   gl_FrontColor / gl_Color, gl_FrontSecondaryColor / gl_SecondaryColor), so any
//   vertex program pairs with any fragment program, and either with fixed function.
//   A vertex program writes gl_Position, and gl_PointSize where it sizes points.
//
// Parameter handles:
// - cgGetNamedParameter finds a uniform, sampler or attribute that the compiled
//   program actually uses (the driver drops unused ones); any other name gives a
//   null parameter. An array is found by its plain name ("FilterTabs").
// - Values belong to the program, not to a GL program object: a value set once
//   holds, whichever stages the program is later paired with.
// - A uniform declared with the same name in both stages of a pair is one GLSL
//   uniform; give both programs the same value.
//
// Failure: a missing file, a compile or link error, a null or unknown context, or a
// profile the driver lacks gives a null program; the reason and the compile log go
// to debugLog (and to cgGetLastListing). Every call is harmless on null handles and
// on handles whose context was destroyed: it does nothing and returns 0 / null.
// The runtime shows no message boxes.
//
// Handles are opaque and never reused. All calls come from the thread that owns the
// OpenGL context, with the context current.
#pragma once

typedef struct _CGcontext* CGcontext;
typedef struct _CGprogram* CGprogram;
typedef struct _CGparameter* CGparameter;

typedef int CGbool;
#define CG_FALSE 0
#define CG_TRUE 1

enum CGenum {
    CG_UNKNOWN = 4096,
    CG_SOURCE = 4112,  // program text; the only kind this runtime compiles
    CG_OBJECT = 4113,  // precompiled object code: not offered, gives a null program
};

enum CGprofile {
    CG_PROFILE_UNKNOWN = 6145,
    CG_PROFILE_GLSLV = 7007,  // GLSL vertex shader
    CG_PROFILE_GLSLF = 7008,  // GLSL fragment shader
};

// A context owns the programs created in it; destroying it destroys them (with
// their GL shader and program objects).
CGcontext cgCreateContext(void);
void cgDestroyContext(CGcontext context);
CGbool cgIsContext(CGcontext context);
// The compile log (or the reason for failure) of the last program created in the
// context; "" when there was none.
const char* cgGetLastListing(CGcontext context);

// Compiles entry `entry` of the GLSL source file `programFile` for `profile`.
// Every program is compiled with the runtime's preamble alone: `args` (compiler
// arguments) is ignored.
CGprogram cgCreateProgramFromFile(CGcontext context, CGenum programType, const char* programFile,
                                  CGprofile profile, const char* entry, const char** args);
void cgDestroyProgram(CGprogram program);
CGbool cgIsProgram(CGprogram program);

CGparameter cgGetNamedParameter(CGprogram program, const char* name);
CGbool cgIsParameter(CGparameter parameter);

// Matrix parameters from floats. Layout rule, for every matrix-setting call:
// - Square matrices (mat2, mat3, mat4) hold the matrix as OpenGL does: the shader
//   applies it as `M * v`. cgGLSetMatrixParameterfc (platform/shader/cg_gl.h)
//   takes it column by column (OpenGL's order, as glGetFloatv returns it),
//   cgSetMatrixParameterfr row by row.
// - A non-square Cg floatRxC (R rows, C columns) is declared as GLSL matRxC, whose
//   R columns of C components are the rows: M[i] is row i, and `v * M` applies it
//   as Cg's mul(M, v). So a 2 x 3 matrix given row by row, rows (1, 2, 3) and
//   (4, 5, 6), arrives as `uniform mat2x3 box;` with box[0] = vec3(1, 2, 3) and
//   box[1] = vec3(4, 5, 6): two corners of a box, one per row, read in the shader
//   as box[0] and box[1].
// The value array holds rows x columns floats; an array parameter takes its first
// element.
void cgSetMatrixParameterfr(CGparameter parameter, const float* matrix);
