// A whole file's content in memory, the one place the image readers get their bytes
// from: a regular file, mapped read-only.
#pragma once

#include <cstddef>
#include <cstdint>

struct FileBytes {
    const uint8_t* data = nullptr;
    size_t size = 0;

    FileBytes() = default;
    FileBytes(const FileBytes&) = delete;
    FileBytes& operator=(const FileBytes&) = delete;
    ~FileBytes();

    // False when the path is no regular file or cannot be opened or mapped. An empty file
    // gives no bytes.
    bool open(const char* path);
};
