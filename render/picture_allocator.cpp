// Picture memory: malloc for small pictures, huge-page advised blocks for large ones.
#include "render/picture_allocator.h"

#include <sys/mman.h>

#include <cstdlib>

uint8_t* allocatePicture(uint64_t bytes) {
    if (bytes == 0 || bytes > SIZE_MAX - kHugePageBytes) return nullptr;
    if (bytes < kHugePagePictureBytes) return static_cast<uint8_t*>(std::malloc(bytes));
    // Whole huge pages, so the advice covers no memory but this block's.
    size_t blockBytes =
        static_cast<size_t>((bytes + kHugePageBytes - 1) / kHugePageBytes * kHugePageBytes);
    void* block = nullptr;
    if (posix_memalign(&block, kHugePageBytes, blockBytes) != 0) return nullptr;
    // Advice only: where it is refused the picture is the same, on small pages.
    madvise(block, blockBytes, MADV_HUGEPAGE);
    return static_cast<uint8_t*>(block);
}
