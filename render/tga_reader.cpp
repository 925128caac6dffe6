// TGA reader: the file head is read item by item, the pixel data in one go, and the
// pixels are decoded from memory through the bounded cursor.
#include "render/tga_reader.h"

#include <GL/gl.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "app/error_report.h"
#include "render/image_size.h"
#include "render/regular_file.h"

const uint8_t uTGAcompare[12] = {0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0};
const uint8_t cTGAcompare[12] = {0, 0, 10, 0, 0, 0, 0, 0, 0, 0, 0, 0};

namespace {

struct FreeBytes {
    void operator()(uint8_t* bytes) const { std::free(bytes); }
};
using HeapBytes = std::unique_ptr<uint8_t, FreeBytes>;

bool refuse(const char* text, const char* caption = "ERROR") {
    reportError(ReportOwner::None, text, caption, kReportOk);
    return false;
}

// A failure once the picture's size is known: the image is left without pixels.
bool refusePixels(TgaImage* image, const char* text) {
    image->pixels = nullptr;
    return refuse(text);
}

// Copies `size` bytes of B,G,R(,A) pixels to `target` as R,G,B(,A); `target` may be
// `source` itself.
void copySwappingRedBlue(uint8_t* target, const uint8_t* source, uint64_t size,
                         uint32_t bytesPerPixel) {
    for (uint64_t at = 0; at < size; at += bytesPerPixel) {
        uint8_t blue = source[at];
        uint8_t red = source[at + 2];
        target[at] = red;
        target[at + 1] = source[at + 1];
        target[at + 2] = blue;
        if (bytesPerPixel == 4) target[at + 3] = source[at + 3];
    }
}

// Stores one B,G,R(,A) file pixel `count` times as R,G,B(,A).
void fillRun(uint8_t* target, const uint8_t* pixel, uint64_t count, uint32_t bytesPerPixel) {
    const uint8_t swapped[4] = {pixel[2], pixel[1], pixel[0],
                                bytesPerPixel == 4 ? pixel[3] : uint8_t{0}};
    if (bytesPerPixel == 4) {
        for (uint64_t i = 0; i < count; ++i) std::memcpy(target + i * 4, swapped, 4);
    } else {
        for (uint64_t i = 0; i < count; ++i) std::memcpy(target + i * 3, swapped, 3);
    }
}

// Decodes run-length packets until `total` pixels are stored; with a null `target` the
// packets are only walked. Returns the failure message, or null.
const char* decodePackets(ByteCursor& cursor, uint64_t total, uint32_t bytesPerPixel,
                          uint8_t* target) {
    uint64_t stored = 0;
    while (stored < total) {
        uint8_t chunkheader = 0;
        if (!cursor.u8(chunkheader)) return "Could not read RLE header";
        uint64_t left = total - stored;
        uint8_t* at = target ? target + stored * bytesPerPixel : nullptr;
        if (chunkheader < 128) {
            uint64_t count = chunkheader + 1u;
            uint64_t fitting = std::min(count, left);
            const uint8_t* pixels = cursor.take(fitting * bytesPerPixel);
            if (!pixels) return "Could not read image data";
            if (at) copySwappingRedBlue(at, pixels, fitting * bytesPerPixel, bytesPerPixel);
            stored += fitting;
            if (count > fitting) {
                // Each pixel is read before it is stored: the first one too many is read
                // and only its store is refused.
                if (!cursor.take(bytesPerPixel)) return "Could not read image data";
                return "Too many pixels read";
            }
        } else {
            uint64_t count = chunkheader - 127u;
            const uint8_t* pixel = cursor.take(bytesPerPixel);
            if (!pixel) return "Could not read from file";
            uint64_t fitting = std::min(count, left);
            if (at) fillRun(at, pixel, fitting, bytesPerPixel);
            stored += fitting;
            if (count > fitting) return "Too many pixels read";
        }
    }
    return nullptr;
}

// Bytes from the file's position to its end, or UINT64_MAX when they cannot be told.
uint64_t bytesLeft(FILE* file) {
    struct stat status;
    long position = std::ftell(file);
    if (position < 0 || fstat(fileno(file), &status) != 0 || !S_ISREG(status.st_mode)) {
        return UINT64_MAX;
    }
    uint64_t size = static_cast<uint64_t>(status.st_size);
    uint64_t done = static_cast<uint64_t>(position);
    return size > done ? size - done : 0;
}

// Up to `limit` bytes from the file's position on, in one read where the file's size is
// known. False when there is no memory for them.
bool readUpTo(FILE* file, uint64_t limit, HeapBytes& bytes, size_t& size) {
    uint64_t left = bytesLeft(file);
    // One byte more than is left lets the first read meet the end of the file.
    uint64_t capacity = std::min(left == UINT64_MAX ? uint64_t{1} << 16 : left + 1, limit);
    size = 0;
    for (;;) {
        if (capacity > SIZE_MAX) return false;
        auto* grown = static_cast<uint8_t*>(std::realloc(bytes.get(), capacity));
        if (!grown) return false;
        static_cast<void>(bytes.release());  // realloc has taken the old block over
        bytes.reset(grown);
        size += std::fread(grown + size, 1, static_cast<size_t>(capacity) - size, file);
        if (size < capacity || capacity == limit) return true;
        capacity = std::min(capacity * 2, limit);
    }
}

bool readInfo(TgaDecoder& decoder, TgaImage* image, FILE* file) {
    if (std::fread(decoder.info, sizeof decoder.info, 1, file) != 1) {
        return refuse("Could not read info header");
    }
    return decoder.takeInfo(image);
}

bool readUncompressedPixels(const TgaDecoder& decoder, TgaImage* image, FILE* file) {
    // A file too short for its picture is refused before a buffer is made for it.
    if (bytesLeft(file) < decoder.imageSize) {
        return refusePixels(image, "Could not read image data");
    }
    HeapBytes pixels(static_cast<uint8_t*>(std::malloc(decoder.imageSize)));
    if (!pixels) return refusePixels(image, "Could not allocate memory for image");
    if (std::fread(pixels.get(), 1, decoder.imageSize, file) < decoder.imageSize) {
        return refusePixels(image, "Could not read image data");
    }
    copySwappingRedBlue(pixels.get(), pixels.get(), decoder.imageSize, decoder.bytesPerPixel);
    image->pixels = pixels.release();
    return true;
}

// The packet bytes that a picture can use: at worst one packet per pixel, plus the one
// pixel past the end that a raw packet too long reads. A footer after them is never read.
bool readPacketBytes(const TgaDecoder& decoder, TgaImage* image, FILE* file, HeapBytes& bytes,
                     size_t& size) {
    uint64_t total = uint64_t{decoder.width} * decoder.height;
    if (!readUpTo(file, (total + 1) * (decoder.bytesPerPixel + 1), bytes, size)) {
        return refusePixels(image, "Could not allocate memory for image");
    }
    return true;
}

}  // namespace

