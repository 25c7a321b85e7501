// The connected pieces of the indoor model (triangles sharing a corner
// position), for tests that check how the model is stored or what lies where.
#pragma once

#include <algorithm>
#include <array>
#include <map>
#include <numeric>
#include <vector>

#include "scenes/indoor/model.h"

// The pieces of one part, each as its sorted triangle indices, in storage order.
inline std::vector<std::vector<int>> modelPiecesOf(int part) {
    int first = modelParts[part].firstTriangle, count = modelParts[part].triangleCount;
    std::vector<int> parent(count);
    std::iota(parent.begin(), parent.end(), 0);
    auto find = [&](int i) {
        while (parent[i] != i) i = parent[i] = parent[parent[i]];
        return i;
    };
    std::map<std::array<float, 3>, int> owner;
    for (int t = 0; t < count; ++t)
        for (int k = 0; k < 3; ++k) {
            int i = 3 * (first + t) + k;
            std::array<float, 3> key{modelPositions[3 * i], modelPositions[3 * i + 1], modelPositions[3 * i + 2]};
            auto [it, inserted] = owner.emplace(key, t);
            if (!inserted) parent[find(t)] = find(it->second);
        }
    std::map<int, std::vector<int>> byRoot;
    for (int t = 0; t < count; ++t) byRoot[find(t)].push_back(first + t);
    std::vector<std::vector<int>> pieces;
    for (auto& entry : byRoot) pieces.push_back(std::move(entry.second));
    std::sort(pieces.begin(), pieces.end());
    return pieces;
}

struct ModelBox {
    float lo[3] = {1e30f, 1e30f, 1e30f}, hi[3] = {-1e30f, -1e30f, -1e30f};
    void add(int vertex) {
        for (int c = 0; c < 3; ++c) {
            lo[c] = std::min(lo[c], modelPositions[3 * vertex + c]);
            hi[c] = std::max(hi[c], modelPositions[3 * vertex + c]);
        }
    }
    float distanceTo(const float p[3]) const {
        float sum = 0;
        for (int c = 0; c < 3; ++c) {
            float d = std::max({lo[c] - p[c], 0.0f, p[c] - hi[c]});
            sum += d * d;
        }
        return std::sqrt(sum);
    }
};

inline ModelBox modelBoxOf(const std::vector<int>& triangles) {
    ModelBox box;
    for (int t : triangles)
        for (int k = 0; k < 3; ++k) box.add(3 * t + k);
    return box;
}
