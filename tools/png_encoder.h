// PNG files in memory, through libpng's simplified interface.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Encodes 3 (R,G,B) or 4 (R,G,B,A) channel pixels, rows without padding and the first
// row the bottom of the picture, as PNG with the top row first. No time stamp or other
// chunk that varies: the same pixels give the same bytes. On failure `error` says why.
bool encodePng(uint32_t width, uint32_t height, uint32_t channels, const uint8_t* pixels,
               std::vector<uint8_t>& png, std::string& error);
