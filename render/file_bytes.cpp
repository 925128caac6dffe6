// Whole files in memory: mapped when the file is regular, otherwise read to their end.
#include "render/file_bytes.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

#include "render/image_size.h"

namespace {

// A stream longer than twice the largest picture holds nothing a reader can use.
constexpr uint64_t kMaxStreamBytes = 2 * kMaxImageBytes;

// Reads `file` to its end into a growing heap block; false on a read error or when the
// stream outgrows kMaxStreamBytes or the memory.
bool readToEnd(int file, uint8_t*& bytes, size_t& size) {
    size_t capacity = 0;
    size = 0;
    for (;;) {
        if (size == capacity) {
            if (capacity >= kMaxStreamBytes) return false;
            size_t grown = capacity == 0 ? size_t{1} << 16 : capacity * 2;
            auto* block = static_cast<uint8_t*>(std::realloc(bytes, grown));
            if (!block) return false;
            bytes = block;
            capacity = grown;
        }
        ssize_t count = read(file, bytes + size, capacity - size);
        if (count == 0) return true;
        if (count < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        size += static_cast<size_t>(count);
    }
}

}  // namespace

FileBytes::~FileBytes() {
    if (mapping) munmap(mapping, size);
    std::free(heap);
}

bool FileBytes::open(const char* path) {
    int file = ::open(path, O_RDONLY | O_CLOEXEC);
    if (file < 0) return false;
    struct stat fileStats {};
    bool opened = fstat(file, &fileStats) == 0;
    if (opened && S_ISREG(fileStats.st_mode)) {
        size = static_cast<size_t>(fileStats.st_size);
        // An empty file cannot be mapped, and has nothing to map.
        if (size > 0) {
            void* view = mmap(nullptr, size, PROT_READ, MAP_PRIVATE, file, 0);
            opened = view != MAP_FAILED;
            mapping = opened ? view : nullptr;
            data = static_cast<const uint8_t*>(mapping);
        }
    } else if (opened) {
        // A pipe or a device has no size to map: its bytes are read as they come.
        opened = readToEnd(file, heap, size);
        data = heap;
    }
    close(file);
    if (!opened) size = 0;
    return opened;
}
