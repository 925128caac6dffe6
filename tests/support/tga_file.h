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

// Type-10 pixel data and what it decodes to.
struct PacketStream {
    uint16_t width;
    uint16_t height;
    Bytes packets;  // 24-bit pixels
    Bytes pixels;   // R,G,B, file order
};

// Packet headers at their bounds in a 43 x 6 picture (258 pixels): raw 1, raw 128, run 1,
// run 128, both 128s across row ends.
inline PacketStream packetBoundsStream() {
    PacketStream stream{43, 6, {0, 1, 2, 3, 127}, {3, 2, 1}};
    for (int i = 0; i < 128; ++i) {
        stream.packets.insert(stream.packets.end(), {static_cast<uint8_t>(i), 7, 200});
        stream.pixels.insert(stream.pixels.end(), {200, 7, static_cast<uint8_t>(i)});
    }
    stream.packets.insert(stream.packets.end(), {128, 4, 5, 6, 255, 9, 8, 7});
    stream.pixels.insert(stream.pixels.end(), {6, 5, 4});
    for (int i = 0; i < 128; ++i) stream.pixels.insert(stream.pixels.end(), {7, 8, 9});
    return stream;
}
