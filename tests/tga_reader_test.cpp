// The TGA reader through its file entry and its memory entry alike: decoded bytes, and
// every refusal with its exact report, the file closed and the pixel buffer as expected.
#include "render/tga_reader.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "tests/support/decode_capture.h"
#include "tests/support/memory_limit.h"
#include "tests/support/proc_self.h"
#include "tests/support/report_recorder.h"
#include "tests/support/temp_dir.h"
#include "tests/support/tga_file.h"

namespace {

enum class PixelsAfter { Untouched, Null, Held };

struct Outcome {
    TgaImage image{};  // without its pixels, which are in `result`
    TgaDecoder decoder{};
    PixelsAfter after = PixelsAfter::Untouched;
    DecodeCapture result;
};

uint8_t sentinel;

class TgaReaderTest : public testing::Test {
  protected:
    // Loads from a file and from memory; the two must agree in everything.
    Outcome load(const Bytes& file) {
        Outcome viaFile = run(file, true);
        Outcome viaMemory = run(file, false);
        EXPECT_EQ(viaFile.result.decoded, viaMemory.result.decoded);
        EXPECT_EQ(viaFile.after, viaMemory.after);
        EXPECT_EQ(viaFile.result.pixels, viaMemory.result.pixels);
        EXPECT_EQ(viaFile.result.reports, viaMemory.result.reports);
        EXPECT_EQ(viaFile.image.width, viaMemory.image.width);
        EXPECT_EQ(viaFile.image.height, viaMemory.image.height);
        EXPECT_EQ(viaFile.image.bitsPerPixel, viaMemory.image.bitsPerPixel);
        EXPECT_EQ(viaFile.image.format, viaMemory.image.format);
        return viaFile;
    }

    // Loads a path; checks that the file is closed afterwards.
    Outcome loadPath(const std::string& path) {
        Outcome outcome;
        outcome.image.pixels = &sentinel;
        size_t filesBefore = openFileCount();
        bool loaded = outcome.decoder.loadTga(&outcome.image, path.c_str());
        EXPECT_EQ(openFileCount(), filesBefore) << "the file was left open";
        EXPECT_FALSE(fileIsMapped(path)) << "the file was left mapped";
        return settle(outcome, loaded);
    }

    void expectLoaded(const Outcome& outcome) {
        EXPECT_TRUE(outcome.result.decoded);
        EXPECT_EQ(outcome.after, PixelsAfter::Held);
        EXPECT_TRUE(outcome.result.reports.empty());
    }

    void expectRefused(const Bytes& file, const char* text, const char* caption,
                       PixelsAfter after) {
        expectRefused(load(file), text, caption, after);
    }
    void expectRefused(const Outcome& outcome, const char* text, const char* caption,
                       PixelsAfter after) {
        EXPECT_FALSE(outcome.result.decoded);
        EXPECT_EQ(outcome.after, after);
        const std::vector<RecordedReport> expected = {{ReportOwner::None, text, caption, 0u}};
        EXPECT_EQ(outcome.result.reports, expected);
    }

    // A few bytes must not make the reader reserve the gigabytes their header declares:
    // in a child whose address space may grow by 256 MiB only, the file is refused with
    // `text` (standard error carries the message for EXPECT_EXIT to match).
    void expectRefusedWithinMemoryLimit(const Bytes& file, const char* text) {
        EXPECT_EXIT(
            {
                if (!limitAddressSpaceGrowth(uint64_t{256} << 20)) std::_Exit(2);
                Outcome outcome = load(file);
                const std::vector<RecordedReport>& reports = outcome.result.reports;
                bool refused = !outcome.result.decoded && reports.size() == 1;
                std::fprintf(stderr, "%s\n",
                             refused ? reports[0].text.c_str() : "(not one report)");
                std::_Exit(refused && !HasFailure() ? 0 : 1);
            },
            testing::ExitedWithCode(0), std::string("^") + text + "\n$");
    }

    TempDir dir;
    ReportRecorder recorder;

  private:
    Outcome run(const Bytes& file, bool fromFile) {
        if (fromFile) return loadPath(dir.write("picture.tga", file));
        Outcome outcome;
        outcome.image.pixels = &sentinel;
        bool loaded = outcome.decoder.decodeTga(&outcome.image, file.data(), file.size());
        return settle(outcome, loaded);
    }

