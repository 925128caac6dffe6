// FNV-1a over bytes, as 16 hex digits: a short name for a large result a test pins.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

inline std::string fnv1aHex(const void* data, size_t size) {
    const uint8_t* bytes = static_cast<const uint8_t*>(data);
    uint64_t hash = 0xCBF29CE484222325u;
    for (size_t i = 0; i < size; ++i) hash = (hash ^ bytes[i]) * 0x100000001B3u;
    char text[17];
    std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(hash));
    return text;
}
