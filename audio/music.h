// Background music: a small stand-in for the old stream-sound interface, on SDL2_mixer.
// Every call tolerates what came before it failing; the demo then runs silently.
#pragma once

struct MusicStream;

// Makes the next musicInit mix into no device: for opening streams only to look at them.
void musicChooseSilentOutput();
// Starts the output: mixing rate in Hz and the number of mixing channels.
bool musicInit(int mixRate, int channels);
// Opens an MP3 file to be streamed from disk; null when it cannot be opened, does not
// begin as MP3 or cannot be decoded.
MusicStream* musicStreamOpen(const char* path);
// Starts the stream playing; the channel is accepted for the old interface's sake.
bool musicStreamPlay(int channel, MusicStream* stream);
// How many more times the piece plays after it ends; may be set while it plays.
bool musicStreamSetLoopCount(MusicStream* stream, int loopCount);
// The length of one play in seconds; negative when it is not known.
double musicStreamSeconds(MusicStream* stream);
