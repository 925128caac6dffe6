// Recognising an MP3 stream by its first frames. One frame header alone is four bytes
// that random data matches now and then; the next header where the first frame says it
// ends makes a chance match unlikely.
#include "audio/mp3_start.h"

#include <sys/types.h>

#include <cstring>

namespace {

const uint32_t kId3HeaderBytes = 10;
const uint32_t kId3FooterBytes = 10;
const uint8_t kId3FooterFlag = 0x10;

// Bit rates in kbit/s by version group (MPEG-1, MPEG-2 and 2.5) and layer (I, II, III).
const uint16_t kBitRates[2][3][15] = {
    {{0, 32, 64, 96, 128, 160, 192, 224, 256, 288, 320, 352, 384, 416, 448},
     {0, 32, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 384},
     {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320}},
    {{0, 32, 48, 56, 64, 80, 96, 112, 128, 144, 160, 176, 192, 224, 256},
     {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160},
     {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160}}};
const uint32_t kMpeg1SampleRates[3] = {44100, 48000, 32000};

bool readAt(FILE* file, uint64_t offset, uint8_t* bytes, size_t count) {
    if (offset > static_cast<uint64_t>(INT64_MAX)) return false;
    if (fseeko(file, static_cast<off_t>(offset), SEEK_SET) != 0) return false;
    return std::fread(bytes, 1, count, file) == count;
}

// Where the audio begins: past an ID3v2 tag when the file starts with one.
uint64_t audioOffset(FILE* file) {
    uint8_t tag[kId3HeaderBytes];
    if (!readAt(file, 0, tag, sizeof tag) || std::memcmp(tag, "ID3", 3) != 0) return 0;
    // The size is four 7-bit bytes; a set top bit means this is no tag.
    uint64_t size = 0;
    for (int i = 6; i < 10; ++i) {
        if (tag[i] & 0x80) return 0;
        size = size << 7 | tag[i];
    }
    return kId3HeaderBytes + size + ((tag[5] & kId3FooterFlag) ? kId3FooterBytes : 0);
}

}  // namespace

uint32_t mpegFrameBytes(const uint8_t header[4]) {
    if (header[0] != 0xFF || (header[1] & 0xE0) != 0xE0) return 0;
    const int version = (header[1] >> 3) & 3;    // 0: MPEG-2.5, 1: reserved, 2: MPEG-2, 3: MPEG-1
    const int layerBits = (header[1] >> 1) & 3;  // 1: III, 2: II, 3: I, 0: reserved
    const int bitRateIndex = header[2] >> 4;
    const int rateIndex = (header[2] >> 2) & 3;
    if (version == 1 || layerBits == 0 || bitRateIndex == 0 || bitRateIndex == 15 ||
        rateIndex == 3) {
        return 0;
    }
    const int layer = 4 - layerBits;
    const bool mpeg1 = version == 3;
    const uint32_t bitRate = kBitRates[mpeg1 ? 0 : 1][layer - 1][bitRateIndex] * 1000u;
    const uint32_t sampleRate = kMpeg1SampleRates[rateIndex] >> (mpeg1 ? 0 : version == 2 ? 1 : 2);
    const uint32_t padding = (header[2] >> 1) & 1;
    if (layer == 1) return (12 * bitRate / sampleRate + padding) * 4;
    // Layer III frames of MPEG-2 and 2.5 hold half as many samples.
    const uint32_t samplesPerFrameOver8 = (layer == 3 && !mpeg1) ? 72 : 144;
    return samplesPerFrameOver8 * bitRate / sampleRate + padding;
}

bool startsAsMp3(FILE* file) {
    const off_t start = ftello(file);
    const uint64_t first = audioOffset(file);
    uint8_t header[4];
    uint8_t next[4];
    uint32_t length = 0;
    bool found = readAt(file, first, header, sizeof header) &&
                 (length = mpegFrameBytes(header)) != 0 &&
                 readAt(file, first + length, next, sizeof next) && mpegFrameBytes(next) != 0 &&
                 // Version, layer and sample rate stay the same from frame to frame.
                 (next[1] & 0xFE) == (header[1] & 0xFE) && (next[2] & 0x0C) == (header[2] & 0x0C);
    if (start < 0 || fseeko(file, start, SEEK_SET) != 0) return false;
    return found;
}
