// The demo's two tracks, written as code.
#pragma once

#include "song.h"

namespace music {

// Scene 1: calm and wintry, snow from the first bar, growing from 30 s on when
// the grass rises; 80 bpm in D minor, about 174 s with its ending.
Song helios();

// Scene 2: mechanical and industrial on a steady beat; 120 bpm in E minor,
// 95 s, fading out over its last five seconds.
Song beast();

}  // namespace music
