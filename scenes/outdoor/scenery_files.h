// Where the outdoor set's sky comes from, and the two leading slots of the
// scene's texture table (the scenery groups' textures follow, named in
// scenery_model.h). The generators write their files under these names.
#pragma once

constexpr const char* grassTextureFile = "textures/grass01_diffuse.tga";  // slot 0: loaded, bound by no draw here
constexpr const char* skyTextureFile = "textures/SkyHigh2.tga";           // slot 1: the sky dome
constexpr const char* skyMeshFile = "./mesh/sky2.msh";
