// The demo's glyph atlas, laid out as the font's grid (render/glyph_grid.h), in cells of
// 32 pixels: white glyphs whose alpha is their coverage on see-through cells, the regular
// face in set 0 and the bold one in set 1.
#pragma once

#include "render/glyph_grid.h"
#include "tools/picture.h"

constexpr int kGlyphCellSize = 32;
constexpr int kAtlasSize = kGlyphGridSide * kGlyphCellSize;

constexpr const char* kRegularFontPath = "/usr/share/fonts/truetype/dejavu/DejaVuSansMono.ttf";
constexpr const char* kBoldFontPath = "/usr/share/fonts/truetype/dejavu/DejaVuSansMono-Bold.ttf";

// Renders the printable ASCII characters of both faces with FreeType into an R,G,B,A
// picture (bottom row first, as the GL and the TGA file take it). False after a reported
// message when a face cannot be loaded or rendered.
bool makeFontAtlas(const char* regularPath, const char* boldPath, Picture& atlas);
