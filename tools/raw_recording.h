// A sound server's recording as the bench and the tests take it (parec's default raw
// format): signed 16-bit little-endian samples, two channels interleaved, 44100 Hz.
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

constexpr int kRecordingRate = 44100;
constexpr int kRecordingChannels = 2;
// Dither and rounding stay within this; a sink that runs dry fills in exact zeros.
constexpr int kDigitalSilence = 2;

// Every sample of the file, interleaved; empty when it cannot be read.
inline std::vector<int16_t> readRecording(const char* path) {
    std::vector<int16_t> samples;
    FILE* file = std::fopen(path, "rb");
    if (file == nullptr) return samples;
    int16_t block[4096];
    size_t got;
    while ((got = std::fread(block, sizeof block[0], 4096, file)) > 0) {
        samples.insert(samples.end(), block, block + got);
    }
    std::fclose(file);
    return samples;
}

inline bool isSilent(int sample) {
    return std::abs(sample) <= kDigitalSilence;
}
