// Drives the TGA reader with arbitrary bytes, through its memory entry and through a file
// holding the same bytes: neither may crash, read or write out of bounds or leak, and the
// two must agree on the result, the reports and the pixels.
#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "base/error_report.h"
#include "render/tga_reader.h"
#include "tests/support/decode_capture.h"
#include "tests/support/report_recorder.h"

namespace {

DecodeCapture settle(bool loaded, TgaImage& image) {
    if (!loaded && image.pixels) {
        std::fprintf(stderr, "a refused picture kept its pixels\n");
        std::abort();
    }
    return captureTga(loaded, image);
}

void printReports(const DecodeCapture& result) {
    for (const RecordedReport& report : result.reports) {
        std::fprintf(stderr, "%s: %s\n", report.caption.c_str(), report.text.c_str());
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const int fileDescriptor = memfd_create("tga_fuzzer", 0);
    static const std::string path = "/proc/self/fd/" + std::to_string(fileDescriptor);
    reportBackend = recordReport;

    TgaDecoder decoder{};
    TgaImage image{};
    DecodeCapture fromMemory = settle(decoder.decodeTga(&image, data, size), image);

    if (ftruncate(fileDescriptor, 0) != 0 ||
        pwrite(fileDescriptor, data, size, 0) != static_cast<ssize_t>(size)) {
        std::abort();
    }
    image = TgaImage{};
    DecodeCapture fromFile = settle(decoder.loadTga(&image, path.c_str()), image);

    if (fromMemory.decoded != fromFile.decoded || fromMemory.reports != fromFile.reports ||
        fromMemory.pixels != fromFile.pixels) {
        std::fprintf(stderr, "memory and file disagree:\n");
        printReports(fromMemory);
        std::fprintf(stderr, "---\n");
        printReports(fromFile);
        std::abort();
    }
    return 0;
}
