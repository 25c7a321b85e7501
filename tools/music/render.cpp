#include <cstdio>

#include "dsp.h"
#include "effects.h"
#include "song.h"

namespace music {

std::vector<float> render(const Song& song, float peakDb) {
    size_t frames = static_cast<size_t>(song.length * kSampleRate);
    std::vector<float> left(frames, 0.0f), right(frames, 0.0f), reverbSend(frames, 0.0f), echoSend(frames, 0.0f);
    Sound note;
    for (const Track& track : song.tracks) {
        float panL, panR;
        panGains(track.pan, &panL, &panR);
        for (const Note& n : track.notes) {
            size_t start = static_cast<size_t>(n.start * kSampleRate);
            if (start >= frames) continue;
            track.instrument->play(n, &note);
            size_t count = std::min(note.frames(), frames - start);
            for (size_t i = 0; i < count; ++i) {
                float l = note.left[i] * track.gain * panL, r = note.right[i] * track.gain * panR;
                left[start + i] += l;
                right[start + i] += r;
                float mono = 0.5f * (l + r);
                reverbSend[start + i] += mono * track.reverb;
                echoSend[start + i] += mono * track.echo;
            }
        }
    }
    addEcho(echoSend, song.beats(song.echoBeats), song.echoFeedback, &left, &right, &reverbSend);
    addReverb(reverbSend, song.reverbSize, song.reverbDamp, song.reverbLevel, &left, &right);
    master(&left, &right, peakDb, song.fadeOut);

    std::vector<float> interleaved(frames * 2);
    for (size_t i = 0; i < frames; ++i) {
        interleaved[2 * i] = left[i];
        interleaved[2 * i + 1] = right[i];
    }
    return interleaved;
}

}  // namespace music
