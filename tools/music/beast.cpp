// Beast: the industrial set piece. E minor, 120 bpm, a bar is 2 s.
//   bars  0-3   machine hall: drone, steam, clanks
//   bars  4-11  the machine starts: kick, hats, the bass riff opening up
//   bars 12-27  full run: clap, chord stabs, the lead figure, anvils
//   bars 28-31  pressure drop: no kick, stabs and a riser
//   bars 32-43  full run again, the lead an octave up, tom fills
//   bars 44-47  winding down, faded out over the last 5 s (to 95 s)
#include <memory>

#include "automation.h"
#include "instruments.h"
#include "score.h"
#include "scores.h"

namespace music {
namespace {

struct Harmony {
    int root;                 // bass riff root
    std::vector<int> stab;    // chord stab voicing
};

std::vector<Harmony> cycle() {
    auto h = [](const char* root, const char* stab) { return Harmony{noteNumber(root), notes(stab)}; };
    return {h("E2", "E3 G3 B3 E4"), h("E2", "E3 G3 B3 E4"), h("C2", "C3 G3 C4 E4"), h("D2", "D3 A3 D4 F#4"),
            h("E2", "E3 G3 B3 E4"), h("E2", "E3 G3 B3 E4"), h("A1", "A2 E3 A3 C4"), h("B1", "B2 F#3 B3 D#4")};
}

// The riff: semitones over the root for each sixteenth; -1 rests.
const int kRiff[16] = {0, -1, 0, 12, 0, -1, 0, 3, 0, -1, 0, 12, 7, -1, 5, 3};

// Eight bars over the chord cycle, in two halves.
const char* kFigureA =
    "E5:0.75 E5:0.25 G5:0.5 E5:0.5 B5:1 A5:0.5 G5:0.5 | F#5:1 E5:1 D5:1 B4:1 |"
    "E5:0.75 E5:0.25 G5:0.5 E5:0.5 C6:1 B5:0.5 G5:0.5 | A5:1.5 F#5:0.5 D5:2 |";
const char* kFigureB =
    "E5:0.75 E5:0.25 G5:0.5 E5:0.5 B5:1 A5:0.5 G5:0.5 | B5:1 G5:1 E5:1 G5:1 |"
    "A5:0.75 A5:0.25 C6:0.5 A5:0.5 E6:1 C6:0.5 A5:0.5 | D#6:1.5 B5:0.5 F#5:2";

}  // namespace

Song beast() {
    Song song;
    song.bpm = 120;
    song.length = 95.0;
    song.fadeOut = 5.0;
    song.reverbSize = 0.72;
    song.reverbDamp = 0.55;
    song.reverbLevel = 0.8f;
    song.echoBeats = 0.75;
    song.echoFeedback = 0.38f;
    const double bar = song.bars(1);
    auto at = [&](double bars) { return bars * bar; };
    const std::vector<Harmony> harmony = cycle();
    auto chordOf = [&](int b) -> const Harmony& { return harmony[size_t(b) % harmony.size()]; };
    auto running = [](int b) { return (b >= 4 && b < 28) || (b >= 32 && b < 47); };


    // The hall's hum: a dark drone on E that never stops.
    auto drone = std::make_shared<Pad>();
    drone->voices = 3;
    drone->detuneCents = 12;
    drone->resonance = 1.6;
    drone->envelope = Adsr{3.0, 0.0, 1.0, 3.0};
    drone->subLevel = 0.0f;
    drone->cutoff = Curve({{0, 180}, {at(4), 320}, {at(28), 260}, {at(32), 420}, {at(47), 200}});
    {
        Writer w = addTrack(song, "drone", drone, 0.26f, 0.0, 0.25f, 0.0f);
        // Above the kick's range, so the beat keeps the bottom to itself.
        w.note(0, w.bar(46.5), noteNumber("E2"), 0.8f);
        w.note(0, w.bar(46.5), noteNumber("B2"), 0.5f);
    }

    // Steam: short hisses of high noise, and a riser into each full run.
    auto steam = std::make_shared<NoiseSwell>();
    steam->fromHz = 5000;
    steam->toHz = 2500;
    steam->q = 1.2;
    steam->envelope = Adsr{0.05, 0.0, 1.0, 0.6};
    auto riser = std::make_shared<NoiseSwell>();
    riser->fromHz = 250;
    riser->toHz = 7000;
    riser->envelope = Adsr{3.0, 0.0, 1.0, 0.3};
    {
        Writer s = addTrack(song, "steam", steam, 0.14f, -0.5, 0.5f, 0.2f);
        for (double b : {0.0, 1.5, 3.0, 7.5, 15.5, 23.5, 28.0, 29.5, 30.0, 39.5, 44.0, 45.5})
            s.note(s.bar(b) + 1, 1.2, 60, 0.8f);
        Writer r = addTrack(song, "riser", riser, 0.14f, 0.0, 0.4f, 0.0f);
        r.note(r.bar(2), 8, 60, 0.7f);
        r.note(r.bar(29), 12, 60, 0.85f);
    }

    // Struck metal: clanks on the off-beats, anvils, a deep pipe every phrase.
    auto clank = std::make_shared<Metal>();
    clank->ratio = 1.41;
    clank->ratio2 = 2.76;
    clank->index = 4.0;
    clank->decay = 0.35;
    auto anvil = std::make_shared<Metal>();
    anvil->ratio = 2.41;
    anvil->ratio2 = 3.93;
    anvil->index = 2.5;
    anvil->decay = 0.5;
    anvil->strike = 0.5f;
    auto pipe = std::make_shared<Metal>();
    pipe->ratio = 1.17;
    pipe->ratio2 = 2.76;
    pipe->index = 1.5;
    pipe->decay = 1.6;
    {
        Writer c = addTrack(song, "clank", clank, 0.28f, 0.35, 0.3f, 0.15f);
        Writer a = addTrack(song, "anvil", anvil, 0.16f, -0.3, 0.35f, 0.25f);
        Writer p = addTrack(song, "pipe", pipe, 0.3f, 0.1, 0.5f, 0.3f);
        c.steps(0, "x.......x..x....", 4, noteNumber("D4"), 0.6f);
        for (int b = 4; b < 47; ++b) {
            if (!running(b) && b < 28) continue;
            c.steps(c.bar(b), b % 4 == 3 ? "......x...x.x.x." : "......x.......x.", 1, noteNumber("D4"), 0.75f);
            if (b >= 12 && running(b)) a.steps(a.bar(b), "...x.....x...x..", 1, noteNumber("A5"), 0.6f);
        }
        for (int b = 0; b < 46; b += 4) p.note(p.bar(b), 2, noteNumber(b % 8 ? "G2" : "E2"), 0.8f);
    }

    // The beat.
    auto kick = std::make_shared<Kick>();
    kick->startHz = 170;
    kick->endHz = 48;
    kick->decay = 0.28;
    kick->drive = 2.2f;
    kick->click = 0.3f;
    auto tom = std::make_shared<Kick>();
    tom->startHz = 260;
    tom->endHz = 120;
    tom->pitchDecay = 0.06;
    tom->decay = 0.22;
    tom->click = 0.15f;
    auto clap = std::make_shared<Clap>();
    auto snare = std::make_shared<Snare>();
    auto hat = std::make_shared<Hat>();
    auto openHat = std::make_shared<Hat>();
    openHat->tone = 1.1;
    {
        Writer k = addTrack(song, "kick", kick, 0.9f, 0.0, 0.04f, 0.0f);
        Writer t = addTrack(song, "tom", tom, 0.4f, -0.2, 0.2f, 0.1f);
        Writer c = addTrack(song, "clap", clap, 0.32f, 0.05, 0.35f, 0.0f);
        Writer s = addTrack(song, "snare", snare, 0.22f, -0.05, 0.2f, 0.0f);
        Writer h = addTrack(song, "hat", hat, 0.16f, 0.25, 0.05f, 0.0f);
        Writer o = addTrack(song, "open hat", openHat, 0.12f, -0.25, 0.1f, 0.0f);
        for (int b = 4; b < 47; ++b) {
            if (!running(b)) continue;
            bool fill = b % 8 == 7 && b >= 11;
            k.steps(k.bar(b), b == 46 ? "X..............." : "X...X...X...X...", 1, 36, 0.9f);
            if (b >= 6 && b < 45) h.steps(h.bar(b), "gxXxgxXxgxXxgxXX", 1, 60, 0.7f, 0.25, 0.05);
            if (b >= 12 && b < 46) {
                c.steps(c.bar(b), "....X.......X...", 1, 60, 0.85f);
                s.steps(s.bar(b), fill ? "....X..g....XgXX" : "....X.......X..g", 1, 60, 0.7f);
                o.steps(o.bar(b), "..X...X...X...X.", 1, 60, 0.5f, 0.25, 0.3);
            }
            if (fill) t.melody(t.bar(b) + 3, "A3:0.25 F3:0.25 D3:0.25 A2:0.25", 0.8f);
        }
        // The drop: only the clap, sparse, in the hall.
        c.steps(c.bar(28), "............X...", 4, 60, 0.6f);
    }

    // The bass riff: its filter opens as the machine gets going.
    auto bass = std::make_shared<AcidBass>();
    bass->baseCutoff = 160;
    bass->envelopeCutoff = 1800;
    bass->resonance = 3.5;
    bass->drive = 2.5;
    bass->cutoffScale = Curve({{at(4), 0.35}, {at(12), 1.0}, {at(27), 1.4}, {at(32), 0.8}, {at(44), 1.6}, {at(47), 0.5}});
    {
        Writer w = addTrack(song, "bass", bass, 0.5f, 0.0, 0.05f, 0.05f);
        for (int b = 4; b < 47; ++b) {
            if (!running(b)) continue;
            const Harmony& h = chordOf(b);
            for (int s = 0; s < 16; ++s) {
                if (kRiff[s] < 0) continue;
                float v = s % 8 == 0 ? 1.0f : s % 4 == 2 ? 0.8f : 0.65f;
                w.note(w.bar(b) + 0.25 * s, 0.18, h.root + kRiff[s], v);
            }
        }
    }

    // Chord stabs on the off-beats: three detuned squares, gritty.
    auto stab = std::make_shared<AcidBass>();
    stab->square = true;
    stab->voices = 3;
    stab->detuneCents = 10;
    stab->baseCutoff = 500;
    stab->envelopeCutoff = 3000;
    stab->filterDecay = 0.08;
    stab->resonance = 1.8;
    stab->drive = 1.6;
    stab->envelope = Adsr{0.003, 0.15, 0.3, 0.12};
    stab->cutoffScale = Curve({{at(12), 0.7}, {at(28), 1.2}, {at(29), 0.35}, {at(32), 1.0}, {at(44), 1.3}});
    {
        Writer w = addTrack(song, "stabs", stab, 0.2f, -0.15, 0.3f, 0.35f);
        for (int b = 12; b < 44; ++b) {
            const Harmony& h = chordOf(b);
            const char* rhythm = b >= 28 && b < 32 ? "X..............." : "..X..X....X..X..";
            for (size_t s = 0; s < 16; ++s)
                if (rhythm[s] == 'X') w.chord(w.bar(b) + 0.25 * double(s), 0.3, h.stab, 0.8f);
        }
    }

    // The lead figure: a hard square line with echoes.
    auto lead = std::make_shared<AcidBass>();
    lead->square = true;
    lead->voices = 2;
    lead->detuneCents = 7;
    lead->baseCutoff = 1200;
    lead->envelopeCutoff = 2500;
    lead->filterDecay = 0.2;
    lead->resonance = 1.2;
    lead->drive = 2.0;
    lead->envelope = Adsr{0.005, 0.3, 0.7, 0.15};
    {
        Writer w = addTrack(song, "lead", lead, 0.2f, 0.2, 0.3f, 0.3f);
        // First low and half-hidden, then in its own register, then an octave up.
        w.melody(w.bar(12), kFigureA, 0.7f, -12);
        w.melody(w.bar(16), kFigureB, 0.75f, -12);
        w.melody(w.bar(20), kFigureA, 0.85f);
        w.melody(w.bar(24), kFigureB, 0.85f);
        w.melody(w.bar(32), kFigureA, 0.85f);
        w.melody(w.bar(36), kFigureB, 0.85f);
        w.melody(w.bar(40), kFigureA, 0.9f, 12);
        w.melody(w.bar(44), "E6:2 B5:2 | G5:2 E5:2 | E5:8", 0.7f);
    }
    return song;
}

}  // namespace music
