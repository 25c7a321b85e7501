// The two scenes WinMain plays, in order. The shell constructs each through the
// factory it is handed and names no scene itself: the programs (oku, oku-capture)
// hand it the demo's own list before WinMain runs, tests hand it theirs.
#pragma once

#include "platform/sound/fmod.h"

class Scene;
class InputControl;

using SceneFactory = Scene* (*)(InputControl* input, FMOD::System* fmodSystem);

struct SceneSequence {
    SceneFactory first;
    SceneFactory second;
};

// The sequence the next WinMain plays; {nullptr, nullptr} leaves none, and WinMain
// then returns 0 without opening a window.
void setSceneSequence(SceneSequence sequence);
SceneSequence currentSceneSequence();
