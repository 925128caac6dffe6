// BMP textures in a real GL: the levels GL holds after a load, the state load leaves,
// and the failed load that changes nothing.
#include "render/bmp_texture.h"

#include <GL/gl.h>
#include <GL/glu.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/gl_state.h"
#include "tests/support/report_recorder.h"
#include "tests/support/temp_dir.h"
#include "tools/bmp_writer.h"

namespace {

struct Level {
    GLint width = 0;
    GLint height = 0;
    std::vector<uint8_t> rgb;
};

// Binds the texture and reads one of its levels, rows tightly packed.
Level readLevel(GLuint texture, GLint level) {
    Level out;
    glBindTexture(GL_TEXTURE_2D, texture);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, level, GL_TEXTURE_WIDTH, &out.width);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, level, GL_TEXTURE_HEIGHT, &out.height);
    out.rgb.resize(static_cast<size_t>(out.width) * out.height * 3);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    if (!out.rgb.empty())
        glGetTexImage(GL_TEXTURE_2D, level, GL_RGB, GL_UNSIGNED_BYTE, out.rgb.data());
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    return out;
}

// Every level of a texture, down to the first with a side of 0.
std::vector<Level> readLevels(GLuint texture) {
    std::vector<Level> levels;
    for (GLint level = 0;; ++level) {
        Level l = readLevel(texture, level);
        if (l.width == 0 || l.height == 0) break;
        levels.push_back(l);
    }
    return levels;
}

// The texture the mipmap builder alone makes of the same picture.
GLuint builderTexture(int width, int height, const std::vector<uint8_t>& rgb) {
    GLuint texture = 0;
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    gluBuild2DMipmaps(GL_TEXTURE_2D, 3, width, height, GL_RGB, GL_UNSIGNED_BYTE, rgb.data());
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    return texture;
}

// An R,G,B picture, bottom row first: red across, green up, blue varying.
Picture makePicture(int width, int height) {
    Picture p = Picture::blank(width, height, 3);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            uint8_t* pixel = p.at(x, y);
            pixel[0] = static_cast<uint8_t>(x * 255 / width);
            pixel[1] = static_cast<uint8_t>(y * 255 / height);
            pixel[2] = static_cast<uint8_t>((x * 37 + y * 101) & 0xFF);
        }
    }
    return p;
}

class BmpTextureTest : public testing::Test {
  protected:
    ReportRecorder recorder;
    TempDir dir;

    void SetUp() override {
        glBindTexture(GL_TEXTURE_2D, 0);
        glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    }
    std::string writeBmp(const Picture& picture) {
        std::string path =
            dir.file(std::to_string(picture.width) + "x" + std::to_string(picture.height) + ".bmp");
        EXPECT_TRUE(writeFile(path, encodeBmp24(picture)));
        return path;
    }
    // Loads the picture from a file and checks what every successful load leaves.
    GLuint load(const Picture& picture) {
        BmpTexture texture{};
        EXPECT_EQ(texture.load(writeBmp(picture).c_str()), 0);
        EXPECT_NE(texture.textureId, 0u);
        EXPECT_EQ(glInteger(GL_TEXTURE_BINDING_2D), static_cast<GLint>(texture.textureId));
        EXPECT_EQ(textureEnvironmentMode(), GL_DECAL);
        EXPECT_EQ(textureParameter(GL_TEXTURE_MIN_FILTER), GL_LINEAR_MIPMAP_LINEAR);
        EXPECT_EQ(textureParameter(GL_TEXTURE_MAG_FILTER), GL_LINEAR);
        EXPECT_EQ(glInteger(GL_UNPACK_ALIGNMENT), 4);
        EXPECT_EQ(glInteger(GL_PACK_ALIGNMENT), 4);
        EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
        EXPECT_TRUE(recordedReports().empty());
        return texture.textureId;
    }
};

