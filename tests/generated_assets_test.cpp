// The asset tool's data, read back through the strict test readers: the font atlas laid
// out as the demo's font reads it, seamless snow, a unit normal map, RLE8 stone, the tune,
// and the whole `generate` run with its MP3 decoded by SDL_mixer and its icons by libpng.
#include <SDL2/SDL.h>
#include <SDL2/SDL_mixer.h>
#include <gtest/gtest.h>
#include <png.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "base/error_report.h"
#include "render/glyph_grid.h"
#include "tests/support/fnv_hash.h"
#include "tests/support/report_recorder.h"
#include "tests/support/strict_readers.h"
#include "tests/support/temp_dir.h"
#include "tools/asset_generation.h"
#include "tools/bmp_writer.h"
#include "tools/font_atlas.h"
#include "tools/snow_textures.h"
#include "tools/stone_texture.h"
#include "tools/tga_writer.h"
#include "tools/winter_tune.h"

namespace {

namespace fs = std::filesystem;

// Reports are recorded, never shown.
class RecordedTest : public testing::Test {
  protected:
    ReportRecorder recorder;
};

// ---- Font atlas --------------------------------------------------------------------

constexpr int kCell = kGlyphCellSize;

// The atlas as a TGA file would give it to the GL: rows bottom first.
Picture decodedAtlas() {
    Picture atlas;
    EXPECT_TRUE(makeFontAtlas(kRegularFontPath, kBoldFontPath, atlas));
    Picture decoded;
    EXPECT_EQ(decodeTgaRle(encodeTgaRle(atlas), decoded), "");
    return decoded;
}

// The ink of one grid cell, y counted up from the cell's bottom row as the GL sees it.
struct CellInk {
    std::vector<int> alpha;  // 32 x 32, bottom row first
    long total = 0;
    int value(int x, int y) const { return alpha[y * kCell + x]; }
};

// The cell where the font reads glyph `glyph`: its grid row is counted from the
// texture's top (t = 1), which is the file's last row.
CellInk inkOfGlyph(const Picture& atlas, int glyph) {
    const int left = glyphColumn(glyph) * kCell;
    const int bottom = atlas.height - (glyphRow(glyph) + 1) * kCell;
    CellInk ink;
    for (int y = 0; y < kCell; ++y) {
        for (int x = 0; x < kCell; ++x) {
            int a = atlas.at(left + x, bottom + y)[3];
            ink.alpha.push_back(a);
            ink.total += a;
        }
    }
    return ink;
}

// Mean height of the ink in its cell, 0 at the bottom, 31 at the top.
double inkCentreY(const CellInk& ink) {
    double sum = 0;
    for (int y = 0; y < kCell; ++y) {
        for (int x = 0; x < kCell; ++x) sum += static_cast<double>(y) * ink.value(x, y);
    }
    return sum / ink.total;
}

// Mean x of the ink in the rows [fromY, toY).
double inkCentreX(const CellInk& ink, int fromY, int toY) {
    double sum = 0;
    double weight = 0;
    for (int y = fromY; y < toY; ++y) {
        for (int x = 0; x < kCell; ++x) {
            sum += static_cast<double>(x) * ink.value(x, y);
            weight += ink.value(x, y);
        }
    }
    return sum / weight;
}

TEST(FontAtlas, IsA512Square32BitRunLengthTga) {
    Picture atlas;
    ASSERT_TRUE(makeFontAtlas(kRegularFontPath, kBoldFontPath, atlas));
    std::vector<uint8_t> file = encodeTgaRle(atlas);
    EXPECT_EQ(file[2], 10);  // run-length true colour
    EXPECT_EQ(littleEndian(file, 12, 2), 512u);
    EXPECT_EQ(littleEndian(file, 14, 2), 512u);
    EXPECT_EQ(file[16], 32);
    // Alpha and white text compress well; far below the 1 MiB of raw pixels.
    EXPECT_LT(file.size(), 512u * 512u * 4u / 4u);
}

TEST(FontAtlas, LetterAOfBothSetsIsWhereTheFontReadsIt) {
    Picture atlas = decodedAtlas();
    // Set 0: list 33, column 1, row 2 from the top; set 1: list 161, column 1, row 10.
    for (int set : {0, 1}) {
        SCOPED_TRACE(set);
        CellInk ink = inkOfGlyph(atlas, set == 0 ? 33 : 161);
        ASSERT_GT(ink.total, 0);
        int top = -1, bottom = kCell, left = kCell, right = -1;
        for (int y = 0; y < kCell; ++y) {
            for (int x = 0; x < kCell; ++x) {
                if (ink.value(x, y) < 128) continue;
                top = std::max(top, y);
                bottom = std::min(bottom, y);
                left = std::min(left, x);
                right = std::max(right, x);
            }
        }
        // An A: mirror-symmetric, with its apex at the top and its legs apart at the foot.
        long asymmetry = 0;
        for (int y = 0; y < kCell; ++y) {
            for (int x = left; x <= right; ++x) {
                asymmetry += std::abs(ink.value(x, y) - ink.value(left + right - x, y));
            }
        }
        EXPECT_LT(static_cast<double>(asymmetry) / ink.total, 0.2);
        auto inkWidth = [&](int y) {
            int first = -1, last = -1;
            for (int x = 0; x < kCell; ++x) {
                if (ink.value(x, y) >= 128) {
                    if (first < 0) first = x;
                    last = x;
                }
            }
            return first < 0 ? 0 : last - first + 1;
        };
        EXPECT_LT(inkWidth(top) * 2, inkWidth(bottom));
        // The glyphs are large enough to read: an A taller than half a cell.
        EXPECT_GT(top - bottom, kCell / 2);
    }
    // Grid rows 14 and 15, which the font reads from the file's first 64 rows, are unused;
    // an atlas stored upside down would have its first row of glyphs there.
    for (int glyph = 224; glyph < 256; ++glyph) EXPECT_EQ(inkOfGlyph(atlas, glyph).total, 0);
}

TEST(FontAtlas, GlyphsStandUprightLeftToRight) {
    Picture atlas = decodedAtlas();
    for (int set : {0, 1}) {
        SCOPED_TRACE(set);
        EXPECT_LT(inkCentreY(inkOfGlyph(atlas, glyphOf('_', set))), 10.0);
        EXPECT_GT(inkCentreY(inkOfGlyph(atlas, glyphOf('^', set))), 18.0);
        CellInk slash = inkOfGlyph(atlas, glyphOf('/', set));
        EXPECT_GT(inkCentreX(slash, 16, 32), inkCentreX(slash, 0, 16) + 3.0);
    }
}

TEST(FontAtlas, BackgroundsAreSeeThroughWhite) {
    Picture atlas = decodedAtlas();
    ASSERT_EQ(atlas.channels, 4);
    for (int y = 0; y < atlas.height; ++y) {
        for (int x = 0; x < atlas.width; ++x) {
            const uint8_t* p = atlas.at(x, y);
            ASSERT_TRUE(p[0] == 255 && p[1] == 255 && p[2] == 255) << x << "," << y;
            // A clear rim round every cell keeps filtering from bleeding into neighbours.
            bool rim = x % kCell == 0 || x % kCell == kCell - 1 || y % kCell == 0 ||
                       y % kCell == kCell - 1;
            if (rim) {
                ASSERT_EQ(p[3], 0) << x << "," << y;
            }
        }
    }
    for (int set : {0, 1}) {
        EXPECT_EQ(inkOfGlyph(atlas, glyphOf(' ', set)).total, 0);
        for (int glyph = glyphOf(127, set); glyph < glyphOf(' ', set + 1); ++glyph) {
            EXPECT_EQ(inkOfGlyph(atlas, glyph).total, 0) << glyph;  // DEL and unused rows
        }
        for (char c = '!'; c <= '~'; ++c) {
            EXPECT_GT(inkOfGlyph(atlas, glyphOf(c, set)).total, 0) << c;
        }
    }
}

TEST(FontAtlas, SetOneIsBold) {
    Picture atlas = decodedAtlas();
    for (char c : {'A', 'f', '5'}) {
        EXPECT_GT(inkOfGlyph(atlas, glyphOf(c, 1)).total,
                  inkOfGlyph(atlas, glyphOf(c, 0)).total * 5 / 4)
            << c;
    }
}

TEST_F(RecordedTest, FontAtlasReportsAMissingFace) {
    Picture atlas;
    EXPECT_FALSE(makeFontAtlas("/nonexistent/Mono.ttf", kBoldFontPath, atlas));
    ASSERT_EQ(recordedReports().size(), 1u);
    EXPECT_EQ(recordedReports()[0].text, "Could not load font /nonexistent/Mono.ttf");
    EXPECT_EQ(recordedReports()[0].caption, "ERROR");
    EXPECT_EQ(recordedReports()[0].style, 0u);
}

// ---- Textures ----------------------------------------------------------------------

// Mean difference of neighbouring pixels across the wrap-around seam, and inside.
struct SeamDifferences {
    double inside = 0;
    double acrossSeam = 0;
};

SeamDifferences differences(const Picture& picture, bool horizontal) {
    SeamDifferences result;
    long insidePairs = 0;
    long seamPairs = 0;
    for (int y = 0; y < picture.height; ++y) {
        for (int x = 0; x < picture.width; ++x) {
            int nx = horizontal ? (x + 1) % picture.width : x;
            int ny = horizontal ? y : (y + 1) % picture.height;
            double d = 0;
            for (int c = 0; c < picture.channels; ++c) {
                d += std::abs(picture.at(x, y)[c] - picture.at(nx, ny)[c]);
            }
            bool seam = horizontal ? nx == 0 : ny == 0;
            (seam ? result.acrossSeam : result.inside) += d;
            ++(seam ? seamPairs : insidePairs);
        }
    }
    result.inside /= insidePairs;
    result.acrossSeam /= seamPairs;
    return result;
}

void expectSeamless(const Picture& picture) {
    for (bool horizontal : {true, false}) {
        SeamDifferences d = differences(picture, horizontal);
        EXPECT_GT(d.inside, 0.0);
        EXPECT_LT(d.acrossSeam, 1.5 * d.inside + 0.5) << (horizontal ? "left/right" : "top/bottom");
    }
}

Picture decodeBmpBytes(const std::vector<uint8_t>& file) {
    Picture picture;
    EXPECT_EQ(decodeBmp(file, picture), "");
    return picture;
}

TEST(SnowTexture, IsA256Square24BitBmp) {
    std::vector<uint8_t> file = encodeBmp24(makeSnowTexture());
    EXPECT_EQ(littleEndian(file, 18, 4), 256u);
    EXPECT_EQ(littleEndian(file, 22, 4), 256u);
    EXPECT_EQ(littleEndian(file, 28, 2), 24u);
    EXPECT_EQ(littleEndian(file, 30, 4), 0u);
    EXPECT_EQ(file.size(), 54u + 256u * 256u * 3u);
}

TEST(SnowTexture, IsBrightColdAndTilesSeamlessly) {
    Picture snow = decodeBmpBytes(encodeBmp24(makeSnowTexture()));
    double sum[3] = {0, 0, 0};
    int darkest = 255;
    for (int y = 0; y < snow.height; ++y) {
        for (int x = 0; x < snow.width; ++x) {
            for (int c = 0; c < 3; ++c) sum[c] += snow.at(x, y)[c];
            darkest = std::min<int>(darkest, snow.at(x, y)[0]);
        }
    }
    const double pixels = 256.0 * 256.0;
    EXPECT_GT(sum[0] / pixels, 200.0);
    EXPECT_GT(sum[2] / pixels, sum[0] / pixels);  // shadows in snow are blue
    EXPECT_LT(darkest, 225);                      // not a flat white
    expectSeamless(snow);
}

TEST(SnowNormalMap, HoldsUnitNormalsFacingOutWithRelief) {
    Picture normals = decodeBmpBytes(encodeBmp24(makeSnowNormalMap()));
    ASSERT_EQ(normals.width, 256);
    ASSERT_EQ(normals.height, 256);
    double sumZ = 0;
    double sumX = 0;
    double sumY = 0;
    for (int y = 0; y < normals.height; ++y) {
        for (int x = 0; x < normals.width; ++x) {
            double n[3];
            for (int c = 0; c < 3; ++c) n[c] = normals.at(x, y)[c] / 255.0 * 2.0 - 1.0;
            double length = std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]);
            ASSERT_NEAR(length, 1.0, 0.02) << x << "," << y;
            ASSERT_GT(n[2], 0.3) << x << "," << y;
            sumX += n[0];
            sumY += n[1];
            sumZ += n[2];
        }
    }
    const double pixels = 256.0 * 256.0;
    EXPECT_LT(sumZ / pixels, 0.97);  // a relief, not a flat surface
    EXPECT_GT(sumZ / pixels, 0.75);  // but a gentle one
    // A closed height field tilts as much one way as the other.
    EXPECT_NEAR(sumX / pixels, 0.0, 0.02);
    EXPECT_NEAR(sumY / pixels, 0.0, 0.02);
    expectSeamless(normals);
    // A height field that did not wrap would have a cliff at its edges: the normals there
    // would lean far more than elsewhere.
    auto meanLean = [&](int component, bool edgesOnly) {
        double sum = 0;
        int count = 0;
        for (int y = 0; y < 256; ++y) {
            for (int x = 0; x < 256; ++x) {
                int across = component == 0 ? x : y;
                if (edgesOnly && across != 0 && across != 255) continue;
                sum += std::abs(normals.at(x, y)[component] / 255.0 * 2.0 - 1.0);
                ++count;
            }
        }
        return sum / count;
    };
    for (int component : {0, 1}) {
        EXPECT_LT(meanLean(component, true), 1.5 * meanLean(component, false)) << component;
    }
}

