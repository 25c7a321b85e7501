// The snow's data files, relative to the run directory. The scene passes these to
// the snowfall, and the flake texture's generator writes the file named here.
#pragma once

constexpr const char* snowWindPathFile = "spline/wind.spl";
constexpr const char* snowVertexProgramFile = "Cg/Snowfall_vertex.cg";
constexpr const char* snowFragmentProgramFile = "Cg/Snowfall_fragment.cg";
constexpr const char* snowflakeTextureFile = "textures/snowflake_test.tga";
