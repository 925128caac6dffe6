// BMP writers: uncompressed 24-bit and 8-bit run-length (RLE8).
#include "tools/bmp_writer.h"

#include <cstddef>

namespace {

constexpr uint32_t kFileHeaderSize = 14;
constexpr uint32_t kInfoHeaderSize = 40;
constexpr int32_t kPixelsPerMetre = 2835;  // 72 dots per inch
constexpr int kMaxRle8Count = 255;

void putU16(std::vector<uint8_t>& out, uint32_t value) {
    out.push_back(static_cast<uint8_t>(value & 0xFF));
    out.push_back(static_cast<uint8_t>((value >> 8) & 0xFF));
}

void putU32(std::vector<uint8_t>& out, uint32_t value) {
    putU16(out, value & 0xFFFF);
    putU16(out, value >> 16);
}

struct BmpLayout {
    int bitsPerPixel;
    uint32_t compression;
    uint32_t colourCount;
    uint32_t pixelDataSize;
};

void putHeaders(std::vector<uint8_t>& out, const Picture& picture, const BmpLayout& layout) {
    uint32_t pixelOffset = kFileHeaderSize + kInfoHeaderSize + 4 * layout.colourCount;
    out.push_back('B');
    out.push_back('M');
    putU32(out, pixelOffset + layout.pixelDataSize);
    putU16(out, 0);
    putU16(out, 0);
    putU32(out, pixelOffset);

    putU32(out, kInfoHeaderSize);
    putU32(out, static_cast<uint32_t>(picture.width));
    putU32(out, static_cast<uint32_t>(picture.height));  // positive: bottom row first
    putU16(out, 1);
    putU16(out, static_cast<uint32_t>(layout.bitsPerPixel));
    putU32(out, layout.compression);
    putU32(out, layout.pixelDataSize);
    putU32(out, kPixelsPerMetre);
    putU32(out, kPixelsPerMetre);
    putU32(out, layout.colourCount);
    putU32(out, 0);
}

void encodeRle8Row(std::vector<uint8_t>& out, const uint8_t* row, int width) {
    int x = 0;
    while (x < width) {
        int run = 1;
        while (x + run < width && run < kMaxRle8Count && row[x + run] == row[x]) ++run;
        if (run >= 2) {
            out.push_back(static_cast<uint8_t>(run));
            out.push_back(row[x]);
            x += run;
            continue;
        }
        int start = x;
        int count = 0;
        while (x < width && count < kMaxRle8Count) {
            if (x + 1 < width && row[x] == row[x + 1]) break;
            ++x;
            ++count;
        }
        if (count >= 3) {
            // Absolute mode; counts 1 and 2 would read as end-of-line and end-of-bitmap.
            out.push_back(0);
            out.push_back(static_cast<uint8_t>(count));
            out.insert(out.end(), row + start, row + start + count);
            if (count % 2 != 0) out.push_back(0);  // absolute runs end on a 16-bit boundary
        } else {
            for (int i = start; i < start + count; ++i) {
                out.push_back(1);
                out.push_back(row[i]);
            }
        }
    }
    out.push_back(0);  // end of line
    out.push_back(0);
}

}  // namespace

std::vector<uint8_t> encodeBmp24(const Picture& picture) {
    const size_t rowBytes = static_cast<size_t>(picture.width) * 3;
    const size_t paddedRow = (rowBytes + 3) / 4 * 4;
    BmpLayout layout{24, 0, 0, static_cast<uint32_t>(paddedRow * picture.height)};
    std::vector<uint8_t> out;
    out.reserve(kFileHeaderSize + kInfoHeaderSize + layout.pixelDataSize);
    putHeaders(out, picture, layout);
    for (int y = 0; y < picture.height; ++y) {
        for (int x = 0; x < picture.width; ++x) {
            const uint8_t* pixel = picture.at(x, y);
            out.push_back(pixel[2]);
            out.push_back(pixel[1]);
            out.push_back(pixel[0]);
        }
        for (size_t pad = rowBytes; pad < paddedRow; ++pad) out.push_back(0);
    }
    return out;
}

std::vector<uint8_t> encodeBmpRle8(const Picture& indices,
                                   const std::vector<PaletteColour>& palette) {
    std::vector<uint8_t> pixelData;
    for (int y = 0; y < indices.height; ++y)
        encodeRle8Row(pixelData, indices.at(0, y), indices.width);
    pixelData.push_back(0);  // end of bitmap
    pixelData.push_back(1);

    BmpLayout layout{8, 1, static_cast<uint32_t>(palette.size()),
                     static_cast<uint32_t>(pixelData.size())};
    std::vector<uint8_t> out;
    putHeaders(out, indices, layout);
    for (const PaletteColour& colour : palette) {
        out.push_back(colour.blue);
        out.push_back(colour.green);
        out.push_back(colour.red);
        out.push_back(0);
    }
    out.insert(out.end(), pixelData.begin(), pixelData.end());
    return out;
}
