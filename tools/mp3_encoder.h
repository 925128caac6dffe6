// MP3 encoding through LAME: MPEG-1 Layer III at a constant bit rate, frames only (no
// ID3 tag and no encoder info frame), so the same samples give the same bytes.
#pragma once

#include <cstdint>
#include <vector>

// Encodes interleaved 16-bit samples of 1 or 2 channels. False after a reported message
// when the encoder refuses the parameters or fails.
bool encodeMp3(const std::vector<int16_t>& samples, int channels, int sampleRate,
               std::vector<uint8_t>& mp3);
