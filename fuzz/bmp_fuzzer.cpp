// libFuzzer target for the BMP decoder: any input gives either a picture and no message,
// or no picture and exactly one message; never a read or write outside the input or
// the output.
#include <cstdint>
#include <cstdlib>

#include "base/error_report.h"
#include "render/bmp_reader.h"

namespace {

// Well above every seed, low enough to stay inside libFuzzer's memory limit.
constexpr uint64_t kFuzzMaxImageBytes = uint64_t{16} << 20;

int reportCount = 0;
void countReport(ReportOwner, const char*, const char*, unsigned) {
    ++reportCount;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    reportBackend = countReport;
    reportCount = 0;
    RgbImage* image = decodeBmpImage(data, size, kFuzzMaxImageBytes);
    if (!image) {
        if (reportCount != 1) std::abort();
        return 0;
    }
    if (reportCount != 0 || image->width <= 0 || image->height <= 0) std::abort();
    // Both ends of the picture must lie inside its buffer.
    size_t bytes = static_cast<size_t>(image->width) * static_cast<size_t>(image->height) * 3;
    volatile uint8_t ends = image->pixels[0] ^ image->pixels[bytes - 1];
    (void)ends;
    std::free(image->pixels);
    std::free(image);
    return 0;
}
