// The four materials of the indoor set, painted into pictures (colour, gloss,
// relief) that become each part's diffuse texture and normal map.
#pragma once

#include "tools/common/picture.h"

namespace indoor {

using gen::Picture;

// Worn diamond tread plate, one plate per repeat with screwed seams at the edges.
Picture paintFloorPlate(int size);
// Green painted pipe steel: chipped paint, rust, scratches, a weld seam along v.
Picture paintGreenMetal(int size);
// Cast-iron joint: the atlas of the joint's turned body, bolts and boss.
Picture paintPipeJoint(int size);
// Red painted hand wheel with grip wear, bare steel stem, brass packing nut.
Picture paintValveHandle(int size);

}  // namespace indoor
