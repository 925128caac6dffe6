// Whole files in memory: the file is opened as a regular file only (a FIFO or a device
// is refused at once) and mapped read-only; the mapping outlives the descriptor.
#include "render/file_bytes.h"

#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include "base/regular_file.h"

FileBytes::~FileBytes() {
    if (data != nullptr) munmap(const_cast<uint8_t*>(data), size);
}

bool FileBytes::open(const char* path) {
    int file = openRegularFile(path);
    if (file < 0) return false;
    struct stat fileStats {};
    bool opened = fstat(file, &fileStats) == 0;
    size_t fileSize = opened ? static_cast<size_t>(fileStats.st_size) : 0;
    // An empty file cannot be mapped, and has nothing to map.
    if (opened && fileSize > 0) {
        void* view = mmap(nullptr, fileSize, PROT_READ, MAP_PRIVATE, file, 0);
        opened = view != MAP_FAILED;
        if (opened) {
            data = static_cast<const uint8_t*>(view);
            size = fileSize;
        }
    }
    close(file);
    return opened;
}
