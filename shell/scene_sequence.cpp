#include "shell/scene_sequence.h"

namespace {
SceneSequence installed{nullptr, nullptr};
}  // namespace

void setSceneSequence(SceneSequence sequence) { installed = sequence; }

SceneSequence currentSceneSequence() { return installed; }
