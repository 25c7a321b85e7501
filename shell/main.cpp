#include "shell/demo_app.h"

int main() { return WinMain(nullptr, nullptr, nullptr, 0); }