TEST(StoneTexture, IsA256SquarePaletteRle8BmpOfManyShades) {
    PalettePicture stone = makeStoneTexture();
    std::vector<uint8_t> file = encodeBmpRle8(stone.indices, stone.palette);
    EXPECT_EQ(littleEndian(file, 18, 4), 256u);
    EXPECT_EQ(littleEndian(file, 22, 4), 256u);
    EXPECT_EQ(littleEndian(file, 28, 2), 8u);
    EXPECT_EQ(littleEndian(file, 30, 4), 1u);
    EXPECT_EQ(littleEndian(file, 46, 4), 64u);
    EXPECT_LT(file.size(), 54u + 64u * 4u + 256u * 256u);  // the encoding pays
    Picture decoded = decodeBmpBytes(file);
    std::vector<bool> seen(256, false);
    for (int y = 0; y < decoded.height; ++y) {
        for (int x = 0; x < decoded.width; ++x) seen[decoded.at(x, y)[0]] = true;
    }
    EXPECT_GT(std::count(seen.begin(), seen.end(), true), 30);
}

// ---- Music -------------------------------------------------------------------------

// Power of one frequency in a stretch of the left channel (Goertzel).
double toneStrength(const std::vector<int16_t>& samples, double fromSeconds, double toSeconds,
                    double frequency) {
    const double w = 2.0 * M_PI * frequency / kTuneSampleRate;
    double s1 = 0, s2 = 0;
    for (size_t i = static_cast<size_t>(fromSeconds * kTuneSampleRate);
         i < static_cast<size_t>(toSeconds * kTuneSampleRate); ++i) {
        double s = samples[2 * i] + 2.0 * std::cos(w) * s1 - s2;
        s2 = s1;
        s1 = s;
    }
    return s1 * s1 + s2 * s2 - 2.0 * std::cos(w) * s1 * s2;
}

