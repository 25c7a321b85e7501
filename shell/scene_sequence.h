// The two scenes the demo plays, in order. The shell constructs each through
// its factory; tests put their own scenes in to drive the frame loop.
#pragma once

#include "platform/sound/fmod.h"

class Scene;
class InputControl;

using SceneFactory = Scene* (*)(InputControl* input, FMOD::System* fmodSystem);

struct SceneSequence {
    SceneFactory first;
    SceneFactory second;
};

// The demo's own two scenes; defined with the scenes (scenes/demo_scenes.cpp).
SceneSequence demoSceneSequence();
// Replaces the sequence the shell plays; {nullptr, nullptr} restores the demo's own.
void setSceneSequence(SceneSequence sequence);
SceneSequence currentSceneSequence();
