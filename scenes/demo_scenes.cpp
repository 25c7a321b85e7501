#include "scenes/demo_scenes.h"

#include "scenes/indoor/bump_mapping.h"
#include "scenes/outdoor/growing_grass.h"
#include "shell/scene.h"

namespace {

Scene* makeFirstScene(InputControl* input, FMOD::System* fmodSystem) { return new GrowingGrass(input, fmodSystem); }
Scene* makeSecondScene(InputControl* input, FMOD::System* fmodSystem) { return new BumpMapping(input, fmodSystem); }

}  // namespace

SceneSequence demoSceneSequence() { return {makeFirstScene, makeSecondScene}; }
