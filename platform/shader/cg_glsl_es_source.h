// GLSL ES 3.00 (what WebGL 2 compiles) from the program files under Cg/, which hold
// GLSL 1.20 for the compatibility profile (convention in platform/shader/cg.h).
//
// The browser's GL layer emulates the fixed-function state (matrix stacks, client
// arrays, current colour) and hands it to programs under fixed names; the
// translation renames the built-ins a program reads and writes to those names:
//   gl_Vertex, gl_Color, gl_Normal, gl_MultiTexCoord<n>  -> a_position, a_color,
//                                                          a_normal, a_texCoord<n>
//   gl_ModelViewMatrix, gl_ProjectionMatrix              -> u_modelView, u_projection
//   gl_ModelViewProjectionMatrix                         -> (u_projection * u_modelView)
//   gl_TexCoord[n], gl_FrontColor / gl_Color (fragment)  -> varyings v_texCoord<n>, v_color
//   gl_FragColor, texture2D, texture2DProj, ...           -> oku_fragColor, texture, textureProj
// The stages still meet only through those varyings, so any vertex program pairs
// with any fragment program, and with the stand-in stages below, which take the
// place of fixed function for the stage a program lacks.
//
// What WebGL has no state for, the program does itself, from uniforms the GL layer
// sets before each draw:
// - user clip plane 0: every vertex stage writes oku_clipDistance, the distance of
//   gl_ClipVertex from oku_clipPlaneEye where the program writes gl_ClipVertex, else
//   of gl_Position from oku_clipPlaneClip (the plane in clip space); every fragment
//   stage discards below zero (both planes are zero while clipping is off);
// - the alpha test: oku_alphaFunc (a GL comparison enum; 0 while the test is off)
//   against oku_alphaRef, after the program's own main.
//
// The output names none of the gl_ built-ins that the GL layer's emulation would
// rewrite (it prepends declarations for them, which a #version line must precede).
#pragma once

#include <string>

namespace cgglsl {

// The names the translation adds; a parameter list leaves them out.
bool isEsTranslationName(const std::string& name);

// The program's source for the browser: the same defines as the desktop preamble
// (CG_VERTEX / CG_FRAGMENT, CG_ENTRY_<entry>), the built-ins renamed, and a main
// of its own that runs the entry and then does the clip and alpha work.
std::string assembleEsSource(bool vertex, const std::string& entry, const std::string& fileText);

// The fixed-function vertex stage for a fragment program alone: position through
// the modelview and projection matrices, texture coordinates 0..3 and the colour
// passed on as they are.
std::string esStandInVertexSource();
// The fixed-function fragment stage for a vertex program alone: the colour.
std::string esStandInFragmentSource();

}  // namespace cgglsl
