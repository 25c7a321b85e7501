// The two time values that drive the grass shaders, from the scene time: the
// growing time rises by 0.01 per second for `growthSpan` seconds after
// `growthStart` and then holds; the wind time rises by 0.01 per second from
// `growthStart` on, without end. Before the start both are 0.
#pragma once

#include <algorithm>

struct GrassTimeValues {
    float growingTime;
    float windTime;
};

inline GrassTimeValues grassTimeValues(float sceneTime, float growthStart, float growthSpan) {
    if (growthStart > sceneTime) return {0.0f, 0.0f};
    const float sinceStart = sceneTime - growthStart;
    return {static_cast<float>(std::min(sinceStart, growthSpan) * 0.01),
            static_cast<float>(sinceStart * 0.01)};
}
