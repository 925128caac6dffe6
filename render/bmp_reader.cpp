// Windows bitmap reader: the whole file is taken into memory in one place, its headers
// are checked against the bytes that are really there, and the R,G,B output is written
// in one pass.
#include "render/bmp_reader.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>

#include "base/error_report.h"
#include "render/byte_cursor.h"
#include "render/file_bytes.h"
#include "render/picture_allocator.h"

namespace {

constexpr uint32_t kCoreHeaderSize = 12;
constexpr uint32_t kInfoHeaderSize = 40;

constexpr uint32_t kCompressionNone = 0;
constexpr uint32_t kCompressionRle8 = 1;
constexpr uint32_t kCompressionRle4 = 2;
constexpr uint32_t kCompressionBitFields = 3;

constexpr const char* kOutOfMemory = "Out of memory.";
constexpr const char* kUnknownFormat = "Unknown DIB file format.";
constexpr const char* kConversionError = "Image file conversion error.";

void report(const char* text) {
    reportError(ReportOwner::FocusedWindow, text, "Error", kReportOk);
}

// One colour channel of a 16- or 32-bit pixel, widened to 8 bits so that the
// channel's full value becomes 255.
struct Channel {
    uint32_t shift;
    uint32_t max;       // the mask shifted down; 0 for a channel that is absent
    uint32_t dropBits;  // for channels wider than 8 bits: low bits dropped
    uint8_t widen[256];

