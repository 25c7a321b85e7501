// The outdoor scene: a walled winter courtyard around a pool under a sky dome,
// seen from a camera on a recorded flight. Grass rises out of the frozen ground
// from 30 s and sways in the wind, snow falls, the pool reflects and refracts the
// set, and a fixed low sun casts shadows. It plays "./sound/helios.mp3" and ends
// after 150 s of scene time.
//
// Each frame: the shadow capture, the water's reflection and refraction captures,
// then the main view (shadowed scenery, grass, water, sky, snow). Every capture
// clears the window when it ends, so all captures come first.
//
// GL state after render: whatever the last effect of the main view (the snow)
// leaves; see snowfall_effect.h.
#pragma once

#include "assets/tga_image.h"
#include "shell/scene.h"

class Mesh;
class Spline;
class GrassField;
class SnowfallEffect;
class WaterSurface;
class ShadowMapper;

class GrowingGrass : public Scene {
public:
    GrowingGrass(InputControl* input, FMOD::System* fmodSystem);
    ~GrowingGrass() override;

    bool init() override;
    bool cleanup() override;
    bool render() override;

    TgaImage* images = nullptr;
    int leadingImageCount = 0;
    Mesh* skyMesh = nullptr;
    Spline* lightPath = nullptr;
    GrassField* grass = nullptr;
    SnowfallEffect* snowfall = nullptr;
    WaterSurface* water = nullptr;
    ShadowMapper* shadow = nullptr;

private:
    void useWhiteTextures();
    // Frees what init made; cleanup and the destructor (for a scene that ends
    // before cleanup, on Escape) share it.
    void release();
};
