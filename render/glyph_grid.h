// The glyph atlas's layout, shared by the font that reads it and the tool that draws it:
// 16 x 16 cells, two sets of 128 glyphs, a glyph square of 16 units with a pen advance
// of 10.
#pragma once

constexpr int kGlyphGridSide = 16;  // columns and rows of cells
constexpr int kGlyphCount = kGlyphGridSide * kGlyphGridSide;
constexpr int kGlyphSetSize = 128;        // set 0: grid rows 0 to 7 from the top, set 1: 8 to 15
constexpr int kFirstGlyphCharacter = 32;  // the space, first glyph of its set
constexpr int kGlyphSquareUnits = 16;
constexpr int kPenAdvanceUnits = 10;  // neighbouring squares overlap by 6 units

// The glyph that character code `character` of `set` selects; outside 0 to 255 for a
// byte that the set does not cover.
constexpr int glyphOf(int character, int set) {
    return kGlyphSetSize * set + character - kFirstGlyphCharacter;
}

// Grid column, and grid row counted down from the texture's top edge, of a glyph.
constexpr int glyphColumn(int glyph) {
    return glyph % kGlyphGridSide;
}
constexpr int glyphRow(int glyph) {
    return glyph / kGlyphGridSide;
}
