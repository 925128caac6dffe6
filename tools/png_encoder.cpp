// PNG encoding in memory: the size first, then the bytes.
#include "tools/png_encoder.h"

#include <png.h>

#include <cstring>

bool encodePng(uint32_t width, uint32_t height, uint32_t channels, const uint8_t* pixels,
               std::vector<uint8_t>& png, std::string& error) {
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    image.width = width;
    image.height = height;
    image.format = channels == 4 ? PNG_FORMAT_RGBA : PNG_FORMAT_RGB;
    // A negative stride tells libpng that the buffer holds the bottom row first.
    const auto stride = -static_cast<png_int_32>(size_t{width} * channels);
    png_alloc_size_t size = 0;
    if (png_image_write_to_memory(&image, nullptr, &size, 0, pixels, stride, nullptr) == 0) {
        error = image.message;
        return false;
    }
    png.resize(size);
    if (png_image_write_to_memory(&image, png.data(), &size, 0, pixels, stride, nullptr) == 0) {
        error = image.message;
        png.clear();
        return false;
    }
    png.resize(size);
    return true;
}
