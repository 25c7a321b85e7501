// Inside the GLSL backend of the shader runtime (platform/shader/cg.h, platform/shader/cg_gl.h):
// the records behind the handles and the state shared by its two source files,
// cg_glsl_programs.cpp (contexts, compiling, linking, which GL program is in use)
// and cg_glsl_parameters.cpp (values, matrices, textures, vertex arrays).
//
// Handles are ids, never reused, looked up in the runtime's tables, so a handle
// whose object is gone simply finds nothing.
//
// GL objects belong to the GL context they were made in. The runtime remembers
// that context (and a labelled probe object in it); when another one is current
// the old objects are forgotten without GL calls, the programs made there act as
// null, and the binding state starts afresh.
#pragma once

#include <GL/glew.h>

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "platform/shader/cg_gl.h"

namespace cgglsl {

struct Program;
struct Context;

enum class ParameterKind { Uniform, Sampler, Attribute };

struct Parameter {
    uint64_t id = 0;
    Program* program = nullptr;
    size_t index = 0;  // position in program->parameters
    std::string name;  // array names without "[0]"
    ParameterKind kind = ParameterKind::Uniform;
    GLenum type = 0;     // the GLSL type as the driver reports it
    int arraySize = 1;   // elements
    int columns = 1;     // matrices: GLSL columns; vectors and scalars: 1
    int rows = 1;        // matrices: GLSL rows; vectors: components
    bool isMatrix = false;
    bool isInteger = false;     // int, ivec, bool, bvec
    std::vector<float> values;  // per element columns x rows floats, GLSL column-major
    bool hasValue = false;
    // Samplers.
    GLenum target = 0;
    int unit = 0;  // 0 until the runtime manages the sampler (GLSL's default unit)
    GLuint texture = 0;
    // Attributes.
    GLint location = -1;

    int components() const { return columns * rows; }
};

struct Program {
    uint64_t id = 0;
    Context* context = nullptr;
    uint64_t generation = 0;  // of the GL context its objects live in
    CGprofile profile = CG_PROFILE_UNKNOWN;
    std::string file;
    std::string entry;
    GLuint shader = 0;
    bool loaded = false;
    bool writesPointSize = false;
    std::vector<std::unique_ptr<Parameter>> parameters;
    std::unordered_map<std::string, Parameter*> byName;

    bool isVertex() const { return profile == CG_PROFILE_GLSLV; }
};

struct Context {
    uint64_t id = 0;
    std::vector<Program*> programs;
    std::string listing;
};

// One GL program object: a vertex-only, fragment-only or vertex + fragment link.
struct LinkedProgram {
    Program* vertex = nullptr;
    Program* fragment = nullptr;
    GLuint program = 0;  // 0 when linking failed: drawing falls back to fixed function
    std::vector<GLint> vertexLocations;    // per vertex-program parameter; -1 when inactive
    std::vector<GLint> fragmentLocations;  // per fragment-program parameter

    GLint locationOf(const Parameter& parameter) const;
};

using StageKey = std::pair<Program*, Program*>;  // (vertex, fragment), either may be null

struct Runtime {
    uint64_t nextId = 1;
    std::unordered_map<uint64_t, std::unique_ptr<Context>> contexts;
    std::unordered_map<uint64_t, std::unique_ptr<Program>> programs;
    std::unordered_map<uint64_t, Parameter*> parameters;

    // The GL context the runtime's objects live in.
    void* glContext = nullptr;
    uint64_t generation = 0;
    GLuint probe = 0;
    std::string probeLabel;

    // Binding state, as a Cg runtime keeps it per GL context.
    Program* boundVertex = nullptr;
    Program* boundFragment = nullptr;
    bool vertexEnabled = false;
    bool fragmentEnabled = false;
    std::map<StageKey, LinkedProgram> linked;
    LinkedProgram* current = nullptr;
    bool pointSizeEnabled = false;

    // Texture units held by samplers, by unit number (unit 0 is never handed out).
    std::vector<int> unitHolders;
};

Runtime& runtime();

// True when a GL context is current. When it is not the one the runtime's GL objects
// belong to, they are forgotten first. `thorough` also looks for the probe object,
// which tells a new context that happens to reuse the old one's address.
bool syncGLContext(bool thorough);

// Program/parameter lookups that give null for unknown handles and for programs whose
// GL context is gone.
Program* liveProgram(CGprogram handle);
Parameter* liveParameter(CGparameter handle);

// The text handed to the driver's compiler for an entry of a source file: the
// runtime's preamble (platform/shader/cg.h), then the file.
std::string assembleSource(bool vertex, const std::string& entry, const std::string& fileText);

// Makes the GL program in use match the enabled stages and bound programs.
void applyStages();

// Gives a sampler its own texture unit, the first time the runtime manages it.
void claimTextureUnit(Parameter& sampler);

// Sends a parameter's value (or sampler unit) to a GL program location.
void uploadParameter(const Parameter& parameter, GLint location);

template <typename Handle>
Handle toHandle(uint64_t id) {
    return reinterpret_cast<Handle>(static_cast<uintptr_t>(id));
}
template <typename Handle>
uint64_t fromHandle(Handle handle) {
    return static_cast<uint64_t>(reinterpret_cast<uintptr_t>(handle));
}

}  // namespace cgglsl
