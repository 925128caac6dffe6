// A mipmapped OpenGL texture made once from a BMP file.
#pragma once

#include <cstdint>

struct BmpTexture {
    uint32_t textureId;

    // 0 when the texture was made, 1 when the file gave no picture.
    uint8_t load(const char* path);
};
