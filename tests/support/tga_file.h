// TGA files made in memory for the tests and the fuzzer's seeds, through the project's
// TGA writer.
#pragma once

#include <cstdint>
#include <utility>
#include <vector>

#include "tools/tga_writer.h"

using Bytes = std::vector<uint8_t>;

// The 18-byte head of a true-colour file alone.
inline Bytes tgaHead(uint8_t type, uint16_t width, uint16_t height, uint8_t bits) {
    return tgaFile(type, width, height, bits, {});
}

// Run-length packets for file pixels; packets run on across row ends.
inline Bytes rlePackets(const Bytes& pixels, uint32_t bytesPerPixel) {
    Bytes packets;
    appendTgaPackets(packets, pixels.data(), pixels.size() / bytesPerPixel, bytesPerPixel);
    return packets;
}

// The picture with B and R exchanged in every pixel: what the reader makes of file pixels.
inline Bytes swappedRedBlue(Bytes pixels, uint32_t bytesPerPixel) {
    for (size_t at = 0; at + bytesPerPixel <= pixels.size(); at += bytesPerPixel) {
        std::swap(pixels[at], pixels[at + 2]);
    }
    return pixels;
}
