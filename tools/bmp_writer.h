// Writers for Windows bitmap files: either header, every depth and both run-length
// compressions the demo's reader knows (the tests and the benchmarks build their files
// with them), and the asset tool's two kinds on top.
#pragma once

#include <cstdint>
#include <vector>

#include "tools/picture.h"

// A file as its fields say, written as they stand (a test may give fields that do not
// agree with each other).
struct BmpFile {
    int32_t width = 0;
    int32_t height = 0;  // as the header says; negative: rows stored top row first
    uint16_t bitsPerPixel = 24;
    uint32_t compression = 0;
    bool fileHeader = true;
    bool coreHeader = false;
    uint32_t colorsUsed = 0;
    std::vector<uint32_t> palette;   // 0xRRGGBB, the table exactly as written
    std::vector<uint32_t> masks;     // written after an information header
    std::vector<uint8_t> pixelData;  // as stored

    std::vector<uint8_t> bytes() const;
};

// Rows of values (colour indices, or pixels packed as the depth stores them: 0xRRGGBB at
// 24 bits, the whole word at 16 and 32) at `bitsPerPixel`, each row padded to 4 bytes.
std::vector<uint8_t> packRows(const std::vector<uint32_t>& values, int width, int rows,
                              int bitsPerPixel);

// A run-length stream (RLE8, or RLE4 when `fourBit`) of colour indices, bottom row first:
// runs of two or more equal pixels are encoded, stretches of three or more others go in
// absolute runs, single ones in runs of one. Each row ends in an end of line, the stream
// in an end of bitmap.
std::vector<uint8_t> encodeRunLength(const std::vector<uint32_t>& indices, int width, int rows,
                                     bool fourBit);

// An uncompressed 24-bit file from an R,G,B picture.
std::vector<uint8_t> encodeBmp24(const Picture& picture);

// An 8-bit palette file, run-length encoded (compression 1), from a picture of one
// palette index per pixel. The colour table holds exactly the palette (1 to 256 entries).
std::vector<uint8_t> encodeBmpRle8(const Picture& indices,
                                   const std::vector<PaletteColour>& palette);
