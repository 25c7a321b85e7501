// Helpers for writing scores in code: note names, melodies as short texts,
// chords, step patterns and arpeggios, all placed in beats on the song's tempo.
#pragma once

#include <cctype>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "song.h"

namespace music {

// "C4" is 60; sharps with '#', flats with 'b': "F#3", "Bb2".
inline int noteNumber(const std::string& name) {
    static const int kSemitone[] = {9, 11, 0, 2, 4, 5, 7};  // A B C D E F G
    size_t i = 0;
    int value = kSemitone[std::toupper(static_cast<unsigned char>(name[i++])) - 'A'];
    if (i < name.size() && name[i] == '#') ++value, ++i;
    else if (i < name.size() && name[i] == 'b') --value, ++i;
    int octave = std::atoi(name.c_str() + i);
    return value + 12 * (octave + 1);
}

inline std::vector<int> notes(const std::string& names) {
    std::vector<int> result;
    size_t i = 0;
    while (i < names.size()) {
        while (i < names.size() && names[i] == ' ') ++i;
        size_t j = i;
        while (j < names.size() && names[j] != ' ') ++j;
        if (j > i) result.push_back(noteNumber(names.substr(i, j - i)));
        i = j;
    }
    return result;
}

// Writes the notes of one track of a song. It names the track by its index,
// so adding more tracks to the song never invalidates a writer.
class Writer {
public:
    Writer(Song& song, size_t track) : song(song), track(track) {}

    void note(double beat, double beats, double pitch, float velocity) {
        song.tracks[track].notes.push_back({song.beats(beat), song.beats(beats), pitch, velocity});
    }
    double bar(double bars) const { return bars * song.beatsPerBar; }

    // A melody from `beat` on: tokens "D5:2" (note, beats), "r:1" (rest);
    // a token without ":beats" keeps the previous length; "D5:2~" ties the note
    // legato into the next (played a little longer). Returns the beat after it.
    double melody(double beat, const std::string& text, float velocity, int transpose = 0) {
        double length = 1.0;
        size_t i = 0;
        while (i < text.size()) {
            while (i < text.size() && (text[i] == ' ' || text[i] == '|')) ++i;
            size_t j = i;
            while (j < text.size() && text[j] != ' ' && text[j] != '|') ++j;
            if (j == i) break;
            std::string token = text.substr(i, j - i);
            i = j;
            size_t colon = token.find(':');
            std::string pitch = token.substr(0, colon);
            bool tie = !token.empty() && token.back() == '~';
            if (colon != std::string::npos) length = std::atof(token.c_str() + colon + 1);
            if (pitch != "r") note(beat, length * (tie ? 1.05 : 0.92), noteNumber(pitch) + transpose, velocity);
            beat += length;
        }
        return beat;
    }

    // Every note of the chord held for `beats`.
    void chord(double beat, double beats, const std::vector<int>& pitches, float velocity, int transpose = 0) {
        for (int p : pitches) note(beat, beats, p + transpose, velocity);
    }

    // One character a step from `beat` on, repeated `times`: 'X' accent, 'x'
    // normal, 'g' ghost, anything else a rest.
    void steps(double beat, const std::string& pattern, int times, double pitch, float velocity,
               double stepBeats = 0.25, double lengthBeats = 0.1) {
        for (int t = 0; t < times; ++t) {
            for (size_t s = 0; s < pattern.size(); ++s) {
                char c = pattern[s];
                float v = c == 'X' ? velocity : c == 'x' ? velocity * 0.75f : c == 'g' ? velocity * 0.4f : 0.0f;
                if (v > 0.0f) note(beat + (t * double(pattern.size()) + double(s)) * stepBeats, lengthBeats, pitch, v);
            }
        }
    }

    // Chord notes one after the other in the given order of indices (into
    // pitches, wrapping up an octave past the end), one every stepBeats.
    void arpeggio(double beat, double beats, const std::vector<int>& pitches, const std::vector<int>& order,
                  double stepBeats, double lengthBeats, float velocity) {
        size_t count = static_cast<size_t>(beats / stepBeats + 0.5);
        for (size_t k = 0; k < count; ++k) {
            int index = order[k % order.size()];
            int size = static_cast<int>(pitches.size());
            int pitch = pitches[static_cast<size_t>(index % size)] + 12 * (index / size);
            // A gentle swell and fall over each group keeps it from sounding mechanical.
            float shape = 0.85f + 0.15f * float((k % order.size()) == 0);
            note(beat + double(k) * stepBeats, lengthBeats, pitch, velocity * shape);
        }
    }

private:
    Song& song;
    size_t track;
};

// Adds a track to the song and returns the writer for its notes.
inline Writer addTrack(Song& song, const char* name, std::shared_ptr<Instrument> instrument, float gain, double pan,
                       float reverb, float echo) {
    song.tracks.push_back(Track{name, std::move(instrument), gain, pan, reverb, echo, {}});
    return Writer(song, song.tracks.size() - 1);
}

}  // namespace music
