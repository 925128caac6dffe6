// Small, strict readers of the asset tool's file formats, written from the formats
// themselves, so the tool's writers are checked without the demo's own readers. They
// give pictures in file order (for bottom-up files, the bottom row first).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tools/picture.h"

inline uint32_t littleEndian(const std::vector<uint8_t>& bytes, size_t offset, int width) {
    uint32_t value = 0;
    for (int i = width - 1; i >= 0; --i) value = (value << 8) | bytes.at(offset + i);
    return value;
}

// Type-10 TGA, 24 or 32 bits, no ID or colour map. Packets must not cross rows. Returns
// an empty string on success, else what is wrong.
inline std::string decodeTgaRle(const std::vector<uint8_t>& file, Picture& picture) {
    if (file.size() < 18) return "short header";
    if (file[0] != 0 || file[1] != 0 || file[2] != 10) return "not a plain type-10 file";
    picture.width = static_cast<int>(littleEndian(file, 12, 2));
    picture.height = static_cast<int>(littleEndian(file, 14, 2));
    picture.channels = file[16] / 8;
    if (picture.channels != 3 && picture.channels != 4) return "depth not 24 or 32";
    const size_t total = static_cast<size_t>(picture.width) * picture.height;
    picture.pixels.clear();
    size_t offset = 18;
    size_t stored = 0;
    auto readPixel = [&](std::vector<uint8_t>& pixel) {
        if (offset + picture.channels > file.size()) return false;
        pixel = {file[offset + 2], file[offset + 1], file[offset]};
        if (picture.channels == 4) pixel.push_back(file[offset + 3]);
        offset += picture.channels;
        return true;
    };
    std::vector<uint8_t> pixel;
    while (stored < total) {
        if (offset >= file.size()) return "data ends early";
        const uint8_t header = file[offset++];
        const size_t count = (header & 0x7F) + 1u;
        if (stored / picture.width != (stored + count - 1) / picture.width) {
            return "packet crosses a row";
        }
        if (stored + count > total) return "too many pixels";
        for (size_t i = 0; i < count; ++i) {
            if ((header & 0x80) == 0 || i == 0) {
                if (!readPixel(pixel)) return "pixel data ends early";
            }
            picture.pixels.insert(picture.pixels.end(), pixel.begin(), pixel.end());
        }
        stored += count;
    }
    if (offset != file.size()) return "bytes after the last packet";
    return "";
}

// BMP with a 14-byte file header and a 40-byte information header, bottom-up, either
// 24-bit uncompressed or 8-bit RLE8 whose every row ends in an end-of-line and whose
// stream ends in end-of-bitmap. Yields R,G,B.
inline std::string decodeBmp(const std::vector<uint8_t>& file, Picture& picture) {
    if (file.size() < 54 || file[0] != 'B' || file[1] != 'M') return "no file header";
    if (littleEndian(file, 2, 4) != file.size()) return "file size field wrong";
    if (littleEndian(file, 14, 4) != 40) return "not an information header";
    const uint32_t pixelOffset = littleEndian(file, 10, 4);
    picture.width = static_cast<int>(littleEndian(file, 18, 4));
    picture.height = static_cast<int>(littleEndian(file, 22, 4));
    picture.channels = 3;
    const uint32_t bits = littleEndian(file, 28, 2);
    const uint32_t compression = littleEndian(file, 30, 4);
    const uint32_t dataSize = littleEndian(file, 34, 4);
    if (picture.width <= 0 || picture.height <= 0) return "bad size";
    if (pixelOffset > file.size() || file.size() - pixelOffset != dataSize) {
        return "pixel data size field wrong";
    }
    picture.pixels.assign(static_cast<size_t>(picture.width) * picture.height * 3, 0);
    auto put = [&](int x, int y, uint8_t r, uint8_t g, uint8_t b) {
        uint8_t* p = picture.pixels.data() + (static_cast<size_t>(y) * picture.width + x) * 3;
        p[0] = r;
        p[1] = g;
        p[2] = b;
    };
    if (bits == 24 && compression == 0) {
        const size_t row = (static_cast<size_t>(picture.width) * 3 + 3) / 4 * 4;
        if (dataSize != row * picture.height) return "24-bit data size wrong";
        for (int y = 0; y < picture.height; ++y) {
            for (int x = 0; x < picture.width; ++x) {
                size_t at = pixelOffset + y * row + x * 3;
                put(x, y, file[at + 2], file[at + 1], file[at]);
            }
        }
        return "";
    }
    if (bits != 8 || compression != 1) return "neither 24-bit nor RLE8";
    uint32_t colours = littleEndian(file, 46, 4);
    if (colours == 0) colours = 256;
    if (colours > 256 || 54 + 4 * colours != pixelOffset) return "colour table size wrong";
    size_t offset = pixelOffset;
    int x = 0;
    int y = 0;
    auto paint = [&](uint8_t index) {
        if (index >= colours) return std::string("index beyond the colour table");
        if (x >= picture.width || y >= picture.height) return std::string("run past the row");
        size_t entry = 54 + 4 * index;
        put(x++, y, file[entry + 2], file[entry + 1], file[entry]);
        return std::string();
    };
    while (true) {
        if (offset + 2 > file.size()) return "stream ends without end-of-bitmap";
        const uint8_t first = file[offset++];
        const uint8_t second = file[offset++];
        if (first > 0) {
            for (int i = 0; i < first; ++i) {
                std::string why = paint(second);
                if (!why.empty()) return why;
            }
        } else if (second == 0) {
            if (x != picture.width) return "row ends early";
            x = 0;
            ++y;
        } else if (second == 1) {
            if (y != picture.height) return "end-of-bitmap before the last row";
            if (offset != file.size()) return "bytes after end-of-bitmap";
            return "";
        } else if (second == 2) {
            return "delta not expected";
        } else {
            if (offset + second > file.size()) return "absolute run ends early";
            for (int i = 0; i < second; ++i) {
                std::string why = paint(file[offset++]);
                if (!why.empty()) return why;
            }
            if (second % 2 != 0) ++offset;
        }
    }
}
