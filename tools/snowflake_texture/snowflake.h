// The flake sprite of the snow: a soft, round glow, white with a faint cool tint,
// on a transparent ground.
#pragma once

#include "tools/common/picture.h"

namespace snow {

// A `size` x `size` sprite; its alpha goes to Picture::gloss. The light fades to
// nothing before the alpha drops below one half, so the flake looks the same with
// an alpha test at 0.5 as without one, and the border texels are empty.
gen::Picture paintSnowflake(int size);

}  // namespace snow