    void setMask(uint32_t mask) {
        *this = Channel{};
        if (mask == 0) return;
        shift = static_cast<uint32_t>(__builtin_ctz(mask));
        max = mask >> shift;
        if (max > 255) {
            dropBits = 32 - static_cast<uint32_t>(__builtin_clz(max)) - 8;
            return;
        }
        for (uint32_t v = 0; v <= max; ++v) {
            widen[v] = static_cast<uint8_t>((v * 255 + max / 2) / max);
        }
    }
    uint8_t from(uint32_t pixel) const {
        uint32_t v = (pixel >> shift) & max;
        return max > 255 ? static_cast<uint8_t>(v >> dropBits) : widen[v];
    }
};

// What the headers announce, checked against the file.
struct BmpLayout {
    uint32_t width;
    uint32_t rows;
    bool topDown;
    uint16_t bitsPerPixel;
    uint32_t compression;
    uint32_t masks[3];  // red, green, blue
    // R, G, B, unused. Only 8-bit indices exist, so 256 entries are all a file can use;
    // entries the file's table does not have stay black.
    uint8_t palette[256][4];
    ByteCursor pixelData;  // from the first pixel byte to the end of the file
};

bool depthAndCompressionDrawable(uint16_t bitsPerPixel, uint32_t compression) {
    switch (compression) {
        case kCompressionNone:
            return bitsPerPixel == 1 || bitsPerPixel == 4 || bitsPerPixel == 8 ||
                   bitsPerPixel == 16 || bitsPerPixel == 24 || bitsPerPixel == 32;
        case kCompressionRle8:
            return bitsPerPixel == 8;
        case kCompressionRle4:
            return bitsPerPixel == 4;
        case kCompressionBitFields:
            return bitsPerPixel == 16 || bitsPerPixel == 32;
        default:
            return false;
    }
}

// Bytes of one stored row without its padding, and with it (rows are padded to 4 bytes).
uint64_t rowDataBytes(const BmpLayout& layout) {
    return (uint64_t{layout.bitsPerPixel} * layout.width + 7) / 8;
}
uint64_t rowStride(const BmpLayout& layout) {
    return (uint64_t{layout.bitsPerPixel} * layout.width + 31) / 32 * 4;
}

// What the headers say that only the parsing needs.
struct BmpHeader {
    bool hasFileHeader;
    uint32_t pixelOffset;  // from the file header, when there is one
    uint32_t size;         // of the bitmap header: core or information
    uint32_t colorCount;   // colour-table entries the file holds
};

// The file header, if any, and the bitmap header: size, depth and compression into a
// zeroed layout. Null, or the message that refuses the file.
const char* readBitmapHeader(ByteCursor& cursor, BmpHeader& header, BmpLayout& layout) {
    ByteCursor probe = cursor;
    const uint8_t* signature = probe.take(2);
    header.hasFileHeader = signature && signature[0] == 'B' && signature[1] == 'M';
    if (header.hasFileHeader && !(cursor.skip(10) && cursor.u32le(header.pixelOffset))) {
        return kConversionError;
    }

    // The header's size alone decides whether the file is one this reader knows.
    if (!cursor.u32le(header.size)) return kConversionError;
    if (header.size != kCoreHeaderSize && header.size != kInfoHeaderSize) return kUnknownFormat;

    int32_t width = 0;
    int32_t height = 0;
    uint32_t colorsUsed = 0;
    layout.compression = kCompressionNone;
    // Planes are passed over unchecked, as the drawing never relied on them.
    if (header.size == kCoreHeaderSize) {
        uint16_t coreWidth = 0;
        uint16_t coreHeight = 0;
        if (!(cursor.u16le(coreWidth) && cursor.u16le(coreHeight) && cursor.skip(2) &&
              cursor.u16le(layout.bitsPerPixel))) {
            return kConversionError;
        }
        width = coreWidth;
        height = coreHeight;
    } else {
        // Size of image, resolutions and important colours are not used.
        if (!(cursor.i32le(width) && cursor.i32le(height) && cursor.skip(2) &&
              cursor.u16le(layout.bitsPerPixel) && cursor.u32le(layout.compression) &&
              cursor.skip(12) && cursor.u32le(colorsUsed) && cursor.skip(4))) {
            return kConversionError;
        }
    }

    header.colorCount = colorsUsed % 65536;
    if (colorsUsed == 0 &&
        (layout.bitsPerPixel == 1 || layout.bitsPerPixel == 4 || layout.bitsPerPixel == 8)) {
        header.colorCount = 1u << layout.bitsPerPixel;
    }

    if (width <= 0 || height == 0) return kConversionError;
    if (!depthAndCompressionDrawable(layout.bitsPerPixel, layout.compression)) {
        return kConversionError;
    }
    layout.width = static_cast<uint32_t>(width);
    layout.topDown = height < 0;
    // Negated in unsigned arithmetic, so that the most negative height is a row count too.
    layout.rows =
        layout.topDown ? 0u - static_cast<uint32_t>(height) : static_cast<uint32_t>(height);
    return nullptr;
}

// The channel masks and the colour table that follow the bitmap header.
const char* readMasksAndTable(ByteCursor& cursor, const BmpHeader& header, BmpLayout& layout) {
    if (layout.bitsPerPixel == 16) {
        layout.masks[0] = 0x7C00;
        layout.masks[1] = 0x03E0;
        layout.masks[2] = 0x001F;
    }
    if (layout.compression == kCompressionBitFields) {
        for (uint32_t& mask : layout.masks) {
            if (!cursor.u32le(mask)) return kConversionError;
        }
    }

    uint32_t entrySize = header.size == kCoreHeaderSize ? 3 : 4;
    const uint8_t* table = cursor.take(uint64_t{header.colorCount} * entrySize);
    if (!table) return kConversionError;
    for (uint32_t i = 0; i < std::min(header.colorCount, 256u); ++i) {
        const uint8_t* entry = table + i * entrySize;
        layout.palette[i][0] = entry[2];
        layout.palette[i][1] = entry[1];
        layout.palette[i][2] = entry[0];
    }
    return nullptr;
}

// Places the pixel data at `pixelOffset` and checks that every uncompressed row is there.
const char* checkPixelData(const uint8_t* data, size_t size, uint32_t pixelOffset,
                           BmpLayout& layout) {
    layout.pixelData = ByteCursor{data, size, 0};
    // A run-length stream may be empty (all black); rows that are not there fail below.
    if (!layout.pixelData.seek(pixelOffset)) return kConversionError;

    if (layout.compression == kCompressionRle8 || layout.compression == kCompressionRle4) {
        return nullptr;  // a stream may end early; what it does not reach stays black
    }
    // The last row needs no padding after it.
    uint64_t available = layout.pixelData.remaining();
    uint64_t dataBytes = rowDataBytes(layout);
    if (dataBytes > available || layout.rows - 1 > (available - dataBytes) / rowStride(layout)) {
        return kConversionError;
    }
    return nullptr;
}

// Reads the headers, masks and colour table into a zeroed layout; null, or the message
// that refuses the file.
const char* parseHeaders(const uint8_t* data, size_t size, BmpLayout& layout) {
    ByteCursor cursor{data, size, 0};
    BmpHeader header{};
    if (const char* refusal = readBitmapHeader(cursor, header, layout)) return refusal;
    if (const char* refusal = readMasksAndTable(cursor, header, layout)) return refusal;
    // Without a file header the pixels follow the table.
    uint32_t pixelOffset =
        header.hasFileHeader ? header.pixelOffset : static_cast<uint32_t>(cursor.offset);
    return checkPixelData(data, size, pixelOffset, layout);
}

// Rows are written bottom row first whatever order the file stores them in.
struct OutputRows {
    uint8_t* pixels;
    uint64_t rowBytes;
    uint32_t rows;
    bool topDown;

