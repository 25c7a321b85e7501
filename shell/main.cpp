#include "shell/data_folder.h"
#include "shell/demo_app.h"

int main() {
    if (!enterDataFolder()) return 1;
    return WinMain(nullptr, nullptr, nullptr, 0);
}