// Strength of `frequency` against the semitones on either side of it.
double toneAboveNeighbours(const std::vector<int16_t>& samples, double fromSeconds,
                           double toSeconds, double frequency) {
    const double semitone = std::pow(2.0, 1.0 / 12.0);
    const double tone = toneStrength(samples, fromSeconds, toSeconds, frequency);
    return tone / std::max(toneStrength(samples, fromSeconds, toSeconds, frequency / semitone),
                           toneStrength(samples, fromSeconds, toSeconds, frequency * semitone));
}

TEST(WinterTune, LastsOverTwoMinutesOfStereoAndFadesOut) {
    std::vector<int16_t> tune = synthesizeWinterTune();
    ASSERT_EQ(tune.size(), static_cast<size_t>(kTuneSeconds * 44100) * 2);
    // Played six times, the music lasts twelve minutes at least.
    EXPECT_GE(tune.size() / 2 / 44100.0, 120.0);
    int peak = 0;
    for (int16_t s : tune) peak = std::max(peak, std::abs(static_cast<int>(s)));
    EXPECT_GT(peak, 28000);  // loud, and never clipped
    EXPECT_LT(peak, 32000);
    // It fades to silence, so the loop starts clean.
    EXPECT_EQ(tune[tune.size() - 1], 0);
    EXPECT_EQ(tune[tune.size() - 2], 0);
}

