// Writing a decoded picture as Netpbm PAM or PNG.
#pragma once

#include <cstdint>
#include <string>

// Decoded pixels as the demo hands them to GL: R,G,B(,A) rows without padding, the
// first row the bottom of the picture.
struct DecodedPicture {
    uint32_t width;
    uint32_t height;
    uint32_t channels;  // 3 or 4
    const uint8_t* pixels;
};

enum class PictureFormat { Pam, Png };

// The format that a file name's extension asks for (.pam or .png, any case).
bool pictureFormatFor(const std::string& path, PictureFormat& format);

// Writes the picture top row first, so that it looks as the demo shows it. On failure
// `error` says why and no file is left behind.
bool writePicture(const std::string& path, PictureFormat format, const DecodedPicture& picture,
                  std::string& error);
