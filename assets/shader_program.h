// A shader program: one vertex and one fragment program with their profiles and
// their Cg context, set up by the one pattern every effect follows:
//
//   1. context      createContext() (an effect's own) or useContext() (a shared one)
//   2. profiles     selectProfiles(): the latest vertex and fragment profiles, each
//                   with its optimal options
//   3. programs     createVertexProgram(), then createFragmentProgram(): from source,
//                   with an entry name and no compiler arguments
//   4. check, load  reportMissingPrograms(caption) where the effect shows the
//                   "Kein Vertex Shader" / "Kein Fragment Shader" boxes; then
//                   loadVertexProgram() and loadFragmentProgram() in the effect's order
//   5. look-ups     vertexParameter() / fragmentParameter(); constants are set once
//
// Per draw: bind(), enableProfiles(), set parameters, draw, disableProfiles().
//
// The type offers the steps; each effect calls them in the order its design gives,
// and adds what it needs beyond them (a third program, a shared vertex program).
// Every step is harmless on programs that failed to compile: they are null, and the
// shader runtime ignores null handles, so a missing program leaves its effect drawing
// nothing through it.
//
// GL state: bind/enable/disable change only the shader runtime's bound programs and
// enabled profiles; nothing else.
#pragma once

#include "platform/shader/cg.h"
#include "platform/shader/cg_gl.h"

struct ShaderProgram {
    CGcontext context = nullptr;
    CGprofile vertexProfile = CG_PROFILE_UNKNOWN;
    CGprofile fragmentProfile = CG_PROFILE_UNKNOWN;
    CGprogram vertexProgram = nullptr;
    CGprogram fragmentProgram = nullptr;

    // Step 1: a context of the effect's own, or one that someone else owns.
    void createContext();
    void useContext(CGcontext shared);
    // Destroys an own context and with it the programs made in it; handles are cleared.
    void destroyContext();

    // Step 2: vertex profile first, each followed by its optimal options.
    void selectProfiles();

    // Step 3: from the source file `file`, entry `entry`, no compiler arguments.
    CGprogram createVertexProgram(const char* file, const char* entry = "main");
    CGprogram createFragmentProgram(const char* file, const char* entry = "main");
    // A further program in the same context, for effects with more than one
    // program per stage; the caller keeps it.
    CGprogram createProgram(CGprofile profile, const char* file, const char* entry) const;

    // Step 4: the message boxes for missing programs, vertex first, with `caption`.
    void reportMissingPrograms(const char* caption) const;
    void loadVertexProgram() const;
    void loadFragmentProgram() const;

    // Step 5: a named parameter of either program (null where the program is null or
    // does not use the name).
    CGparameter vertexParameter(const char* name) const;
    CGparameter fragmentParameter(const char* name) const;

    // Per draw.
    void bind() const;
    void enableProfiles() const;
    void disableProfiles() const;
};
