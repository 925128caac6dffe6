// The BMP reader on files built byte by byte: every kind against its 24-bit twin, the
// run-length escapes, and every refusal with its one exact message.
#include "render/bmp_reader.h"

#include <gtest/gtest.h>
#include <sys/mman.h>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "tests/support/decode_capture.h"
#include "tests/support/proc_self.h"
#include "tests/support/report_recorder.h"
#include "tests/support/temp_dir.h"
#include "tools/bmp_writer.h"

namespace {

// Decodes from a heap block of exactly the file's size, so that any read past the end
// is caught by AddressSanitizer.
DecodeCapture decode(const std::vector<uint8_t>& bytes, uint64_t maxImageBytes = kMaxImageBytes) {
    std::unique_ptr<uint8_t[]> exact(new uint8_t[bytes.size()]);
    if (!bytes.empty()) std::memcpy(exact.get(), bytes.data(), bytes.size());
    return captureBmp(decodeBmpImage(exact.get(), bytes.size(), maxImageBytes));
}

// Decodes `head` followed by zeros up to `size` bytes, from a mapping of which only the
// head's pages are written: a file of hundreds of megabytes costs no memory.
DecodeCapture decodeZeroPadded(const std::vector<uint8_t>& head, uint64_t size) {
    void* mapping = mmap(nullptr, size, PROT_READ | PROT_WRITE,
                         MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
    if (mapping == MAP_FAILED) {
        ADD_FAILURE() << "cannot map " << size << " bytes";
        return {};
    }
    std::memcpy(mapping, head.data(), head.size());
    DecodeCapture decoded = captureBmp(decodeBmpImage(static_cast<const uint8_t*>(mapping), size));
    munmap(mapping, size);
    return decoded;
}

std::vector<uint8_t> rgbOf(const std::vector<uint32_t>& colors) {
    std::vector<uint8_t> out;
    for (uint32_t c : colors) {
        out.push_back(static_cast<uint8_t>(c >> 16));
        out.push_back(static_cast<uint8_t>(c >> 8));
        out.push_back(static_cast<uint8_t>(c));
    }
    return out;
}

// Distinct, irregular colours.
uint32_t paletteColor(uint32_t i) {
    return (i * 0x9E3779B1u >> 5) & 0xFFFFFF;
}

std::vector<uint32_t> makePalette(uint32_t count) {
    std::vector<uint32_t> palette;
    for (uint32_t i = 0; i < count; ++i) palette.push_back(paletteColor(i));
    return palette;
}

// An indexed picture with runs of several lengths and stretches without any.
constexpr int kWidth = 37;
constexpr int kHeight = 6;
std::vector<uint32_t> makeIndices(uint32_t colors) {
    std::vector<uint32_t> indices;
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            uint32_t v = y % 2 ? (x / (y + 2) + y) : (x * 7u + y * 3u + (x * y) % 5u);
            indices.push_back(v % colors);
        }
    }
    return indices;
}

std::vector<uint32_t> lookUp(const std::vector<uint32_t>& indices,
                             const std::vector<uint32_t>& palette) {
    std::vector<uint32_t> colors;
    for (uint32_t i : indices) colors.push_back(palette[i]);
    return colors;
}

// The rows stored top row first, as a file with a negative height holds them.
std::vector<uint32_t> flipRows(const std::vector<uint32_t>& values, int width, int rows) {
    std::vector<uint32_t> flipped;
    for (int y = rows - 1; y >= 0; --y) {
        flipped.insert(flipped.end(), values.begin() + static_cast<ptrdiff_t>(y) * width,
                       values.begin() + static_cast<ptrdiff_t>(y + 1) * width);
    }
    return flipped;
}

BmpFile twentyFourBitTwin(const std::vector<uint32_t>& colors, int width, int height) {
    BmpFile file;
    file.width = width;
    file.height = height;
    file.bitsPerPixel = 24;
    file.pixelData = packRows(colors, width, height, 24);
    return file;
}

