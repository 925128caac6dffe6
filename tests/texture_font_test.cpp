// The texture font under a real GL: the atlas texture and its 256 lists, glyphs read back
// from the frame buffer, and the state that print leaves behind.
#include "render/texture_font.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <array>
#include <cstdlib>

#include "render/glyph_grid.h"
#include "tests/support/gl_state.h"
#include "tests/support/report_recorder.h"
#include "tests/support/temp_dir.h"
#include "tests/support/tga_file.h"

namespace {

using Rgb = std::array<int, 3>;

constexpr Rgb kBlack = {0, 0, 0};

// The colour of the atlas cell in grid column `column`, row `row` (rows from the top).
Rgb cellColour(int column, int row) {
    return {column * 16 + 8, row * 16 + 8, 100};
}
Rgb glyphColour(int glyph) {
    return cellColour(glyphColumn(glyph), glyphRow(glyph));
}

// A 16 x 16 grid of cells `cell` texels square, each one flat colour. The file's first
// row is the bottom of the texture, so grid row 0 is its last rows.
Bytes atlasFile(int cell, uint8_t bits) {
    const int side = 16 * cell;
    Bytes pixels;
    for (int y = 0; y < side; ++y) {
        for (int x = 0; x < side; ++x) {
            Rgb colour = cellColour(x / cell, 15 - y / cell);
            pixels.insert(pixels.end(),
                          {static_cast<uint8_t>(colour[2]), static_cast<uint8_t>(colour[1]),
                           static_cast<uint8_t>(colour[0])});
            if (bits == 32) pixels.push_back(255);
        }
    }
    return tgaFile(2, static_cast<uint16_t>(side), static_cast<uint16_t>(side), bits, pixels);
}

class TextureFontTest : public testing::Test {
  protected:
    void SetUp() override {
        glViewport(0, 0, 800, 600);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        glDisable(GL_LIGHTING);
        glDisable(GL_DEPTH_TEST);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
    }
    // Fonts made by earlier tests would own the list names these tests expect to be free.
    void TearDown() override {
        for (const TextureFont& font : fonts) {
            glDeleteLists(font.listBase, kGlyphCount);
            glDeleteTextures(1, &font.atlas.textureId);
            std::free(font.atlas.pixels);
        }
    }

    TextureFont& buildFont(const Bytes& atlas) {
        fonts.push_back(TextureFont{});
        TextureFont& font = fonts.back();
        font.build(dir.write("font.tga", atlas).c_str());
        return font;
    }

    // Clears the frame and prints at scale 4.
    void printOnBlack(TextureFont& font, const char* text, int set, int x = 100, int y = 100) {
        glClearColor(0, 0, 0, 0);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        font.print(x, y, text, set, 4.0f);
    }
    static Rgb pixelAt(int x, int y) {
        glFinish();
        std::array<uint8_t, 3> rgb{};
        glReadBuffer(GL_BACK);
        glReadPixels(x, y, 1, 1, GL_RGB, GL_UNSIGNED_BYTE, rgb.data());
        return {rgb[0], rgb[1], rgb[2]};
    }

    TempDir dir;
    ReportRecorder recorder;
    std::vector<TextureFont> fonts;
};

TEST_F(TextureFontTest, BuildMakesTextureAndAllGlyphLists) {
    glPixelStorei(GL_UNPACK_ALIGNMENT, 2);
    TextureFont& font = buildFont(atlasFile(16, 32));
    EXPECT_TRUE(recordedReports().empty());
    for (GLuint i = 0; i < 256; ++i) EXPECT_TRUE(glIsList(font.listBase + i)) << i;
    EXPECT_FALSE(glIsList(font.listBase + 256));
    EXPECT_EQ(font.glyphIndex, 256u);
    EXPECT_FLOAT_EQ(font.cellX, 15.0f / 16);
    EXPECT_FLOAT_EQ(font.cellY, 15.0f / 16);

    GLint bound = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    EXPECT_EQ(static_cast<GLuint>(bound), font.atlas.textureId);
    EXPECT_NE(font.atlas.textureId, 0u);
    GLint minFilter = 0, magFilter = 0, alignment = 0;
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &minFilter);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, &magFilter);
    glGetIntegerv(GL_UNPACK_ALIGNMENT, &alignment);
    EXPECT_EQ(minFilter, GL_LINEAR);
    EXPECT_EQ(magFilter, GL_LINEAR);
    EXPECT_EQ(alignment, 2) << "the unpack alignment is put back";
    ASSERT_NE(font.atlas.pixels, nullptr) << "the font keeps its atlas";
    EXPECT_EQ(font.atlas.format, static_cast<uint32_t>(GL_RGBA));
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
}

