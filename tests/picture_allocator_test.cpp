// The readers' one picture allocator: every byte asked for is usable (AddressSanitizer
// watches the ends), large pictures sit on huge-page aligned, advised memory, small ones
// do not, and all are released with free.
#include "render/picture_allocator.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>

namespace {

// Whether the kernel marks the mapping that holds `address` as advised for huge pages
// (the "hg" flag in /proc/self/smaps).
bool advisedForHugePages(const void* address) {
    std::ifstream smaps("/proc/self/smaps");
    auto target = reinterpret_cast<uintptr_t>(address);
    bool inside = false;
    std::string line;
    while (std::getline(smaps, line)) {
        uintptr_t start = 0;
        uintptr_t end = 0;
        char dash = 0;
        std::istringstream range(line);
        if (range >> std::hex >> start >> dash >> end && dash == '-') {
            inside = start <= target && target < end;
        } else if (inside && line.rfind("VmFlags:", 0) == 0) {
            return (line + " ").find(" hg ") != std::string::npos;
        }
    }
    return false;
}

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

TEST(PictureAllocator, ImpossibleSizesGiveNull) {
    EXPECT_EQ(allocatePicture(0), nullptr);
    EXPECT_EQ(allocatePicture(UINT64_MAX), nullptr);
}

}  // namespace
