// TGA files made in memory, for the tests, the fuzzer's seeds and the benchmark.
#pragma once

#include <cstdint>
#include <cstring>
#include <utility>
#include <vector>

using Bytes = std::vector<uint8_t>;

// The 18-byte head of a true-colour file: type 2 or 10, no ID, no colour map, origin 0.
inline Bytes tgaHead(uint8_t type, uint16_t width, uint16_t height, uint8_t bits,
                     uint8_t descriptor = 0) {
    Bytes head(18, 0);
    head[2] = type;
    head[12] = static_cast<uint8_t>(width & 0xff);
    head[13] = static_cast<uint8_t>(width >> 8);
    head[14] = static_cast<uint8_t>(height & 0xff);
    head[15] = static_cast<uint8_t>(height >> 8);
    head[16] = bits;
    head[17] = descriptor;
    return head;
}

// Head followed by `data` as it stands: file pixels (B,G,R(,A)) or packets.
inline Bytes tgaFile(uint8_t type, uint16_t width, uint16_t height, uint8_t bits,
                     const Bytes& data) {
    Bytes file = tgaHead(type, width, height, bits);
    file.insert(file.end(), data.begin(), data.end());
    return file;
}

// Run-length packets for file pixels: runs of 2 to 128 equal pixels become run packets,
// everything else raw packets of up to 128 pixels. Packets run on across row ends.
inline Bytes rlePackets(const Bytes& pixels, uint32_t bytesPerPixel) {
    const size_t count = pixels.size() / bytesPerPixel;
    auto same = [&](size_t a, size_t b) {
        return std::memcmp(&pixels[a * bytesPerPixel], &pixels[b * bytesPerPixel], bytesPerPixel) ==
               0;
    };
    auto runAt = [&](size_t start) {
        size_t length = 1;
        while (start + length < count && length < 128 && same(start, start + length)) ++length;
        return length;
    };
    Bytes packets;
    size_t at = 0;
    while (at < count) {
        size_t run = runAt(at);
        if (run >= 2) {
            packets.push_back(static_cast<uint8_t>(127 + run));
            packets.insert(packets.end(), &pixels[at * bytesPerPixel],
                           &pixels[(at + 1) * bytesPerPixel]);
            at += run;
            continue;
        }
        size_t raw = 1;
        while (at + raw < count && raw < 128 && runAt(at + raw) < 2) ++raw;
        packets.push_back(static_cast<uint8_t>(raw - 1));
        packets.insert(packets.end(), &pixels[at * bytesPerPixel],
                       &pixels[(at + raw) * bytesPerPixel]);
        at += raw;
    }
    return packets;
}

// The picture with B and R exchanged in every pixel: what the reader makes of file pixels.
inline Bytes swappedRedBlue(Bytes pixels, uint32_t bytesPerPixel) {
    for (size_t at = 0; at + bytesPerPixel <= pixels.size(); at += bytesPerPixel) {
        std::swap(pixels[at], pixels[at + 2]);
    }
    return pixels;
}