BmpFile indexedFile(const std::vector<uint32_t>& indices, const std::vector<uint32_t>& palette,
                    uint16_t bitsPerPixel) {
    BmpFile file;
    file.width = kWidth;
    file.height = kHeight;
    file.bitsPerPixel = bitsPerPixel;
    file.palette = palette;
    file.pixelData = packRows(indices, kWidth, kHeight, bitsPerPixel);
    return file;
}

class BmpReaderTest : public testing::Test {
  protected:
    ReportRecorder recorder;

    // No picture and exactly one report, with this text, as the reader shows all of its
    // messages.
    void expectRefused(const DecodeCapture& decoded, const std::string& text) {
        EXPECT_FALSE(decoded.decoded);
        EXPECT_TRUE(decoded.pixels.empty());
        const std::vector<RecordedReport> expected = {
            {ReportOwner::FocusedWindow, text, "Error", 0u}};
        EXPECT_EQ(decoded.reports, expected);
    }
    void expectRefused(const std::vector<uint8_t>& bytes, const std::string& text) {
        expectRefused(decode(bytes), text);
    }
    void expectPicture(const DecodeCapture& decoded, int width, int height,
                       const std::vector<uint8_t>& rgb) {
        ASSERT_TRUE(decoded.decoded);
        EXPECT_EQ(decoded.width, width);
        EXPECT_EQ(decoded.height, height);
        EXPECT_EQ(decoded.pixels, rgb);
        EXPECT_TRUE(decoded.reports.empty());
    }
    std::string tempPath(const char* name) { return dir.file(name); }
    TempDir dir;
};

TEST_F(BmpReaderTest, TwoByTwoFileGivesBottomRowFirstWithoutPadding) {
    BmpFile file;
    file.width = 2;
    file.height = 2;
    file.pixelData = {0x00, 0x00, 0xFF, 0x00, 0xFF, 0x00, 0xEE, 0xEE,   // bottom: red, green
                      0xFF, 0x00, 0x00, 0xFF, 0xFF, 0xFF, 0xEE, 0xEE};  // top: blue, white
    const std::vector<uint8_t> expected = {0xFF, 0x00, 0x00, 0x00, 0xFF, 0x00,
                                           0x00, 0x00, 0xFF, 0xFF, 0xFF, 0xFF};
    expectPicture(decode(file.bytes()), 2, 2, expected);

    std::string path = tempPath("2x2.bmp");
    ASSERT_TRUE(writeFile(path, file.bytes()));
    expectPicture(captureBmp(readBmpImage(path.c_str())), 2, 2, expected);
    EXPECT_FALSE(fileIsMapped(path)) << "the file was left mapped";
}

TEST_F(BmpReaderTest, NarrowWidthsGiveRowsOfThreeBytesPerPixel) {
    for (int width = 1; width <= 4; ++width) {
        SCOPED_TRACE(width);
        std::vector<uint32_t> colors;
        for (int i = 0; i < width * 3; ++i) colors.push_back(paletteColor(i + 1));
        expectPicture(decode(twentyFourBitTwin(colors, width, 3).bytes()), width, 3, rgbOf(colors));
    }
}

TEST_F(BmpReaderTest, EachIndexedKindMatchesItsTwentyFourBitTwin) {
    struct Kind {
        const char* name;
        uint16_t bitsPerPixel;
        uint32_t compression;
        bool coreHeader;
        bool fileHeader;
        bool topDown;
    };
    const Kind kinds[] = {
        {"1-bit", 1, 0, false, true, false},
        {"4-bit", 4, 0, false, true, false},
        {"8-bit", 8, 0, false, true, false},
        {"RLE4", 4, 2, false, true, false},
        {"RLE8", 8, 1, false, true, false},
        {"core 8-bit", 8, 0, true, true, false},
        {"core 1-bit", 1, 0, true, true, false},
        {"no file header", 8, 0, false, false, false},
        {"core, no file header", 4, 0, true, false, false},
        {"top-down 8-bit", 8, 0, false, true, true},
        {"top-down RLE8", 8, 1, false, true, true},
    };
    for (const Kind& kind : kinds) {
        SCOPED_TRACE(kind.name);
        std::vector<uint32_t> palette = kind.bitsPerPixel == 1
                                            ? std::vector<uint32_t>{0x000000, 0xFFFFFF}
                                            : makePalette(1u << kind.bitsPerPixel);
        std::vector<uint32_t> indices = makeIndices(static_cast<uint32_t>(palette.size()));
        std::vector<uint32_t> colors = lookUp(indices, palette);

        std::vector<uint32_t> stored = kind.topDown ? flipRows(indices, kWidth, kHeight) : indices;
        BmpFile file = indexedFile(stored, palette, kind.bitsPerPixel);
        file.compression = kind.compression;
        file.coreHeader = kind.coreHeader;
        file.fileHeader = kind.fileHeader;
        if (kind.topDown) file.height = -kHeight;
        if (kind.compression != 0) {
            file.pixelData = encodeRunLength(stored, kWidth, kHeight, kind.compression == 2);
        }

        DecodeCapture twin = decode(twentyFourBitTwin(colors, kWidth, kHeight).bytes());
        ASSERT_TRUE(twin.decoded);
        EXPECT_EQ(twin.pixels, rgbOf(colors));
        expectPicture(decode(file.bytes()), kWidth, kHeight, twin.pixels);
    }
}

