// The readers' one picture allocator: every byte asked for is usable (AddressSanitizer
// watches the ends), large pictures sit on huge-page aligned, advised memory, small ones
// do not, and all are released with free.
#include "render/picture_allocator.h"

#include <gtest/gtest.h>
#include <malloc.h>

#include <cstdlib>
#include <cstring>
#include <vector>

#include "render/bmp_reader.h"
#include "render/tga_reader.h"
#include "tests/support/proc_self.h"
#include "tools/bmp_writer.h"
#include "tools/tga_writer.h"

namespace {

// glibc hands a released block's memory, advice and all, to later requests, and after
// each release it raises the size from which blocks get a mapping of their own: a small
// picture could then land where a large one was advised before, in this test or in any
// that ran earlier in the process. A fixed threshold, set before any test runs, gives
// every large block a mapping of its own that is unmapped on release. (AddressSanitizer's
// allocator maps large blocks on their own anyway and ignores the call.)
[[maybe_unused]] const int kLargeBlocksMappedAlone = mallopt(M_MMAP_THRESHOLD, 256 << 10);

TEST(PictureAllocator, LargePicturesAreHugePageAlignedAndAdvised) {
    struct Case {
        uint64_t bytes;
        bool huge;
    };
    const uint64_t threshold = kHugePagePictureBytes;
    const Case cases[] = {
        {1, false},
        {threshold - 1, false},
        {threshold, true},
        {threshold + 1, true},
        {uint64_t{4096} * 4096 * 3, true},  // a 4096 x 4096 R,G,B picture
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.bytes);
        uint8_t* picture = allocatePicture(c.bytes);
        ASSERT_NE(picture, nullptr);
        std::memset(picture, 0xA5, c.bytes);
        EXPECT_EQ(picture[c.bytes - 1], 0xA5);
        if (c.huge) {
            EXPECT_EQ(reinterpret_cast<uintptr_t>(picture) % kHugePageBytes, 0u);
        }
        EXPECT_EQ(advisedForHugePages(picture), c.huge);
        EXPECT_EQ(advisedForHugePages(picture + c.bytes - 1), c.huge);
        std::free(picture);
    }
}

// The pixels the BMP reader makes of a `side` x `side` file of one colour, 24-bit or
// RLE8 (compression 1).
uint8_t* bmpPixels(int side, uint32_t compression) {
    BmpFile file;
    file.width = side;
    file.height = side;
    std::vector<uint32_t> values(static_cast<size_t>(side) * side, 1);
    if (compression == 1) {
        file.bitsPerPixel = 8;
        file.compression = 1;
        file.palette = {0x102030, 0x405060};
        file.pixelData = encodeRunLength(values, side, side, false);
    } else {
        file.pixelData = packRows(values, side, side, 24);
    }
    std::vector<uint8_t> bytes = file.bytes();
    RgbImage* image = decodeBmpImage(bytes.data(), bytes.size());
    if (!image) return nullptr;
    uint8_t* pixels = image->pixels;
    std::free(image);
    return pixels;
}

// The pixels the TGA reader makes of a `side` x `side` 24-bit file of one colour.
uint8_t* tgaPixels(int side, uint32_t type) {
    std::vector<uint8_t> pixels(static_cast<size_t>(side) * side * 3, 7);
    std::vector<uint8_t> data;
    if (type == 10) {
        appendTgaPackets(data, pixels.data(), pixels.size() / 3, 3);
    } else {
        data = pixels;
    }
    auto s = static_cast<uint16_t>(side);
    std::vector<uint8_t> file = tgaFile(static_cast<uint8_t>(type), s, s, 24, data);
    TgaDecoder decoder{};
    TgaImage image{};
    return decoder.decodeTga(&image, file.data(), file.size()) ? image.pixels : nullptr;
}

// Both readers take their output from the allocator: a picture above the threshold lands
// on advised memory, one below it does not.
TEST(PictureAllocator, EveryReaderAllocatesThroughIt) {
    struct Case {
        const char* name;
        uint8_t* (*decode)(int side, uint32_t kind);
        uint32_t kind;
        int side;  // 1200 x 1200 x 3 bytes is just above 4 MiB, 1100 x 1100 x 3 below
    };
    const Case cases[] = {
        {"BMP 24-bit", bmpPixels, 0, 1200}, {"BMP RLE8", bmpPixels, 1, 1200},
        {"TGA type 2", tgaPixels, 2, 1200}, {"TGA type 10", tgaPixels, 10, 1200},
        {"small BMP", bmpPixels, 0, 1100},  {"small TGA", tgaPixels, 10, 1100},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        uint8_t* pixels = c.decode(c.side, c.kind);
        ASSERT_NE(pixels, nullptr);
        EXPECT_EQ(advisedForHugePages(pixels), c.side == 1200);
        std::free(pixels);
    }
}

TEST(PictureAllocator, ImpossibleSizesGiveNull) {
    EXPECT_EQ(allocatePicture(0), nullptr);
    EXPECT_EQ(allocatePicture(UINT64_MAX), nullptr);
}

}  // namespace
