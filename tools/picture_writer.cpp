// PAM and PNG writers for decoded pictures, which keep their first row at the bottom.
#include "tools/picture_writer.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <vector>

#include "tools/file_extension.h"
#include "tools/png_encoder.h"

namespace {

size_t rowBytes(const DecodedPicture& picture) {
    return size_t{picture.width} * picture.channels;
}

bool writePam(FILE* file, const DecodedPicture& picture) {
    std::fprintf(file, "P7\nWIDTH %u\nHEIGHT %u\nDEPTH %u\nMAXVAL 255\nTUPLTYPE %s\nENDHDR\n",
                 picture.width, picture.height, picture.channels,
                 picture.channels == 4 ? "RGB_ALPHA" : "RGB");
    const size_t stride = rowBytes(picture);
    for (uint32_t row = picture.height; row-- > 0;) {
        std::fwrite(picture.pixels + row * stride, 1, stride, file);
    }
    return std::ferror(file) == 0;
}

bool writePng(FILE* file, const DecodedPicture& picture, std::string& error) {
    std::vector<uint8_t> png;
    if (!encodePng(picture.width, picture.height, picture.channels, picture.pixels, png, error)) {
        return false;
    }
    return std::fwrite(png.data(), 1, png.size(), file) == png.size();
}

}  // namespace

bool pictureFormatFor(const std::string& path, PictureFormat& format) {
    if (hasExtension(path, ".pam")) {
        format = PictureFormat::Pam;
        return true;
    }
    if (hasExtension(path, ".png")) {
        format = PictureFormat::Png;
        return true;
    }
    return false;
}

bool writePicture(const std::string& path, PictureFormat format, const DecodedPicture& picture,
                  std::string& error) {
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) {
        error = std::strerror(errno);
        return false;
    }
    struct stat status;
    bool regular = fstat(fileno(file), &status) == 0 && S_ISREG(status.st_mode);
    bool written =
        format == PictureFormat::Pam ? writePam(file, picture) : writePng(file, picture, error);
    if (std::fclose(file) != 0) written = false;
    if (!written) {
        if (error.empty()) error = std::strerror(errno);
        // Half a picture is worse than none; a device or a pipe is not ours to remove.
        if (regular) std::remove(path.c_str());
    }
    return written;
}
