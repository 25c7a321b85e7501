// A single-producer, single-consumer ring of interleaved stereo float frames.
// One thread writes (the decoder), one reads (the audio callback); neither blocks.
// clear() may only be called while neither side is using the ring.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

class PcmRing {
public:
    explicit PcmRing(size_t capacityFrames) : samples(capacityFrames * 2), capacityFrames(capacityFrames) {}

    size_t capacity() const { return capacityFrames; }
    size_t readable() const {
        return static_cast<size_t>(written.load(std::memory_order_acquire) - consumed.load(std::memory_order_acquire));
    }
    size_t writable() const { return capacityFrames - readable(); }

    // Producer: appends up to count frames; returns how many fitted.
    size_t write(const float* frames, size_t count) {
        uint64_t head = written.load(std::memory_order_relaxed);
        uint64_t tail = consumed.load(std::memory_order_acquire);
        size_t space = capacityFrames - static_cast<size_t>(head - tail);
        if (count > space) count = space;
        if (count) copyIn(frames, count, static_cast<size_t>(head % capacityFrames));
        written.store(head + count, std::memory_order_release);
        return count;
    }

    // Consumer: takes up to count frames; returns how many there were.
    size_t read(float* frames, size_t count) {
        uint64_t tail = consumed.load(std::memory_order_relaxed);
        uint64_t head = written.load(std::memory_order_acquire);
        size_t available = static_cast<size_t>(head - tail);
        if (count > available) count = available;
        if (count) copyOut(frames, count, static_cast<size_t>(tail % capacityFrames));
        consumed.store(tail + count, std::memory_order_release);
        return count;
    }

    void clear() {
        written.store(0, std::memory_order_relaxed);
        consumed.store(0, std::memory_order_relaxed);
    }

private:
    // The ring holds frames [start, start + count) in at most two pieces.
    size_t firstPiece(size_t start, size_t count) const {
        return count < capacityFrames - start ? count : capacityFrames - start;
    }
    void copyIn(const float* from, size_t count, size_t start) {
        size_t first = firstPiece(start, count);
        std::memcpy(samples.data() + start * 2, from, first * 2 * sizeof(float));
        if (count > first) std::memcpy(samples.data(), from + first * 2, (count - first) * 2 * sizeof(float));
    }
    void copyOut(float* to, size_t count, size_t start) const {
        size_t first = firstPiece(start, count);
        std::memcpy(to, samples.data() + start * 2, first * 2 * sizeof(float));
        if (count > first) std::memcpy(to + first * 2, samples.data(), (count - first) * 2 * sizeof(float));
    }

    std::vector<float> samples;
    size_t capacityFrames;
    std::atomic<uint64_t> written{0};   // frames ever written
    std::atomic<uint64_t> consumed{0};  // frames ever read
};
