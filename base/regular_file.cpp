// Regular files only: the readers must not wait for ever on a FIFO or read a device.
#include "base/regular_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

int openRegularFile(const char* path) {
    // Without O_NONBLOCK, opening a FIFO waits for a writer; O_NOCTTY keeps a terminal
    // named by mistake from becoming the demo's.
    int file = open(path, O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (file < 0) return -1;
    struct stat fileStats {};
    int flags = -1;
    if (fstat(file, &fileStats) != 0 || !S_ISREG(fileStats.st_mode) ||
        (flags = fcntl(file, F_GETFL)) == -1 || fcntl(file, F_SETFL, flags & ~O_NONBLOCK) != 0) {
        close(file);
        return -1;
    }
    return file;
}

FILE* openRegularStream(const char* path) {
    int file = openRegularFile(path);
    if (file < 0) return nullptr;
    FILE* stream = fdopen(file, "rb");
    if (stream == nullptr) close(file);
    return stream;
}