TEST_F(BmpReaderTest, DirectColourKindsMatchTheirTwins) {
    // Channel values at the ends of the range, where every widening must agree.
    std::vector<uint32_t> colors;
    for (int i = 0; i < kWidth * kHeight; ++i) {
        colors.push_back((i % 2 ? 0xFF0000 : 0) | (i % 3 ? 0x00FF00 : 0) | (i % 5 ? 0xFF : 0));
    }
    // The same picture as pixel words with these channel masks and unused bits.
    auto rebuild = [&](uint32_t r, uint32_t g, uint32_t b, uint32_t unused = 0) {
        std::vector<uint32_t> words;
        for (uint32_t c : colors) {
            words.push_back(unused | ((c >> 16) & 1 ? r : 0) | ((c >> 8) & 1 ? g : 0) |
                            (c & 1 ? b : 0));
        }
        return words;
    };
    struct Kind {
        const char* name;
        uint16_t bitsPerPixel;
        std::vector<uint32_t> masks;  // compression 3 when given
        std::vector<uint32_t> words;
    };
    std::vector<Kind> kinds = {
        {"16-bit 5-5-5", 16, {}, rebuild(0x7C00, 0x03E0, 0x001F)},
        {"16-bit 5-5-5, bit 15 set", 16, {}, rebuild(0x7C00, 0x03E0, 0x001F, 0x8000)},
        {"16-bit masks 5-6-5", 16, {0xF800, 0x07E0, 0x001F}, rebuild(0xF800, 0x07E0, 0x001F)},
        {"32-bit, fourth byte dropped", 32, {}, rebuild(0xFF0000, 0x00FF00, 0x0000FF, 0xAB000000)},
        {"32-bit masks, channels reordered",
         32,
         {0x0000FF00, 0x00FF0000, 0xFF000000},
         rebuild(0x0000FF00, 0x00FF0000, 0xFF000000)},
        {"32-bit masks 10-10-10",
         32,
         {0x3FF00000, 0x000FFC00, 0x000003FF},
         rebuild(0x3FF00000, 0x000FFC00, 0x000003FF)},
    };
    DecodeCapture twin = decode(twentyFourBitTwin(colors, kWidth, kHeight).bytes());
    ASSERT_TRUE(twin.decoded);
    for (const Kind& kind : kinds) {
        SCOPED_TRACE(kind.name);
        BmpFile file;
        file.width = kWidth;
        file.height = kHeight;
        file.bitsPerPixel = kind.bitsPerPixel;
        file.masks = kind.masks;
        file.compression = kind.masks.empty() ? 0 : 3;
        file.pixelData = packRows(kind.words, kWidth, kHeight, kind.bitsPerPixel);
        expectPicture(decode(file.bytes()), kWidth, kHeight, twin.pixels);
    }
}

