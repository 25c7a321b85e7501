// The indoor scene's motion paths for tests that check or render the flight,
// read and evaluated by the demo's own path reader.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "math/spline.h"

struct TestPath {
    int dimension = 0;
    bool loop = false;
    std::vector<float> times;

    bool load(const std::string& path) {
        spline = std::make_unique<Spline>(path.c_str());
        if (!spline->loaded) return false;
        dimension = spline->dimension;
        loop = spline->loop;
        times.clear();
        for (int k = 0; k < spline->keyCount; ++k) times.push_back(spline->keyTable[k * (dimension + 1)]);
        return true;
    }
    float endTime() const { return spline->endTime; }

    std::vector<float> at(float time) const {
        spline->evaluate(time);
        return std::vector<float>(spline->values, spline->values + dimension);
    }

private:
    std::unique_ptr<Spline> spline;
};
