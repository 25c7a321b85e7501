// The grass field's data files, as the outdoor scene passes them to the field.
// The grass generator (tools/grass_textures) writes the three images under these
// names; the shaders are hand-written in data/Cg/.
#pragma once

constexpr const char* grassVertexProgramFile = "./Cg/Grass_vertex.cg";
constexpr const char* grassFragmentProgramFile = "./Cg/Grass_fragment.cg";
// 32-bit blade colour texture: a tuft of blades cut out by its alpha.
constexpr const char* grassBladeTextureFile = "textures/grass01_diffuse.tga";
// 24-bit map of where blades stand (black: nowhere) and how large they grow (brightness).
constexpr const char* grassPositionImageFile = "textures/grasPos1024final1.tga";
// 24-bit map of the direction each blade leans in (red: along x, blue: along z).
constexpr const char* grassWindImageFile = "textures/wind1024clouds.tga";

// The scene's field: blade count, growth span in seconds, width of the square patch.
constexpr int grassBladeCount = 10000;
constexpr float grassGrowthSpan = 20.0f;
constexpr float grassFieldSize = 92.0f;
// Scene time at which the grass starts to rise.
constexpr float grassGrowthStart = 30.0f;
