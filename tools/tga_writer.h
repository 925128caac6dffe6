// Writer for run-length encoded true-colour TGA files (image type 10), 24 or 32 bits.
#pragma once

#include <cstdint>
#include <vector>

#include "tools/picture.h"

// The whole file for an R,G,B or R,G,B,A picture. Rows are stored bottom row first (the
// TGA default origin), so the GL gets them in picture order; packets never cross a row.
std::vector<uint8_t> encodeTgaRle(const Picture& picture);
