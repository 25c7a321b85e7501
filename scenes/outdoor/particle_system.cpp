#include "scenes/outdoor/particle_system.h"

#include <algorithm>

#include "math/spline.h"
#include "platform/clock/timer.h"
#include "platform/log/debug_log.h"
#include "platform/random/crt_rand.h"

ParticleSystem::ParticleSystem(int particleCount, Timer* timer_, const Vec3& emitCorner1, const Vec3& emitCorner2,
                               const char* windPathFile, bool driftWithWind_) {
    wind.set(0.0f, 0.0f, 0.0f);
    debugLog("Construction Particle System");

    timer = timer_;
    // A negative count would make the arrays impossible; it builds an empty system.
    count = std::max(particleCount, 0);
    lifeData = new float[4 * count]();
    windData = new float[4 * count]();
    positions = new Vec3[count];

    emitBox = new Vec3[2];
    emitBox[0] = emitCorner1;
    emitBox[1] = emitCorner2;
    driftWithWind = driftWithWind_;

    windPath = new Spline(windPathFile);

    for (int j = 0; j < count; ++j) {
        positions[j] = randomPointInEmitBox();
        float* life = lifeData + 4 * j;
        life[0] = 0 + spawnBase + (crtRand() % spawnModulus) / spawnDivisor;
        life[1] = lifeBase + (crtRand() % lifeModulus) / lifeDivisor;
        life[2] = paramABase + (crtRand() % paramAModulus) / paramADivisor;
        life[3] = paramBBase + (crtRand() % paramBModulus) / paramBDivisor;
        float* drift = windData + 4 * j;
        drift[0] = drift[1] = drift[2] = 0.0f;
    }
}

ParticleSystem::~ParticleSystem() {
    debugLog("Destruction Particle System");
    delete[] positions;
    positions = nullptr;
    delete[] lifeData;
    lifeData = nullptr;
    delete[] windData;
    windData = nullptr;
    delete[] emitBox;
    emitBox = nullptr;
    windPath->release();
    delete windPath;
    windPath = nullptr;
}

float ParticleSystem::now() const { return timer ? static_cast<float>(timer->total()) : 0.0f; }

// x, then y, then z, each from its own draw, between the smaller and the larger
// corner value whichever corner holds it.
Vec3 ParticleSystem::randomPointInEmitBox() const {
    const Vec3& a = emitBox[0];
    const Vec3& b = emitBox[1];
    const Vec3 lo(std::min(a.x, b.x), std::min(a.y, b.y), std::min(a.z, b.z));
    const Vec3 extent = Vec3(std::max(a.x, b.x), std::max(a.y, b.y), std::max(a.z, b.z)) - lo;
    Vec3 point;
    point.x = static_cast<float>(lo.x + extent.x * ((crtRand() % 10000) / 10000.0));
    point.y = static_cast<float>(lo.y + extent.y * ((crtRand() % 10000) / 10000.0));
    point.z = static_cast<float>(lo.z + extent.z * ((crtRand() % 10000) / 10000.0));
    return point;
}

void ParticleSystem::updateWind() {
    const float t = now();
    // A path with fewer than three values per key has no wind vector to give.
    if (windPath->dimension < 3 || !windPath->evaluate(t)) return;
    // The path gives a velocity: it is added for the scene time that passed since
    // the last accumulation, so the wind does not depend on how often it is called.
    const float elapsed = windTimeKnown ? std::max(t - windTime, 0.0f) : 0.0f;
    windTime = t;
    windTimeKnown = true;
    wind.x += windPath->values[0] * elapsed;
    wind.y += windPath->values[1] * elapsed;
    wind.z += windPath->values[2] * elapsed;
}

void ParticleSystem::respawnExpired() {
    const float d = driftWithWind ? 1.0f : 0.0f;
    for (int i = 0; i < count; ++i) {
        const float t = now();
        float* life = lifeData + 4 * i;
        if (!(t > life[0] + life[1])) continue;
        life[1] = lifeBase + (crtRand() % lifeModulus) / lifeDivisor;
        life[0] = t + spawnBase + (crtRand() % spawnModulus) / spawnDivisor;
        positions[i].x += d * wind.x;
        positions[i].z += d * wind.z;
        float* drift = windData + 4 * i;
        drift[0] = wind.x;
        drift[1] = wind.y;
        drift[2] = wind.z;
    }
}
