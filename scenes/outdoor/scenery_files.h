// Where the outdoor set's sky comes from, and the two leading slots of the
// scene's texture table (the scenery groups' textures follow, named in
// scenery_model.h). The generators write their files under these names.
#pragma once

#include "scenes/outdoor/grass_files.h"

constexpr const char* grassTextureFile = grassBladeTextureFile;  // slot 0: the grass blades'; no draw here binds it
constexpr const char* skyTextureFile = "textures/SkyHigh2.tga";  // slot 1: the sky dome
constexpr const char* skyMeshFile = "./mesh/sky2.msh";
