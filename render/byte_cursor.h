// A bounded cursor over bytes in memory: the only way the file readers look at a file.
// Every step checks what is left first and fails instead of reading past the end.
#pragma once

#include <cstddef>
#include <cstdint>

struct ByteCursor {
    const uint8_t* data = nullptr;
    size_t size = 0;
    size_t offset = 0;

    size_t remaining() const { return size - offset; }
    bool has(uint64_t count) const { return count <= remaining(); }

    // Moves to an absolute position; false (and no move) past the end.
    bool seek(uint64_t position) {
        if (position > size) return false;
        offset = static_cast<size_t>(position);
        return true;
    }
    bool skip(uint64_t count) {
        if (!has(count)) return false;
        offset += static_cast<size_t>(count);
        return true;
    }
    // The next `count` bytes, or null when fewer are left; the cursor moves past them.
    const uint8_t* take(uint64_t count) {
        if (!has(count)) return nullptr;
        const uint8_t* bytes = data + offset;
        offset += static_cast<size_t>(count);
        return bytes;
    }
    bool u8(uint8_t& value) {
        const uint8_t* b = take(1);
        if (!b) return false;
        value = b[0];
        return true;
    }
    bool u16le(uint16_t& value) {
        const uint8_t* b = take(2);
        if (!b) return false;
        value = static_cast<uint16_t>(b[0] | (b[1] << 8));
        return true;
    }
    bool u32le(uint32_t& value) {
        const uint8_t* b = take(4);
        if (!b) return false;
        value = static_cast<uint32_t>(b[0]) | (static_cast<uint32_t>(b[1]) << 8) |
                (static_cast<uint32_t>(b[2]) << 16) | (static_cast<uint32_t>(b[3]) << 24);
        return true;
    }
    bool i32le(int32_t& value) {
        uint32_t raw = 0;
        if (!u32le(raw)) return false;
        value = static_cast<int32_t>(raw);
        return true;
    }
};