// The samples of the tune as it is: a change meant to leave the music alone must leave
// these bytes alone too (and so the MP3 made from them).
TEST(WinterTune, SamplesAreTheSameAsEver) {
    const std::vector<int16_t> tune = synthesizeWinterTune();
    EXPECT_EQ(fnv1aHex(tune.data(), tune.size() * sizeof tune[0]), "c9073634381b1a3e");
}

TEST(WinterTune, EachSongOfTheMedleyOpensOnItsNote) {
    std::vector<int16_t> tune = synthesizeWinterTune();
    struct Opening {
        const char* song;
        double seconds;  // from the start of the tune
        double frequency;
    };
    // Four beats a bar at 132, 126 and 108 beats a minute, three at 150.
    const Opening openings[] = {
        {"Jingle Bells, verse: G4", 0.0, 392.00},
        {"Jingle Bells, chorus: E5", 16 * 4 * 60.0 / 132, 659.26},
        {"Deck the Halls, in F: C6", 32 * 4 * 60.0 / 132, 1046.50},
        {"Good King Wenceslas, in G: G4", 32 * 4 * 60.0 / 132 + 16 * 4 * 60.0 / 126, 392.00},
        {"We Wish You a Merry Christmas, in G: G5 after the pickup",
         32 * 4 * 60.0 / 132 + 16 * 4 * 60.0 / 126 + 17 * 4 * 60.0 / 108, 783.99},
        {"Jingle Bells, chorus again: E5",
         32 * 4 * 60.0 / 132 + 16 * 4 * 60.0 / 126 + 17 * 4 * 60.0 / 108 + 2 * 8 * 3 * 60.0 / 150,
         659.26},
    };
    for (const Opening& opening : openings) {
        EXPECT_GT(toneAboveNeighbours(tune, opening.seconds + 0.01, opening.seconds + 0.35,
                                      opening.frequency),
                  20.0)
            << opening.song;
    }
    // The chorus comes back with its melody doubled an octave higher.
    const double reprise = openings[5].seconds;
    EXPECT_GT(
        toneStrength(tune, reprise + 0.01, reprise + 0.35, 1318.51),
        2 * toneStrength(tune, openings[1].seconds + 0.01, openings[1].seconds + 0.35, 1318.51));
}

