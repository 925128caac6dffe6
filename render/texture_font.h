// Bitmap text from a 16 x 16 glyph atlas: one display list per glyph, drawn in a
// fixed 800 x 600 overlay on top of the scene.
#pragma once

#include <cstdint>

#include "render/tga_reader.h"

struct TextureFont {
    uint32_t listBase;
    uint32_t glyphIndex;
    TgaDecoder decoder;
    TgaImage atlas;
    float cellX;
    float cellY;

    void build(const char* path);
    void print(int32_t x, int32_t y, const char* text, int32_t set, float scale);
};
