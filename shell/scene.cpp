#include "shell/scene.h"

#include "math/spline_camera.h"
#include "platform/clock/timer.h"
#include "shell/fmod_check.h"

Scene::Scene(std::string name_, InputControl* input_, FMOD::System* fmodSystem_) {
    name = std::move(name_);
    input = input_;
    timer = new Timer();
    fmodSystem = fmodSystem_;
    finished = false;
}

Scene::~Scene() {
    delete camera;
    camera = nullptr;
    delete timer;
    timer = nullptr;
}

bool Scene::step() {
    if (timer) timer->update();
    if (camera) camera->update();
    if (fmodSystem) fmodSystem->update();
    return render();
}

void Scene::startMusic(const char* file) {
    fmodResult = fmodSystem ? fmodSystem->createStream(file, FMOD_DEFAULT, nullptr, &sound) : FMOD_ERR_UNINITIALIZED;
    fmodCheck(fmodResult);
    fmodResult = fmodSystem ? fmodSystem->playSound(FMOD_CHANNEL_FREE, sound, false, &channel)
                            : FMOD_ERR_UNINITIALIZED;
    fmodCheck(fmodResult);
}

bool Scene::checkError(const char* /*label*/) { return false; }