// ---- The whole generate run --------------------------------------------------------

class AssetGeneration : public RecordedTest {
  protected:
    TempDir temp;
    fs::path directory{temp.path()};
};

struct Mp3Frames {
    int count = 0;
    bool allMpeg1Layer3At44100 = true;
    size_t endOfLastFrame = 0;
};

Mp3Frames walkFrames(const std::vector<uint8_t>& mp3) {
    static const int kBitRates[16] = {0,   32,  40,  48,  56,  64,  80,  96,
                                      112, 128, 160, 192, 224, 256, 320, 0};
    Mp3Frames frames;
    size_t offset = 0;
    while (offset + 4 <= mp3.size()) {
        const uint8_t* h = &mp3[offset];
        if (h[0] != 0xFF || (h[1] & 0xE0) != 0xE0) break;
        bool mpeg1 = ((h[1] >> 3) & 3) == 3;
        bool layer3 = ((h[1] >> 1) & 3) == 1;
        bool at44100 = ((h[2] >> 2) & 3) == 0;
        int bitRate = kBitRates[h[2] >> 4];
        if (!mpeg1 || !layer3 || !at44100 || bitRate == 0) {
            frames.allMpeg1Layer3At44100 = false;
            break;
        }
        offset += 144000 * bitRate / 44100 + ((h[2] >> 1) & 1);
        if (offset > mp3.size()) break;
        ++frames.count;
        frames.endOfLastFrame = offset;
    }
    return frames;
}