TEST_F(BmpReaderTest, FiveAndSixBitChannelsWidenKeepingTheirTopBits) {
    struct Kind {
        uint32_t compression;
        std::vector<uint32_t> masks;
        uint32_t greenBits;
    };
    const Kind kinds[] = {{0, {}, 5}, {3, {0xF800, 0x07E0, 0x001F}, 6}};
    for (const Kind& kind : kinds) {
        SCOPED_TRACE(kind.greenBits);
        uint32_t levels = 1u << kind.greenBits;
        std::vector<uint32_t> words;
        for (uint32_t v = 0; v < levels; ++v) words.push_back(v << 5);  // green only
        BmpFile file;
        file.width = static_cast<int32_t>(levels);
        file.height = 1;
        file.bitsPerPixel = 16;
        file.compression = kind.compression;
        file.masks = kind.masks;
        file.pixelData = packRows(words, file.width, 1, 16);
        DecodeCapture decoded = decode(file.bytes());
        ASSERT_TRUE(decoded.decoded);
        for (uint32_t v = 0; v < levels; ++v) {
            uint8_t green = decoded.pixels[3 * v + 1];
            EXPECT_EQ(green >> (8 - kind.greenBits), v);
            EXPECT_EQ(decoded.pixels[3 * v], 0);
        }
        EXPECT_EQ(decoded.pixels[3 * (levels - 1) + 1], 255);  // full stays full
    }
}

TEST_F(BmpReaderTest, AbsentMaskGivesAZeroChannel) {
    BmpFile file;
    file.width = 2;
    file.height = 1;
    file.bitsPerPixel = 16;
    file.compression = 3;
    file.masks = {0xFF00, 0x00FF, 0};
    file.pixelData = {0xFF, 0xFF, 0x80, 0x00};
    expectPicture(decode(file.bytes()), 2, 1, {0xFF, 0xFF, 0x00, 0x00, 0x80, 0x00});
}

TEST_F(BmpReaderTest, ColoursUsedLimitsTheTableAndLaterIndicesAreBlack) {
    // Without a file header the pixels start right after the table, so reading more
    // entries than announced would misplace them.
    std::vector<uint32_t> palette = makePalette(16);
    std::vector<uint32_t> indices = {0, 5, 15, 16, 255, 1, 2, 3};
    BmpFile file;
    file.fileHeader = false;
    file.width = 8;
    file.height = 1;
    file.bitsPerPixel = 8;
    file.colorsUsed = 16;
    file.palette = palette;
    file.pixelData = packRows(indices, 8, 1, 8);
    std::vector<uint32_t> expected = {palette[0], palette[5], palette[15], 0,
                                      0,          palette[1], palette[2],  palette[3]};
    expectPicture(decode(file.bytes()), 8, 1, rgbOf(expected));

    // A table longer than 8-bit indices reach: they reach its first 256 entries, and the
    // pixels still start after all of it.
    file.colorsUsed = 300;
    file.palette = makePalette(300);
    expectPicture(decode(file.bytes()), 8, 1, rgbOf(lookUp(indices, file.palette)));

    // Colours used counts modulo 65536: 65536 means an empty table.
    file.colorsUsed = 0x10000;
    file.palette.clear();
    expectPicture(decode(file.bytes()), 8, 1, std::vector<uint8_t>(24, 0));
}

TEST_F(BmpReaderTest, PixelDataIsFoundThroughTheFileHeaderOffset) {
    BmpFile file = twentyFourBitTwin({0x123456}, 1, 1);
    std::vector<uint8_t> bytes = file.bytes();
    // Eight unused bytes between the header and the pixels.
    bytes.insert(bytes.begin() + 54, 8, 0xAA);
    bytes[10] = 62;
    expectPicture(decode(bytes), 1, 1, {0x12, 0x34, 0x56});
}

