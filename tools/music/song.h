// A song as the renderer sees it: tracks of notes, each track with its instrument
// and its place in the mix, on a fixed tempo.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace music {

// Times in seconds from the start of the song; pitch as a MIDI note number.
struct Note {
    double start;
    double length;
    double pitch;
    float velocity;  // 0..1
};

// One rendered note, stereo, starting at the note's start.
struct Sound {
    std::vector<float> left, right;
    void resize(size_t frames) {
        left.assign(frames, 0.0f);
        right.assign(frames, 0.0f);
    }
    size_t frames() const { return left.size(); }
};

class Instrument {
public:
    virtual ~Instrument() = default;
    virtual void play(const Note& note, Sound* out) = 0;
};

struct Track {
    std::string name;
    std::shared_ptr<Instrument> instrument;
    float gain = 1.0f;
    double pan = 0.0;      // -1 left .. 1 right
    float reverb = 0.0f;   // send level
    float echo = 0.0f;     // send level into the tempo delay
    std::vector<Note> notes;
};

struct Song {
    double bpm = 120.0;
    int beatsPerBar = 4;
    double length = 0.0;      // seconds; the render ends here (after the fade)
    double fadeOut = 0.0;     // seconds of fade before the end
    double reverbSize = 0.8;  // 0..1
    double reverbDamp = 0.4;  // 0..1
    float reverbLevel = 1.0f;
    double echoBeats = 0.75;  // tempo delay time
    float echoFeedback = 0.35f;
    std::vector<Track> tracks;

    double beats(double count) const { return count * 60.0 / bpm; }
    double bars(double count) const { return beats(count * beatsPerBar); }
};

// Renders to interleaved stereo at kSampleRate, limited and normalised to
// peakDb (dBFS), with the fade applied.
std::vector<float> render(const Song& song, float peakDb);

}  // namespace music
