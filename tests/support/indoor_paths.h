// Reads and evaluates the indoor scene's .spl motion paths for tests that check
// or render the flight, by the same rules as the demo's path reader: a natural
// cubic spline through the key values with unit spacing between keys, the key
// times only placing the segments; held at the last key when not looping.
#pragma once

#include <cmath>
#include <fstream>
#include <string>
#include <vector>

struct TestPath {
    int dimension = 0;
    bool loop = false;
    std::vector<float> times;
    std::vector<std::vector<float>> values, second;  // per key

    bool load(const std::string& path) {
        std::ifstream in(path);
        int n = 0, loopFlag = 0;
        if (!(in >> dimension >> loopFlag >> n) || dimension < 1 || n < 2) return false;
        loop = loopFlag != 0;
        times.assign(n, 0);
        values.assign(n, std::vector<float>(dimension));
        for (int k = 0; k < n; ++k) {
            if (!(in >> times[k])) return false;
            for (float& v : values[k])
                if (!(in >> v)) return false;
        }
        second.assign(n, std::vector<float>(dimension, 0.0f));
        std::vector<float> u(n, 0.0f);
        for (int c = 0; c < dimension; ++c) {
            for (int k = 1; k < n - 1; ++k) {
                float p = second[k - 1][c] + 4.0f;
                second[k][c] = -1.0f / p;
                u[k] = (6.0f * (values[k + 1][c] - 2.0f * values[k][c] + values[k - 1][c]) - u[k - 1]) / p;
            }
            second[n - 1][c] = 0.0f;
            for (int k = n - 2; k >= 0; --k) second[k][c] = second[k][c] * second[k + 1][c] + u[k];
        }
        return true;
    }
    float endTime() const { return times.back(); }

    std::vector<float> at(float time) const {
        if (time >= endTime()) {
            if (!loop) return values.back();
            time = time - std::floor(time / endTime()) * endTime();
        }
        size_t i = 0;
        while (i < times.size() && times[i] <= time) ++i;
        if (i == 0) return values.front();
        size_t a = i - 1;
        float f = (time - times[a]) / (times[a + 1] - times[a]);
        std::vector<float> out(dimension);
        for (int c = 0; c < dimension; ++c)
            out[c] = (1 - f) * values[a][c] + f * values[a + 1][c] -
                     f * (f - 1) / 6 * ((f - 2) * second[a][c] - (f + 1) * second[a + 1][c]);
        return out;
    }
};
