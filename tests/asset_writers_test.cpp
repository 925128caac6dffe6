// The asset tool's TGA and BMP writers: exact bytes for small pictures, and round trips
// of long rows through the strict test readers.
#include <gtest/gtest.h>

#include <vector>

#include "tests/support/strict_readers.h"
#include "tools/bmp_writer.h"
#include "tools/tga_writer.h"

namespace {

Picture pictureFrom(int width, int height, int channels, std::vector<uint8_t> pixels) {
    Picture picture = Picture::blank(width, height, channels);
    picture.pixels = std::move(pixels);
    return picture;
}

// Rows that exercise every packet boundary: runs of 1, 2, 127 to 129 and over 255,
// and stretches of distinct values longer than a packet holds.
Picture awkwardRows(int channels) {
    const int width = 700;
    Picture picture = Picture::blank(width, 4, channels);
    for (int x = 0; x < width; ++x) {
        int values[4] = {x < 300 ? 7 : x % 251,            // long run, then all distinct
                         (x / 2) % 200,                    // runs of two
                         x < 128 ? 1 : (x < 257 ? 2 : 3),  // runs of 128, 129, rest
                         (x * 37) % 256};                  // nothing repeats
        for (int y = 0; y < 4; ++y) {
            for (int c = 0; c < channels; ++c) {
                picture.at(x, y)[c] = static_cast<uint8_t>(values[y] + 11 * c);
            }
        }
    }
    return picture;
}

TEST(TgaWriter, EncodesRunsAndRawPacketsExactly) {
    // Bottom row A A B, top row C D D; pixels R,G,B,A.
    std::vector<uint8_t> pixels = {1, 2,  3,  4, 1,   2,   3,   4,   5,   6,   7,   8,
                                   9, 10, 11, 0, 255, 254, 253, 252, 255, 254, 253, 252};
    // clang-format off
    std::vector<uint8_t> expected = {0, 0, 10, 0, 0, 0, 0, 0, 0, 0, 0, 0,  // type 10
                                     3, 0, 2, 0, 32, 8,                    // 3 x 2, 32 bits
                                     0x81, 3, 2, 1, 4,                     // run of 2 A
                                     0x00, 7, 6, 5, 8,                     // raw B
                                     0x00, 11, 10, 9, 0,                   // raw C
                                     0x81, 253, 254, 255, 252};            // run of 2 D
    // clang-format on
    EXPECT_EQ(encodeTgaRle(pictureFrom(3, 2, 4, pixels)), expected);
}

TEST(TgaWriter, Writes24BitPicturesWithoutAlphaBits) {
    // clang-format off
    std::vector<uint8_t> expected = {0, 0, 10, 0, 0, 0, 0, 0, 0, 0, 0, 0,
                                     1, 0, 1, 0, 24, 0,  // 1 x 1, 24 bits, no alpha bits
                                     0, 30, 20, 10};     // one raw pixel, B,G,R
    // clang-format on
    EXPECT_EQ(encodeTgaRle(pictureFrom(1, 1, 3, {10, 20, 30})), expected);
}

TEST(TgaWriter, LongRowsRoundTripWithinRows) {
    for (int channels : {3, 4}) {
        Picture picture = awkwardRows(channels);
        Picture decoded;
        ASSERT_EQ(decodeTgaRle(encodeTgaRle(picture), decoded), "") << channels;
        EXPECT_EQ(decoded.width, picture.width);
        EXPECT_EQ(decoded.height, picture.height);
        EXPECT_EQ(decoded.channels, channels);
        EXPECT_EQ(decoded.pixels, picture.pixels) << channels;
    }
}

TEST(BmpWriter, Encodes24BitRowsBottomFirstWithPadding) {
    // Bottom row red, green; top row blue, white.
    Picture picture = pictureFrom(2, 2, 3, {255, 0, 0, 0, 255, 0, 0, 0, 255, 255, 255, 255});
    // clang-format off
    std::vector<uint8_t> expected = {
        'B', 'M', 70, 0, 0, 0, 0, 0, 0, 0, 54, 0, 0, 0,  // file header: size 70, pixels at 54
        40, 0, 0, 0, 2, 0, 0, 0, 2, 0, 0, 0,              // 2 x 2
        1, 0, 24, 0, 0, 0, 0, 0, 16, 0, 0, 0,             // 24 bits, uncompressed, 16 bytes
        0x13, 0x0B, 0, 0, 0x13, 0x0B, 0, 0,               // 72 dpi
        0, 0, 0, 0, 0, 0, 0, 0,                           // no colour table
        0, 0, 255, 0, 255, 0, 0, 0,                       // bottom row B,G,R, padding
        255, 0, 0, 255, 255, 255, 0, 0};                  // top row
    // clang-format on
    EXPECT_EQ(encodeBmp24(picture), expected);
}

TEST(BmpWriter, Encodes24BitRowsOfEveryPaddingRoundTrip) {
    for (int width : {1, 2, 3, 4, 5}) {
        Picture picture = Picture::blank(width, 3, 3);
        for (size_t i = 0; i < picture.pixels.size(); ++i) {
            picture.pixels[i] = static_cast<uint8_t>(i * 29);
        }
        Picture decoded;
        ASSERT_EQ(decodeBmp(encodeBmp24(picture), decoded), "") << width;
        EXPECT_EQ(decoded.pixels, picture.pixels) << width;
    }
}

TEST(BmpWriter, EncodesRle8Exactly) {
    std::vector<PaletteColour> palette;
    for (int i = 0; i < 10; ++i) {
        palette.push_back({static_cast<uint8_t>(i), static_cast<uint8_t>(2 * i), 200});
    }
    // Bottom row 5 5 5 1 2 3, top row 7 8 9 9 9 9.
    Picture indices = pictureFrom(6, 2, 1, {5, 5, 5, 1, 2, 3, 7, 8, 9, 9, 9, 9});
    std::vector<uint8_t> file = encodeBmpRle8(indices, palette);
    std::vector<uint8_t> data(file.begin() + littleEndian(file, 10, 4), file.end());
    std::vector<uint8_t> expected = {3, 5, 0, 3, 1, 2, 3, 0, 0, 0,  // run, odd absolute run
                                     1, 7, 1, 8, 4, 9, 0, 0,        // two singles, run
                                     0, 1};                         // end of bitmap
    EXPECT_EQ(data, expected);
    EXPECT_EQ(littleEndian(file, 10, 4), 54u + 4 * 10);
    EXPECT_EQ(littleEndian(file, 28, 2), 8u);  // bits per pixel
    EXPECT_EQ(littleEndian(file, 30, 4), 1u);  // compression: RLE8
    EXPECT_EQ(littleEndian(file, 34, 4), data.size());
    EXPECT_EQ(littleEndian(file, 46, 4), 10u);  // colours used
    EXPECT_EQ(file[54 + 4 * 3], 200);           // entry 3 stored B,G,R,0
    EXPECT_EQ(file[54 + 4 * 3 + 1], 6);
    EXPECT_EQ(file[54 + 4 * 3 + 2], 3);
    EXPECT_EQ(file[54 + 4 * 3 + 3], 0);
}

TEST(BmpWriter, LongRle8RowsRoundTrip) {
    Picture indices = awkwardRows(1);
    std::vector<PaletteColour> palette;
    for (int i = 0; i < 256; ++i) {
        palette.push_back({static_cast<uint8_t>(i), static_cast<uint8_t>(255 - i), 9});
    }
    Picture decoded;
    ASSERT_EQ(decodeBmp(encodeBmpRle8(indices, palette), decoded), "");
    ASSERT_EQ(decoded.width, indices.width);
    ASSERT_EQ(decoded.height, indices.height);
    for (int y = 0; y < indices.height; ++y) {
        for (int x = 0; x < indices.width; ++x) {
            const PaletteColour& expected = palette[*indices.at(x, y)];
            ASSERT_EQ(decoded.at(x, y)[0], expected.red) << x << "," << y;
            ASSERT_EQ(decoded.at(x, y)[1], expected.green) << x << "," << y;
            ASSERT_EQ(decoded.at(x, y)[2], expected.blue) << x << "," << y;
        }
    }
}

}  // namespace
