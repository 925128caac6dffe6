// Run-length TGA writer: a run packet for two or more equal pixels, raw packets between.
#include "tools/tga_writer.h"

#include <cstring>

namespace {

constexpr int kMaxPacketPixels = 128;

void putU16(std::vector<uint8_t>& out, int value) {
    out.push_back(static_cast<uint8_t>(value & 0xFF));
    out.push_back(static_cast<uint8_t>((value >> 8) & 0xFF));
}

// TGA stores B,G,R(,A).
void putPixel(std::vector<uint8_t>& out, const uint8_t* pixel, int channels) {
    out.push_back(pixel[2]);
    out.push_back(pixel[1]);
    out.push_back(pixel[0]);
    if (channels == 4) out.push_back(pixel[3]);
}

void encodeRow(std::vector<uint8_t>& out, const Picture& picture, int y) {
    const int width = picture.width;
    const int channels = picture.channels;
    auto same = [&](int a, int b) {
        return std::memcmp(picture.at(a, y), picture.at(b, y), channels) == 0;
    };
    int x = 0;
    while (x < width) {
        int run = 1;
        while (x + run < width && run < kMaxPacketPixels && same(x, x + run)) ++run;
        if (run >= 2) {
            out.push_back(static_cast<uint8_t>(0x80 | (run - 1)));
            putPixel(out, picture.at(x, y), channels);
            x += run;
            continue;
        }
        // Raw pixels up to where two equal ones start a run.
        int start = x;
        int count = 0;
        while (x < width && count < kMaxPacketPixels) {
            if (x + 1 < width && same(x, x + 1)) break;
            ++x;
            ++count;
        }
        out.push_back(static_cast<uint8_t>(count - 1));
        for (int i = start; i < start + count; ++i) putPixel(out, picture.at(i, y), channels);
    }
}

}  // namespace

std::vector<uint8_t> encodeTgaRle(const Picture& picture) {
    std::vector<uint8_t> out;
    out.push_back(0);                              // no image ID
    out.push_back(0);                              // no colour map
    out.push_back(10);                             // run-length true colour
    for (int i = 0; i < 5; ++i) out.push_back(0);  // colour-map specification
    putU16(out, 0);                                // x-origin
    putU16(out, 0);                                // y-origin
    putU16(out, picture.width);
    putU16(out, picture.height);
    out.push_back(static_cast<uint8_t>(picture.channels * 8));
    // Alpha bits in the low nibble; origin bits 0: bottom-left, the first stored row is
    // the bottom one.
    out.push_back(picture.channels == 4 ? 8 : 0);
    for (int y = 0; y < picture.height; ++y) encodeRow(out, picture, y);
    return out;
}
