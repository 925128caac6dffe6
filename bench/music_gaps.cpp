// Silent gaps in a recording of the music: runs of at least 10 ms in which every sample
// is digital silence, between the first and the last sound. A sink that runs dry while
// a stream is playing fills in exact zeros, so an underrun shows as such a run, while the
// tune itself never falls that silent once it has begun.
// Usage: music_gaps RAW   (signed 16-bit little-endian, stereo, 44100 Hz)
// Prints: "SECONDS GAPS SILENT_MS LONGEST_MS".
#include <cstdint>
#include <cstdio>
#include <vector>

#include "tools/raw_recording.h"

namespace {

const int kShortestGap = kRecordingRate / 100;

bool silentFrame(const std::vector<int16_t>& samples, size_t frame) {
    for (int c = 0; c < kRecordingChannels; ++c) {
        if (!isSilent(samples[frame * kRecordingChannels + c])) return false;
    }
    return true;
}

// The silent runs between the recording's first and last sound.
struct Gaps {
    double seconds;  // from the first sound to the last
    long count;
    long silentFrames;
    long longestFrames;
};

Gaps findGaps(const std::vector<int16_t>& samples) {
    size_t frames = samples.size() / kRecordingChannels;
    size_t first = 0;
    while (first < frames && silentFrame(samples, first)) ++first;
    size_t last = frames;
    while (last > first && silentFrame(samples, last - 1)) --last;
    Gaps gaps{static_cast<double>(last - first) / kRecordingRate, 0, 0, 0};
    long run = 0;
    for (size_t frame = first; frame <= last; ++frame) {
        if (frame < last && silentFrame(samples, frame)) {
            ++run;
            continue;
        }
        if (run >= kShortestGap) {
            ++gaps.count;
            gaps.silentFrames += run;
            if (run > gaps.longestFrames) gaps.longestFrames = run;
        }
        run = 0;
    }
    return gaps;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 2) {
        Gaps gaps = findGaps(readRecording(argv[1]));
        std::printf("%.1f %ld %ld %ld\n", gaps.seconds, gaps.count,
                    gaps.silentFrames * 1000 / kRecordingRate,
                    gaps.longestFrames * 1000 / kRecordingRate);
        return 0;
    }
    std::fprintf(stderr, "Usage: music_gaps RAW\n");
    return 2;
}
