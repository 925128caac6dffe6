// What one decode by either image reader gave, taken out of the reader's hands: whether a
// picture came out, its size and bytes (the reader's buffers are released), and the
// reports made meanwhile.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "render/bmp_reader.h"
#include "render/tga_reader.h"
#include "tests/support/report_recorder.h"

struct DecodeCapture {
    bool decoded = false;
    int64_t width = 0;
    int64_t height = 0;
    std::vector<uint8_t> pixels;  // empty when the reader left no buffer
    // What the recorder kept since the previous capture; the record starts empty again.
    std::vector<RecordedReport> reports;
};

// A BMP reader's result: the record and its buffer are released.
inline DecodeCapture captureBmp(RgbImage* image) {
    DecodeCapture capture;
    if (image != nullptr) {
        capture.decoded = true;
        capture.width = image->width;
        capture.height = image->height;
        capture.pixels.assign(image->pixels,
                              image->pixels + size_t{3} * image->width * image->height);
        std::free(image->pixels);
        std::free(image);
    }
    capture.reports = takeRecordedReports();
    return capture;
}

// A TGA load's result and the buffer the image holds, if any, which is released and
// taken out of the image, whether or not the load succeeded.
inline DecodeCapture captureTga(bool loaded, TgaImage& image) {
    DecodeCapture capture;
    capture.decoded = loaded;
    capture.width = image.width;
    capture.height = image.height;
    if (image.pixels != nullptr) {
        size_t size = size_t{image.width} * image.height * (image.bitsPerPixel / 8);
        capture.pixels.assign(image.pixels, image.pixels + size);
        std::free(image.pixels);
        image.pixels = nullptr;
    }
    capture.reports = takeRecordedReports();
    return capture;
}
