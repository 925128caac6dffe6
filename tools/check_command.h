// snowdemo-assets check [DIR]: what the demo will get from each file it reads in DIR.
#pragma once

extern const char* const kCheckHelp;

// argv: "check" and an optional DIR (default: the working directory). Returns the exit
// status: 0 when every file loads, 1 otherwise.
int runCheckCommand(int argc, char** argv);
