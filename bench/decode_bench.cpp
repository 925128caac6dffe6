// Decode time of the two image readers on 4096 x 4096 files of every kind they read,
// side by side with stb_image on the same files and with two floors: a fresh output of
// the same size filled by one copy, on 4 KiB pages and on the huge pages that the
// readers' picture allocator asks for.
#define STB_IMAGE_IMPLEMENTATION
#define STBI_ONLY_BMP
#define STBI_ONLY_TGA
#include <benchmark/benchmark.h>
#include <stb/stb_image.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "base/error_report.h"
#include "render/bmp_reader.h"
#include "render/picture_allocator.h"
#include "render/tga_reader.h"
#include "tools/bmp_writer.h"
#include "tools/tga_writer.h"

namespace {

constexpr int kSide = 4096;
constexpr size_t kPixels = size_t{kSide} * kSide;

enum class Format { Bmp, Tga };

struct Kind {
    const char* name;
    Format format;
    uint8_t bitsPerPixel;
    uint32_t compression;  // BMP: 0 or 1 (RLE8); TGA: the image type, 2 or 10
    bool stbReads;         // stb_image has no run-length BMP support

    uint32_t outputChannels() const { return format == Format::Tga ? bitsPerPixel / 8u : 3u; }
    size_t outputBytes() const { return kPixels * outputChannels(); }
};

const Kind kKinds[] = {
    {"bmp_pal1", Format::Bmp, 1, 0, true},        {"bmp_pal4", Format::Bmp, 4, 0, true},
    {"bmp_pal8", Format::Bmp, 8, 0, true},        {"bmp_rle8", Format::Bmp, 8, 1, false},
    {"bmp_rgb24", Format::Bmp, 24, 0, true},      {"bmp_rgb32", Format::Bmp, 32, 0, true},
    {"tga_type2_24", Format::Tga, 24, 2, true},   {"tga_type2_32", Format::Tga, 32, 2, true},
    {"tga_type10_24", Format::Tga, 24, 10, true}, {"tga_type10_32", Format::Tga, 32, 10, true},
};

std::string benchDir;

std::string pathOf(const Kind& kind) {
    return benchDir + "/" + kind.name + (kind.format == Format::Bmp ? ".bmp" : ".tga");
}

uint32_t nextRandom(uint32_t& state) {
    state = state * 1664525u + 1013904223u;
    return state >> 8;
}

// Colour indices in runs of 4 to 16 equal pixels, the kind of picture run-length files
// hold.
std::vector<uint32_t> makeIndices(uint32_t colors) {
    std::vector<uint32_t> indices(kPixels);
    for (int y = 0; y < kSide; ++y) {
        for (int x = 0; x < kSide; ++x) {
            indices[static_cast<size_t>(y) * kSide + x] =
                static_cast<uint32_t>(x / (4 + y % 13) * 7 + y) % colors;
        }
    }
    return indices;
}

std::vector<uint8_t> bmpFile(const Kind& kind) {
    BmpFile file;
    file.width = kSide;
    file.height = kSide;
    file.bitsPerPixel = kind.bitsPerPixel;
    file.compression = kind.compression;
    std::vector<uint32_t> values;
    if (kind.bitsPerPixel <= 8) {
        uint32_t colors = 1u << kind.bitsPerPixel;
        for (uint32_t i = 0; i < colors; ++i) file.palette.push_back(i * 0x9E3779B1u >> 8);
        values = makeIndices(colors);
    } else {
        values.resize(kPixels);
        uint32_t state = 1;
        for (uint32_t& v : values) v = state = state * 1664525u + 1013904223u;
    }
    file.pixelData = kind.compression == 1 ? encodeRunLength(values, kSide, kSide, false)
                                           : packRows(values, kSide, kSide, kind.bitsPerPixel);
    return file.bytes();
}

// Artwork-like pixels: flat spans of 1 to 64 pixels between noisy ones, so that type 10
// gets both run and raw packets.
std::vector<uint8_t> tgaFileOf(const Kind& kind) {
    uint32_t bytesPerPixel = kind.bitsPerPixel / 8u;
    std::vector<uint8_t> pixels;
    pixels.reserve(kPixels * bytesPerPixel);
    uint32_t state = 12345;
    while (pixels.size() < kPixels * bytesPerPixel) {
        uint32_t span = 1 + nextRandom(state) % 64;
        bool flat = nextRandom(state) % 2 == 0;
        uint32_t colour = nextRandom(state);
        for (uint32_t i = 0; i < span; ++i) {
            uint32_t value = flat ? colour : nextRandom(state);
            for (uint32_t b = 0; b < bytesPerPixel; ++b) {
                pixels.push_back(static_cast<uint8_t>(value >> (8 * b)));
            }
        }
    }
    pixels.resize(kPixels * bytesPerPixel);
    if (kind.compression == 2) return tgaFile(2, kSide, kSide, kind.bitsPerPixel, pixels);
    std::vector<uint8_t> packets;
    appendTgaPackets(packets, pixels.data(), kPixels, bytesPerPixel);
    return tgaFile(10, kSide, kSide, kind.bitsPerPixel, packets);
}

bool writeKind(const Kind& kind) {
    std::vector<uint8_t> bytes = kind.format == Format::Bmp ? bmpFile(kind) : tgaFileOf(kind);
    std::ofstream out(pathOf(kind), std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out);
}

void finish(benchmark::State& state, const Kind& kind) {
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * kind.outputBytes()));
}

