// Whether a file begins as an MP3 stream, found from a few bytes at its start: the
// decoder behind the music would otherwise take anything it does not know for a tracker
// module and read it whole, however large, before the first frame is drawn.
#pragma once

#include <cstdint>
#include <cstdio>

// An MPEG audio frame header: the frame's length in bytes, or 0 when the four bytes are
// no header (no sync, a reserved version, layer, rate or bit-rate index, free format).
uint32_t mpegFrameBytes(const uint8_t header[4]);

// True when `file` holds, after an optional ID3v2 tag, two MPEG audio frame headers in a
// row. It reads at most 10 + 4 + 4 bytes and leaves the position where it found it.
bool startsAsMp3(FILE* file);
