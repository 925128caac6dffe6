// The demo's glyph atlas: 16 x 16 cells of 32 pixels, white glyphs whose alpha is their
// coverage on see-through cells. Set 0 (grid rows 0 to 7 from the top) holds the regular
// face, set 1 (rows 8 to 15) the bold one; character c of set s is glyph 128 s + c - 32.
#pragma once

#include "tools/picture.h"

constexpr int kAtlasSize = 512;
constexpr int kGlyphCellSize = 32;

constexpr const char* kRegularFontPath = "/usr/share/fonts/truetype/dejavu/DejaVuSansMono.ttf";
constexpr const char* kBoldFontPath = "/usr/share/fonts/truetype/dejavu/DejaVuSansMono-Bold.ttf";

// Renders the printable ASCII characters of both faces with FreeType into an R,G,B,A
// picture (bottom row first, as the GL and the TGA file take it). False after a reported
// message when a face cannot be loaded or rendered.
bool makeFontAtlas(const char* regularPath, const char* boldPath, Picture& atlas);
