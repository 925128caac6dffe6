// Reader for true-colour TGA files, uncompressed (type 2) and run-length encoded
// (type 10), 24 or 32 bits, into R,G,B(,A) rows in file order.
#pragma once

#include <cstddef>
#include <cstdint>

struct ByteCursor;

struct TgaImage {
    uint8_t* pixels;
    uint32_t bitsPerPixel;
    uint32_t width;
    uint32_t height;
    uint32_t textureId;
    uint32_t format;
};

struct TgaDecoder {
    uint8_t header[12];
    uint8_t info[6];
    uint32_t bytesPerPixel;
    uint32_t imageSize;
    uint32_t height;
    uint32_t width;
    uint32_t bitsPerPixel;

    // Reads the whole file and decodes it. On success the image holds a picture the caller
    // releases with free; every failure is reported once and returns false.
    bool loadTga(TgaImage* image, const char* path);
    // loadTga on a whole file already in memory, with the same messages and results.
    bool decodeTga(TgaImage* image, const uint8_t* data, size_t size);

    // The two decoders that loadTga hands the bytes after the 12-byte header to.
    bool loadUncompressedTga(TgaImage* image, ByteCursor& file);
    bool loadCompressedTga(TgaImage* image, ByteCursor& file);
};
