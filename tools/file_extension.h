// File-name extensions, which pick the readers and writers of the asset tool.
#pragma once

#include <strings.h>

#include <cstring>
#include <string>

// True when `path` ends in `extension` (with its dot), in any case: ".tga" and ".TGA".
inline bool hasExtension(const std::string& path, const char* extension) {
    size_t length = std::strlen(extension);
    return path.size() > length && strcasecmp(path.c_str() + path.size() - length, extension) == 0;
}
