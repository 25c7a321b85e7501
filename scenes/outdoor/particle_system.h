// The CPU side of a large set of point particles whose motion between re-issues
// the owning effect's vertex program computes: per particle an emission point, a
// spawn time and a life time, two per-particle shader values, and the wind
// gathered at its last re-issue. Each frame the owner gathers the wind and
// re-issues every particle whose life has run out; the arrays are written in
// place and handed to OpenGL as client arrays with stride 0.
//
// Random numbers come from the process-wide crtRand() in a fixed order, so the
// same sequence builds the same particles in every run.
//
// Wind: `wind` is the wind path's velocity (units per second) integrated over
// scene time, so a particle drifts by `wind` minus its own `windData` however
// many frames were drawn, and the two draws of one frame add nothing twice.
#pragma once

#include "math/vec3.h"

class Spline;
class Timer;

class ParticleSystem {
public:
    ParticleSystem(int particleCount, Timer* timer, const Vec3& emitCorner1, const Vec3& emitCorner2,
                   const char* windPathFile, bool driftWithWind);
    ~ParticleSystem();
    ParticleSystem(const ParticleSystem&) = delete;
    ParticleSystem& operator=(const ParticleSystem&) = delete;

    // Adds the wind path's value at the timer's time, times the scene time passed
    // since the previous accumulation, to `wind` (nothing on the first call, nothing
    // again at the same time; a path that is not loaded, or has fewer than three
    // values per key, leaves `wind` alone).
    void updateWind();
    // Re-issues every particle whose spawn time plus life time lies strictly before
    // the timer's time: new life, new spawn time after now, the current wind, the
    // emission point kept (moved by the wind in x and z when drifting).
    void respawnExpired();

    Vec3* positions = nullptr;  // emission point per particle
    float* lifeData = nullptr;  // per particle: spawnTime, lifeTime, paramA, paramB
    float* windData = nullptr;  // per particle: wind x, y, z at the last re-issue, 0
    Vec3 wind;                  // accumulated wind, from (0, 0, 0)
    int count = 0;

    // Range triples: value = base + (r mod modulus) / divisor for a draw r.
    int paramABase = 120;
    int paramAModulus = 10;
    float paramADivisor = 1.0f;
    int paramBBase = 20;
    int paramBModulus = 10;
    float paramBDivisor = 1.0f;
    int lifeBase = 20;
    int lifeModulus = 10000;
    float lifeDivisor = 1000.0f;
    int spawnBase = 110;
    int spawnModulus = 1000;
    float spawnDivisor = 100.0f;

    bool driftWithWind = false;
    Vec3* emitBox = nullptr;  // two opposite corners, as given
    Spline* windPath = nullptr;
    Timer* timer = nullptr;  // not owned; read, never advanced

    // The scene time of the last wind accumulation, once there was one.
    float windTime = 0.0f;
    bool windTimeKnown = false;

private:
    Vec3 randomPointInEmitBox() const;
    float now() const;
};