TEST_F(BmpReaderTest, LastRowNeedsNoPaddingButAllItsPixelBytes) {
    struct Case {
        const char* name;
        uint16_t bitsPerPixel;
        int width, height;
        size_t padding;  // of the last row
    };
    // At 1 and 4 bits the last pixel byte of a row is only partly used, and still needed.
    const Case cases[] = {
        {"24-bit 1 x 4", 24, 1, 4, 1},
        {"1-bit 9 x 2", 1, 9, 2, 2},
        {"4-bit 9 x 2", 4, 9, 2, 3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<uint32_t> palette =
            c.bitsPerPixel == 24 ? std::vector<uint32_t>{} : makePalette(1u << c.bitsPerPixel);
        std::vector<uint32_t> values;
        for (int i = 0; i < c.width * c.height; ++i) {
            values.push_back(palette.empty() ? paletteColor(i + 1) : (i * 5u + 1) % palette.size());
        }
        BmpFile file;
        file.width = c.width;
        file.height = c.height;
        file.bitsPerPixel = c.bitsPerPixel;
        file.palette = palette;
        file.pixelData = packRows(values, c.width, c.height, c.bitsPerPixel);
        std::vector<uint8_t> bytes = file.bytes();
        bytes.resize(bytes.size() - c.padding);
        expectPicture(decode(bytes), c.width, c.height,
                      rgbOf(palette.empty() ? values : lookUp(values, palette)));
        bytes.pop_back();  // now a pixel byte is missing
        expectRefused(bytes, "Image file conversion error.");
    }
}

TEST_F(BmpReaderTest, RunLengthEscapesLeaveSkippedPixelsBlack) {
    const uint32_t grey = 0x808080;
    const uint32_t red = 0xFF0000;
    const uint32_t green = 0x00FF00;
    const uint32_t blue = 0x0000FF;
    BmpFile file;
    file.width = 6;
    file.height = 4;
    file.bitsPerPixel = 8;
    file.compression = 1;
    file.palette = {grey, red, green, blue};
    file.colorsUsed = 4;
    file.pixelData = {
        3, 1, 0, 0,        // three red, then end of line
        0, 3, 2, 3, 2, 0,  // absolute: green, blue, green, one byte of padding
        0, 2, 1, 1,        // delta: one right, one up
        2, 3, 0, 0,        // two blue, end of line
        1, 0, 0, 1,        // one grey, end of bitmap
        9, 9,              // never read
    };
    std::vector<uint32_t> expected = {red,   red,  red,   0, 0,    0,     // bottom row
                                      green, blue, green, 0, 0,    0,     //
                                      0,     0,    0,     0, blue, blue,  //
                                      grey,  0,    0,     0, 0,    0};    // top row
    expectPicture(decode(file.bytes()), 6, 4, rgbOf(expected));

    // An empty stream, the pixel data starting where the file ends, is all black.
    file.pixelData.clear();
    expectPicture(decode(file.bytes()), 6, 4, rgbOf(std::vector<uint32_t>(24, 0)));
}

TEST_F(BmpReaderTest, RunLengthFourBitAlternatesHalvesAndPadsAbsoluteRuns) {
    std::vector<uint32_t> palette = makePalette(16);
    BmpFile file;
    file.width = 5;
    file.height = 2;
    file.bitsPerPixel = 4;
    file.compression = 2;
    file.palette = palette;
    file.pixelData = {
        5, 0x12, 0,    0,                 // 1 2 1 2 1, end of line
        0, 5,    0x31, 0x23, 0x10, 0x00,  // absolute 3 1 2 3 1 in three bytes, padded to four
        0, 1,                             // end of bitmap
    };
    std::vector<uint32_t> indices = {1, 2, 1, 2, 1, 3, 1, 2, 3, 1};
    expectPicture(decode(file.bytes()), 5, 2, rgbOf(lookUp(indices, palette)));
}

TEST_F(BmpReaderTest, RunLengthOverrunsAreClippedToThePicture) {
    const uint32_t red = 0xFF0000;
    struct Case {
        const char* name;
        std::vector<uint8_t> stream;
        std::vector<uint32_t> expected;  // 4 x 2, bottom row first
        bool topDown = false;
    };
    const Case cases[] = {
        {"run past the row's end", {200, 1, 0, 0, 1, 1}, {red, red, red, red, red, 0, 0, 0}},
        {"absolute run past the row's end",
         {0, 6, 1, 1, 1, 1, 1, 1},
         {red, red, red, red, 0, 0, 0, 0}},
        {"delta past the last row", {1, 1, 0, 2, 255, 255, 1, 1}, {red, 0, 0, 0, 0, 0, 0, 0}},
        {"delta past the row's end", {0, 2, 200, 0, 1, 1, 0, 0, 1, 1}, {0, 0, 0, 0, red, 0, 0, 0}},
        {"stream cut inside an absolute run", {1, 1, 0, 5, 1, 1}, {red, 0, 0, 0, 0, 0, 0, 0}},
        {"stream cut inside a delta", {1, 1, 0, 2, 1}, {red, 0, 0, 0, 0, 0, 0, 0}},
        {"stream of one byte", {1}, {0, 0, 0, 0, 0, 0, 0, 0}},
        {"lines beyond the last", {0, 0, 0, 0, 0, 0, 1, 1}, {0, 0, 0, 0, 0, 0, 0, 0}},
        // An end of line moves to the start of the next row and no further.
        {"end of line inside a row", {1, 1, 0, 0, 2, 1, 0, 1}, {red, 0, 0, 0, red, red, 0, 0}},
        {"end of line on the last row, top row first",
         {0, 0, 1, 1, 0, 0, 1, 1},
         {red, 0, 0, 0, 0, 0, 0, 0},
         true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        BmpFile file;
        file.width = 4;
        file.height = c.topDown ? -2 : 2;
        file.bitsPerPixel = 8;
        file.compression = 1;
        file.palette = {0x808080, red};
        file.colorsUsed = 2;
        file.pixelData = c.stream;
        expectPicture(decode(file.bytes()), 4, 2, rgbOf(c.expected));
    }
}

TEST_F(BmpReaderTest, OtherHeaderSizesAreUnknown) {
    for (uint32_t size : {108u, 124u, 64u, 16u, 52u, 0u, 41u}) {
        SCOPED_TRACE(size);
        std::vector<uint8_t> bytes = twentyFourBitTwin({0xFFFFFF}, 1, 1).bytes();
        bytes[14] = static_cast<uint8_t>(size);
        expectRefused(bytes, "Unknown DIB file format.");
        // Decided by the size field alone, even when nothing follows it.
        bytes.resize(18);
        expectRefused(bytes, "Unknown DIB file format.");
    }
}

TEST_F(BmpReaderTest, BrokenFilesAreRefusedAsConversionErrors) {
    auto base = [] {
        BmpFile file;
        file.width = 3;
        file.height = 2;
        file.bitsPerPixel = 8;
        file.palette = makePalette(256);
        file.pixelData = packRows({0, 1, 2, 3, 4, 5}, 3, 2, 8);
        return file;
    };
    auto patched = [&](size_t offset, uint32_t value, int bytes) {
        std::vector<uint8_t> out = base().bytes();
        for (int i = 0; i < bytes; ++i) out[offset + i] = static_cast<uint8_t>(value >> (8 * i));
        return out;
    };
    const std::vector<uint8_t> full = base().bytes();
    auto cut = [&](size_t size) { return std::vector<uint8_t>(full.begin(), full.begin() + size); };
    struct Case {
        const char* name;
        std::vector<uint8_t> bytes;
    };
    const Case cases[] = {
        {"width 0", patched(18, 0, 4)},
        {"height 0", patched(22, 0, 4)},
        {"negative width", patched(18, static_cast<uint32_t>(-3), 4)},
        {"2 bits per pixel", patched(28, 2, 2)},
        {"64 bits per pixel", patched(28, 64, 2)},
        {"RLE8 at 4 bits", patched(28, 4 | (1u << 16), 4)},  // depth, then compression
        {"compression 3 at 8 bits", patched(30, 3, 4)},
        {"compression 4", patched(30, 4, 4)},
        {"colour table beyond the file", patched(46, 300, 4)},
        {"pixel offset beyond the file", patched(10, 5000, 4)},
        {"pixel offset at the end of the file", patched(10, static_cast<uint32_t>(full.size()), 4)},
        {"pixel offset far beyond", patched(10, 0xFFFFFFFF, 4)},
        {"most negative height", patched(22, 0x80000000u, 4)},
        {"huge height", patched(22, 0x7FFFFFFF, 4)},
        {"pixel data cut", cut(full.size() - 3)},
        {"colour table cut", cut(54 + 500)},
        {"information header cut", cut(14 + 30)},
        {"size field cut", cut(16)},
        {"file header cut", cut(9)},
        {"only BM", {'B', 'M'}},
        {"one byte", {'B'}},
        {"empty", {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        expectRefused(c.bytes, "Image file conversion error.");
    }
}

TEST_F(BmpReaderTest, CoreHeaderDepthsWithoutTableAndBrokenCoreFiles) {
    BmpFile file = twentyFourBitTwin({0x102030, 0x405060}, 2, 1);
    file.coreHeader = true;
    expectPicture(decode(file.bytes()), 2, 1, {0x10, 0x20, 0x30, 0x40, 0x50, 0x60});

    file.width = 0;
    expectRefused(file.bytes(), "Image file conversion error.");
    file.width = 2;
    file.bitsPerPixel = 8;  // announces a 256-entry table that is not there
    expectRefused(file.bytes(), "Image file conversion error.");
}

TEST_F(BmpReaderTest, PictureTooLargeToAllocateIsOutOfMemory) {
    std::vector<uint8_t> bytes = twentyFourBitTwin({1, 2, 3, 4}, 2, 2).bytes();
    expectPicture(decode(bytes, 12), 2, 2, rgbOf({1, 2, 3, 4}));
    expectRefused(decode(bytes, 11), "Out of memory.");

    // A run-length file may announce any size in a few bytes; no texture may have a side
    // over 16384. An uncompressed file needs all its rows: a row of 2^27 pixels at 32 bits
    // has 2^32 bits, which only a size computed in 64 bits holds.
    struct Size {
        int32_t width, height;
        uint16_t bitsPerPixel;  // 8: run-length, 32: uncompressed
    };
    for (Size size :
         {Size{0x7FFFFFFF, 0x7FFFFFFF, 8}, Size{37000, 37000, 8}, Size{16385, 1, 8},
          Size{1, 16385, 8}, Size{1, -16385, 8}, Size{1 << 27, 1, 32}, Size{1 << 27, -1, 32}}) {
        SCOPED_TRACE(testing::Message() << size.width << " x " << size.height);
        BmpFile file;
        file.width = size.width;
        file.height = size.height;
        file.bitsPerPixel = size.bitsPerPixel;
        if (size.bitsPerPixel == 8) {
            file.compression = 1;
            file.palette = std::vector<uint32_t>(256, 0);
            file.pixelData = {0, 1};
            ASSERT_EQ(file.bytes().size(), 1080u);
            expectRefused(file.bytes(), "Out of memory.");
        } else {
            std::vector<uint8_t> head = file.bytes();
            uint64_t rows = static_cast<uint64_t>(std::abs(int64_t{size.height}));
            expectRefused(decodeZeroPadded(head, head.size() + uint64_t{4} * size.width * rows),
                          "Out of memory.");
        }
    }
    BmpFile file;
    file.bitsPerPixel = 8;
    file.compression = 1;
    file.palette = std::vector<uint32_t>(256, 0);
    file.pixelData = {0, 1};
    file.width = 16384;
    file.height = 1;
    expectPicture(decode(file.bytes()), 16384, 1, std::vector<uint8_t>(16384 * 3, 0));
}

TEST_F(BmpReaderTest, FilesThatCannotBeOpenedOrMappedReportTheirPath) {
    // What else cannot be opened (no regular file) is the opener's own test; an empty file
    // cannot be mapped.
    std::string empty = tempPath("empty.bmp");
    ASSERT_TRUE(writeFile(empty, std::vector<uint8_t>{}));
    for (const std::string& path : {std::string("no/such/dir/snow.bmp"), empty}) {
        SCOPED_TRACE(path);
        expectRefused(captureBmp(readBmpImage(path.c_str())),
                      "Failed to open DIB file " + path + ".\n");
    }

    // A refused file reports its own message, not the open failure.
    std::string v4 = tempPath("v4.bmp");
    std::vector<uint8_t> bytes = twentyFourBitTwin({0}, 1, 1).bytes();
    bytes[14] = 108;
    ASSERT_TRUE(writeFile(v4, bytes));
    expectRefused(captureBmp(readBmpImage(v4.c_str())), "Unknown DIB file format.");
}

}  // namespace
