// snowdemo-assets decode FILE OUT: a data file as the demo's own reader decodes it.
#pragma once

extern const char* const kDecodeHelp;

// argv: "decode", FILE, OUT. Returns the exit status.
int runDecodeCommand(int argc, char** argv);
