#include "instruments.h"

#include <vector>

namespace music {
namespace {

size_t framesFor(double seconds) { return static_cast<size_t>(std::max(seconds, 0.0) * kSampleRate) + 1; }

// A seed from the note, so each note's noise differs and every render is the same.
uint32_t seedFor(const Note& note, uint32_t salt) {
    uint64_t bits = static_cast<uint64_t>(note.start * 1000003.0) * 2654435761u ^
                    static_cast<uint64_t>(note.pitch * 977.0) ^ (uint64_t(salt) << 20);
    bits ^= bits >> 29;
    bits *= 0xBF58476D1CE4E5B9ull;
    bits ^= bits >> 32;
    return static_cast<uint32_t>(bits) | 1u;
}

double cents(double c) { return std::pow(2.0, c / 1200.0); }

// Percussive amplitude: a 1 ms rise, an exponential fall, and a 10 ms taper to
// zero at the end of the buffer.
double strikeEnvelope(double t, double decay, double total) {
    double rise = std::min(1.0, t / 0.001);
    double taper = std::clamp((total - t) / 0.010, 0.0, 1.0);
    return rise * std::exp(-t / decay) * taper;
}

}  // namespace

void Pad::play(const Note& note, Sound* out) {
    double total = envelope.length(note.length);
    size_t frames = framesFor(total);
    out->resize(frames);
    const std::vector<float> env = envelope.levels(note.length, frames);
    double hz = midiToHz(note.pitch);
    Noise random(seedFor(note, 1));
    std::vector<Oscillator> oscillators;
    std::vector<double> ratio;
    std::vector<float> toLeft, toRight;
    for (int v = 0; v < voices; ++v) {
        oscillators.emplace_back(random.uniform());
        double spread = voices > 1 ? 2.0 * v / (voices - 1) - 1.0 : 0.0;
        ratio.push_back(cents(detuneCents * spread));
        float l, r;
        panGains(0.7 * spread, &l, &r);
        toLeft.push_back(l);
        toRight.push_back(r);
    }
    Rotor sub(hz * 0.5, random.uniform());
    Svf left, right;
    float level = note.velocity / std::sqrt(float(voices));
    for (size_t i = 0; i < frames; ++i) {
        double t = double(i) / kSampleRate;
        if (i % 32 == 0) {
            double hzCut = cutoff(note.start + t) * (0.6 + 0.4 * note.velocity) * (1.0 + 0.12 * std::sin(2 * kPi * 0.17 * t));
            left.set(hzCut, resonance);
            right.set(hzCut, resonance);
        }
        double l = 0.0, r = 0.0;
        for (int v = 0; v < voices; ++v) {
            oscillators[size_t(v)].advance(hz * ratio[size_t(v)]);
            double s = oscillators[size_t(v)].saw();
            l += s * toLeft[size_t(v)];
            r += s * toRight[size_t(v)];
        }
        left.process(l);
        right.process(r);
        double gain = env[i] * level;
        double s = subLevel * sub.next();
        out->left[i] = float((left.low + s) * gain);
        out->right[i] = float((right.low + s) * gain);
    }
}

void Bell::play(const Note& note, Sound* out) {
    static const double kRatio[] = {1.0, 2.005, 2.76, 4.07, 5.43, 8.93};
    static const double kLevel[] = {1.0, 0.55, 0.32, 0.22, 0.12, 0.06};
    static const double kDecay[] = {1.0, 0.62, 0.45, 0.3, 0.2, 0.12};
    double total = decay * 2.4;
    size_t frames = framesFor(total);
    out->resize(frames);
    double hz = midiToHz(note.pitch);
    Noise random(seedFor(note, 2));
    for (int p = 0; p < 6; ++p) {
        double f = hz * kRatio[p];
        if (f > 0.45 * kSampleRate) continue;
        double level = kLevel[p] * std::pow(brightness, p) * note.velocity * 0.5;
        double tau = decay * kDecay[p] / 3.0;
        Rotor partial(f, random.uniform(), tau);
        size_t audible = std::min(frames, static_cast<size_t>(8.0 * tau * kSampleRate));  // down to -70 dB
        // Upper partials lean left and right a little for width.
        double pan = p == 0 ? 0.0 : (p % 2 ? 0.35 : -0.35);
        float gl, gr;
        panGains(pan, &gl, &gr);
        size_t attack = static_cast<size_t>(0.002 * kSampleRate), taper = static_cast<size_t>(0.02 * kSampleRate);
        for (size_t i = 0; i < audible; ++i) {
            double edge = std::min({1.0, double(i) / attack, double(audible - 1 - i) / taper});
            double s = level * partial.next() * edge;
            out->left[i] += float(s * gl);
            out->right[i] += float(s * gr);
        }
    }
}

void Pluck::play(const Note& note, Sound* out) {
    Adsr envelope{0.001, 0.0, 1.0, 0.25};
    double hz = midiToHz(note.pitch);
    double total = envelope.length(note.length);
    size_t frames = framesFor(total);
    out->resize(frames);
    const std::vector<float> env = envelope.levels(note.length, frames);
    // The averaging filter delays by half a sample; the rest is read fractionally.
    double delay = kSampleRate / hz - 0.5;
    size_t size = static_cast<size_t>(delay) + 4;
    std::vector<double> line(size, 0.0);
    Noise random(seedFor(note, 3));
    OnePole excite;
    excite.set(600.0 + 9000.0 * brightness);
    size_t burst = static_cast<size_t>(delay);
    double mean = 0.0;
    for (size_t i = 0; i < burst; ++i) mean += line[i] = excite.low(random.next());
    mean /= double(std::max<size_t>(burst, 1));
    for (size_t i = 0; i < burst; ++i) line[i] -= mean;  // no offset left ringing in the loop
    size_t write = burst % size;
    double previous = 0.0;
    for (size_t i = 0; i < frames; ++i) {
        double readAt = double(write) - delay;
        while (readAt < 0) readAt += double(size);
        size_t a = static_cast<size_t>(readAt) % size, b = (a + 1) % size;
        double fraction = readAt - std::floor(readAt);
        double sample = line[a] + (line[b] - line[a]) * fraction;
        double filtered = damping * 0.5 * (sample + previous);
        previous = sample;
        line[write] = filtered;
        write = (write + 1) % size;
        double s = sample * env[i] * note.velocity;
        out->left[i] = out->right[i] = float(s);
    }
}

void Lead::play(const Note& note, Sound* out) {
    double total = envelope.length(note.length);
    size_t frames = framesFor(total);
    out->resize(frames);
    const std::vector<float> env = envelope.levels(note.length, frames);
    double hz = midiToHz(note.pitch);
    Oscillator osc(0.25);  // starts at the triangle's zero crossing
    Svf filter;
    filter.set(cutoff, 0.7);
    for (size_t i = 0; i < frames; ++i) {
        double t = double(i) / kSampleRate;
        double depth = vibratoCents * std::clamp((t - 0.3) / 0.6, 0.0, 1.0);
        osc.advance(hz * cents(depth * std::sin(2 * kPi * 5.1 * t)));
        double s = 0.65 * osc.triangle() + 0.35 * std::sin(2 * kPi * (osc.phase - 0.25)) + sawLevel * osc.saw();
        filter.process(s);
        float value = float(filter.low * env[i] * note.velocity * 0.6);
        out->left[i] = out->right[i] = value;
    }
}

void SoftBass::play(const Note& note, Sound* out) {
    double total = envelope.length(note.length);
    size_t frames = framesFor(total);
    out->resize(frames);
    const std::vector<float> env = envelope.levels(note.length, frames);
    double hz = midiToHz(note.pitch);
    Rotor low(hz, 0.0);
    Oscillator high(0.25);
    for (size_t i = 0; i < frames; ++i) {
        high.advance(hz * 2.0);
        double s = 0.85 * low.next() + 0.2 * high.triangle();
        float value = float(saturate(1.2 * s) * env[i] * note.velocity * 0.7);
        out->left[i] = out->right[i] = value;
    }
}

void AcidBass::play(const Note& note, Sound* out) {
    double total = envelope.length(note.length);
    size_t frames = framesFor(total);
    out->resize(frames);
    const std::vector<float> env = envelope.levels(note.length, frames);
    double hz = midiToHz(note.pitch);
    Noise random(seedFor(note, 4));
    std::vector<Oscillator> oscillators;
    std::vector<double> ratio;
    for (int v = 0; v < voices; ++v) {
        oscillators.emplace_back(random.uniform());
        double spread = voices > 1 ? 2.0 * v / (voices - 1) - 1.0 : 0.0;
        ratio.push_back(cents(detuneCents * spread));
    }
    Svf filter;
    double scale = cutoffScale(note.start);
    double normal = std::tanh(drive);
    for (size_t i = 0; i < frames; ++i) {
        double t = double(i) / kSampleRate;
        if (i % 16 == 0)
            filter.set((baseCutoff + envelopeCutoff * note.velocity * std::exp(-t / filterDecay)) * scale, resonance);
        double s = 0.0;
        for (int v = 0; v < voices; ++v) {
            oscillators[size_t(v)].advance(hz * ratio[size_t(v)]);
            s += square ? oscillators[size_t(v)].square() : oscillators[size_t(v)].saw();
        }
        filter.process(s / voices);
        float value = float(saturate(drive * filter.low) / normal * env[i] * note.velocity * 0.5);
        out->left[i] = out->right[i] = value;
    }
}

void Kick::play(const Note& note, Sound* out) {
    double total = std::min(1.2, decay * 5.0);
    size_t frames = framesFor(total);
    out->resize(frames);
    Noise random(seedFor(note, 5));
    OnePole clickFilter;
    clickFilter.set(2500.0);
    double phase = 0.0, normal = std::tanh(drive);
    for (size_t i = 0; i < frames; ++i) {
        double t = double(i) / kSampleRate;
        double hz = endHz + (startHz - endHz) * std::exp(-t / pitchDecay);
        phase += hz / kSampleRate;
        double body = std::sin(2 * kPi * phase) * strikeEnvelope(t, decay, total);
        double tick = clickFilter.high(random.next()) * click * strikeEnvelope(t, 0.003, total);
        float value = float(saturate(drive * (body + tick)) / normal * note.velocity * 0.8);
        out->left[i] = out->right[i] = value;
    }
}

void Snare::play(const Note& note, Sound* out) {
    double total = decay * 5.0;
    size_t frames = framesFor(total);
    out->resize(frames);
    Noise random(seedFor(note, 6));
    Svf band;
    band.set(noiseHz, 0.9);
    OnePole rumble;
    rumble.set(700.0);
    double phase = 0.0;
    for (size_t i = 0; i < frames; ++i) {
        double t = double(i) / kSampleRate;
        phase += toneHz * (1.0 + 0.3 * std::exp(-t / 0.01)) / kSampleRate;
        double tone = toneLevel * std::sin(2 * kPi * phase) * strikeEnvelope(t, 0.05, total);
        double n = rumble.high(random.next());
        band.process(n);
        double noise = (0.6 * band.band + 0.4 * n) * strikeEnvelope(t, decay / 2.5, total);
        float value = float((tone + noise) * note.velocity * 0.7);
        out->left[i] = out->right[i] = value;
    }
}

void Clap::play(const Note& note, Sound* out) {
    double total = tail * 5.0 + 0.04;
    size_t frames = framesFor(total);
    out->resize(frames);
    Noise random(seedFor(note, 7));
    Svf band;
    band.set(hz, 1.4);
    static const double kBursts[] = {0.0, 0.011, 0.021, 0.032};
    for (size_t i = 0; i < frames; ++i) {
        double t = double(i) / kSampleRate;
        double env = 0.0;
        for (double start : kBursts)
            if (t >= start) env = std::max(env, std::min(1.0, (t - start) / 0.0005) * std::exp(-(t - start) / 0.006));
        if (t >= kBursts[3]) env += 0.5 * std::exp(-(t - kBursts[3]) / tail);
        env *= std::clamp((total - t) / 0.01, 0.0, 1.0);
        band.process(random.next());
        float value = float(band.band * env * note.velocity * 1.4);
        out->left[i] = out->right[i] = value;
    }
}

void Hat::play(const Note& note, Sound* out) {
    static const double kHz[] = {205.3, 304.4, 369.6, 522.7, 540.0, 800.0};
    double decay = note.length < 0.12 ? 0.04 : note.length * 0.5;
    double total = decay * 5.0;
    size_t frames = framesFor(total);
    out->resize(frames);
    double scale = tone * std::pow(2.0, (note.pitch - 60.0) / 12.0);
    Oscillator oscillators[6];
    Noise random(seedFor(note, 8));
    for (Oscillator& o : oscillators) o.phase = random.uniform();
    Svf first, second;
    first.set(highPass, 0.8);
    second.set(highPass * 1.2, 0.8);
    for (size_t i = 0; i < frames; ++i) {
        double t = double(i) / kSampleRate;
        double s = 0.0;
        for (int k = 0; k < 6; ++k) {
            oscillators[k].advance(kHz[k] * scale);
            s += oscillators[k].square();
        }
        s = s / 6.0 + noise * random.next();
        first.process(s);
        second.process(first.high);
        float value = float(second.high * strikeEnvelope(t, decay, total) * note.velocity * 0.7);
        out->left[i] = out->right[i] = value;
    }
}

void Shaker::play(const Note& note, Sound* out) {
    double total = decay * 6.0;
    size_t frames = framesFor(total);
    out->resize(frames);
    Noise random(seedFor(note, 9));
    Svf filter;
    filter.set(7000.0, 0.7);
    for (size_t i = 0; i < frames; ++i) {
        double t = double(i) / kSampleRate;
        double env = std::min(1.0, t / 0.004) * std::exp(-t / decay) * std::clamp((total - t) / 0.01, 0.0, 1.0);
        filter.process(random.next());
        float value = float(filter.high * env * note.velocity * 0.5);
        out->left[i] = out->right[i] = value;
    }
}

void Metal::play(const Note& note, Sound* out) {
    double total = decay * 5.0;
    size_t frames = framesFor(total);
    out->resize(frames);
    double hz = midiToHz(note.pitch);
    Noise random(seedFor(note, 10));
    Svf strikeFilter;
    strikeFilter.set(4000.0, 0.7);
    for (size_t i = 0; i < frames; ++i) {
        double t = double(i) / kSampleRate;
        double brightness = index * std::exp(-t / (decay * 0.25));
        double a = std::sin(2 * kPi * hz * t + brightness * std::sin(2 * kPi * hz * ratio * t));
        // The upper pair sounds in quadrature on the two sides, for width.
        double upper = 2 * kPi * hz * ratio2 * t + 0.6 * brightness * std::sin(2 * kPi * hz * 1.93 * t);
        strikeFilter.process(random.next());
        double hit = strike * strikeFilter.high * strikeEnvelope(t, 0.004, total);
        double body = 0.6 * a * strikeEnvelope(t, decay, total);
        double ring = 0.4 * strikeEnvelope(t, decay * 0.5, total);
        double left = body + ring * std::sin(upper), right = body + ring * std::cos(upper) * std::min(1.0, t / 0.002);
        out->left[i] = float((left + hit) * note.velocity * 0.45);
        out->right[i] = float((right + hit) * note.velocity * 0.45);
    }
}

void NoiseSwell::play(const Note& note, Sound* out) {
    double total = envelope.length(note.length);
    size_t frames = framesFor(total);
    out->resize(frames);
    const std::vector<float> env = envelope.levels(note.length, frames);
    Noise left(seedFor(note, 11)), right(seedFor(note, 12));
    Svf fl, fr;
    for (size_t i = 0; i < frames; ++i) {
        double t = double(i) / kSampleRate;
        if (i % 32 == 0) {
            double x = std::clamp(t / std::max(note.length, 0.01), 0.0, 1.0);
            double hz = fromHz * std::pow(toHz / fromHz, x);
            fl.set(hz, q);
            fr.set(hz * 1.07, q);
        }
        fl.process(left.next());
        fr.process(right.next());
        double gain = env[i] * note.velocity * 0.8;
        out->left[i] = float(fl.band * gain);
        out->right[i] = float(fr.band * gain);
    }
}

}  // namespace music
