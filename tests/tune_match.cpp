// Whether a recording of the sound server's sink holds the tune: where in the recording
// the tune begins, and how closely the recording follows it from there.
// Usage: tune_match TUNE RECORDING   (both raw signed 16-bit little-endian, stereo, 44100 Hz)
// Prints: "START CORRELATION", START in seconds from the recording's beginning, and the
// correlation of the left channels from a second after that to the recording's last sound;
// or "none 0" when the recording stays silent.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "tools/raw_recording.h"

namespace {

const int kRate = kRecordingRate;
// How far from where the first sounds line up the tune may begin: the decoders before the
// mixer and lame start it a few hundred samples apart, and a recording that began after
// the music lacks its start.
const long kSearch = kRate / 2;

std::vector<double> readLeft(const char* path) {
    std::vector<int16_t> samples = readRecording(path);
    std::vector<double> left;
    for (size_t i = 0; i < samples.size(); i += kRecordingChannels) left.push_back(samples[i]);
    return left;
}

long firstSound(const std::vector<double>& samples) {
    for (size_t i = 0; i < samples.size(); ++i) {
        if (!isSilent(static_cast<int>(samples[i]))) return static_cast<long>(i);
    }
    return -1;
}

// One past the last sample that is not silence.
long lastSound(const std::vector<double>& samples) {
    long end = static_cast<long>(samples.size());
    while (end > 0 && isSilent(static_cast<int>(samples[end - 1]))) --end;
    return end;
}

// Correlation of tune[from, from + count) with recording[from + lag, ...), on every
// `step`th sample.
double correlation(const std::vector<double>& tune, const std::vector<double>& recording, long lag,
                   long from, long count, long step = 1) {
    double st = 0, sr = 0, stt = 0, srr = 0, str = 0;
    long n = 0;
    for (long i = from; i < from + count; i += step) {
        long j = i + lag;
        if (i < 0 || j < 0 || i >= static_cast<long>(tune.size()) ||
            j >= static_cast<long>(recording.size())) {
            continue;
        }
        double t = tune[i], r = recording[j];
        st += t, sr += r, stt += t * t, srr += r * r, str += t * r;
        ++n;
    }
    if (n == 0) return 0;
    double vt = stt - st * st / n, vr = srr - sr * sr / n;
    if (vt <= 0 || vr <= 0) return 0;
    return (str - st * sr / n) / std::sqrt(vt * vr);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "Usage: tune_match TUNE RECORDING\n");
        return 2;
    }
    std::vector<double> tune = readLeft(argv[1]);
    std::vector<double> recording = readLeft(argv[2]);
    long tuneStart = firstSound(tune);
    long heard = firstSound(recording);
    if (tuneStart < 0 || heard < 0) {
        std::printf("none 0\n");
        return 0;
    }
    // The lag that lines up half a second from the tune's second second best. The first
    // may hold the seam where the player restarted the piece to give it its repeat count.
    const long from = tuneStart + kRate;
    // lineUp: the best lag within `reach` of `around`, trying every `step`th lag on every
    // `step`th sample; a coarse pass, then a fine one around its result.
    auto lineUp = [&](long around, long reach, long step) {
        long best = around;
        double bestValue = -2;
        for (long lag = around - reach; lag <= around + reach; lag += step) {
            double value = correlation(tune, recording, lag, from, kRate / 2, step);
            if (value > bestValue) bestValue = value, best = lag;
        }
        return best;
    };
    long best = lineUp(lineUp(heard - tuneStart, kSearch, 8), 16, 1);
    // Up to where the player stopped: the recording goes on in silence after that.
    long overlap = lastSound(recording) - best - from;
    std::printf("%.3f %.5f\n", static_cast<double>(best) / kRate,
                correlation(tune, recording, best, from, overlap));
    return 0;
}
