#include "shell/scene_sequence.h"

namespace {
SceneSequence installed{nullptr, nullptr};
}  // namespace

void setSceneSequence(SceneSequence sequence) { installed = sequence; }

SceneSequence currentSceneSequence() {
    if (installed.first && installed.second) return installed;
    return demoSceneSequence();
}
