// BMP files built in memory for the reader's tests and benchmarks: either header, every
// depth, run-length streams. Pixel values are given bottom row first.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

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

    std::vector<uint8_t> bytes() const {
        std::vector<uint8_t> out;
        auto put16 = [&out](uint32_t v) {
            out.push_back(static_cast<uint8_t>(v));
            out.push_back(static_cast<uint8_t>(v >> 8));
        };
        auto put32 = [&](uint32_t v) {
            put16(v & 0xFFFF);
            put16(v >> 16);
        };
        uint32_t headerSize = coreHeader ? 12 : 40;
        uint32_t entrySize = coreHeader ? 3 : 4;
        uint32_t offset = (fileHeader ? 14 : 0) + headerSize +
                          static_cast<uint32_t>(masks.size() * 4 + palette.size() * entrySize);
        if (fileHeader) {
            out.push_back('B');
            out.push_back('M');
            put32(offset + static_cast<uint32_t>(pixelData.size()));
            put32(0);
            put32(offset);
        }
        put32(headerSize);
        if (coreHeader) {
            put16(static_cast<uint32_t>(width));
            put16(static_cast<uint32_t>(height));
        } else {
            put32(static_cast<uint32_t>(width));
            put32(static_cast<uint32_t>(height));
        }
        put16(1);
        put16(bitsPerPixel);
        if (!coreHeader) {
            put32(compression);
            put32(static_cast<uint32_t>(pixelData.size()));
            put32(2835);
            put32(2835);
            put32(colorsUsed);
            put32(0);
            for (uint32_t mask : masks) put32(mask);
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
};

// Rows of values (colour indices, or pixels packed as the depth stores them: 0xRRGGBB at
// 24 bits, the whole word at 16 and 32) at `bitsPerPixel`, each row padded to 4 bytes.
inline std::vector<uint8_t> packRows(const std::vector<uint32_t>& values, int width, int rows,
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

// A run-length stream (RLE8, or RLE4 when `fourBit`) of colour indices: runs of three or
// more equal pixels encoded, the rest in absolute runs, each row closed by an end of line
// and the last one by an end of bitmap.
inline std::vector<uint8_t> encodeRunLength(const std::vector<uint32_t>& indices, int width,
                                            int rows, bool fourBit) {
    std::vector<uint8_t> out;
    auto runAt = [&](const uint32_t* row, int x) {
        int n = 1;
        while (x + n < width && n < 255 && row[x + n] == row[x]) ++n;
        return n;
    };
    for (int y = 0; y < rows; ++y) {
        const uint32_t* row = indices.data() + static_cast<size_t>(y) * width;
        int x = 0;
        while (x < width) {
            int run = runAt(row, x);
            if (run >= 3 || width - x < 3) {
                out.push_back(static_cast<uint8_t>(run));
                uint32_t v = row[x];
                out.push_back(static_cast<uint8_t>(fourBit ? (v << 4) | v : v));
                x += run;
                continue;
            }
            int literal = 0;
            while (x + literal < width && literal < 254 && runAt(row, x + literal) < 3) ++literal;
            if (literal < 3) literal = 3;  // an absolute run holds at least three pixels
            if (literal > width - x) literal = width - x;
            out.push_back(0);
            out.push_back(static_cast<uint8_t>(literal));
            size_t start = out.size();
            for (int i = 0; i < literal; ++i) {
                uint32_t v = row[x + i];
                if (!fourBit) {
                    out.push_back(static_cast<uint8_t>(v));
                } else if (i % 2 == 0) {
                    out.push_back(static_cast<uint8_t>(v << 4));
                } else {
                    out.back() |= static_cast<uint8_t>(v);
                }
            }
            if ((out.size() - start) % 2) out.push_back(0);
            x += literal;
        }
        out.push_back(0);
        out.push_back(y + 1 < rows ? 0 : 1);
    }
    return out;
}

inline bool writeFile(const std::string& path, const std::vector<uint8_t>& bytes) {
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return false;
    bool written =
        bytes.empty() || std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return std::fclose(file) == 0 && written;
}
