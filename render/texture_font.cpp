// Bitmap text: the atlas becomes one texture and 256 display lists at build time, so a
// string costs one glListBase and one glCallLists.
#include "render/texture_font.h"

#include <GL/gl.h>

#include <cstring>

#include "render/glyph_grid.h"

namespace {
constexpr float kCell = 1.0f / kGlyphGridSide;  // one column or row, in texture units
}

void TextureFont::build(const char* path) {
    // A failed read leaves no pixels; the texture and the lists are made all the same.
    decoder.loadTga(&atlas, path);
    listBase = glGenLists(kGlyphCount);
    glGenTextures(1, &atlas.textureId);
    glBindTexture(GL_TEXTURE_2D, atlas.textureId);
    // Without pixels there is nothing to upload: a null image of the size the header
    // declared would still make the GL allocate it (a gigabyte from an 18-byte file).
    if (atlas.pixels != nullptr) {
        // Atlas rows are tightly packed; GL's default of 4-byte rows would skew a 24-bit
        // atlas whose rows are not a multiple of 4 bytes.
        GLint unpackAlignment = 4;
        glGetIntegerv(GL_UNPACK_ALIGNMENT, &unpackAlignment);
        glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
        glTexImage2D(GL_TEXTURE_2D, 0, static_cast<GLint>(atlas.format),
                     static_cast<GLsizei>(atlas.width), static_cast<GLsizei>(atlas.height), 0,
                     atlas.format, GL_UNSIGNED_BYTE, atlas.pixels);
        glPixelStorei(GL_UNPACK_ALIGNMENT, unpackAlignment);
    }
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);

    const int square = kGlyphSquareUnits;
    for (glyphIndex = 0; glyphIndex < static_cast<uint32_t>(kGlyphCount); ++glyphIndex) {
        const int glyph = static_cast<int>(glyphIndex);
        cellX = static_cast<float>(glyphColumn(glyph)) / kGlyphGridSide;
        cellY = static_cast<float>(glyphRow(glyph)) / kGlyphGridSide;
        glNewList(listBase + glyphIndex, GL_COMPILE);
        glBegin(GL_QUADS);
        glTexCoord2f(cellX, 1.0f - cellY - kCell);
        glVertex2i(0, 0);
        glTexCoord2f(cellX + kCell, 1.0f - cellY - kCell);
        glVertex2i(square, 0);
        glTexCoord2f(cellX + kCell, 1.0f - cellY);
        glVertex2i(square, square);
        glTexCoord2f(cellX, 1.0f - cellY);
        glVertex2i(0, square);
        glEnd();
        glTranslated(kPenAdvanceUnits, 0, 0);
        glEndList();
    }
}

void TextureFont::print(int32_t x, int32_t y, const char* text, int32_t set, float scale) {
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, atlas.textureId);
    glTexEnvf(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, static_cast<GLfloat>(GL_MODULATE));
    glDisable(GL_LIGHTING);
    glDisable(GL_DEPTH_TEST);

    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glOrtho(0, kTextFrameWidth, 0, kTextFrameHeight, -1, 1);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    glTranslated(x, y, 0);
    glColor3f(1, 1, 1);
    glScalef(scale, scale, scale);
    // Byte c names list base + c, the list of glyphOf(c, set). The bytes are signed, so
    // those that fall outside the glyphs name lists the font does not own and draw nothing.
    glListBase(listBase + static_cast<GLuint>(glyphOf(0, set)));
    glCallLists(static_cast<GLsizei>(std::strlen(text)), GL_BYTE, text);

    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glPopMatrix();
    glEnable(GL_DEPTH_TEST);
    glDisable(GL_BLEND);
    glDisable(GL_TEXTURE_2D);
    glEnable(GL_LIGHTING);
}
