// A value that moves over song time through given points, geometric between
// them (right for frequencies and levels alike).
#pragma once

#include <cmath>
#include <utility>
#include <vector>

namespace music {

class Curve {
public:
    Curve(std::initializer_list<std::pair<double, double>> points) : points(points) {}
    double operator()(double time) const {
        if (time <= points.front().first) return points.front().second;
        for (size_t i = 1; i < points.size(); ++i) {
            if (time <= points[i].first) {
                auto [t0, v0] = points[i - 1];
                auto [t1, v1] = points[i];
                double x = (time - t0) / (t1 - t0);
                return v0 * std::pow(v1 / v0, x);
            }
        }
        return points.back().second;
    }

private:
    std::vector<std::pair<double, double>> points;
};

}  // namespace music
