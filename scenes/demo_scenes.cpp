// The demo's own scene sequence: the outdoor scene, then the indoor scene. It
// lives with the scenes, so the shell knows scenes only through Scene and the
// factories it is handed.
#include "scenes/indoor/bump_mapping.h"
#include "scenes/outdoor/growing_grass.h"
#include "shell/scene.h"
#include "shell/scene_sequence.h"

namespace {

Scene* makeFirstScene(InputControl* input, FMOD::System* fmodSystem) { return new GrowingGrass(input, fmodSystem); }
Scene* makeSecondScene(InputControl* input, FMOD::System* fmodSystem) { return new BumpMapping(input, fmodSystem); }

}  // namespace

SceneSequence demoSceneSequence() { return {makeFirstScene, makeSecondScene}; }
