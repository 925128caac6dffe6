// A picture in memory as the GL receives it: rows from the bottom up, pixels left to
// right, `channels` bytes each (R,G,B[,A], or one palette index).
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

struct Picture {
    int width = 0;
    int height = 0;
    int channels = 0;
    std::vector<uint8_t> pixels;

    static Picture blank(int width, int height, int channels) {
        Picture picture;
        picture.width = width;
        picture.height = height;
        picture.channels = channels;
        picture.pixels.assign(static_cast<size_t>(width) * height * channels, 0);
        return picture;
    }
    // Pixel (x, y) with y counted from the bottom row.
    uint8_t* at(int x, int y) {
        return pixels.data() + (static_cast<size_t>(y) * width + x) * channels;
    }
    const uint8_t* at(int x, int y) const {
        return pixels.data() + (static_cast<size_t>(y) * width + x) * channels;
    }
};

struct PaletteColour {
    uint8_t red;
    uint8_t green;
    uint8_t blue;
};
