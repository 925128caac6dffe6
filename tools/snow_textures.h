// The snow ground texture and the snowman's normal map: procedural, seeded, and
// seamless when repeated (the ground repeats its texture, and a sphere's texture
// coordinates meet at a seam).
#pragma once

#include "tools/picture.h"

constexpr int kSnowTextureSize = 256;

// R,G,B snow surface: soft drifts, bluish hollows, fine grain and a few sparkles.
Picture makeSnowTexture();

// R,G,B tangent-space normal map of a tiling snow height field: each pixel is a unit
// normal mapped from -1..1 to 0..255, x along the rows, y up the picture, z out of it.
Picture makeSnowNormalMap();
