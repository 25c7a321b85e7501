// The oku program: hands the shell the demo's two scenes and plays them.
#include "scenes/demo_scenes.h"
#include "shell/demo_app.h"

int main() {
    setSceneSequence(demoSceneSequence());
    return WinMain(nullptr, nullptr, nullptr, 0);
}
