// Signal building blocks of the music renderer: oscillators, envelopes, filters,
// noise. Everything is deterministic (no clock, no global random state), so a
// score renders to the same samples on every machine.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

namespace music {

constexpr double kPi = 3.14159265358979323846;
constexpr int kSampleRate = 44100;

inline double midiToHz(double note) { return 440.0 * std::pow(2.0, (note - 69.0) / 12.0); }
inline float dbToGain(float db) { return std::pow(10.0f, db / 20.0f); }

// xorshift32 white noise in [-1, 1).
class Noise {
public:
    explicit Noise(uint32_t seed = 0x9E3779B9u) : state(seed ? seed : 1u) {}
    float next() {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        return static_cast<float>(state) / 2147483648.0f - 1.0f;
    }
    float uniform() { return 0.5f * (next() + 1.0f); }  // [0, 1)

private:
    uint32_t state;
};

// Band-limited correction at the discontinuities of saw and square waves.
inline double polyBlep(double t, double dt) {
    if (t < dt) {
        t /= dt;
        return t + t - t * t - 1.0;
    }
    if (t > 1.0 - dt) {
        t = (t - 1.0) / dt;
        return t * t + t + t + 1.0;
    }
    return 0.0;
}

// A phase accumulator with the usual waveforms, all band-limited.
class Oscillator {
public:
    explicit Oscillator(double startPhase = 0.0) : phase(startPhase - std::floor(startPhase)) {}
    void advance(double hz) {
        dt = hz / kSampleRate;
        phase += dt;
        if (phase >= 1.0) phase -= 1.0;
    }
    double sine() const { return std::sin(2.0 * kPi * phase); }
    double saw() const { return 2.0 * phase - 1.0 - polyBlep(phase, dt); }
    double square(double width = 0.5) const {
        double value = phase < width ? 1.0 : -1.0;
        value += polyBlep(phase, dt);
        double shifted = phase - width + (phase < width ? 1.0 : 0.0);
        return value - polyBlep(shifted, dt);
    }
    double triangle() const { return 1.0 - 4.0 * std::fabs(phase - 0.5); }
    double phase;
    double dt = 0.0;
};

// A sine of fixed frequency that may die away exponentially, by rotating a
// complex number one step a sample: no sin() or exp() per sample.
class Rotor {
public:
    Rotor(double hz, double phase, double decaySeconds = 0.0) {
        double step = 2.0 * kPi * hz / kSampleRate;
        double shrink = decaySeconds > 0.0 ? std::exp(-1.0 / (decaySeconds * kSampleRate)) : 1.0;
        cosStep = shrink * std::cos(step);
        sinStep = shrink * std::sin(step);
        re = std::cos(2.0 * kPi * phase);
        im = std::sin(2.0 * kPi * phase);
    }
    // The current value (amplitude times sine), then one step on.
    double next() {
        double value = im;
        double r = re * cosStep - im * sinStep;
        im = re * sinStep + im * cosStep;
        re = r;
        return value;
    }

private:
    double re, im, cosStep, sinStep;
};

// Attack-decay-sustain-release with linear attack and exponential-looking segments.
// Every stage is at least a few samples long, so a note never starts or stops with a step.
struct Adsr {
    double attack = 0.005, decay = 0.1, sustain = 1.0, release = 0.1;  // seconds, level

    // Level at time t after note-on for a note held `held` seconds.
    double at(double t, double held) const {
        double a = std::max(attack, 0.002), r = std::max(release, 0.005);
        auto holding = [&](double time) {
            if (time < a) return time / a;
            double d = time - a;
            if (decay <= 0.0) return sustain;
            return sustain + (1.0 - sustain) * std::exp(-4.0 * d / decay);
        };
        if (t < held) return holding(t);
        double fromLevel = holding(held);
        double after = t - held;
        if (after >= r) return 0.0;
        // Exponential shape that lands exactly on zero at the end of the release.
        double x = after / r;
        return fromLevel * (std::exp(-5.0 * x) - std::exp(-5.0)) / (1.0 - std::exp(-5.0));
    }
    double length(double held) const { return held + std::max(release, 0.005); }

    // Levels for `frames` samples, evaluated every 16 samples and joined by
    // straight lines: smooth, and cheap enough to use for every note.
    std::vector<float> levels(double held, size_t frames) const {
        std::vector<float> out(frames);
        const size_t block = 16;
        double previous = at(0.0, held);
        for (size_t start = 0; start < frames; start += block) {
            double next = at(double(start + block) / kSampleRate, held);
            size_t end = std::min(frames, start + block);
            for (size_t i = start; i < end; ++i)
                out[i] = float(previous + (next - previous) * double(i - start) / double(block));
            previous = next;
        }
        if (frames) out[frames - 1] = 0.0f;  // every note ends in silence
        return out;
    }
};

// Topology-preserving state-variable filter: low, band and high pass at once,
// stable under fast cutoff changes.
class Svf {
public:
    void set(double hz, double q) {
        hz = std::clamp(hz, 10.0, 0.45 * kSampleRate);
        g = std::tan(kPi * hz / kSampleRate);
        k = 1.0 / std::max(q, 0.1);
        a1 = 1.0 / (1.0 + g * (g + k));
    }
    void process(double x) {
        double v3 = x - ic2;
        double v1 = a1 * ic1 + g * a1 * v3;
        double v2 = ic2 + g * v1;
        ic1 = 2.0 * v1 - ic1;
        ic2 = 2.0 * v2 - ic2;
        low = v2;
        band = v1;
        high = x - k * v1 - v2;
    }
    double low = 0.0, band = 0.0, high = 0.0;

private:
    double g = 0.0, k = 1.0, a1 = 0.0, ic1 = 0.0, ic2 = 0.0;
};

// One-pole low pass (and high pass as the difference).
class OnePole {
public:
    void set(double hz) { coefficient = 1.0 - std::exp(-2.0 * kPi * hz / kSampleRate); }
    double low(double x) { return state += coefficient * (x - state); }
    double high(double x) { return x - low(x); }

private:
    double coefficient = 1.0, state = 0.0;
};

// Soft saturation that keeps small signals linear.
inline double saturate(double x) { return std::tanh(x); }

// Equal-power pan: -1 left .. 1 right.
inline void panGains(double pan, float* left, float* right) {
    double angle = (std::clamp(pan, -1.0, 1.0) + 1.0) * kPi / 4.0;
    *left = static_cast<float>(std::cos(angle) * std::sqrt(2.0));
    *right = static_cast<float>(std::sin(angle) * std::sqrt(2.0));
}

}  // namespace music