TEST_F(AssetGeneration, WritesEveryFileTheDemoReads) {
    ASSERT_TRUE(generateAssets(directory.string()));
    EXPECT_TRUE(recordedReports().empty());

    Picture font;
    EXPECT_EQ(decodeTgaRle(readWholeFile(directory / "textures/font.tga"), font), "");
    EXPECT_EQ(font.width, 512);
    EXPECT_EQ(font.channels, 4);
    for (const char* name : {"textures/snow.bmp", "textures/normalmapsnow.bmp"}) {
        std::vector<uint8_t> file = readWholeFile(directory / name);
        Picture picture;
        EXPECT_EQ(decodeBmp(file, picture), "") << name;
        EXPECT_EQ(picture.width, 256) << name;
        EXPECT_EQ(littleEndian(file, 28, 2), 24u) << name;
    }
    std::vector<uint8_t> stone = readWholeFile(directory / "textures/stone.bmp");
    Picture stonePicture;
    EXPECT_EQ(decodeBmp(stone, stonePicture), "");
    EXPECT_EQ(littleEndian(stone, 30, 4), 1u);

    // Frames only: no tag before or after, every frame MPEG-1 Layer III at 44.1 kHz.
    std::vector<uint8_t> mp3 = readWholeFile(directory / "audio/coolestshitever.mp3");
    Mp3Frames frames = walkFrames(mp3);
    EXPECT_TRUE(frames.allMpeg1Layer3At44100);
    EXPECT_EQ(frames.endOfLastFrame, mp3.size());
    const double seconds = frames.count * 1152.0 / 44100.0;
    EXPECT_GE(seconds, 120.0);
    EXPECT_GT(seconds, kTuneSeconds - 0.1);
    EXPECT_LT(seconds, kTuneSeconds + 0.5);

    // Decoded as the demo's music layer would: sound all through, none of it silence.
    ASSERT_EQ(setenv("SDL_AUDIODRIVER", "dummy", 1), 0);
    ASSERT_EQ(SDL_Init(SDL_INIT_AUDIO), 0) << SDL_GetError();
    ASSERT_EQ(Mix_OpenAudio(44100, AUDIO_S16SYS, 2, 4096), 0) << Mix_GetError();
    int rate = 0, channels = 0;
    Uint16 format = 0;
    Mix_QuerySpec(&rate, &format, &channels);
    Mix_Chunk* chunk =
        Mix_LoadWAV_RW(SDL_RWFromConstMem(mp3.data(), static_cast<int>(mp3.size())), 1);
    ASSERT_NE(chunk, nullptr) << Mix_GetError();
    EXPECT_EQ(rate, 44100);
    ASSERT_EQ(format, AUDIO_S16SYS);
    ASSERT_EQ(channels, 2);
    const Sint16* samples = reinterpret_cast<const Sint16*>(chunk->abuf);
    const size_t decodedFrames = chunk->alen / 4;
    EXPECT_NEAR(decodedFrames / 44100.0, kTuneSeconds, 0.2);
    for (size_t second = 0; second + 1 < decodedFrames / 44100; ++second) {
        double power = 0;
        for (size_t i = second * 44100 * 2; i < (second + 1) * 44100 * 2; ++i) {
            power += static_cast<double>(samples[i]) * samples[i];
        }
        EXPECT_GT(std::sqrt(power / (44100 * 2)), 1000.0) << "second " << second;
    }
    Mix_FreeChunk(chunk);
    Mix_CloseAudio();
    Mix_Quit();
    SDL_Quit();

    // The icon at every size: a rounded tile, see-through at the corners, with the white
    // snowman in front of the sky.
    for (int size : {48, 64, 128, 256}) {
        SCOPED_TRACE(size);
        const std::string name = std::to_string(size) + "x" + std::to_string(size);
        std::vector<uint8_t> png =
            readWholeFile(directory / "icons/hicolor" / name / "apps/snowdemo.png");
        png_image image{};
        image.version = PNG_IMAGE_VERSION;
        ASSERT_NE(png_image_begin_read_from_memory(&image, png.data(), png.size()), 0);
        EXPECT_EQ(image.width, static_cast<uint32_t>(size));
        EXPECT_EQ(image.height, static_cast<uint32_t>(size));
        EXPECT_NE(image.format & PNG_FORMAT_FLAG_ALPHA, 0u);
        image.format = PNG_FORMAT_RGBA;
        std::vector<uint8_t> rgba(PNG_IMAGE_SIZE(image));
        ASSERT_NE(png_image_finish_read(&image, nullptr, rgba.data(), 0, nullptr), 0);
        // (x, y) from the top left, in hundredths of the size.
        auto at = [&](int x, int y) {
            return &rgba[((y * size / 100) * size + x * size / 100) * 4];
        };
        for (auto corner : {at(0, 0), at(99, 0), at(0, 99), at(99, 99)}) EXPECT_EQ(corner[3], 0);
        const uint8_t* sky = at(15, 15);
        EXPECT_EQ(sky[3], 255);
        EXPECT_GT(sky[2], sky[0] + 60);
        const uint8_t* snowman = at(35, 66);  // the bottom ball, on its lit side
        EXPECT_EQ(snowman[3], 255);
        EXPECT_GT(std::min({snowman[0], snowman[1], snowman[2]}), 200);
    }
}

TEST_F(AssetGeneration, ReportsATargetItCannotWrite) {
    // A regular file where the directory should be.
    const fs::path blocked = directory / "blocked";
    FILE* file = std::fopen(blocked.c_str(), "w");
    ASSERT_NE(file, nullptr);
    std::fclose(file);
    EXPECT_FALSE(generateAssets(blocked.string()));
    ASSERT_EQ(recordedReports().size(), 1u);
    EXPECT_EQ(recordedReports()[0].text,
              "Could not write " + blocked.string() + "/textures/font.tga");
    EXPECT_EQ(recordedReports()[0].caption, "ERROR");
    EXPECT_FALSE(fs::exists(blocked.string() + "/textures/font.tga.part"));
}

}  // namespace
