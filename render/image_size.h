// Checked picture sizes, shared by the image readers: computed in 64 bits and refused
// before anything is allocated.
#pragma once

#include <cstdint>

// The most bytes a decoded picture may take; beyond it an allocation is not tried.
constexpr uint64_t kMaxImageBytes = uint64_t{1} << 32;

// width x height x bytesPerPixel in 64 bits; false when a side is 0 or the product is
// larger than kMaxImageBytes.
inline bool imageBytes(uint64_t width, uint64_t height, uint64_t bytesPerPixel, uint64_t& bytes) {
    if (width == 0 || height == 0 || bytesPerPixel == 0) return false;
    // Each factor is below 2^32, so no partial product can overflow 64 bits.
    if (width > UINT32_MAX || height > UINT32_MAX || bytesPerPixel > 8) return false;
    uint64_t product = width * height;
    if (product > kMaxImageBytes / bytesPerPixel) return false;
    bytes = product * bytesPerPixel;
    return true;
}