void readWithOurReader(benchmark::State& state, const Kind* kind) {
    std::string path = pathOf(*kind);
    for (auto _ : state) {
        uint8_t* pixels = nullptr;
        RgbImage* image = nullptr;
        TgaImage tga{};
        if (kind->format == Format::Bmp) {
            image = readBmpImage(path.c_str());
            if (image) pixels = image->pixels;
        } else {
            TgaDecoder decoder{};
            if (decoder.loadTga(&tga, path.c_str())) pixels = tga.pixels;
        }
        if (!pixels) {
            state.SkipWithError("the reader refused the file");
            return;
        }
        benchmark::DoNotOptimize(pixels[kind->outputBytes() - 1]);
        std::free(pixels);
        std::free(image);
    }
    finish(state, *kind);
}

void readWithStbImage(benchmark::State& state, const Kind* kind) {
    std::string path = pathOf(*kind);
    int channels = static_cast<int>(kind->outputChannels());
    for (auto _ : state) {
        int width = 0;
        int height = 0;
        int fileChannels = 0;
        stbi_uc* pixels = stbi_load(path.c_str(), &width, &height, &fileChannels, channels);
        if (!pixels) {
            state.SkipWithError(stbi_failure_reason());
            return;
        }
        benchmark::DoNotOptimize(pixels[kind->outputBytes() - 1]);
        stbi_image_free(pixels);
    }
    finish(state, *kind);
}

// The 4 KiB-page floor: a fresh mapping (whose pages fault in one by one as they are
// written) kept off huge pages whatever the system's default, filled by one copy.
void copyToSmallPages(benchmark::State& state, const Kind* kind) {
    size_t bytes = kind->outputBytes();
    std::vector<uint8_t> source(bytes, 0x5A);
    for (auto _ : state) {
        void* out =
            mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        if (out == MAP_FAILED) {
            state.SkipWithError("mmap failed");
            return;
        }
        madvise(out, bytes, MADV_NOHUGEPAGE);
        std::memcpy(out, source.data(), bytes);
        benchmark::DoNotOptimize(static_cast<uint8_t*>(out)[bytes - 1]);
        munmap(out, bytes);
    }
    finish(state, *kind);
}

// The huge-page floor: the same copy into a block from the readers' own allocator.
void copyToPictureMemory(benchmark::State& state, const Kind* kind) {
    size_t bytes = kind->outputBytes();
    std::vector<uint8_t> source(bytes, 0x5A);
    for (auto _ : state) {
        uint8_t* out = allocatePicture(bytes);
        std::memcpy(out, source.data(), bytes);
        benchmark::DoNotOptimize(out[bytes - 1]);
        std::free(out);
    }
    finish(state, *kind);
}

void registerBenchmark(const std::string& name, void (*run)(benchmark::State&, const Kind*),
                       const Kind& kind) {
    benchmark::RegisterBenchmark(name.c_str(), run, &kind)->Unit(benchmark::kMillisecond);
}

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    reportBackend = printReport;
    char dirTemplate[] = "/tmp/snow-decode-bench-XXXXXX";
    if (!mkdtemp(dirTemplate)) {
        std::perror("mkdtemp");
        return 1;
    }
    benchDir = dirTemplate;
    for (const Kind& kind : kKinds) {
        if (!writeKind(kind)) {
            std::fprintf(stderr, "cannot write %s\n", pathOf(kind).c_str());
            return 1;
        }
    }
    // The floors for the two output sizes: 3 bytes a pixel (every BMP, 24-bit TGA) and 4.
    const Kind& threeBytes = kKinds[4];
    const Kind& fourBytes = kKinds[7];
    registerBenchmark("floor_4KiB_pages/48MiB", copyToSmallPages, threeBytes);
    registerBenchmark("floor_huge_pages/48MiB", copyToPictureMemory, threeBytes);
    registerBenchmark("floor_4KiB_pages/64MiB", copyToSmallPages, fourBytes);
    registerBenchmark("floor_huge_pages/64MiB", copyToPictureMemory, fourBytes);
    for (const Kind& kind : kKinds) {
        registerBenchmark(std::string("ours/") + kind.name, readWithOurReader, kind);
        if (kind.stbReads)
            registerBenchmark(std::string("stb_image/") + kind.name, readWithStbImage, kind);
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::filesystem::remove_all(benchDir);
    return 0;
}
