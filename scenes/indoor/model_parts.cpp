#include "scenes/indoor/model_parts.h"

// Floor plate, green metal pipes, pipe joints, valve handles: the order in which
// the scene draws them and loads their textures.
const ModelPart modelParts[modelPartCount] = {
    {0, 2, "./textures/Diffuse.tga", "./textures/Normal.tga"},
    {2, 1200, "./textures/green_metal_diffuse.tga", "./textures/green_metal_normal.tga"},
    {1202, 17068, "./textures/pipe_joint_diffuse.tga", "./textures/pipe_joint_normal.tga"},
    {18270, 1716, "./textures/valve-handle_diffuse.tga", "./textures/valve-handle_normal.tga"},
};