TEST_F(BmpTextureTest, MissingFileMakesNoTextureAndChangesNoState) {
    GLuint before = 0;
    glGenTextures(1, &before);
    glBindTexture(GL_TEXTURE_2D, before);

    BmpTexture texture{};
    EXPECT_EQ(texture.load("textures/missing.bmp"), 1);
    EXPECT_EQ(texture.textureId, 0u);
    ASSERT_EQ(recordedReports().size(), 1u);
    EXPECT_EQ(recordedReports()[0].text, "Failed to open DIB file textures/missing.bmp.\n");
    EXPECT_EQ(recordedReports()[0].caption, "Error");
    EXPECT_EQ(recordedReports()[0].style, 0u);
    EXPECT_EQ(glInteger(GL_TEXTURE_BINDING_2D), static_cast<GLint>(before));
    EXPECT_EQ(textureEnvironmentMode(), GL_MODULATE);
    // Mesa hands out names in sequence, so a name taken by the failed load would show.
    GLuint after = 0;
    glGenTextures(1, &after);
    EXPECT_EQ(after, before + 1);
}

TEST_F(BmpTextureTest, PowerOfTwoPictureGivesLevelZeroBottomRowFirstAndAFullChain) {
    Picture picture = makePicture(256, 256);
    std::vector<Level> levels = readLevels(load(picture));
    ASSERT_EQ(levels.size(), 9u);
    EXPECT_EQ(levels[0].rgb, picture.pixels);
    for (size_t k = 0; k < levels.size(); ++k) {
        EXPECT_EQ(levels[k].width, 256 >> k);
        EXPECT_EQ(levels[k].height, 256 >> k);
    }
    std::vector<Level> expected = readLevels(builderTexture(256, 256, picture.pixels));
    ASSERT_EQ(expected.size(), levels.size());
    for (size_t k = 1; k < levels.size(); ++k) EXPECT_EQ(levels[k].rgb, expected[k].rgb) << k;
}

TEST_F(BmpTextureTest, RowsNotAMultipleOfFourBytesUploadUnskewed) {
    for (auto [width, height] :
         {std::pair{1, 4}, std::pair{2, 2}, std::pair{2, 8}, std::pair{1, 1}}) {
        SCOPED_TRACE(std::to_string(width) + "x" + std::to_string(height));
        Picture picture = makePicture(width, height);
        std::vector<Level> levels = readLevels(load(picture));
        ASSERT_FALSE(levels.empty());
        EXPECT_EQ(levels[0].rgb, picture.pixels);
        EXPECT_EQ(levels.back().width, 1);
        EXPECT_EQ(levels.back().height, 1);
    }
}

// The picture the mipmap builder would otherwise scale for the chain alone is scaled once,
// to the builder's size, and level 0 holds it too: the chain is the halving of level 0.
TEST_F(BmpTextureTest, OtherSidesAreScaledOnceSoLevelZeroMatchesTheChain) {
    for (auto [width, height] : {std::pair{3, 3}, std::pair{5, 3}, std::pair{6, 5},
                                 std::pair{100, 60}, std::pair{1, 3}, std::pair{12, 11}}) {
        SCOPED_TRACE(std::to_string(width) + "x" + std::to_string(height));
        Picture picture = makePicture(width, height);
        std::vector<Level> levels = readLevels(load(picture));
        ASSERT_FALSE(levels.empty());
        Level builderLevel0 = readLevel(builderTexture(width, height, picture.pixels), 0);
        const Level& level0 = levels[0];
        ASSERT_EQ(level0.width, builderLevel0.width);
        ASSERT_EQ(level0.height, builderLevel0.height);

        std::vector<uint8_t> scaled(level0.rgb.size());
        glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        gluScaleImage(GL_RGB, width, height, GL_UNSIGNED_BYTE, picture.pixels.data(), level0.width,
                      level0.height, GL_UNSIGNED_BYTE, scaled.data());
        glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
        glPixelStorei(GL_PACK_ALIGNMENT, 4);
        EXPECT_EQ(level0.rgb, scaled);

        std::vector<Level> chain =
            readLevels(builderTexture(level0.width, level0.height, level0.rgb));
        ASSERT_EQ(levels.size(), chain.size());
        for (size_t k = 1; k < levels.size(); ++k) EXPECT_EQ(levels[k].rgb, chain[k].rgb) << k;
        EXPECT_EQ(levels.back().width, 1);
        EXPECT_EQ(levels.back().height, 1);
    }
}

}  // namespace
