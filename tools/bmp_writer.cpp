// BMP writers: headers, packed rows and run-length streams.
#include "tools/bmp_writer.h"

#include <cstddef>

namespace {

constexpr uint32_t kFileHeaderSize = 14;
constexpr int32_t kPixelsPerMetre = 2835;  // 72 dots per inch
constexpr int kMaxRunLengthCount = 255;

void putU16(std::vector<uint8_t>& out, uint32_t value) {
    out.push_back(static_cast<uint8_t>(value & 0xFF));
    out.push_back(static_cast<uint8_t>((value >> 8) & 0xFF));
}

void putU32(std::vector<uint8_t>& out, uint32_t value) {
    putU16(out, value & 0xFFFF);
    putU16(out, value >> 16);
}

// One row of the stream; `row` holds one index per pixel.
void encodeRunLengthRow(std::vector<uint8_t>& out, const uint32_t* row, int width, bool fourBit) {
    int x = 0;
    while (x < width) {
        int run = 1;
        while (x + run < width && run < kMaxRunLengthCount && row[x + run] == row[x]) ++run;
        if (run >= 2) {
            out.push_back(static_cast<uint8_t>(run));
            out.push_back(static_cast<uint8_t>(fourBit ? (row[x] << 4) | row[x] : row[x]));
            x += run;
            continue;
        }
        int start = x;
        int count = 0;
        while (x < width && count < kMaxRunLengthCount) {
            if (x + 1 < width && row[x] == row[x + 1]) break;
            ++x;
            ++count;
        }
        if (count >= 3) {
            // Absolute mode; counts 1 and 2 would read as end-of-line and end-of-bitmap.
            out.push_back(0);
            out.push_back(static_cast<uint8_t>(count));
            size_t first = out.size();
            for (int i = 0; i < count; ++i) {
                uint32_t v = row[start + i];
                if (!fourBit) {
                    out.push_back(static_cast<uint8_t>(v));
                } else if (i % 2 == 0) {
                    out.push_back(static_cast<uint8_t>(v << 4));
                } else {
                    out.back() |= static_cast<uint8_t>(v);
                }
            }
            // Absolute runs end on a 16-bit boundary.
            if ((out.size() - first) % 2 != 0) out.push_back(0);
        } else {
            for (int i = start; i < start + count; ++i) {
                out.push_back(1);
                out.push_back(static_cast<uint8_t>(fourBit ? row[i] << 4 : row[i]));
            }
        }
    }
    out.push_back(0);  // end of line
    out.push_back(0);
}

}  // namespace

std::vector<uint8_t> BmpFile::bytes() const {
    std::vector<uint8_t> out;
    uint32_t headerSize = coreHeader ? 12 : 40;
    uint32_t entrySize = coreHeader ? 3 : 4;
    uint32_t offset = (fileHeader ? kFileHeaderSize : 0) + headerSize +
                      static_cast<uint32_t>(masks.size() * 4 + palette.size() * entrySize);
    if (fileHeader) {
        out.push_back('B');
        out.push_back('M');
        putU32(out, offset + static_cast<uint32_t>(pixelData.size()));
        putU32(out, 0);
        putU32(out, offset);
    }
    putU32(out, headerSize);
    if (coreHeader) {
        putU16(out, static_cast<uint32_t>(width));
        putU16(out, static_cast<uint32_t>(height));
    } else {
        putU32(out, static_cast<uint32_t>(width));
        putU32(out, static_cast<uint32_t>(height));
    }
    putU16(out, 1);
    putU16(out, bitsPerPixel);
    if (!coreHeader) {
        putU32(out, compression);
        putU32(out, static_cast<uint32_t>(pixelData.size()));
        putU32(out, kPixelsPerMetre);
        putU32(out, kPixelsPerMetre);
        putU32(out, colorsUsed);
        putU32(out, 0);
        for (uint32_t mask : masks) putU32(out, mask);
    }
    for (uint32_t color : palette) {
        out.push_back(static_cast<uint8_t>(color));
        out.push_back(static_cast<uint8_t>(color >> 8));
        out.push_back(static_cast<uint8_t>(color >> 16));
        if (!coreHeader) out.push_back(0);
    }
    out.insert(out.end(), pixelData.begin(), pixelData.end());
    return out;
}

std::vector<uint8_t> packRows(const std::vector<uint32_t>& values, int width, int rows,
                              int bitsPerPixel) {
    size_t stride = (static_cast<size_t>(bitsPerPixel) * width + 31) / 32 * 4;
    std::vector<uint8_t> out(stride * rows, 0);
    for (int y = 0; y < rows; ++y) {
        uint8_t* row = out.data() + stride * y;
        for (int x = 0; x < width; ++x) {
            uint32_t v = values[static_cast<size_t>(y) * width + x];
            switch (bitsPerPixel) {
                case 1:
                    row[x / 8] |= static_cast<uint8_t>((v & 1) << (7 - x % 8));
                    break;
                case 4:
                    row[x / 2] |= static_cast<uint8_t>((v & 15) << (x % 2 ? 0 : 4));
                    break;
                case 8:
                    row[x] = static_cast<uint8_t>(v);
                    break;
                case 16:
                    row[2 * x] = static_cast<uint8_t>(v);
                    row[2 * x + 1] = static_cast<uint8_t>(v >> 8);
                    break;
                case 24:
                    row[3 * x] = static_cast<uint8_t>(v);
                    row[3 * x + 1] = static_cast<uint8_t>(v >> 8);
                    row[3 * x + 2] = static_cast<uint8_t>(v >> 16);
                    break;
                default:
                    for (int b = 0; b < 4; ++b) row[4 * x + b] = static_cast<uint8_t>(v >> (8 * b));
                    break;
            }
        }
    }
    return out;
}

std::vector<uint8_t> encodeRunLength(const std::vector<uint32_t>& indices, int width, int rows,
                                     bool fourBit) {
    std::vector<uint8_t> out;
    for (int y = 0; y < rows; ++y) {
        encodeRunLengthRow(out, indices.data() + static_cast<size_t>(y) * width, width, fourBit);
    }
    out.push_back(0);  // end of bitmap
    out.push_back(1);
    return out;
}

std::vector<uint8_t> encodeBmp24(const Picture& picture) {
    std::vector<uint32_t> colours;
    colours.reserve(static_cast<size_t>(picture.width) * picture.height);
    for (int y = 0; y < picture.height; ++y) {
        for (int x = 0; x < picture.width; ++x) {
            const uint8_t* pixel = picture.at(x, y);
            colours.push_back(uint32_t{pixel[0]} << 16 | uint32_t{pixel[1]} << 8 | pixel[2]);
        }
    }
    BmpFile file;
    file.width = picture.width;
    file.height = picture.height;  // positive: bottom row first
    file.pixelData = packRows(colours, picture.width, picture.height, 24);
    return file.bytes();
}

std::vector<uint8_t> encodeBmpRle8(const Picture& indices,
                                   const std::vector<PaletteColour>& palette) {
    BmpFile file;
    file.width = indices.width;
    file.height = indices.height;
    file.bitsPerPixel = 8;
    file.compression = 1;
    file.colorsUsed = static_cast<uint32_t>(palette.size());
    for (const PaletteColour& colour : palette) {
        file.palette.push_back(uint32_t{colour.red} << 16 | uint32_t{colour.green} << 8 |
                               colour.blue);
    }
    file.pixelData =
        encodeRunLength(std::vector<uint32_t>(indices.pixels.begin(), indices.pixels.end()),
                        indices.width, indices.height, false);
    return file.bytes();
}