    uint8_t* row(uint32_t fileRow) const {
        uint32_t index = topDown ? rows - 1 - fileRow : fileRow;
        return pixels + index * rowBytes;
    }
};

void putColor(uint8_t* out, const uint8_t* color) {
    std::memcpy(out, color, 3);
}

void decodeRow1(const uint8_t* in, uint8_t* out, uint32_t width, const uint8_t (*palette)[4]) {
    uint32_t x = 0;
    for (; x + 8 <= width; x += 8) {
        uint8_t bits = *in++;
        for (int bit = 7; bit >= 0; --bit, out += 3) putColor(out, palette[(bits >> bit) & 1]);
    }
    if (x < width) {
        uint8_t bits = *in;
        for (int bit = 7; x < width; --bit, ++x, out += 3) {
            putColor(out, palette[(bits >> bit) & 1]);
        }
    }
}

void decodeRow4(const uint8_t* in, uint8_t* out, uint32_t width, const uint8_t (*palette)[4]) {
    uint32_t x = 0;
    for (; x + 2 <= width; x += 2, out += 6) {
        uint8_t pair = *in++;
        putColor(out, palette[pair >> 4]);
        putColor(out + 3, palette[pair & 15]);
    }
    if (x < width) putColor(out, palette[*in >> 4]);
}

void decodeRow8(const uint8_t* in, uint8_t* out, uint32_t width, const uint8_t (*palette)[4]) {
    for (uint32_t x = 0; x < width; ++x, out += 3) putColor(out, palette[in[x]]);
}

void decodeRow24(const uint8_t* in, uint8_t* out, uint32_t width) {
    for (uint32_t x = 0; x < width; ++x, in += 3, out += 3) {
        out[0] = in[2];
        out[1] = in[1];
        out[2] = in[0];
    }
}

void decodeRow32(const uint8_t* in, uint8_t* out, uint32_t width) {
    for (uint32_t x = 0; x < width; ++x, in += 4, out += 3) {
        out[0] = in[2];
        out[1] = in[1];
        out[2] = in[0];
    }
}

void decodeRowMasked(const uint8_t* in, uint8_t* out, uint32_t width, uint16_t bitsPerPixel,
                     const Channel (&channels)[3]) {
    uint32_t pixelBytes = bitsPerPixel / 8;
    for (uint32_t x = 0; x < width; ++x, in += pixelBytes, out += 3) {
        uint32_t pixel = in[0] | (uint32_t{in[1]} << 8);
        if (pixelBytes == 4) pixel |= (uint32_t{in[2]} << 16) | (uint32_t{in[3]} << 24);
        out[0] = channels[0].from(pixel);
        out[1] = channels[1].from(pixel);
        out[2] = channels[2].from(pixel);
    }
}

void decodeUncompressed(BmpLayout& layout, const OutputRows& output) {
    Channel channels[3];
    bool masked = layout.bitsPerPixel == 16 || layout.compression == kCompressionBitFields;
    if (masked) {
        for (int c = 0; c < 3; ++c) channels[c].setMask(layout.masks[c]);
    }
    uint64_t dataBytes = rowDataBytes(layout);
    uint64_t padding = rowStride(layout) - dataBytes;
    ByteCursor& cursor = layout.pixelData;
    for (uint32_t y = 0; y < layout.rows; ++y) {
        const uint8_t* in = cursor.take(dataBytes);
        if (!in) return;  // the headers' check covered every row; the walk stays bounded anyway
        cursor.skip(std::min<uint64_t>(padding, cursor.remaining()));
        uint8_t* out = output.row(y);
        if (masked) {
            decodeRowMasked(in, out, layout.width, layout.bitsPerPixel, channels);
            continue;
        }
        switch (layout.bitsPerPixel) {
            case 1:
                decodeRow1(in, out, layout.width, layout.palette);
                break;
            case 4:
                decodeRow4(in, out, layout.width, layout.palette);
                break;
            case 8:
                decodeRow8(in, out, layout.width, layout.palette);
                break;
            case 24:
                decodeRow24(in, out, layout.width);
                break;
            default:
                decodeRow32(in, out, layout.width);
                break;
        }
    }
}

// The colour index of pixel `i` of a run: a byte per pixel for RLE8, for RLE4 the high
// half of each byte first.
uint8_t runIndex(const uint8_t* bytes, uint32_t i, bool fourBit) {
    if (!fourBit) return bytes[i];
    uint8_t pair = bytes[i / 2];
    return (i & 1) ? pair & 15 : pair >> 4;
}

// Blackens the pixels the stream passes over, from (x0, y0) up to (x1, y1) in file order,
// row by row.
void blacken(const OutputRows& output, uint32_t width, uint32_t x0, uint32_t y0, uint32_t x1,
             uint32_t y1) {
    for (; y0 < y1; ++y0, x0 = 0) {
        std::memset(output.row(y0) + uint64_t{x0} * 3, 0, (uint64_t{width} - x0) * 3);
    }
    if (x0 < x1) std::memset(output.row(y0) + uint64_t{x0} * 3, 0, (uint64_t{x1} - x0) * 3);
}

// Walks the run-length stream. Runs are clipped at the row's end; pixels the stream
// skips or never reaches are black.
void decodeRunLength(BmpLayout& layout, const OutputRows& output) {
    bool fourBit = layout.compression == kCompressionRle4;
    ByteCursor& cursor = layout.pixelData;
    uint32_t x = 0;
    uint32_t y = 0;
    while (y < layout.rows) {
        uint8_t count = 0;
        uint8_t value = 0;
        if (!cursor.u8(count) || !cursor.u8(value)) break;
        uint8_t* row = output.row(y);
        if (count > 0) {
            uint32_t drawn = std::min<uint32_t>(count, layout.width - x);
            uint8_t* out = row + uint64_t{x} * 3;
            if (fourBit) {
                for (uint32_t i = 0; i < drawn; ++i, out += 3) {
                    putColor(out, layout.palette[(i & 1) ? value & 15 : value >> 4]);
                }
            } else {
                for (uint32_t i = 0; i < drawn; ++i, out += 3) putColor(out, layout.palette[value]);
            }
            x += drawn;
            continue;
        }
        if (value == 0) {  // end of line
            blacken(output, layout.width, x, y, 0, y + 1);
            x = 0;
            ++y;
        } else if (value == 1) {  // end of bitmap
            break;
        } else if (value == 2) {  // delta: move right and up
            uint8_t dx = 0;
            uint8_t dy = 0;
            if (!cursor.u8(dx) || !cursor.u8(dy)) break;
            uint32_t toX = std::min<uint32_t>(layout.width, x + dx);
            uint32_t toY = static_cast<uint32_t>(std::min<uint64_t>(layout.rows, uint64_t{y} + dy));
            // Past the last row nothing is left to move to.
            if (toY == layout.rows) toX = 0;
            blacken(output, layout.width, x, y, toX, toY);
            x = toX;
            y = toY;
        } else {  // absolute run of `value` pixels, padded to a 16-bit boundary
            uint32_t byteCount = fourBit ? (value + 1u) / 2 : value;
            const uint8_t* bytes = cursor.take(byteCount);
            if (!bytes) break;
            cursor.skip(byteCount & 1);
            uint32_t drawn = std::min<uint32_t>(value, layout.width - x);
            uint8_t* out = row + uint64_t{x} * 3;
            for (uint32_t i = 0; i < drawn; ++i, out += 3) {
                putColor(out, layout.palette[runIndex(bytes, i, fourBit)]);
            }
            x += drawn;
        }
    }
    if (y < layout.rows) blacken(output, layout.width, x, y, 0, layout.rows);
}

}  // namespace

