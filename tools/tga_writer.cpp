// TGA writers: a run packet for two or more equal pixels, raw packets between.
#include "tools/tga_writer.h"

#include <cstring>
#include <utility>

namespace {

constexpr size_t kMaxPacketPixels = 128;

void putU16(std::vector<uint8_t>& out, int value) {
    out.push_back(static_cast<uint8_t>(value & 0xFF));
    out.push_back(static_cast<uint8_t>((value >> 8) & 0xFF));
}

}  // namespace

std::vector<uint8_t> tgaFile(uint8_t type, uint16_t width, uint16_t height, uint8_t bits,
                             const std::vector<uint8_t>& data, uint8_t descriptor) {
    std::vector<uint8_t> out;
    out.push_back(0);                              // no image ID
    out.push_back(0);                              // no colour map
    out.push_back(type);                           // 2: true colour, 10: run-length
    for (int i = 0; i < 5; ++i) out.push_back(0);  // colour-map specification
    putU16(out, 0);                                // x-origin
    putU16(out, 0);                                // y-origin
    putU16(out, width);
    putU16(out, height);
    out.push_back(bits);
    out.push_back(descriptor);
    out.insert(out.end(), data.begin(), data.end());
    return out;
}

void appendTgaPackets(std::vector<uint8_t>& out, const uint8_t* pixels, size_t count,
                      uint32_t bytesPerPixel) {
    auto pixel = [&](size_t i) { return pixels + i * bytesPerPixel; };
    auto same = [&](size_t a, size_t b) {
        return std::memcmp(pixel(a), pixel(b), bytesPerPixel) == 0;
    };
    size_t at = 0;
    while (at < count) {
        size_t run = 1;
        while (at + run < count && run < kMaxPacketPixels && same(at, at + run)) ++run;
        if (run >= 2) {
            out.push_back(static_cast<uint8_t>(0x80 | (run - 1)));
            out.insert(out.end(), pixel(at), pixel(at + 1));
            at += run;
            continue;
        }
        // Raw pixels up to where two equal ones start a run.
        size_t raw = 1;
        while (at + raw < count && raw < kMaxPacketPixels &&
               !(at + raw + 1 < count && same(at + raw, at + raw + 1))) {
            ++raw;
        }
        out.push_back(static_cast<uint8_t>(raw - 1));
        out.insert(out.end(), pixel(at), pixel(at + raw));
        at += raw;
    }
}

std::vector<uint8_t> encodeTgaRle(const Picture& picture) {
    // Alpha bits in the low nibble; origin bits 0: bottom-left, the first stored row is
    // the bottom one.
    std::vector<uint8_t> out =
        tgaFile(10, static_cast<uint16_t>(picture.width), static_cast<uint16_t>(picture.height),
                static_cast<uint8_t>(picture.channels * 8), {}, picture.channels == 4 ? 8 : 0);
    const size_t channels = static_cast<size_t>(picture.channels);
    std::vector<uint8_t> stored(static_cast<size_t>(picture.width) * channels);
    for (int y = 0; y < picture.height; ++y) {
        // TGA stores B,G,R(,A).
        std::memcpy(stored.data(), picture.at(0, y), stored.size());
        for (size_t at = 0; at < stored.size(); at += channels) {
            std::swap(stored[at], stored[at + 2]);
        }
        appendTgaPackets(out, stored.data(), static_cast<size_t>(picture.width), channels);
    }
    return out;
}
