// Drives the TGA reader with arbitrary bytes, through its memory entry and through a file
// holding the same bytes: neither may crash, read or write out of bounds or leak, and the
// two must agree on the result, the reports and the pixels.
#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "base/error_report.h"
#include "render/tga_reader.h"

namespace {

std::string reports;

void keepReport(ReportOwner, const char* text, const char* caption, unsigned) {
    reports += caption;
    reports += ": ";
    reports += text;
    reports += '\n';
}

struct Result {
    bool loaded;
    std::string reports;
    std::string pixels;
};

Result settle(bool loaded, TgaImage& image) {
    Result result{loaded, reports, {}};
    if (!loaded && image.pixels) {
        std::fprintf(stderr, "a refused picture kept its pixels\n");
        std::abort();
    }
    if (loaded) {
        size_t size = size_t{image.width} * image.height * (image.bitsPerPixel / 8);
        result.pixels.assign(reinterpret_cast<const char*>(image.pixels), size);
        std::free(image.pixels);
    }
    reports.clear();
    return result;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const int fileDescriptor = memfd_create("tga_fuzzer", 0);
    static const std::string path = "/proc/self/fd/" + std::to_string(fileDescriptor);
    reportBackend = keepReport;

    TgaDecoder decoder{};
    TgaImage image{};
    Result fromMemory = settle(decoder.decodeTga(&image, data, size), image);

    if (ftruncate(fileDescriptor, 0) != 0 ||
        pwrite(fileDescriptor, data, size, 0) != static_cast<ssize_t>(size)) {
        std::abort();
    }
    image = TgaImage{};
    Result fromFile = settle(decoder.loadTga(&image, path.c_str()), image);

    if (fromMemory.loaded != fromFile.loaded || fromMemory.reports != fromFile.reports ||
        fromMemory.pixels != fromFile.pixels) {
        std::fprintf(stderr, "memory and file disagree:\n%s---\n%s", fromMemory.reports.c_str(),
                     fromFile.reports.c_str());
        std::abort();
    }
    return 0;
}
