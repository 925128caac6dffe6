// The fuzzer's seed files for the TGA reader. They are made here: each is checked in
// under fuzz/corpus/tga_fuzzer, must equal what is made here (SNOW_WRITE_SEEDS=1 rewrites
// them) and must decode to its expected pixels or its exact report.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "render/tga_reader.h"
#include "tests/support/decode_capture.h"
#include "tests/support/report_recorder.h"
#include "tests/support/temp_dir.h"
#include "tests/support/tga_file.h"

namespace {

struct Seed {
    const char* name;
    Bytes file;
    Bytes pixels;  // what a valid file decodes to
    const char* text = nullptr;
    const char* caption = nullptr;
};

// File pixels with a few runs, some of them across row ends.
Bytes samplePixels(uint32_t count, uint32_t bytesPerPixel) {
    Bytes pixels;
    for (uint32_t i = 0; i < count; ++i) {
        uint32_t value = i % 13 < 7 ? i / 5 : i * 40503u;
        for (uint32_t b = 0; b < bytesPerPixel; ++b) {
            pixels.push_back(static_cast<uint8_t>(value >> (5 * b)));
        }
    }
    return pixels;
}

Seed valid(const char* name, uint8_t type, uint16_t width, uint16_t height, uint8_t bits) {
    Bytes pixels = samplePixels(uint32_t{width} * height, bits / 8u);
    Bytes data = type == 10 ? rlePackets(pixels, bits / 8u) : pixels;
    return {name, tgaFile(type, width, height, bits, data), swappedRedBlue(pixels, bits / 8u)};
}

Seed refused(const char* name, Bytes file, const char* text, const char* caption = "ERROR") {
    return {name, std::move(file), {}, text, caption};
}

std::vector<Seed> seeds() {
    Bytes withFooter = tgaFile(2, 2, 2, 24, samplePixels(4, 3));
    for (char c : std::string("\0\0\0\0\0\0\0\0TRUEVISION-XFILE.\0", 26)) {
        withFooter.push_back(static_cast<uint8_t>(c));
    }
    PacketStream bounds = packetBoundsStream();
    Bytes shortInfo = tgaHead(10, 4, 4, 24);
    shortInfo.resize(15);

    return {
        valid("uncompressed_24.tga", 2, 5, 3, 24),
        valid("uncompressed_32.tga", 2, 3, 4, 32),
        valid("compressed_24.tga", 10, 9, 6, 24),
        valid("compressed_32.tga", 10, 6, 7, 32),
        {"footer.tga", withFooter, swappedRedBlue(samplePixels(4, 3), 3)},
        {"packet_bounds.tga", tgaFile(10, bounds.width, bounds.height, 24, bounds.packets),
         bounds.pixels},
        refused("short_header.tga", Bytes(7, 0), "Could not read file header"),
        refused("grey_scale.tga", tgaFile(3, 2, 2, 8, Bytes(4, 9)),
                "TGA file be type 2 or type 10 ", "Invalid Image"),
        refused("short_info.tga", shortInfo, "Could not read info header"),
        refused("depth_16.tga", tgaFile(2, 2, 2, 16, Bytes(8, 9)), "Invalid texture information"),
        refused("huge.tga", tgaFile(10, 65535, 65535, 32, {255, 1, 2, 3, 4}),
                "Could not allocate memory for image"),
        refused("short_data.tga", tgaFile(2, 2, 2, 24, Bytes(11, 9)), "Could not read image data"),
        refused("no_packet.tga", tgaFile(10, 2, 2, 24, {129, 1, 2, 3}),
                "Could not read RLE header"),
        refused("short_raw.tga", tgaFile(10, 2, 2, 24, {1, 1, 2, 3, 4}),
                "Could not read image data"),
        refused("short_run.tga", tgaFile(10, 2, 2, 32, {130, 1, 2, 3}), "Could not read from file"),
        refused("too_many.tga", tgaFile(10, 2, 2, 24, {130, 1, 2, 3, 129, 4, 5, 6}),
                "Too many pixels read"),
    };
}

TEST(TgaSeedCorpus, FilesAreCurrentAndDecodeAsExpected) {
    const std::string corpus = SNOW_SOURCE_DIR "/fuzz/corpus/tga_fuzzer/";
    bool rewrite = std::getenv("SNOW_WRITE_SEEDS") != nullptr;
    ReportRecorder recorder;
    for (const Seed& seed : seeds()) {
        SCOPED_TRACE(seed.name);
        std::string path = corpus + seed.name;
        if (rewrite) {
            std::filesystem::create_directories(corpus);
            writeFile(path, seed.file);
        }
        EXPECT_EQ(readWholeFile(path), seed.file) << "run with SNOW_WRITE_SEEDS=1 to rewrite";

        TgaDecoder decoder{};
        TgaImage image{};
        bool loaded = decoder.loadTga(&image, path.c_str());
        DecodeCapture result = captureTga(loaded, image);
        if (seed.text == nullptr) {
            EXPECT_TRUE(result.decoded);
            EXPECT_TRUE(result.reports.empty());
            EXPECT_EQ(result.pixels, seed.pixels);
        } else {
            EXPECT_FALSE(result.decoded);
            EXPECT_TRUE(result.pixels.empty()) << "a refused picture kept its pixels";
            const std::vector<RecordedReport> expected = {
                {ReportOwner::None, seed.text, seed.caption, 0u}};
            EXPECT_EQ(result.reports, expected);
        }
    }
}

}  // namespace
