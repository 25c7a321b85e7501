// The outdoor set's textures, painted into pictures: a winter sky in the dome's
// projection, and the surfaces of the scenery groups. Everything that repeats
// is seamless across its repeat; relief is painted into the colour with a soft
// light from above, since the scenery is drawn without lighting of its own.
#pragma once

#include "tools/common/picture.h"

namespace outdoor {

using gen::Picture;

// Overcast winter sky with a diffuse glow where the low sun stands behind the
// clouds; zenith in the middle, the horizon on a circle of radius 0.42.
Picture paintSky(int size);
// Dark winter moss cushions with a dusting of frost, thinning out into frosted
// soil towards the picture's border (each patch takes the picture once).
Picture paintMoss(int size);
// Weathered stone wall: courses of rough-hewn stones in recessed mortar, rain
// streaks, lichen, frost on the stones' upper edges.
Picture paintWallStone(int size);
// Planed boards standing side by side, weathered grey-brown.
Picture paintWood(int size);
// Banana pseudostem: overlapping leaf sheaths with fibres and dark blotches;
// repeats every 0.36 in u from u = 0.28.
Picture paintBananaStem(int size);
// Young banana leaf: midrib at u = 0.5, lateral veins.
Picture paintYoungBananaLeaf(int size);
// Mature banana leaf: midrib at u = 0.125, repeating in u and v, with dry edges.
Picture paintBananaLeaf(int size);
// Pool floor: small glazed tiles in grout.
Picture paintPoolTiles(int size);
// Frosty ground grass.
Picture paintFrostyGrass(int size);
// Pool wall: dressed stone blocks, four across and two up per repeat.
Picture paintPoolStone(int size);

}  // namespace outdoor