    // Takes the pixels out of the image, so the outcome holds no heap buffer.
    Outcome settle(Outcome& outcome, bool loaded) {
        TgaImage& image = outcome.image;
        if (image.pixels == &sentinel) {
            outcome.after = PixelsAfter::Untouched;
            image.pixels = nullptr;
        } else {
            outcome.after = image.pixels == nullptr ? PixelsAfter::Null : PixelsAfter::Held;
        }
        outcome.result = captureTga(loaded, image);
        return outcome;
    }
};

TEST_F(TgaReaderTest, UncompressedExchangesBlueAndRedAndKeepsAlpha) {
    Outcome rgb = load(tgaFile(2, 2, 1, 24, {10, 20, 30, 40, 50, 60}));
    expectLoaded(rgb);
    EXPECT_EQ(rgb.result.pixels, (Bytes{30, 20, 10, 60, 50, 40}));
    EXPECT_EQ(rgb.image.format, static_cast<uint32_t>(GL_RGB));
    EXPECT_EQ(rgb.image.bitsPerPixel, 24u);
    EXPECT_EQ(rgb.image.width, 2u);
    EXPECT_EQ(rgb.image.height, 1u);
    EXPECT_EQ(rgb.image.textureId, 0u);
    EXPECT_EQ(rgb.decoder.bytesPerPixel, 3u);
    EXPECT_EQ(rgb.decoder.imageSize, 6u);

    Outcome rgba = load(tgaFile(2, 1, 2, 32, {10, 20, 30, 40, 1, 2, 3, 4}));
    expectLoaded(rgba);
    EXPECT_EQ(rgba.result.pixels, (Bytes{30, 20, 10, 40, 3, 2, 1, 4}));
    EXPECT_EQ(rgba.image.format, static_cast<uint32_t>(GL_RGBA));
    EXPECT_EQ(rgba.image.bitsPerPixel, 32u);
    EXPECT_EQ(rgba.decoder.imageSize, 8u);
}

TEST_F(TgaReaderTest, CompressedDecodesToItsUncompressedTwin) {
    struct Picture {
        const char* name;
        uint16_t width, height;
        bool oneColour;
    };
    // A picture of one colour is the shortest file of its size: runs of 128 and the rest
    // in one more run. The reader must still make a buffer for it.
    const Picture pictures[] = {
        {"runs across row ends, then noise", 7, 40, false},
        {"one colour, whole runs", 16, 16, true},
        {"one colour, a short last run", 10, 13, true},
    };
    for (const Picture& picture : pictures) {
        for (uint8_t bits : {24, 32}) {
            SCOPED_TRACE(testing::Message() << picture.name << ", " << +bits << " bits");
            const uint32_t bytesPerPixel = bits / 8u;
            const uint32_t count = uint32_t{picture.width} * picture.height;
            Bytes pixels;
            for (uint32_t i = 0; i < count; ++i) {
                uint32_t value = picture.oneColour ? 0x405060
                                 : i < 150         ? i / 11
                                                   : i * 2654435761u >> 7;
                for (uint32_t b = 0; b < bytesPerPixel; ++b) {
                    pixels.push_back(static_cast<uint8_t>(value >> (8 * b)));
                }
            }
            Bytes packets = rlePackets(pixels, bytesPerPixel);
            ASSERT_LT(packets.size(), pixels.size());
            if (picture.oneColour) {
                ASSERT_EQ(packets.size(), (count + 127) / 128 * (bytesPerPixel + 1));
            }

            Outcome twin = load(tgaFile(2, picture.width, picture.height, bits, pixels));
            Outcome compressed = load(tgaFile(10, picture.width, picture.height, bits, packets));
            expectLoaded(twin);
            expectLoaded(compressed);
            EXPECT_EQ(compressed.result.pixels, twin.result.pixels);
            EXPECT_EQ(compressed.result.pixels, swappedRedBlue(pixels, bytesPerPixel));
            EXPECT_EQ(compressed.image.format, twin.image.format);
            EXPECT_EQ(compressed.image.bitsPerPixel, bits);
        }
    }
}

TEST_F(TgaReaderTest, PacketHeadersAtTheirBoundsAndAcrossRowEnds) {
    PacketStream bounds = packetBoundsStream();
    Outcome outcome = load(tgaFile(10, bounds.width, bounds.height, 24, bounds.packets));
    expectLoaded(outcome);
    EXPECT_EQ(outcome.result.pixels, bounds.pixels);
}

TEST_F(TgaReaderTest, BytesAfterTheLastPixelAreIgnored) {
    Bytes footer = {'T', 'R', 'U', 'E', 'V', 'I', 'S', 'I', 'O', 'N', '-', 'X', 'F', 'I', 'L', 'E'};
    Bytes plain = tgaFile(2, 1, 1, 24, {1, 2, 3});
    plain.insert(plain.end(), footer.begin(), footer.end());
    Outcome uncompressed = load(plain);
    expectLoaded(uncompressed);
    EXPECT_EQ(uncompressed.result.pixels, (Bytes{3, 2, 1}));

    // One run fills the picture; the packet after it is never looked at.
    Outcome compressed = load(tgaFile(10, 2, 1, 24, {129, 1, 2, 3, 255, 9, 9, 9, 0}));
    expectLoaded(compressed);
    EXPECT_EQ(compressed.result.pixels, (Bytes{3, 2, 1, 3, 2, 1}));
}

TEST_F(TgaReaderTest, TopFirstPictureIsDeliveredInFileOrder) {
    Bytes file = tgaFile(2, 1, 2, 24, {1, 2, 3, 4, 5, 6});
    file[17] = 0x20;
    Outcome outcome = load(file);
    expectLoaded(outcome);
    EXPECT_EQ(outcome.result.pixels, (Bytes{3, 2, 1, 6, 5, 4}));
}

TEST_F(TgaReaderTest, MissingFileIsReportedAndPixelsUntouched) {
    // What else cannot be opened (no regular file) is the opener's own test.
    expectRefused(loadPath(dir.file("absent.tga")), "Could not open texture file", "ERROR",
                  PixelsAfter::Untouched);
}

TEST_F(TgaReaderTest, ShortHeaderIsReported) {
    for (size_t size : {0, 1, 11}) {
        SCOPED_TRACE(size);
        expectRefused(Bytes(size, 0), "Could not read file header", "ERROR",
                      PixelsAfter::Untouched);
    }
}

TEST_F(TgaReaderTest, HeadersOtherThanTypes2And10AreInvalidImages) {
    struct Case {
        size_t offset;
        uint8_t value;
    };
    // Grey scale, colour-mapped, an ID field, a colour map, an x- and a y-origin.
    for (Case c :
         {Case{2, 3}, Case{2, 1}, Case{2, 11}, Case{0, 1}, Case{1, 1}, Case{8, 1}, Case{10, 1}}) {
        SCOPED_TRACE(c.offset);
        Bytes file = tgaFile(2, 1, 1, 24, {1, 2, 3});
        file[c.offset] = c.value;
        expectRefused(file, "TGA file be type 2 or type 10 ", "Invalid Image",
                      PixelsAfter::Untouched);
    }
}

TEST_F(TgaReaderTest, ShortInfoIsReported) {
    for (uint8_t type : {2, 10}) {
        for (size_t infoBytes : {0, 5}) {
            Bytes file = tgaHead(type, 1, 1, 24);
            file.resize(12 + infoBytes);
            expectRefused(file, "Could not read info header", "ERROR", PixelsAfter::Untouched);
        }
    }
}

TEST_F(TgaReaderTest, InvalidInformationIsReportedAndKeptInTheImage) {
    struct Case {
        uint16_t width, height;
        uint8_t bits;
    };
    for (uint8_t type : {2, 10}) {
        for (Case c : {Case{0, 4, 24}, Case{3, 0, 32}, Case{3, 2, 16}, Case{3, 2, 8}, Case{3, 2, 0},
                       Case{3, 2, 33}}) {
            SCOPED_TRACE(testing::Message() << c.width << "x" << c.height << "x" << +c.bits);
            Outcome outcome = load(tgaFile(type, c.width, c.height, c.bits, Bytes(64, 1)));
            expectRefused(outcome, "Invalid texture information", "ERROR", PixelsAfter::Untouched);
            EXPECT_EQ(outcome.image.width, c.width);
            EXPECT_EQ(outcome.image.height, c.height);
            EXPECT_EQ(outcome.image.bitsPerPixel, c.bits);
            EXPECT_EQ(outcome.image.format, 0u);
        }
    }
}

TEST_F(TgaReaderTest, SideBeyondTheTextureLimitIsTheAllocationFailure) {
    struct Case {
        uint16_t width, height;
        uint8_t bits;
    };
    // No GL takes a side over 16384 as a texture; 65535 squared at 4 bytes is over 17 GB.
    for (uint8_t type : {2, 10}) {
        for (Case c : {Case{65535, 65535, 32}, Case{65535, 65535, 24}, Case{16385, 1, 32},
                       Case{1, 16385, 24}}) {
            SCOPED_TRACE(testing::Message() << c.width << "x" << c.height << "x" << +c.bits);
            Outcome outcome = load(tgaFile(type, c.width, c.height, c.bits, Bytes(64, 1)));
            expectRefused(outcome, "Could not allocate memory for image", "ERROR",
                          PixelsAfter::Null);
            EXPECT_EQ(outcome.image.format, static_cast<uint32_t>(c.bits == 24 ? GL_RGB : GL_RGBA));
        }
    }
    // The longest side itself is a picture.
    Bytes row;
    for (int i = 0; i < 16384; ++i) row.insert(row.end(), {1, 2, 3});
    Outcome longest = load(tgaFile(2, 16384, 1, 24, row));
    expectLoaded(longest);
    EXPECT_EQ(longest.result.pixels, swappedRedBlue(row, 3));
}

TEST_F(TgaReaderTest, ShortUncompressedDataIsReportedAndReleased) {
    Outcome outcome = load(tgaFile(2, 3, 2, 32, Bytes(23, 5)));
    expectRefused(outcome, "Could not read image data", "ERROR", PixelsAfter::Null);
    // A header that promises a gigabyte over a few bytes, or none, is refused the same way,
    // before any buffer is made for it.
    expectRefused(tgaFile(2, 16384, 16384, 32, Bytes(10, 5)), "Could not read image data", "ERROR",
                  PixelsAfter::Null);
    expectRefused(tgaHead(2, 16384, 16384, 32), "Could not read image data", "ERROR",
                  PixelsAfter::Null);
    expectRefusedWithinMemoryLimit(tgaFile(2, 16384, 16384, 32, Bytes(10, 5)),
                                   "Could not read image data");
}

TEST_F(TgaReaderTest, ShortCompressedDataIsReportedAndReleased) {
    // No packet at all, and none after a packet that leaves pixels to go.
    expectRefused(tgaFile(10, 2, 2, 24, {}), "Could not read RLE header", "ERROR",
                  PixelsAfter::Null);
    expectRefused(tgaFile(10, 2, 2, 24, {130, 1, 2, 3}), "Could not read RLE header", "ERROR",
                  PixelsAfter::Null);
    // A raw packet of 3 with two and a half pixels.
    expectRefused(tgaFile(10, 2, 2, 24, {2, 1, 2, 3, 4, 5, 6, 7, 8}), "Could not read image data",
                  "ERROR", PixelsAfter::Null);
    // A run packet whose pixel is one byte short.
    expectRefused(tgaFile(10, 2, 2, 32, {0, 1, 2, 3, 4, 131, 1, 2, 3}), "Could not read from file",
                  "ERROR", PixelsAfter::Null);
    // A huge picture over a few bytes: the packets fail as they would with a buffer.
    expectRefused(tgaFile(10, 16384, 16384, 32, {200, 1, 2, 3, 4}), "Could not read RLE header",
                  "ERROR", PixelsAfter::Null);
    expectRefused(tgaFile(10, 16384, 16384, 24, {5, 1, 2, 3}), "Could not read image data", "ERROR",
                  PixelsAfter::Null);
    // 23 bytes that declare 16384 x 16384 at 32 bits (1 GiB): no buffer is made for them.
    expectRefusedWithinMemoryLimit(tgaFile(10, 16384, 16384, 32, {200, 1, 2, 3, 4}),
                                   "Could not read RLE header");
}

TEST_F(TgaReaderTest, PacketBeyondThePictureIsTooManyPixels) {
    // 2 x 2 pictures: a run of 5; a run of 3 then of 2; a raw packet of 5 with all its
    // pixels. Under the sanitizers a store past the buffer would end the test.
    expectRefused(tgaFile(10, 2, 2, 24, {132, 1, 2, 3}), "Too many pixels read", "ERROR",
                  PixelsAfter::Null);
    expectRefused(tgaFile(10, 2, 2, 24, {130, 1, 2, 3, 129, 4, 5, 6}), "Too many pixels read",
                  "ERROR", PixelsAfter::Null);
    Bytes rawFive = {4};
    for (uint8_t i = 0; i < 15; ++i) rawFive.push_back(i);
    expectRefused(tgaFile(10, 2, 2, 24, rawFive), "Too many pixels read", "ERROR",
                  PixelsAfter::Null);
    // The fifth pixel is read before its store is refused, so its absence is reported.
    rawFive.resize(1 + 4 * 3 + 2);
    expectRefused(tgaFile(10, 2, 2, 24, rawFive), "Could not read image data", "ERROR",
                  PixelsAfter::Null);
}

}  // namespace
