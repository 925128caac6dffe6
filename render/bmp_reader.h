// Reader for Windows bitmap files of every common depth and compression into
// tightly packed R,G,B rows, bottom row first.
#pragma once

#include <cstdint>

struct RgbImage {
    int32_t width;
    int32_t height;
    uint8_t* pixels;
};

// A new record and pixel buffer (both malloc'ed; free the pixels, then the record),
// or null after one reported message.
RgbImage* readBmpImage(const char* path);
