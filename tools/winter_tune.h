// The demo's music: a medley of public-domain winter songs, bell and piano melodies over
// piano chords, bass and sleigh bells. "Jingle Bells" (James Lord Pierpont, 1857), verse
// and chorus; "Deck the Halls" (the Welsh air "Nos Galan"); "Good King Wenceslas" (the
// melody "Tempus adest floridum", Piae Cantiones, 1582); "We Wish You a Merry Christmas"
// (English traditional), twice; and the "Jingle Bells" chorus again, in octaves.
#pragma once

#include <cstdint>
#include <vector>

constexpr int kTuneSampleRate = 44100;
constexpr int kTuneChannels = 2;
// The demo plays the piece six times over: long enough that it rarely goes quiet.
constexpr double kTuneSeconds = 176.5;

// Interleaved 16-bit stereo samples (left first), kTuneSeconds long, peaking just below
// full scale. The same samples on every call.
std::vector<int16_t> synthesizeWinterTune();