bool TgaDecoder::loadTga(TgaImage* image, const char* path) {
    FILE* file = openRegularStream(path);
    if (!file) return refuse("Could not open texture file");
    if (std::fread(header, sizeof header, 1, file) != 1) {
        std::fclose(file);
        return refuse("Could not read file header");
    }
    if (std::memcmp(header, uTGAcompare, sizeof header) == 0) {
        return loadUncompressedTga(image, file);
    }
    if (std::memcmp(header, cTGAcompare, sizeof header) == 0) {
        return loadCompressedTga(image, file);
    }
    std::fclose(file);
    return refuse("TGA file be type 2 or type 10 ", "Invalid Image");
}

bool TgaDecoder::loadUncompressedTga(TgaImage* image, FILE* file) {
    bool loaded = readInfo(*this, image, file) && readUncompressedPixels(*this, image, file);
    std::fclose(file);
    return loaded;
}

bool TgaDecoder::loadCompressedTga(TgaImage* image, FILE* file) {
    HeapBytes bytes;
    size_t size = 0;
    bool ready = readInfo(*this, image, file) && readPacketBytes(*this, image, file, bytes, size);
    std::fclose(file);
    if (!ready) return false;
    ByteCursor cursor{bytes.get(), size};
    return decodeCompressedPixels(image, cursor);
}

