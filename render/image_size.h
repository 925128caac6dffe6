// Checked picture sizes, shared by the image readers and the texture code: computed in
// 64 bits and refused before anything is allocated.
#pragma once

#include <cstdint>

// The longest side a picture may have. GLs take textures of at most 16384 texels a side
// (GL_MAX_TEXTURE_SIZE; only a few take more), and at this side GLU's int arithmetic on
// a whole picture still cannot overflow. A run-length file of a few bytes may declare
// any size; this keeps it from taking gigabytes.
constexpr uint64_t kMaxImageSide = 16384;

// The most bytes a decoded picture may take: a square of the longest side, 4 bytes a pixel.
constexpr uint64_t kMaxImageBytes = kMaxImageSide * kMaxImageSide * 4;

// width x height x bytesPerPixel (1 to 4), at most kMaxImageBytes; false when a side is 0
// or longer than kMaxImageSide.
inline bool imageBytes(uint64_t width, uint64_t height, uint64_t bytesPerPixel, uint64_t& bytes) {
    if (width == 0 || height == 0 || width > kMaxImageSide || height > kMaxImageSide) return false;
    if (bytesPerPixel == 0 || bytesPerPixel > 4) return false;
    bytes = width * height * bytesPerPixel;
    return true;
}
