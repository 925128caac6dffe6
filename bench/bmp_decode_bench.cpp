// Decode throughput of the BMP reader on 4096 x 4096 files of each depth, next to
// stb_image where it reads the kind, and next to the floor: allocating an output of the
// same size and copying into it.
#define STB_IMAGE_IMPLEMENTATION
#define STBI_ONLY_BMP
#include <benchmark/benchmark.h>
#include <stb/stb_image.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "base/error_report.h"
#include "render/bmp_reader.h"
#include "tools/bmp_writer.h"

namespace {

constexpr int kSide = 4096;
constexpr size_t kOutputBytes = size_t{kSide} * kSide * 3;

struct Kind {
    const char* name;
    uint16_t bitsPerPixel;
    uint32_t compression;
    bool stbReads;  // stb_image has no run-length BMP support
};

const Kind kKinds[] = {
    {"pal1", 1, 0, true},  {"pal4", 4, 0, true},   {"pal8", 8, 0, true},
    {"rle8", 8, 1, false}, {"rgb24", 24, 0, true}, {"rgb32", 32, 0, true},
};

std::string benchDir;

std::string pathOf(const Kind& kind) {
    return benchDir + "/" + kind.name + ".bmp";
}

// Runs of 4 to 16 equal pixels, the kind of picture run-length files hold.
std::vector<uint32_t> makeIndices(uint32_t colors) {
    std::vector<uint32_t> indices(size_t{kSide} * kSide);
    for (int y = 0; y < kSide; ++y) {
        for (int x = 0; x < kSide; ++x) {
            indices[size_t{static_cast<size_t>(y)} * kSide + x] =
                static_cast<uint32_t>(x / (4 + y % 13) * 7 + y) % colors;
        }
    }
    return indices;
}

bool writeKind(const Kind& kind) {
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
        values.resize(size_t{kSide} * kSide);
        uint32_t state = 1;
        for (uint32_t& v : values) v = state = state * 1664525u + 1013904223u;
    }
    file.pixelData = kind.compression == 1 ? encodeRunLength(values, kSide, kSide, false)
                                           : packRows(values, kSide, kSide, kind.bitsPerPixel);
    std::vector<uint8_t> bytes = file.bytes();
    std::ofstream out(pathOf(kind), std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out);
}

void readWithOurReader(benchmark::State& state, const Kind* kind) {
    std::string path = pathOf(*kind);
    for (auto _ : state) {
        RgbImage* image = readBmpImage(path.c_str());
        if (!image) {
            state.SkipWithError("readBmpImage refused the file");
            return;
        }
        benchmark::DoNotOptimize(image->pixels[kOutputBytes - 1]);
        std::free(image->pixels);
        std::free(image);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * kOutputBytes));
}

void readWithStbImage(benchmark::State& state, const Kind* kind) {
    std::string path = pathOf(*kind);
    for (auto _ : state) {
        int width = 0;
        int height = 0;
        int channels = 0;
        stbi_uc* pixels = stbi_load(path.c_str(), &width, &height, &channels, 3);
        if (!pixels) {
            state.SkipWithError(stbi_failure_reason());
            return;
        }
        benchmark::DoNotOptimize(pixels[kOutputBytes - 1]);
        stbi_image_free(pixels);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * kOutputBytes));
}

// The floor: a fresh output buffer (whose pages fault in as they are written) filled
// by one copy.
void allocateAndCopy(benchmark::State& state) {
    std::vector<uint8_t> source(kOutputBytes, 0x5A);
    for (auto _ : state) {
        uint8_t* out = static_cast<uint8_t*>(std::malloc(kOutputBytes));
        std::memcpy(out, source.data(), kOutputBytes);
        benchmark::DoNotOptimize(out[kOutputBytes - 1]);
        std::free(out);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * kOutputBytes));
}

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    reportBackend = printReport;
    char dirTemplate[] = "/tmp/snow-bmp-bench-XXXXXX";
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
    auto unit = benchmark::kMillisecond;
    for (const Kind& kind : kKinds) {
        benchmark::RegisterBenchmark((std::string("readBmpImage/") + kind.name).c_str(),
                                     readWithOurReader, &kind)
            ->Unit(unit);
        if (kind.stbReads) {
            benchmark::RegisterBenchmark((std::string("stbi_load/") + kind.name).c_str(),
                                         readWithStbImage, &kind)
                ->Unit(unit);
        }
    }
    benchmark::RegisterBenchmark("allocateAndCopy/output", allocateAndCopy)->Unit(unit);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();

    for (const Kind& kind : kKinds) std::remove(pathOf(kind).c_str());
    rmdir(benchDir.c_str());
    return 0;
}
