#include "shell/scene_sequence.h"

#include "scenes/indoor/bump_mapping.h"
#include "shell/scene.h"

namespace {

// Stands in for a scene that is not part of this build: it draws nothing and
// finishes at once, so the demo goes on to the next scene.
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

SceneSequence installed{nullptr, nullptr};

}  // namespace

SceneSequence demoSceneSequence() { return {makeFirstScene, makeSecondScene}; }

void setSceneSequence(SceneSequence sequence) { installed = sequence; }

SceneSequence currentSceneSequence() {
    if (installed.first && installed.second) return installed;
    return demoSceneSequence();
}
