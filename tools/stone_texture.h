// A procedural flagstone texture in a small palette, for the 8-bit run-length stone BMP.
#pragma once

#include <vector>

#include "tools/picture.h"

constexpr int kStoneTextureSize = 256;
constexpr int kStonePaletteSize = 64;

struct PalettePicture {
    Picture indices;  // one palette index per pixel
    std::vector<PaletteColour> palette;
};

// Irregular stones with bevelled edges and dark mortar between them; the palette is a
// ramp from mortar to pale stone, so flat mortar and even faces give runs to encode.
PalettePicture makeStoneTexture();
