// The demo's own scene sequence: the outdoor scene, then the indoor scene. It
// lives with the scenes, so the shell knows scenes only through Scene and the
// factories it is handed.
#include "scenes/indoor/bump_mapping.h"
#include "shell/scene.h"
#include "shell/scene_sequence.h"

namespace {

// Stands in for the outdoor scene until it is part of the build: it draws
// nothing and finishes at once, so the demo goes on to the next scene.
class EmptyScene : public Scene {
public:
    EmptyScene(InputControl* input, FMOD::System* fmodSystem) : Scene("Empty", input, fmodSystem) {}
    bool render() override {
        finished = true;
        return true;
    }
};

Scene* makeFirstScene(InputControl* input, FMOD::System* fmodSystem) { return new EmptyScene(input, fmodSystem); }
Scene* makeSecondScene(InputControl* input, FMOD::System* fmodSystem) { return new BumpMapping(input, fmodSystem); }

}  // namespace

SceneSequence demoSceneSequence() { return {makeFirstScene, makeSecondScene}; }
