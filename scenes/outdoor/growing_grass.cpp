#include "scenes/outdoor/growing_grass.h"

#include <GL/glew.h>

#include "assets/mesh.h"
#include "assets/solid_texture.h"
#include "math/spline.h"
#include "math/spline_camera.h"
#include "platform/clock/timer.h"
#include "scenes/outdoor/grass_field.h"
#include "scenes/outdoor/grass_files.h"
#include "scenes/outdoor/scenery.h"
#include "scenes/outdoor/scenery_files.h"
#include "scenes/outdoor/scenery_model.h"
#include "scenes/outdoor/shadow_mapper.h"
#include "scenes/outdoor/snow_files.h"
#include "scenes/outdoor/snowfall_effect.h"
#include "scenes/outdoor/water_surface.h"

namespace {

const char* const cameraPathFile = "spline/camera0.spl";
const char* const lightPathFile = "./spline/lightPos1.spl";
const char* const musicFile = "./sound/helios.mp3";

const float sceneLength = 150.0f;

// Snow: emitted in a box above the courtyard, melting in a thin box at the ground.
const int flakeCount = 10000;
const Vec3 snowEmitCorner1{-20.0f, 20.0f, -20.0f};
const Vec3 snowEmitCorner2{20.0f, 40.0f, 20.0f};
const Vec3 snowMeltCorner1{50.0f, -1.0f, 50.0f};
const Vec3 snowMeltCorner2{-50.0f, 0.0f, -50.0f};

// The low winter sun the shadows fall from.
const float sunPosition[3] = {120.0f, 144.0f, -120.0f};
// The water plane y = 0, normal up.
const float waterPlane[4] = {0.0f, 1.0f, 0.0f, 0.0f};

}  // namespace

GrowingGrass::GrowingGrass(InputControl* input_, FMOD::System* fmodSystem_)
    : Scene("Snowfall", input_, fmodSystem_) {
    timer->reset();
    leadingImageCount = 2;
}

GrowingGrass::~GrowingGrass() { release(); }

// Without its textures the set is drawn plain white. Fixed-function drawing does
// that by itself with texture 0 bound, but the shadow programs of the main view
// sample the bound texture and would read texture 0 as black: one white texel in
// every slot gives the same plain set in every pass.
void GrowingGrass::useWhiteTextures() {
    const GLuint texture = createSolidTexture(255, 255, 255);
    for (int slot = 0; slot < leadingImageCount + sceneryGroupCount; ++slot) images[slot].textureId = texture;
}

bool GrowingGrass::init() {
    camera = new SplineCamera(timer, cameraPathFile, input);
    skyMesh = new Mesh(skyMeshFile);
    lightPath = new Spline(lightPathFile);

    images = new TgaImage[leadingImageCount + sceneryGroupCount];
    if (!loadTextures(images, leadingImageCount)) useWhiteTextures();

    grass = new GrassField(grassBladeCount, grassGrowthSpan, grassVertexProgramFile, grassFragmentProgramFile,
                           grassBladeTextureFile, grassPositionImageFile, grassWindImageFile, grassFieldSize, timer);
    grass->setUp();
    grass->growthStart = grassGrowthStart;

    snowfall = new SnowfallEffect(flakeCount, timer, snowEmitCorner1, snowEmitCorner2, snowWindPathFile, false,
                                  snowMeltCorner1, snowMeltCorner2, snowVertexProgramFile, snowFragmentProgramFile,
                                  snowflakeTextureFile);
    snowfall->initShaders();

    shadow = new ShadowMapper();
    shadow->setLightPosition(sunPosition[0], sunPosition[1], sunPosition[2]);

    water = new WaterSurface(camera, waterPlane[0], waterPlane[1], waterPlane[2], waterPlane[3], shadow);

    startMusic(musicFile);
    return true;
}

bool GrowingGrass::render() {
    const float t = static_cast<float>(timer->total());
    if (t > sceneLength) finished = true;

    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);

    // Shadow capture: the scenery seen from the sun.
    camera->apply();
    lightPath->evaluate(t);
    shadow->beginPass();
    drawScenery(images, leadingImageCount);
    shadow->endPass();

    // What the pool mirrors: the set, the sky and the snow above the water.
    camera->apply();
    water->beginReflection();
    drawScenery(images, leadingImageCount);
    drawSky(skyMesh, images);
    snowfall->render();
    water->endReflection();

    // What the pool shows through its surface: the basin below the water.
    water->beginRefraction();
    drawScenery(images, leadingImageCount);
    water->endRefraction();

    // The main view. The scenery's depth goes first, so that its lit program
    // shades each pixel once.
    camera->apply();
    if (shadow->beginDepthPrepass()) {
        drawScenery(images, leadingImageCount);
        shadow->endDepthPrepass();
    }
    shadow->bind();
    drawScenery(images, leadingImageCount);
    shadow->unbind();
    grass->render();
    water->render();
    drawSky(skyMesh, images);
    snowfall->render();
    return true;
}

void GrowingGrass::release() {
    delete[] images;
    images = nullptr;
    delete skyMesh;
    skyMesh = nullptr;
    if (grass) grass->releaseImages();
    delete grass;
    grass = nullptr;
    if (snowfall) snowfall->cleanup();
    delete snowfall;
    snowfall = nullptr;
    delete water;
    water = nullptr;
    delete shadow;
    shadow = nullptr;
    if (lightPath) lightPath->release();
    delete lightPath;
    lightPath = nullptr;
}

bool GrowingGrass::cleanup() {
    release();
    fmodResult = channel ? channel->stop() : FMOD_ERR_INVALID_HANDLE;
    return true;
}
