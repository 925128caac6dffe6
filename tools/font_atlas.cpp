// Glyph atlas rendered with FreeType.
//
// The font reads grid row g from the top of the texture, and the texture's top is the
// picture's last row, so cell (column, g) starts at picture row (15 - g) * 32; inside a
// cell the glyph's top goes to the cell's highest row so that it stands upright on screen.
#include "tools/font_atlas.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <cstdlib>
#include <string>

#include "base/error_report.h"

namespace {

constexpr int kFirstCharacter = kFirstGlyphCharacter + 1;  // the space is an empty cell
constexpr int kLastCharacter = 126;
// The font's pen advance in a cell's pixels: 20 of 32.
constexpr int kPenAdvance = kGlyphCellSize * kPenAdvanceUnits / kGlyphSquareUnits;
// Linear filtering reads one texel beyond a cell's edge, so every cell keeps a clear rim.
constexpr int kCellMargin = 1;
constexpr int kLargestPixelSize = 32;
constexpr int kSmallestPixelSize = 8;

struct InkBounds {
    int top = -1000;  // rows above the baseline
    int bottom = 1000;
    int left = 1000;  // columns from the pen
    int right = -1000;
    int advance = 0;
};

void report(const std::string& text) {
    reportError(ReportOwner::None, text.c_str(), "ERROR", kReportOk);
}

bool loadGlyph(FT_Face face, int character) {
    if (FT_Load_Char(face, static_cast<FT_ULong>(character), FT_LOAD_RENDER) != 0) return false;
    const FT_Bitmap& bitmap = face->glyph->bitmap;
    return bitmap.rows == 0 || bitmap.pixel_mode == FT_PIXEL_MODE_GRAY;
}

bool measure(FT_Face face, InkBounds& bounds) {
    for (int c = kFirstCharacter; c <= kLastCharacter; ++c) {
        if (!loadGlyph(face, c)) return false;
        const FT_GlyphSlot slot = face->glyph;
        const int rows = static_cast<int>(slot->bitmap.rows);
        const int width = static_cast<int>(slot->bitmap.width);
        bounds.advance = std::max(bounds.advance, static_cast<int>((slot->advance.x + 32) >> 6));
        if (rows == 0 || width == 0) continue;
        bounds.top = std::max(bounds.top, slot->bitmap_top);
        bounds.bottom = std::min(bounds.bottom, slot->bitmap_top - rows);
        bounds.left = std::min(bounds.left, slot->bitmap_left);
        bounds.right = std::max(bounds.right, slot->bitmap_left + width);
    }
    return true;
}

// Where the pen and the baseline sit inside a cell, counted from its left and top.
struct CellPlacement {
    int penX;
    int baselineFromTop;
};

// The largest pixel size at which every glyph of both faces fits its cell.
bool chooseSize(FT_Face regular, FT_Face bold, CellPlacement& placement) {
    const int room = kGlyphCellSize - 2 * kCellMargin;
    for (int size = kLargestPixelSize; size >= kSmallestPixelSize; --size) {
        InkBounds bounds;
        for (FT_Face face : {regular, bold}) {
            if (FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(size)) != 0) return false;
            if (!measure(face, bounds)) return false;
        }
        // Centre the glyph's own advance in the pen's advance, and the ink vertically.
        int penX = (kPenAdvance - bounds.advance) / 2;
        bool fitsAcross = penX + bounds.left >= kCellMargin &&
                          penX + bounds.right <= kGlyphCellSize - kCellMargin;
        int inkHeight = bounds.top - bounds.bottom;
        if (fitsAcross && inkHeight <= room) {
            placement.penX = penX;
            placement.baselineFromTop = kCellMargin + (room - inkHeight) / 2 + bounds.top;
            return true;
        }
    }
    return false;
}

void drawGlyph(const FT_GlyphSlot slot, int glyph, const CellPlacement& placement, Picture& atlas) {
    const FT_Bitmap& bitmap = slot->bitmap;
    const int cellLeft = glyphColumn(glyph) * kGlyphCellSize;
    const int cellBottom = (kGlyphGridSide - 1 - glyphRow(glyph)) * kGlyphCellSize;
    for (int row = 0; row < static_cast<int>(bitmap.rows); ++row) {
        // Rows counted from the cell's top; a negative pitch means bottom-up storage.
        int sourceRow = bitmap.pitch >= 0 ? row : static_cast<int>(bitmap.rows) - 1 - row;
        const unsigned char* source = bitmap.buffer + sourceRow * std::abs(bitmap.pitch);
        int fromTop = placement.baselineFromTop - slot->bitmap_top + row;
        for (int column = 0; column < static_cast<int>(bitmap.width); ++column) {
            int x = placement.penX + slot->bitmap_left + column;
            if (fromTop < 0 || fromTop >= kGlyphCellSize || x < 0 || x >= kGlyphCellSize) {
                continue;
            }
            atlas.at(cellLeft + x, cellBottom + kGlyphCellSize - 1 - fromTop)[3] = source[column];
        }
    }
}

bool drawSet(FT_Face face, int set, const CellPlacement& placement, Picture& atlas) {
    for (int c = kFirstCharacter; c <= kLastCharacter; ++c) {
        if (!loadGlyph(face, c)) return false;
        drawGlyph(face->glyph, glyphOf(c, set), placement, atlas);
    }
    return true;
}

}  // namespace

bool makeFontAtlas(const char* regularPath, const char* boldPath, Picture& atlas) {
    FT_Library library = nullptr;
    if (FT_Init_FreeType(&library) != 0) {
        report("Could not start FreeType");
        return false;
    }
    FT_Face regular = nullptr;
    FT_Face bold = nullptr;
    bool ok = true;
    if (FT_New_Face(library, regularPath, 0, &regular) != 0) {
        report(std::string("Could not load font ") + regularPath);
        ok = false;
    } else if (FT_New_Face(library, boldPath, 0, &bold) != 0) {
        report(std::string("Could not load font ") + boldPath);
        ok = false;
    }
    CellPlacement placement{};
    if (ok && !chooseSize(regular, bold, placement)) {
        report("The font's glyphs do not fit the atlas cells");
        ok = false;
    }
    if (ok) {
        atlas = Picture::blank(kAtlasSize, kAtlasSize, 4);
        // White everywhere, so filtering at a glyph's edge blends coverage, not colour.
        for (size_t i = 0; i < atlas.pixels.size(); i += 4) {
            atlas.pixels[i] = atlas.pixels[i + 1] = atlas.pixels[i + 2] = 255;
        }
        if (!drawSet(regular, 0, placement, atlas) || !drawSet(bold, 1, placement, atlas)) {
            report("Could not render the font's glyphs");
            ok = false;
        }
    }
    if (bold) FT_Done_Face(bold);
    if (regular) FT_Done_Face(regular);
    FT_Done_FreeType(library);
    return ok;
}
