// Opening a file that a reader reads whole: only a regular file is opened, and finding
// out never blocks (a FIFO without a writer, a device).
#pragma once

#include <cstdio>

// A descriptor open for reading (close-on-exec), or -1 when `path` cannot be opened or is
// not a regular file.
int openRegularFile(const char* path);

// The same as a stream for binary reading, or null.
FILE* openRegularStream(const char* path);