TEST_F(TextureFontTest, TwentyFourBitAtlasWithUnalignedRowsIsNotSkewed) {
    // 18 texels of 3 bytes: 54-byte rows, which GL's default alignment would pad to 56.
    Bytes pixels;
    for (int i = 0; i < 18 * 16; ++i) {
        pixels.insert(pixels.end(), {static_cast<uint8_t>(i), static_cast<uint8_t>(i >> 8), 77});
    }
    TextureFont& font = buildFont(tgaFile(2, 18, 16, 24, pixels));
    Bytes texture(pixels.size());
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGB, GL_UNSIGNED_BYTE, texture.data());
    EXPECT_EQ(texture, swappedRedBlue(pixels, 3));
    EXPECT_EQ(font.atlas.format, static_cast<uint32_t>(GL_RGB));
}

TEST_F(TextureFontTest, CharacterDrawsItsCellInEitherSet) {
    TextureFont& font = buildFont(atlasFile(16, 32));
    // The glyph square covers 64 pixels from (100, 100) at scale 4.
    printOnBlack(font, "A", 0);
    EXPECT_EQ(pixelAt(132, 132), cellColour(1, 2));
    EXPECT_EQ(pixelAt(102, 102), cellColour(1, 2));
    EXPECT_EQ(pixelAt(161, 161), cellColour(1, 2));
    EXPECT_EQ(pixelAt(166, 132), kBlack);
    EXPECT_EQ(pixelAt(132, 166), kBlack);
    EXPECT_EQ(pixelAt(98, 132), kBlack);

    printOnBlack(font, "A", 1);
    EXPECT_EQ(pixelAt(132, 132), cellColour(1, 10));
    printOnBlack(font, " ", 0);
    EXPECT_EQ(pixelAt(132, 132), glyphColour(0));
    printOnBlack(font, "\x7f", 1);
    EXPECT_EQ(pixelAt(132, 132), glyphColour(128 + 95));
}

TEST_F(TextureFontTest, PenAdvancesTenUnitsAndStartsAgainAtEveryPrint) {
    TextureFont& font = buildFont(atlasFile(16, 32));
    // "A" covers x 100 to 164, "B" 140 to 204 on top of it.
    printOnBlack(font, "AB", 0);
    EXPECT_EQ(pixelAt(120, 130), glyphColour('A' - 32));
    EXPECT_EQ(pixelAt(150, 130), glyphColour('B' - 32));
    EXPECT_EQ(pixelAt(200, 130), glyphColour('B' - 32));
    EXPECT_EQ(pixelAt(206, 130), kBlack);

    font.print(100, 300, "C", 0, 4.0f);
    EXPECT_EQ(pixelAt(120, 330), glyphColour('C' - 32));
    EXPECT_EQ(pixelAt(150, 330), glyphColour('C' - 32));
    EXPECT_EQ(pixelAt(180, 330), kBlack);
}

TEST_F(TextureFontTest, BytesOutsideTheGlyphsDrawNothingAndDoNotAdvance) {
    TextureFont& font = buildFont(atlasFile(16, 32));
    for (const char* text : {"\x01", "\x1f", "\x80", "\xff"}) {
        printOnBlack(font, text, 0);
        for (int x = 90; x < 220; x += 6) EXPECT_EQ(pixelAt(x, 130), kBlack) << x;
    }
    printOnBlack(font,
                 "\x01\x80\x9f"
                 "A",
                 0);
    EXPECT_EQ(pixelAt(120, 130), glyphColour('A' - 32));
    EXPECT_EQ(pixelAt(180, 130), kBlack);

    // In set 1, 128 to 159 fall outside; 160 and up reach set 0, bytes below 32 its end.
    printOnBlack(font, "\x80\x9f", 1);
    for (int x = 90; x < 220; x += 6) EXPECT_EQ(pixelAt(x, 130), kBlack) << x;
    printOnBlack(font, "\xa1", 1);
    EXPECT_EQ(pixelAt(130, 130), glyphColour(1));
    printOnBlack(font, "\xff", 1);
    EXPECT_EQ(pixelAt(130, 130), glyphColour(95));
    printOnBlack(font, "\x01", 1);
    EXPECT_EQ(pixelAt(130, 130), glyphColour(97));
}

TEST_F(TextureFontTest, FrameRateLineSitsInTheFixedFrame) {
    TextureFont& font = buildFont(atlasFile(16, 32));
    glClear(GL_COLOR_BUFFER_BIT);
    font.print(25, 560, "12", 0, 2.0f);
    // Two 32-unit squares 20 units apart from (25, 560): x 25 to 77, y 560 to 592.
    EXPECT_EQ(pixelAt(30, 576), glyphColour('1' - 32));
    EXPECT_EQ(pixelAt(72, 576), glyphColour('2' - 32));
    EXPECT_EQ(pixelAt(30, 590), glyphColour('1' - 32));
    EXPECT_EQ(pixelAt(30, 594), kBlack);
    EXPECT_EQ(pixelAt(30, 557), kBlack);
    EXPECT_EQ(pixelAt(79, 576), kBlack);
}

