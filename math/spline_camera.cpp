#include "math/spline_camera.h"

#include <GL/glew.h>
#include <GL/glu.h>

#include "math/spline.h"
#include "platform/clock/timer.h"

SplineCamera::SplineCamera(Timer* timer_, const char* pathFile, InputControl* input_) {
    position.set(0.0f, 10.0f, 10.0f);
    direction.set(0.0f, 0.0f, -1.0f);
    path = new Spline(pathFile);
    timer = timer_;
    input = input_;
}

SplineCamera::~SplineCamera() {
    if (path) {
        path->release();
        delete path;
        path = nullptr;
    }
}

void SplineCamera::update() {
    if (path && timer) path->evaluate(static_cast<float>(timer->total()));
}

void SplineCamera::apply() {
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(45.0, 1.0, 1.0, 2000.0);
    glViewport(0, 0, 1024, 1024);

    // A path that did not load, or holds no eye and target, leaves the camera
    // where it was (initially at (0, 10, 10) looking along -z).
    Vec3 target = position + direction;
    if (path && path->loaded && path->dimension >= 6) {
        const float* v = path->values;
        position.set(v[0], v[1], v[2]);
        target.set(v[3], v[4], v[5]);
        direction = target - position;
        direction.normalize();
    }
    gluLookAt(position.x, position.y, position.z, target.x, target.y, target.z, 0.0, 1.0, 0.0);

    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}
