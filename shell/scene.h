// The base of the demo's scenes: a name, a scene clock, a camera on a motion
// path, the shared input object, the sound system with the scene's music stream
// and channel, and a finished flag. The shell drives a scene through init, step
// (once per frame), isFinished, cleanup and the virtual destructor.
#pragma once

#include <string>

#include "platform/sound/fmod.h"

class Timer;
class SplineCamera;
class InputControl;

class Scene {
public:
    Scene(std::string name, InputControl* input, FMOD::System* fmodSystem);
    virtual ~Scene();
    Scene(const Scene&) = delete;
    Scene& operator=(const Scene&) = delete;

    virtual bool init() { return true; }
    virtual bool cleanup() { return true; }
    virtual bool render() { return true; }
    virtual bool isFinished() { return finished; }

    // Advances the clock, the camera and the sound system, then renders one frame.
    bool step();

protected:
    // Opens `file` as the scene's music stream and plays it on a free channel, both
    // calls checked; without a sound system both fail as uninitialised (logged), and
    // the scene plays on silently.
    void startMusic(const char* file);
    // Reports whether an error is pending after the labelled step; this system
    // keeps no error state there, so it always answers false.
    bool checkError(const char* label);

public:
    Timer* timer = nullptr;
    SplineCamera* camera = nullptr;
    InputControl* input = nullptr;
    std::string name;
    FMOD::System* fmodSystem = nullptr;
    FMOD::Sound* sound = nullptr;
    FMOD::Channel* channel = nullptr;
    FMOD_RESULT fmodResult = FMOD_OK;
    bool finished = false;
};
