// TGA reader: the whole file is taken into memory in one place, then decoded from there
// through the bounded cursor.
#include "render/tga_reader.h"

#include <GL/gl.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "base/error_report.h"
#include "render/byte_cursor.h"
#include "render/file_bytes.h"
#include "render/image_size.h"
#include "render/picture_allocator.h"

namespace {

const uint8_t uTGAcompare[12] = {0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0};
const uint8_t cTGAcompare[12] = {0, 0, 10, 0, 0, 0, 0, 0, 0, 0, 0, 0};

// What ends a load: its message and caption, and whether the image is left without
// pixels (once the picture's size is known). Each message is written once.
struct TgaFailure {
    const char* text;
    const char* caption;
    bool releasesPicture;
};

constexpr TgaFailure kCannotOpen{"Could not open texture file", "ERROR", false};
constexpr TgaFailure kShortHeader{"Could not read file header", "ERROR", false};
constexpr TgaFailure kNotType2Or10{"TGA file be type 2 or type 10 ", "Invalid Image", false};
constexpr TgaFailure kShortInfo{"Could not read info header", "ERROR", false};
constexpr TgaFailure kInvalidInfo{"Invalid texture information", "ERROR", false};
constexpr TgaFailure kNoMemory{"Could not allocate memory for image", "ERROR", true};
constexpr TgaFailure kShortData{"Could not read image data", "ERROR", true};
constexpr TgaFailure kNoPacketHeader{"Could not read RLE header", "ERROR", true};
constexpr TgaFailure kShortRunPixel{"Could not read from file", "ERROR", true};
constexpr TgaFailure kTooManyPixels{"Too many pixels read", "ERROR", true};

struct FreeBytes {
    void operator()(uint8_t* bytes) const { std::free(bytes); }
};
using HeapBytes = std::unique_ptr<uint8_t, FreeBytes>;

// The one report of a load, made by the entry points alone; a null failure is success.
bool finish(TgaImage* image, const TgaFailure* failure) {
    if (failure == nullptr) return true;
    if (failure->releasesPicture) image->pixels = nullptr;
    reportError(ReportOwner::None, failure->text, failure->caption, kReportOk);
    return false;
}

// Copies `size` bytes of B,G,R(,A) pixels to `target` as R,G,B(,A).
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
// packets are only walked. Returns the failure, or null.
const TgaFailure* decodePackets(ByteCursor& cursor, uint64_t total, uint32_t bytesPerPixel,
                                uint8_t* target) {
    uint64_t stored = 0;
    while (stored < total) {
        uint8_t chunkheader = 0;
        if (!cursor.u8(chunkheader)) return &kNoPacketHeader;
        uint64_t left = total - stored;
        uint8_t* at = target ? target + stored * bytesPerPixel : nullptr;
        if (chunkheader < 128) {
            uint64_t count = chunkheader + 1u;
            uint64_t fitting = std::min(count, left);
            const uint8_t* pixels = cursor.take(fitting * bytesPerPixel);
            if (!pixels) return &kShortData;
            if (at) copySwappingRedBlue(at, pixels, fitting * bytesPerPixel, bytesPerPixel);
            stored += fitting;
            if (count > fitting) {
                // Each pixel is read before it is stored: the first one too many is read
                // and only its store is refused.
                if (!cursor.take(bytesPerPixel)) return &kShortData;
                return &kTooManyPixels;
            }
        } else {
            uint64_t count = chunkheader - 127u;
            const uint8_t* pixel = cursor.take(bytesPerPixel);
            if (!pixel) return &kShortRunPixel;
            uint64_t fitting = std::min(count, left);
            if (at) fillRun(at, pixel, fitting, bytesPerPixel);
            stored += fitting;
            if (count > fitting) return &kTooManyPixels;
        }
    }
    return nullptr;
}

// The information header, the first step of both decoders: the picture's size and depth,
// checked, and the byte count of its pixels.
const TgaFailure* readInfo(TgaDecoder& decoder, TgaImage* image, ByteCursor& file) {
    const uint8_t* infoBytes = file.take(sizeof decoder.info);
    if (!infoBytes) return &kShortInfo;
    std::memcpy(decoder.info, infoBytes, sizeof decoder.info);
    const uint8_t* info = decoder.info;
    image->width = info[0] + 256u * info[1];
    image->height = info[2] + 256u * info[3];
    image->bitsPerPixel = info[4];
    decoder.width = image->width;
    decoder.height = image->height;
    decoder.bitsPerPixel = image->bitsPerPixel;
    if (decoder.width == 0 || decoder.height == 0 ||
        (decoder.bitsPerPixel != 24 && decoder.bitsPerPixel != 32)) {
        return &kInvalidInfo;
    }
    image->format = decoder.bitsPerPixel == 24 ? GL_RGB : GL_RGBA;
    decoder.bytesPerPixel = decoder.bitsPerPixel / 8;
    uint64_t bytes = 0;
    static_assert(kMaxImageBytes <= UINT32_MAX, "every picture size fits imageSize");
    if (!imageBytes(decoder.width, decoder.height, decoder.bytesPerPixel, bytes)) {
        decoder.imageSize = 0;
        return &kNoMemory;
    }
    decoder.imageSize = static_cast<uint32_t>(bytes);
    return nullptr;
}

// The two decoders' steps, type 2 and type 10; each returns its failure, and the entry
// point that called it reports that.
const TgaFailure* decodeUncompressed(TgaDecoder& decoder, TgaImage* image, ByteCursor& file) {
    if (const TgaFailure* failure = readInfo(decoder, image, file)) return failure;
    // A file too short for its picture is refused before a buffer is made for it.
    const uint8_t* data = file.take(decoder.imageSize);
    if (!data) return &kShortData;
    uint8_t* pixels = allocatePicture(decoder.imageSize);
    if (!pixels) return &kNoMemory;
    copySwappingRedBlue(pixels, data, decoder.imageSize, decoder.bytesPerPixel);
    image->pixels = pixels;
    return nullptr;
}

const TgaFailure* decodeCompressed(TgaDecoder& decoder, TgaImage* image, ByteCursor& file) {
    if (const TgaFailure* failure = readInfo(decoder, image, file)) return failure;
    uint64_t total = uint64_t{decoder.width} * decoder.height;
    // Every packet takes a header and a pixel and gives at most 128 pixels. Data shorter
    // than that for the whole picture cannot succeed: it is walked for its message
    // without a buffer, so a tiny file cannot make the reader allocate gigabytes.
    uint64_t fewestBytes = (total + 127) / 128 * (decoder.bytesPerPixel + 1);
    HeapBytes pixels;
    if (file.has(fewestBytes)) {
        pixels.reset(allocatePicture(decoder.imageSize));
        if (!pixels) return &kNoMemory;
    }
    if (const TgaFailure* failure =
            decodePackets(file, total, decoder.bytesPerPixel, pixels.get())) {
        return failure;
    }
    image->pixels = pixels.release();
    return nullptr;
}

// The 12-byte header: the failure, or null and which of the two decoders reads the rest.
const TgaFailure* readHeader(TgaDecoder& decoder, ByteCursor& file, bool& compressed) {
    const uint8_t* headerBytes = file.take(sizeof decoder.header);
    if (!headerBytes) return &kShortHeader;
    std::memcpy(decoder.header, headerBytes, sizeof decoder.header);
    compressed = std::memcmp(decoder.header, cTGAcompare, sizeof decoder.header) == 0;
    if (compressed || std::memcmp(decoder.header, uTGAcompare, sizeof decoder.header) == 0) {
        return nullptr;
    }
    return &kNotType2Or10;
}

}  // namespace

bool TgaDecoder::loadTga(TgaImage* image, const char* path) {
    FileBytes file;
    if (!file.open(path)) return finish(image, &kCannotOpen);
    return decodeTga(image, file.data, file.size);
}

bool TgaDecoder::decodeTga(TgaImage* image, const uint8_t* data, size_t size) {
    ByteCursor file{data, size};
    bool compressed = false;
    if (const TgaFailure* failure = readHeader(*this, file, compressed)) {
        return finish(image, failure);
    }
    return compressed ? loadCompressedTga(image, file) : loadUncompressedTga(image, file);
}

bool TgaDecoder::loadUncompressedTga(TgaImage* image, ByteCursor& file) {
    return finish(image, decodeUncompressed(*this, image, file));
}

bool TgaDecoder::loadCompressedTga(TgaImage* image, ByteCursor& file) {
    return finish(image, decodeCompressed(*this, image, file));
}