bool TgaDecoder::decodeTga(TgaImage* image, const uint8_t* data, size_t size) {
    ByteCursor cursor{data, size};
    const uint8_t* headerBytes = cursor.take(sizeof header);
    if (!headerBytes) return refuse("Could not read file header");
    std::memcpy(header, headerBytes, sizeof header);
    bool compressed = std::memcmp(header, cTGAcompare, sizeof header) == 0;
    if (!compressed && std::memcmp(header, uTGAcompare, sizeof header) != 0) {
        return refuse("TGA file be type 2 or type 10 ", "Invalid Image");
    }
    const uint8_t* infoBytes = cursor.take(sizeof info);
    if (!infoBytes) return refuse("Could not read info header");
    std::memcpy(info, infoBytes, sizeof info);
    if (!takeInfo(image)) return false;
    return compressed ? decodeCompressedPixels(image, cursor)
                      : decodeUncompressedPixels(image, cursor);
}

bool TgaDecoder::takeInfo(TgaImage* image) {
    image->width = info[0] + 256u * info[1];
    image->height = info[2] + 256u * info[3];
    image->bitsPerPixel = info[4];
    width = image->width;
    height = image->height;
    bitsPerPixel = image->bitsPerPixel;
    if (width == 0 || height == 0 || (bitsPerPixel != 24 && bitsPerPixel != 32)) {
        return refuse("Invalid texture information");
    }
    image->format = bitsPerPixel == 24 ? GL_RGB : GL_RGBA;
    bytesPerPixel = bitsPerPixel / 8;
    uint64_t bytes = 0;
    static_assert(kMaxImageBytes <= UINT32_MAX, "every picture size fits imageSize");
    if (!imageBytes(width, height, bytesPerPixel, bytes)) {
        imageSize = 0;
        return refusePixels(image, "Could not allocate memory for image");
    }
    imageSize = static_cast<uint32_t>(bytes);
    return true;
}

bool TgaDecoder::decodeUncompressedPixels(TgaImage* image, ByteCursor& cursor) {
    const uint8_t* data = cursor.take(imageSize);
    if (!data) return refusePixels(image, "Could not read image data");
    auto* pixels = static_cast<uint8_t*>(std::malloc(imageSize));
    if (!pixels) return refusePixels(image, "Could not allocate memory for image");
    copySwappingRedBlue(pixels, data, imageSize, bytesPerPixel);
    image->pixels = pixels;
    return true;
}

bool TgaDecoder::decodeCompressedPixels(TgaImage* image, ByteCursor& cursor) {
    uint64_t total = uint64_t{width} * height;
    // Every packet takes a header and a pixel and gives at most 128 pixels. Data shorter
    // than that for the whole picture cannot succeed: it is walked for its message
    // without a buffer, so a tiny file cannot make the reader allocate gigabytes.
    uint64_t fewestBytes = (total + 127) / 128 * (bytesPerPixel + 1);
    HeapBytes pixels;
    if (cursor.has(fewestBytes)) {
        pixels.reset(static_cast<uint8_t*>(std::malloc(imageSize)));
        if (!pixels) return refusePixels(image, "Could not allocate memory for image");
    }
    if (const char* failure = decodePackets(cursor, total, bytesPerPixel, pixels.get())) {
        return refusePixels(image, failure);
    }
    image->pixels = pixels.release();
    return true;
}
