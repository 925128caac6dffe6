// The demo's music: the chorus of "Jingle Bells" (James Lord Pierpont, 1857, in the
// public domain), a bell melody over piano chords, bass and sleigh bells.
#pragma once

#include <cstdint>
#include <vector>

constexpr int kTuneSampleRate = 44100;
constexpr int kTuneChannels = 2;
constexpr double kTuneSeconds = 30.0;

// Interleaved 16-bit stereo samples (left first), kTuneSeconds long, peaking just below
// full scale. The same samples on every call.
std::vector<int16_t> synthesizeWinterTune();
