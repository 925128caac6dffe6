// Writers for true-colour TGA files, image types 2 and 10, 24 or 32 bits: the file
// around given data, the one run-length packer, and the asset tool's type-10 file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "tools/picture.h"

// The 18-byte head of a true-colour file (no ID, no colour map, origin 0), followed by
// `data` as it stands: stored pixels (B,G,R(,A)) for type 2, packets for type 10.
std::vector<uint8_t> tgaFile(uint8_t type, uint16_t width, uint16_t height, uint8_t bits,
                             const std::vector<uint8_t>& data, uint8_t descriptor = 0);

// Run-length packets for `count` stored pixels of `bytesPerPixel` bytes, appended to
// `out`: a run packet for two or more equal pixels, raw packets between, 128 pixels at
// most each. Packets made for a whole picture at once run on across row ends.
void appendTgaPackets(std::vector<uint8_t>& out, const uint8_t* pixels, size_t count,
                      uint32_t bytesPerPixel);

// The whole type-10 file for an R,G,B or R,G,B,A picture. Rows are stored bottom row
// first (the TGA default origin), so the GL gets them in picture order; packets never
// cross a row.
std::vector<uint8_t> encodeTgaRle(const Picture& picture);
