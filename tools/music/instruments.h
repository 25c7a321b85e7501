// The instruments the scores play. Each renders one note at a time into its own
// buffer; all of them start from silence and end in silence.
#pragma once

#include <functional>

#include "dsp.h"
#include "song.h"

namespace music {

// Detuned saw voices through a resonant low pass whose cutoff follows song time:
// pads and string-like chords.
struct Pad : Instrument {
    int voices = 4;
    double detuneCents = 9.0;
    double resonance = 0.8;
    std::function<double(double songTime)> cutoff = [](double) { return 2000.0; };
    Adsr envelope{1.2, 1.0, 0.85, 2.5};
    float subLevel = 0.0f;  // a sine an octave down
    void play(const Note& note, Sound* out) override;
};

// Inharmonic decaying partials: a glassy bell or celesta.
struct Bell : Instrument {
    double decay = 2.5;        // seconds for the fundamental
    double brightness = 1.0;   // scales the upper partials
    void play(const Note& note, Sound* out) override;
};

// Plucked string (Karplus-Strong): harp-like arpeggios.
struct Pluck : Instrument {
    double damping = 0.996;    // feedback per period
    double brightness = 0.5;   // 0 dark .. 1 bright
    void play(const Note& note, Sound* out) override;
};

// Soft singing lead: triangle and sine with a delayed vibrato.
struct Lead : Instrument {
    Adsr envelope{0.06, 0.4, 0.8, 0.4};
    double cutoff = 3000.0;
    float sawLevel = 0.15f;
    double vibratoCents = 14.0;
    void play(const Note& note, Sound* out) override;
};

// Round bass: sine with a little triangle an octave up.
struct SoftBass : Instrument {
    Adsr envelope{0.01, 0.5, 0.75, 0.15};
    void play(const Note& note, Sound* out) override;
};

// Saw or square through a resonant low pass with its own envelope, driven into
// saturation: the industrial bass and stabs.
struct AcidBass : Instrument {
    Adsr envelope{0.003, 0.2, 0.6, 0.05};
    double baseCutoff = 180.0, envelopeCutoff = 2200.0, filterDecay = 0.12, resonance = 4.0;
    double drive = 1.8;
    bool square = false;
    int voices = 1;           // detuned copies
    double detuneCents = 0.0;
    std::function<double(double songTime)> cutoffScale = [](double) { return 1.0; };
    void play(const Note& note, Sound* out) override;
};

struct Kick : Instrument {
    double startHz = 150.0, endHz = 46.0, pitchDecay = 0.045, decay = 0.38;
    float click = 0.25f, drive = 1.2f;
    void play(const Note& note, Sound* out) override;
};

struct Snare : Instrument {
    double toneHz = 185.0, noiseHz = 3000.0, decay = 0.16;
    float toneLevel = 0.5f;
    void play(const Note& note, Sound* out) override;
};

struct Clap : Instrument {
    double hz = 1200.0, tail = 0.16;
    void play(const Note& note, Sound* out) override;
};

// Six detuned square waves at inharmonic ratios, high passed: metallic hats.
// The note's length chooses closed (short) or open.
struct Hat : Instrument {
    double tone = 1.0;  // scales the six frequencies
    double highPass = 7000.0;
    float noise = 0.3f;
    void play(const Note& note, Sound* out) override;
};

// Soft high-passed noise ticks: a shaker.
struct Shaker : Instrument {
    double decay = 0.05;
    void play(const Note& note, Sound* out) override;
};

// Struck metal: two frequency-modulated pairs at inharmonic ratios whose
// brightness dies away, with a noise strike. Anvils, pipes, clanks.
struct Metal : Instrument {
    double ratio = 1.41, ratio2 = 2.76, index = 5.0, decay = 0.6;
    float strike = 0.3f;
    void play(const Note& note, Sound* out) override;
};

// Filtered noise with a band that sweeps over the note: wind, steam, risers.
struct NoiseSwell : Instrument {
    double fromHz = 400.0, toHz = 3000.0, q = 1.5;
    Adsr envelope{1.0, 0.0, 1.0, 1.0};
    void play(const Note& note, Sound* out) override;
};

}  // namespace music
