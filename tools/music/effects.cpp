#include "effects.h"

#include <algorithm>
#include <cmath>

#include "dsp.h"

namespace music {
namespace {

class Comb {
public:
    explicit Comb(size_t length) : buffer(length, 0.0f) {}
    float process(float input, float feedback, float damp) {
        float out = buffer[index];
        store = out * (1.0f - damp) + store * damp;
        buffer[index] = input + store * feedback;
        index = (index + 1) % buffer.size();
        return out;
    }

private:
    std::vector<float> buffer;
    size_t index = 0;
    float store = 0.0f;
};

class AllPass {
public:
    explicit AllPass(size_t length) : buffer(length, 0.0f) {}
    float process(float input) {
        float delayed = buffer[index];
        float out = delayed - input;
        buffer[index] = input + delayed * 0.5f;
        index = (index + 1) % buffer.size();
        return out;
    }

private:
    std::vector<float> buffer;
    size_t index = 0;
};

}  // namespace

void addReverb(const std::vector<float>& send, double size, double damp, float level, std::vector<float>* left,
               std::vector<float>* right) {
    static const size_t kCombs[] = {1116, 1188, 1277, 1356, 1422, 1491, 1557, 1617};
    static const size_t kAllPasses[] = {556, 441, 341, 225};
    const size_t spread = 23;
    const size_t preDelay = static_cast<size_t>(0.025 * kSampleRate);
    std::vector<Comb> combsL, combsR;
    std::vector<AllPass> passesL, passesR;
    for (size_t c : kCombs) {
        combsL.emplace_back(c);
        combsR.emplace_back(c + spread);
    }
    for (size_t a : kAllPasses) {
        passesL.emplace_back(a);
        passesR.emplace_back(a + spread);
    }
    float feedback = float(0.7 + 0.28 * std::clamp(size, 0.0, 1.0));
    float damping = float(0.4 * std::clamp(damp, 0.0, 1.0));
    OnePole lowCut;  // keeps the low end of the mix dry and clear
    lowCut.set(180.0);
    size_t frames = left->size();
    for (size_t i = 0; i < frames; ++i) {
        float input = i >= preDelay && i - preDelay < send.size() ? send[i - preDelay] : 0.0f;
        input = float(lowCut.high(input)) * 0.015f;
        float l = 0.0f, r = 0.0f;
        for (size_t c = 0; c < combsL.size(); ++c) {
            l += combsL[c].process(input, feedback, damping);
            r += combsR[c].process(input, feedback, damping);
        }
        for (size_t a = 0; a < passesL.size(); ++a) {
            l = passesL[a].process(l);
            r = passesR[a].process(r);
        }
        (*left)[i] += l * level * 3.0f;
        (*right)[i] += r * level * 3.0f;
    }
}

void addEcho(const std::vector<float>& send, double delaySeconds, float feedback, std::vector<float>* left,
             std::vector<float>* right, std::vector<float>* reverbSend) {
    size_t delay = std::max<size_t>(1, static_cast<size_t>(delaySeconds * kSampleRate));
    std::vector<float> lineL(delay, 0.0f), lineR(delay, 0.0f);
    OnePole darkL, darkR, thinL, thinR;
    darkL.set(3500.0);
    darkR.set(3500.0);
    thinL.set(250.0);
    thinR.set(250.0);
    size_t index = 0;
    for (size_t i = 0; i < left->size(); ++i) {
        float input = i < send.size() ? send[i] : 0.0f;
        float outL = lineL[index], outR = lineR[index];
        // Left feeds right and right feeds left: the echoes alternate sides.
        lineL[index] = input + float(thinL.high(darkL.low(outR))) * feedback;
        lineR[index] = float(thinR.high(darkR.low(outL))) * feedback;
        index = (index + 1) % delay;
        (*left)[i] += outL;
        (*right)[i] += outR;
        if (i < reverbSend->size()) (*reverbSend)[i] += 0.3f * (outL + outR);
    }
}

void master(std::vector<float>* left, std::vector<float>* right, float peakDb, double fadeSeconds) {
    size_t frames = left->size();
    OnePole dcL, dcR;
    dcL.set(20.0);
    dcR.set(20.0);
    for (size_t i = 0; i < frames; ++i) {
        (*left)[i] = float(dcL.high((*left)[i]));
        (*right)[i] = float(dcR.high((*right)[i]));
    }

    // Scale so the loudest peak sits 3 dB over the ceiling, then bring the few
    // peaks above the ceiling down. The gain needed at each sample is known in
    // advance, so it falls over 3 ms before a peak and recovers over 250 ms.
    float loudest = 0.0f;
    for (size_t i = 0; i < frames; ++i) loudest = std::max({loudest, std::fabs((*left)[i]), std::fabs((*right)[i])});
    if (loudest <= 0.0f) return;
    const float ceiling = dbToGain(peakDb);
    const float preGain = ceiling * dbToGain(3.0f) / loudest;
    std::vector<float> gain(frames);
    for (size_t i = 0; i < frames; ++i) {
        float level = preGain * std::max(std::fabs((*left)[i]), std::fabs((*right)[i]));
        gain[i] = level > ceiling ? ceiling / level : 1.0f;
    }
    const float attack = float(std::exp(-1.0 / (0.003 * kSampleRate)));
    const float release = float(std::exp(-1.0 / (0.25 * kSampleRate)));
    for (size_t i = frames - 1; i-- > 0;) gain[i] = std::min(gain[i], 1.0f - (1.0f - gain[i + 1]) * attack);
    for (size_t i = 1; i < frames; ++i) gain[i] = std::min(gain[i], 1.0f - (1.0f - gain[i - 1]) * release);

    float after = 0.0f;
    for (size_t i = 0; i < frames; ++i) {
        (*left)[i] *= preGain * gain[i];
        (*right)[i] *= preGain * gain[i];
        after = std::max({after, std::fabs((*left)[i]), std::fabs((*right)[i])});
    }
    // Exactly on the ceiling.
    float trim = ceiling / after;
    size_t fadeFrames = static_cast<size_t>(fadeSeconds * kSampleRate);
    for (size_t i = 0; i < frames; ++i) {
        float fade = 1.0f;
        if (fadeFrames && i + fadeFrames >= frames) {
            double x = double(frames - 1 - i) / double(fadeFrames);  // 1 .. 0
            fade = float(0.5 - 0.5 * std::cos(kPi * std::clamp(x, 0.0, 1.0)));
        }
        (*left)[i] *= trim * fade;
        (*right)[i] *= trim * fade;
    }
}

}  // namespace music
