// The snow: every particle of the system is one flake, drawn in a single call as a
// textured point sprite. The vertex program "Cg/Snowfall_vertex.cg" places and sizes
// each flake from its per-flake data (emission point; spawn time, life time and two
// shape values; the wind at its re-issue) and the per-frame values "time", "wind",
// "modelView" and "modelViewProj"; "meltingBox" (two opposite corners, one per row)
// and the fragment program's "color" are set once. The CPU never moves a flake
// between re-issues.
//
// Flakes add light (blending GL_SRC_ALPHA, GL_ONE), so they can only brighten the
// picture. Without a vertex program nothing is drawn, since the flakes' places are
// computed there; without a fragment program the flakes are plain textured sprites.
//
// GL state after render(), whatever it was before: GL_TEXTURE_2D, GL_POINT_SPRITE,
// GL_VERTEX_PROGRAM_POINT_SIZE, GL_BLEND and GL_ALPHA_TEST disabled; GL_COORD_REPLACE
// false; GL_DEPTH_TEST enabled; blend function GL_SRC_ALPHA, GL_ONE; texture unit 0
// active with the flake texture bound; the vertex array and the texture-coordinate
// arrays of client units 0 and 1 disabled, client unit 0 selected; both shader
// profiles disabled.
#pragma once

#include "assets/shader_program.h"
#include "assets/tga_image.h"
#include "math/vec3.h"
#include "scenes/outdoor/particle_system.h"

class SnowfallEffect : public ParticleSystem {
public:
    // Builds the particles, loads the flake texture and keeps the program paths (the
    // strings are borrowed and must outlive the effect); the programs are made by
    // initShaders().
    SnowfallEffect(int flakeCount, Timer* timer, const Vec3& emitCorner1, const Vec3& emitCorner2,
                   const char* windPathFile, bool driftWithWind, const Vec3& meltCorner1, const Vec3& meltCorner2,
                   const char* vertexProgramFile, const char* fragmentProgramFile, const char* textureFile);
    ~SnowfallEffect();

    // Compiles the two programs in a Cg context of the effect's own, looks up the
    // parameters and sets the constant ones. Reports true whatever failed.
    bool initShaders();
    // Gathers the wind, re-issues expired flakes and draws all flakes. Reports true.
    bool render();
    // Nothing to release before deletion; reports true.
    bool cleanup();

    ShaderProgram shaders;
    CGparameter modelViewProjParam = nullptr;
    CGparameter modelViewParam = nullptr;
    CGparameter timeParam = nullptr;
    CGparameter windParam = nullptr;
    CGparameter meltingBoxParam = nullptr;
    CGparameter colorParam = nullptr;
    Vec3* meltingBox = nullptr;  // two opposite corners, as given
    const char* vertexProgramPath = nullptr;
    const char* fragmentProgramPath = nullptr;
    const char* texturePath = nullptr;
    TgaImage* image = nullptr;  // textureId: the flake texture, 0 if it could not be read
};
