// Helios: the snowy landscape. D minor, 80 bpm, a bar is 3 s.
//   bars  0-9   snow: pad and wind, snowflake bells, the theme hinted on bells
//   bars 10-17  the grass rises (30 s): bass, heartbeat kick, harp arpeggios, the theme
//   bars 18-33  bloom: second progression with its own tune, then the theme again, fuller
//   bars 34-41  stillness: drums out, bells and harp over the pad
//   bars 42-49  the last rise: everything, the theme an octave up
//   bars 50-57  ending on D minor, ringing out
#include <memory>

#include "automation.h"
#include "instruments.h"
#include "score.h"
#include "scores.h"

namespace music {
namespace {

struct Harmony {
    std::vector<int> pad;   // voicing for the pad
    int root;               // bass note
    std::vector<int> arp;   // harp notes, low to high
};

Harmony chord(const char* pad, const char* root, const char* arp) { return {notes(pad), noteNumber(root), notes(arp)}; }

const Harmony kDm = chord("D3 A3 C4 E4 F4", "D2", "D4 F4 A4 C5 E5");
const Harmony kBb = chord("Bb2 F3 A3 C4 D4", "Bb1", "Bb3 D4 F4 A4 C5");
const Harmony kF = chord("F2 C3 A3 E4 G4", "F2", "F4 A4 C5 E5 G5");
const Harmony kC = chord("C3 G3 D4 E4 G4", "C2", "C4 E4 G4 D5 E5");
const Harmony kGm = chord("G2 D3 F3 A3 Bb3", "G1", "G3 Bb3 D4 F4 A4");
const Harmony kFa = chord("A2 C3 F3 A3 E4", "A1", "A3 C4 F4 A4 E5");
const Harmony kA = chord("A2 E3 G3 C#4 E4", "A1", "A3 C#4 E4 G4 A4");

// The chord of every bar.
std::vector<const Harmony*> progression() {
    std::vector<const Harmony*> bars;
    auto add = [&](std::initializer_list<const Harmony*> chords, int barsEach) {
        for (const Harmony* h : chords)
            for (int i = 0; i < barsEach; ++i) bars.push_back(h);
    };
    add({&kDm, &kBb, &kF, &kC}, 2);                   // 0-7
    add({&kBb, &kA}, 1);                              // 8-9, into the rise
    add({&kDm, &kBb, &kF, &kC, &kDm, &kBb, &kF, &kC}, 1);  // 10-17
    add({&kGm, &kBb, &kFa, &kC, &kGm, &kBb, &kFa, &kC}, 1);  // 18-25
    add({&kDm, &kBb, &kF, &kC, &kDm, &kBb, &kF, &kA}, 1);  // 26-33
    add({&kDm, &kBb, &kF, &kC}, 2);                   // 34-41
    add({&kGm, &kBb, &kFa, &kC, &kDm, &kBb, &kF, &kC}, 1);  // 42-49
    add({&kBb, &kC}, 1);                              // 50-51
    add({&kDm}, 6);                                   // 52-57
    return bars;
}

const char* kTheme =
    "A4:1 D5 E5 F5 | F5:1.5 E5:0.5 D5:2 | C5:1 A4 C5 F5 | E5:3 r:1 |"
    "A4:1 D5 E5 F5 | G5:1.5 F5:0.5 D5:2 | C5:1 F5 A5 G5 | E5:2 D5:1 E5:1";
const char* kBloom =
    "D5:1.5 Bb4:0.5 A4:1 G4:1 | F5:2 D5:2 | C5:1.5 A4:0.5 C5:1 F5:1 | G5:2 E5:2 |"
    "D5:1.5 F5:0.5 G5:1 A5:1 | Bb5:2 A5:1 F5:1 | A5:1.5 G5:0.5 F5:1 C5:1 | E5:3 r:1";

}  // namespace

Song helios() {
    Song song;
    song.bpm = 80;
    song.length = song.bars(58) + 4.0;  // the last chord rings into the reverb
    song.fadeOut = 9.0;
    song.reverbSize = 0.88;
    song.reverbDamp = 0.35;
    song.reverbLevel = 1.0f;
    song.echoBeats = 0.75;
    song.echoFeedback = 0.4f;
    const double bar = song.bars(1);
    auto at = [&](double bars) { return bars * bar; };
    std::vector<const Harmony*> bars = progression();


    // Pad: its filter opens as the landscape comes to life and closes for the end.
    auto pad = std::make_shared<Pad>();
    pad->cutoff = Curve({{0, 450}, {at(10), 700}, {at(18), 2200}, {at(34), 3000}, {at(36), 1100},
                         {at(42), 1300}, {at(46), 3800}, {at(50), 3000}, {at(58), 500}});
    pad->subLevel = 0.25f;
    pad->resonance = 0.9;
    {
        Writer w = addTrack(song, "pad", pad, 0.42f, 0.0, 0.55f, 0.0f);
        // A chord per bar, but held chords are one long note, so nothing re-attacks.
        for (size_t b = 0; b < bars.size();) {
            size_t end = b;
            while (end < bars.size() && bars[end] == bars[b]) ++end;
            float velocity = b < 10 ? 0.55f : (b >= 34 && b < 42) || b >= 50 ? 0.6f : 0.75f;
            double length = double(end - b) * 4 - (end == bars.size() ? 6 : 0.25);
            w.chord(w.bar(double(b)), length, bars[b]->pad, velocity);
            b = end;
        }
    }

    // Wind across the snow: long breaths of filtered noise.
    auto wind = std::make_shared<NoiseSwell>();
    wind->fromHz = 500;
    wind->toHz = 1400;
    wind->q = 2.0;
    wind->envelope = Adsr{4.0, 0.0, 1.0, 5.0};
    {
        Writer w = addTrack(song, "wind", wind, 0.22f, 0.0, 0.4f, 0.0f);
        for (double b : {0.0, 4.0, 34.0, 38.0, 52.0}) w.note(w.bar(b), 12, 60, 0.7f);
    }

    // Snowflakes: soft high bells at scattered (fixed) places, most in the quiet parts.
    auto flake = std::make_shared<Bell>();
    flake->decay = 1.6;
    flake->brightness = 0.7;
    {
        Writer w = addTrack(song, "flakes", flake, 0.2f, 0.3, 0.6f, 0.45f);
        std::vector<int> scale = notes("D6 F6 G6 A6 C7 D7 E6");
        Noise pick(2024);
        for (int b = 0; b < 58; ++b) {
            bool quiet = b < 10 || (b >= 34 && b < 42) || b >= 50;
            int count = quiet ? 3 : 1;
            for (int k = 0; k < count; ++k) {
                double beat = w.bar(b) + std::floor(pick.uniform() * 16.0) * 0.25;
                int pitch = scale[size_t(pick.uniform() * scale.size()) % scale.size()];
                w.note(beat, 0.5, pitch, 0.35f + 0.25f * pick.uniform());
            }
        }
    }

    // The theme on bells, first as a hint in the snow, later doubling the lead.
    auto bell = std::make_shared<Bell>();
    bell->decay = 3.0;
    {
        Writer w = addTrack(song, "bells", bell, 0.3f, -0.2, 0.55f, 0.3f);
        w.melody(w.bar(4), "A5:2 C6:2 | F5:4 | E5:2 G5:2 | D5:4 | F5:2 D5:2 | C#5:2 E5:2", 0.6f);
        w.melody(w.bar(26), kTheme, 0.45f, 12);
        w.melody(w.bar(34), "A5:4 | F5:4 | F5:2 E5:2 | D5:4 | C5:4 | A4:4 | E5:2 G5:2 | E5:4", 0.55f);
        w.melody(w.bar(46), "D6:1 E6 F6 A6 | F6:1.5 E6:0.5 D6:2 | C6:1 F6 A6 G6 | E6:2 D6:1 E6:1", 0.5f);
        w.melody(w.bar(52), "A5:2 F5:2 | E5:2 D5:2 | A5:8", 0.5f);
    }

    // The singing lead: the theme when the grass rises, the bloom tune, the theme again.
    auto lead = std::make_shared<Lead>();
    {
        Writer w = addTrack(song, "lead", lead, 0.4f, 0.1, 0.4f, 0.22f);
        w.melody(w.bar(10), kTheme, 0.7f);
        w.melody(w.bar(18), kBloom, 0.75f);
        w.melody(w.bar(26), kTheme, 0.8f);
        w.melody(w.bar(42), kBloom, 0.8f, 12);
        w.melody(w.bar(50), "F5:2 E5:2 | D5:2 E5:2 | D5:8", 0.7f);
    }

    // Harp arpeggios from the rise on, sparse in the stillness.
    auto harp = std::make_shared<Pluck>();
    harp->brightness = 0.45;
    {
        Writer w = addTrack(song, "harp", harp, 0.32f, -0.35, 0.35f, 0.3f);
        const std::vector<int> up = {0, 1, 2, 3, 4, 3, 2, 1};
        const std::vector<int> wide = {0, 2, 4, 5, 4, 2};
        for (int b = 10; b < 52; ++b) {
            const Harmony& h = *bars[size_t(b)];
            if (b >= 34 && b < 42) {
                w.arpeggio(w.bar(b), 4, h.arp, wide, 2.0 / 3.0, 1.2, 0.45f);  // triplet quarters
            } else {
                float v = b < 18 ? 0.5f : 0.62f;
                w.arpeggio(w.bar(b), 4, h.arp, up, 0.5, 0.9, v);
            }
        }
        w.arpeggio(w.bar(52), 8, kDm.arp, wide, 2.0 / 3.0, 1.5, 0.4f);
    }

    // Bass: long roots at first, then walking eighths in the bloom.
    auto bass = std::make_shared<SoftBass>();
    {
        Writer w = addTrack(song, "bass", bass, 0.55f, 0.0, 0.05f, 0.0f);
        for (int b = 10; b < 52; ++b) {
            int root = bars[size_t(b)]->root;
            if (b < 18 || (b >= 34 && b < 42)) {
                w.note(w.bar(b), 3.8, root, 0.75f);
            } else {
                w.note(w.bar(b), 1.4, root, 0.85f);
                w.note(w.bar(b) + 1.5, 0.9, root, 0.6f);
                w.note(w.bar(b) + 2.5, 0.4, root + 12, 0.5f);
                w.note(w.bar(b) + 3.0, 0.9, root + 7, 0.65f);
            }
        }
        w.note(w.bar(52), 12, kDm.root, 0.55f);
    }

    // Drums: a heartbeat when the grass rises, a soft groove in the bloom.
    auto kick = std::make_shared<Kick>();
    kick->decay = 0.32;
    kick->click = 0.12f;
    auto clap = std::make_shared<Clap>();
    clap->hz = 1400;
    clap->tail = 0.2;
    auto shaker = std::make_shared<Shaker>();
    {
        Writer k = addTrack(song, "kick", kick, 0.62f, 0.0, 0.05f, 0.0f);
        Writer c = addTrack(song, "clap", clap, 0.2f, 0.15, 0.6f, 0.1f);
        Writer s = addTrack(song, "shaker", shaker, 0.16f, -0.25, 0.2f, 0.0f);
        k.steps(k.bar(10), "X.......x.......", 8, 36, 0.7f);
        k.steps(k.bar(18), "X.......x.....x.", 16, 36, 0.85f);
        k.steps(k.bar(42), "X.......x.....x.", 8, 36, 0.9f);
        c.steps(c.bar(18), "....x.......x...", 16, 60, 0.6f);
        c.steps(c.bar(42), "....x.......x..g", 8, 60, 0.65f);
        s.steps(s.bar(14), "g.x.g.x.g.x.g.xg", 4, 60, 0.5f);
        s.steps(s.bar(18), "gxXxgxXxgxXxgxXx", 16, 60, 0.6f);
        s.steps(s.bar(42), "gxXxgxXxgxXxgxXx", 8, 60, 0.65f);
    }

    // A breath of rising noise into the last rise.
    auto riser = std::make_shared<NoiseSwell>();
    riser->fromHz = 300;
    riser->toHz = 6000;
    riser->envelope = Adsr{2.5, 0.0, 1.0, 0.6};
    {
        Writer w = addTrack(song, "riser", riser, 0.12f, 0.0, 0.5f, 0.0f);
        w.note(w.bar(40), 8, 60, 0.6f);
        w.note(w.bar(16), 8, 60, 0.45f);
    }
    return song;
}

}  // namespace music
