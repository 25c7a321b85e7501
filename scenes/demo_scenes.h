// The demo's own scene list: the outdoor scene, then the indoor scene. The
// programs hand it to the shell (setSceneSequence) before WinMain runs.
#pragma once

#include "shell/scene_sequence.h"

SceneSequence demoSceneSequence();
