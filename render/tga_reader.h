// Reader for true-colour TGA files, uncompressed (type 2) and run-length encoded
// (type 10), 24 or 32 bits, into R,G,B(,A) rows in file order.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>

#include "render/byte_cursor.h"

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

    bool loadTga(TgaImage* image, const char* path);
    bool loadUncompressedTga(TgaImage* image, FILE* file);
    bool loadCompressedTga(TgaImage* image, FILE* file);

    // loadTga on a whole file already in memory, with the same messages and results.
    bool decodeTga(TgaImage* image, const uint8_t* data, size_t size);

    // Steps shared by the file and the memory entries.
    bool takeInfo(TgaImage* image);
    bool decodeUncompressedPixels(TgaImage* image, ByteCursor& cursor);
    bool decodeCompressedPixels(TgaImage* image, ByteCursor& cursor);
};

extern const uint8_t uTGAcompare[12];
extern const uint8_t cTGAcompare[12];
