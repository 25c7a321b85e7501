#include "scenes/outdoor/scenery_model.h"

// Moss, walls, gate, the banana plants' stems and leaves, pool floor, ground and
// pool walls: the order in which the model is stored and drawn, and in which
// the scene loads the group textures (after its two leading ones).
const SceneryGroup sceneryGroups[sceneryGroupCount] = {
    {"textures/Moss0040_S.tga", 0, 112},
    {"textures/tWall_512_5_05.tga", 112, 1356},
    {"textures/even_wood_5132616.tga", 1468, 36},
    {"textures/Banana_T.tga", 1504, 600},
    {"textures/Banana_1.tga", 2104, 178},
    {"textures/Banana_T.tga", 2282, 360},
    {"textures/Banana_2.tga", 2642, 2538},
    {"textures/ulo.tga", 5180, 12},
    {"textures/tGrass.tga", 5192, 782},
    {"textures/t703009.tga", 5974, 48},
};
