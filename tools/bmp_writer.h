// Writers for Windows bitmap files with the 14-byte file header and the 40-byte
// information header, bottom row first.
#pragma once

#include <cstdint>
#include <vector>

#include "tools/picture.h"

// An uncompressed 24-bit file from an R,G,B picture.
std::vector<uint8_t> encodeBmp24(const Picture& picture);

// An 8-bit palette file, run-length encoded (compression 1), from a picture of one
// palette index per pixel. The colour table holds exactly the palette (1 to 256 entries).
std::vector<uint8_t> encodeBmpRle8(const Picture& indices,
                                   const std::vector<PaletteColour>& palette);