TEST_F(TextureFontTest, PrintLeavesTheSameStateWhateverTheText) {
    TextureFont& font = buildFont(atlasFile(16, 32));
    GLuint otherTexture = 0;
    glGenTextures(1, &otherTexture);
    for (const char* text : {"", "Hi", "\x01"}) {
        SCOPED_TRACE(text);
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glFrustum(-1, 1, -1, 1, 1, 50);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        glTranslatef(1, 2, 3);
        glRotatef(30, 0, 1, 0);
        glMatrixMode(GL_TEXTURE);
        glEnable(GL_BLEND);
        glBlendFunc(GL_ONE, GL_ONE);
        glEnable(GL_TEXTURE_2D);
        glBindTexture(GL_TEXTURE_2D, otherTexture);
        glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
        glDisable(GL_LIGHTING);
        glDisable(GL_DEPTH_TEST);
        glColor3f(0.25f, 0.5f, 0.75f);
        glListBase(7);
        std::array<GLfloat, 16> projection = glFloats<16>(GL_PROJECTION_MATRIX);
        std::array<GLfloat, 16> modelview = glFloats<16>(GL_MODELVIEW_MATRIX);
        GLint projectionDepth = glInteger(GL_PROJECTION_STACK_DEPTH);
        GLint modelviewDepth = glInteger(GL_MODELVIEW_STACK_DEPTH);

        font.print(25, 560, text, 0, 2.0f);

        EXPECT_EQ(glInteger(GL_MATRIX_MODE), GL_MODELVIEW);
        EXPECT_EQ(glFloats<16>(GL_PROJECTION_MATRIX), projection);
        EXPECT_EQ(glFloats<16>(GL_MODELVIEW_MATRIX), modelview);
        EXPECT_EQ(glInteger(GL_PROJECTION_STACK_DEPTH), projectionDepth);
        EXPECT_EQ(glInteger(GL_MODELVIEW_STACK_DEPTH), modelviewDepth);

        EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
        EXPECT_TRUE(glIsEnabled(GL_LIGHTING));
        EXPECT_FALSE(glIsEnabled(GL_BLEND));
        EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
        EXPECT_EQ(glFloats<3>(GL_CURRENT_COLOR), (std::array<GLfloat, 3>{1.0f, 1.0f, 1.0f}));
        EXPECT_EQ(textureEnvironmentMode(), GL_MODULATE);
        EXPECT_EQ(glInteger(GL_BLEND_SRC), GL_SRC_ALPHA);
        EXPECT_EQ(glInteger(GL_BLEND_DST), GL_ONE_MINUS_SRC_ALPHA);
        EXPECT_EQ(static_cast<GLuint>(glInteger(GL_TEXTURE_BINDING_2D)), font.atlas.textureId);
        EXPECT_EQ(static_cast<GLuint>(glInteger(GL_LIST_BASE)), font.listBase - 32);
    }
    glDeleteTextures(1, &otherTexture);
}

TEST_F(TextureFontTest, FailedAtlasIsReportedUploadsNothingAndTheListsAreBuiltAnyway) {
    struct Case {
        const char* name;
        std::string path;
        const char* text;
    };
    // The head of an uncompressed 16384 x 16384 x 32 atlas without its gigabyte of pixels.
    const Case cases[] = {
        {"absent", dir.file("absent.tga"), "Could not open texture file"},
        {"head only", dir.write("head.tga", tgaHead(2, 16384, 16384, 32)),
         "Could not read image data"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        recordedReports().clear();
        fonts.push_back(TextureFont{});
        TextureFont& font = fonts.back();
        font.build(c.path.c_str());
        ASSERT_EQ(recordedReports().size(), 1u);
        EXPECT_EQ(recordedReports()[0].text, c.text);
        EXPECT_EQ(recordedReports()[0].caption, "ERROR");
        EXPECT_EQ(recordedReports()[0].style, 0u);
        EXPECT_EQ(font.atlas.pixels, nullptr);
        EXPECT_TRUE(glIsTexture(font.atlas.textureId));
        // The texture has no storage: no image of the size the head declared.
        GLint width = -1;
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
        EXPECT_EQ(width, 0);
        for (GLuint i = 0; i < 256; ++i) EXPECT_TRUE(glIsList(font.listBase + i)) << i;
        font.print(25, 560, "60 fps", 0, 2.0f);
        EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    }
}

}  // namespace
