// MP3 writer on LAME's library interface.
#include "tools/mp3_encoder.h"

#include <lame/lame.h>

#include <algorithm>

#include "app/error_report.h"

namespace {

constexpr int kBitRate = 128;  // kbit/s
// LAME's scale of 0 (best, slowest) to 9: 7 is its fast setting, and at 128 kbit/s the
// synthesised tune sounds no different; it halves the time `generate` takes.
constexpr int kEncoderQuality = 7;
constexpr int kFramesPerCall = 1152 * 16;

void report(const char* text) {
    reportError(ReportOwner::None, text, "ERROR", kReportOk);
}

}  // namespace

bool encodeMp3(const std::vector<int16_t>& samples, int channels, int sampleRate,
               std::vector<uint8_t>& mp3) {
    lame_global_flags* lame = lame_init();
    if (!lame) {
        report("Could not start the MP3 encoder");
        return false;
    }
    lame_set_num_channels(lame, channels);
    lame_set_in_samplerate(lame, sampleRate);
    lame_set_out_samplerate(lame, sampleRate);
    lame_set_mode(lame, channels == 2 ? JOINT_STEREO : MONO);
    lame_set_VBR(lame, vbr_off);
    lame_set_brate(lame, kBitRate);
    lame_set_quality(lame, kEncoderQuality);
    // The info frame would need a second pass over the file, and tags are not wanted.
    lame_set_bWriteVbrTag(lame, 0);
    lame_set_write_id3tag_automatic(lame, 0);
    if (lame_init_params(lame) < 0) {
        report("The MP3 encoder refused its parameters");
        lame_close(lame);
        return false;
    }

    mp3.clear();
    // LAME's own bound for one call's output.
    std::vector<unsigned char> buffer(kFramesPerCall * 5 / 4 + 7200);
    std::vector<short> chunk;
    const size_t frames = samples.size() / channels;
    bool ok = true;
    for (size_t first = 0; first < frames && ok; first += kFramesPerCall) {
        const size_t count = std::min<size_t>(kFramesPerCall, frames - first);
        chunk.assign(samples.begin() + first * channels,
                     samples.begin() + (first + count) * channels);
        const int written =
            channels == 2
                ? lame_encode_buffer_interleaved(lame, chunk.data(), static_cast<int>(count),
                                                 buffer.data(), static_cast<int>(buffer.size()))
                : lame_encode_buffer(lame, chunk.data(), nullptr, static_cast<int>(count),
                                     buffer.data(), static_cast<int>(buffer.size()));
        if (written < 0) {
            ok = false;
        } else {
            mp3.insert(mp3.end(), buffer.begin(), buffer.begin() + written);
        }
    }
    if (ok) {
        const int written = lame_encode_flush(lame, buffer.data(), static_cast<int>(buffer.size()));
        if (written < 0) {
            ok = false;
        } else {
            mp3.insert(mp3.end(), buffer.begin(), buffer.begin() + written);
        }
    }
    if (!ok) report("The MP3 encoder failed");
    lame_close(lame);
    return ok;
}
