// What the shader runtime does differently for the desktop's GLSL 1.20 driver
// (cg_glsl_target_sdl.cpp) and for the browser's WebGL (cg_glsl_target_web.cpp):
// which GL context is current, the source handed to the compiler, the stand-in
// stage of a program that runs alone, and the names of inputs the GL layer feeds.
#pragma once

#include <GL/glew.h>

#include <string>

namespace cgglsl {

struct Runtime;

// The current GL context's identity; null when none is current.
void* currentGLContext();
// A labelled object in the runtime's context tells a new context that happens to
// reuse the old one's address; targets without labels always match.
bool contextProbeMatches(Runtime& rt);
void createContextProbe(Runtime& rt);

// The text handed to the driver's compiler for an entry of a source file.
std::string targetSource(bool vertex, const std::string& entry, const std::string& fileText);

// The shader that stands in for fixed function in the other stage of a program
// linked alone (vertex: a vertex stage for a fragment program); 0 where the driver
// has fixed function. Made once per GL context, owned by the target.
GLuint standInShader(bool vertex);

// True for an active uniform or attribute that the GL layer feeds itself (not a
// parameter of the program); `conventional` then names the GLSL 1.20 input it
// stands for ("gl_Vertex", "gl_MultiTexCoord0", ...), or is left empty.
bool isBuiltInInput(const std::string& name, std::string& conventional);

// Points take their size from the vertex program while one that writes
// gl_PointSize is in use.
void setProgramPointSize(bool enabled);

}  // namespace cgglsl