RgbImage* decodeBmpImage(const uint8_t* data, size_t size, uint64_t maxImageBytes) {
    // Large (about 1 KB) but cheap: only the colour table is copied out of the file.
    BmpLayout layout{};
    if (const char* refusal = parseHeaders(data, size, layout)) {
        report(refusal);
        return nullptr;
    }
    uint64_t outputBytes = 0;
    if (!imageBytes(layout.width, layout.rows, 3, outputBytes) || outputBytes > maxImageBytes) {
        report(kOutOfMemory);
        return nullptr;
    }
    uint8_t* pixels = allocatePicture(outputBytes);
    RgbImage* image = static_cast<RgbImage*>(std::malloc(sizeof(RgbImage)));
    if (!pixels || !image) {
        std::free(pixels);
        std::free(image);
        report(kOutOfMemory);
        return nullptr;
    }

    OutputRows output{pixels, uint64_t{layout.width} * 3, layout.rows, layout.topDown};
    if (layout.compression == kCompressionRle8 || layout.compression == kCompressionRle4) {
        decodeRunLength(layout, output);
    } else {
        decodeUncompressed(layout, output);
    }
    image->width = static_cast<int32_t>(layout.width);
    image->height = static_cast<int32_t>(layout.rows);
    image->pixels = pixels;
    return image;
}

RgbImage* readBmpImage(const char* path) {
    FileBytes file;
    // An empty file has nothing to map either.
    if (!file.open(path) || file.size == 0) {
        std::string text = std::string("Failed to open DIB file ") + path + ".\n";
        report(text.c_str());
        return nullptr;
    }
    return decodeBmpImage(file.data, file.size);
}
