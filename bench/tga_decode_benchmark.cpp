// TGA decode throughput on 4096 x 4096 pictures, types 2 and 10 at 24 and 32 bits: the
// demo's reader against stb_image on the same files. Decoded bytes per second.
#include <benchmark/benchmark.h>

// stb_image is only the peer to compare with; its implementation is compiled here.
#define STB_IMAGE_IMPLEMENTATION
#define STBI_ONLY_TGA
#include <stb/stb_image.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "base/error_report.h"
#include "render/tga_reader.h"
#include "tools/tga_writer.h"

namespace {

constexpr uint16_t kSide = 4096;

struct Kind {
    uint8_t type;
    uint8_t bits;
};
constexpr Kind kKinds[] = {{2, 24}, {2, 32}, {10, 24}, {10, 32}};

using Bytes = std::vector<uint8_t>;

std::string filesDir;

std::string nameOf(const Kind& kind) {
    return "type" + std::to_string(kind.type) + "_" + std::to_string(kind.bits) + "bit";
}
std::string pathOf(const Kind& kind) {
    return filesDir + "/" + nameOf(kind) + ".tga";
}

// Artwork-like pixels: flat spans of 1 to 64 pixels between noisy ones, so that type 10
// gets both run and raw packets.
Bytes artwork(uint32_t bytesPerPixel) {
    Bytes pixels;
    pixels.reserve(size_t{kSide} * kSide * bytesPerPixel);
    uint32_t state = 12345;
    auto next = [&state] {
        state = state * 1664525u + 1013904223u;
        return state >> 8;
    };
    while (pixels.size() < size_t{kSide} * kSide * bytesPerPixel) {
        uint32_t span = 1 + next() % 64;
        bool flat = next() % 2 == 0;
        uint32_t colour = next();
        for (uint32_t i = 0; i < span; ++i) {
            uint32_t value = flat ? colour : next();
            for (uint32_t b = 0; b < bytesPerPixel; ++b) {
                pixels.push_back(static_cast<uint8_t>(value >> (8 * b)));
            }
        }
    }
    pixels.resize(size_t{kSide} * kSide * bytesPerPixel);
    return pixels;
}

void makeFiles() {
    for (const Kind& kind : kKinds) {
        Bytes pixels = artwork(kind.bits / 8u);
        Bytes data;
        if (kind.type == 10) {
            appendTgaPackets(data, pixels.data(), size_t{kSide} * kSide, kind.bits / 8u);
        } else {
            data = pixels;
        }
        Bytes file = tgaFile(kind.type, kSide, kSide, kind.bits, data);
        std::ofstream(pathOf(kind), std::ios::binary)
            .write(reinterpret_cast<const char*>(file.data()),
                   static_cast<std::streamsize>(file.size()));
    }
}

void ignoreReport(ReportOwner, const char*, const char*, unsigned) {}

void TgaReader(benchmark::State& state, Kind kind) {
    std::string path = pathOf(kind);
    for (auto _ : state) {
        TgaDecoder decoder{};
        TgaImage image{};
        if (!decoder.loadTga(&image, path.c_str())) state.SkipWithError("refused");
        benchmark::DoNotOptimize(image.pixels);
        std::free(image.pixels);
    }
    state.SetBytesProcessed(state.iterations() * int64_t{kSide} * kSide * (kind.bits / 8));
}

void StbImage(benchmark::State& state, Kind kind) {
    std::string path = pathOf(kind);
    for (auto _ : state) {
        int width = 0, height = 0, channels = 0;
        stbi_uc* pixels = stbi_load(path.c_str(), &width, &height, &channels, 0);
        if (!pixels) state.SkipWithError("refused");
        benchmark::DoNotOptimize(pixels);
        stbi_image_free(pixels);
    }
    state.SetBytesProcessed(state.iterations() * int64_t{kSide} * kSide * (kind.bits / 8));
}

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    reportBackend = ignoreReport;
    char dirTemplate[] = "/tmp/snow-tga-bench-XXXXXX";
    if (!mkdtemp(dirTemplate)) return 1;
    filesDir = dirTemplate;
    makeFiles();
    for (const Kind& kind : kKinds) {
        std::string name = "/" + nameOf(kind);
        benchmark::RegisterBenchmark(("TgaReader" + name).c_str(), TgaReader, kind)
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark(("StbImage" + name).c_str(), StbImage, kind)
            ->Unit(benchmark::kMillisecond);
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::filesystem::remove_all(filesDir);
    return 0;
}
