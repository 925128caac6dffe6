// Reader for Windows bitmap files of every common depth and compression into
// tightly packed R,G,B rows, bottom row first.
#pragma once

#include <cstddef>
#include <cstdint>

#include "render/image_size.h"

struct RgbImage {
    int32_t width;
    int32_t height;
    uint8_t* pixels;
};

// A new record and pixel buffer (both malloc'ed; free the pixels, then the record),
// or null after one reported message.
RgbImage* readBmpImage(const char* path);

// Decodes a whole BMP file held in memory, with the same results and messages as
// readBmpImage. A picture larger than maxImageBytes is refused with "Out of memory."
// (the fuzz target lowers it to stay within its memory limit).
RgbImage* decodeBmpImage(const uint8_t* data, size_t size, uint64_t maxImageBytes = kMaxImageBytes);
