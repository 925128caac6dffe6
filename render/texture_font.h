// Bitmap text from a 16 x 16 glyph atlas: one display list per glyph, drawn in a
// fixed 800 x 600 overlay on top of the scene.
#pragma once

#include <cstdint>

#include "render/tga_reader.h"

// The fixed frame the text is laid out in, whatever the window's size: in a larger
// window the text is stretched with it.
constexpr int32_t kTextFrameWidth = 800;
constexpr int32_t kTextFrameHeight = 600;

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
