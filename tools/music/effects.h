// Effects on whole buses: a reverb, a tempo echo and the master limiter.
#pragma once

#include <vector>

namespace music {

// Schroeder-Moorer reverb: eight damped combs and four all-passes a side,
// the right side's delays a little longer for a wide, diffuse room.
// Reads a mono send, adds the wet signal to left and right.
void addReverb(const std::vector<float>& send, double size, double damp, float level, std::vector<float>* left,
               std::vector<float>* right);

// Ping-pong echo: the send bounces between left and right every `delaySeconds`,
// darker on each pass.
void addEcho(const std::vector<float>& send, double delaySeconds, float feedback, std::vector<float>* left,
             std::vector<float>* right, std::vector<float>* reverbSend);

// Master: removes any offset below 20 Hz, limits peaks with a look-ahead
// limiter (no overshoot, slow release), scales to peakDb and fades the last
// fadeSeconds to silence.
void master(std::vector<float>* left, std::vector<float>* right, float peakDb, double fadeSeconds);

}  // namespace music
