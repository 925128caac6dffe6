// What the kernel says about this process in /proc/self: its open files, and its
// mappings and their flags.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

inline size_t openFileCount() {
    size_t count = 0;
    for ([[maybe_unused]] auto& entry : std::filesystem::directory_iterator("/proc/self/fd")) {
        ++count;
    }
    return count;
}

// Whether any mapping of the process is of the file at `path`.
inline bool fileIsMapped(const std::string& path) {
    std::error_code error;
    std::string target = std::filesystem::canonical(path, error).string();
    if (error) return false;  // a file that is not there is not mapped by its name
    std::ifstream maps("/proc/self/maps");
    std::string line;
    while (std::getline(maps, line)) {
        if (line.size() > target.size() &&
            line.compare(line.size() - target.size(), target.size(), target) == 0) {
            return true;
        }
    }
    return false;
}

// Whether the mapping that holds `address` is advised for huge pages (the "hg" flag).
inline bool advisedForHugePages(const void* address) {
    std::ifstream smaps("/proc/self/smaps");
    auto target = reinterpret_cast<uintptr_t>(address);
    bool inside = false;
    std::string line;
    while (std::getline(smaps, line)) {
        uintptr_t start = 0;
        uintptr_t end = 0;
        char dash = 0;
        std::istringstream range(line);
        if (range >> std::hex >> start >> dash >> end && dash == '-') {
            inside = start <= target && target < end;
        } else if (inside && line.rfind("VmFlags:", 0) == 0) {
            return (line + " ").find(" hg ") != std::string::npos;
        }
    }
    return false;
}
