// A whole file's content in memory, the one place the image readers get their bytes
// from: a regular file is mapped read-only, anything else read once to its end.
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

    // False when the file cannot be opened, mapped or read. An empty file gives no bytes.
    bool open(const char* path);

  private:
    void* mapping = nullptr;  // the view of a mapped file
    uint8_t* heap = nullptr;  // the bytes of a file that is read
};
