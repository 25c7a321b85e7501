// The oku program: finds its data, hands the shell the demo's two scenes and plays them.
#include "scenes/demo_scenes.h"
#include "shell/data_folder.h"
#include "shell/demo_app.h"

int main() {
    if (!enterDataFolder()) return 1;
    setSceneSequence(demoSceneSequence());
    return WinMain(nullptr, nullptr, nullptr, 0);
}
