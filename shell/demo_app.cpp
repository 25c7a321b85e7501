#include "shell/demo_app.h"

DemoApp demoApp;
