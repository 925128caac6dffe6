// The one allocator of the readers' decoded pictures. A picture is released with free.
#pragma once

#include <cstdint>

// Pictures this large and larger are placed on transparent huge pages where the system
// offers them: a fresh 4 KiB page costs a fault on first write, and for a picture of
// megabytes those faults take longer than the decoding itself.
constexpr uint64_t kHugePagePictureBytes = uint64_t{4} << 20;
constexpr uint64_t kHugePageBytes = uint64_t{2} << 20;

// `bytes` of uninitialised memory, or null when they cannot be allocated. From
// kHugePagePictureBytes on, the block is aligned to a huge page and advised for huge
// pages to its end; smaller blocks come from malloc as they are.
uint8_t* allocatePicture(uint64_t bytes);
