// Flagstones from tiling cellular noise, shaded in a warm grey ramp.
#include "tools/stone_texture.h"

#include <algorithm>
#include <cmath>

#include "tools/tiling_noise.h"

namespace {

constexpr uint64_t kStoneSeed = 0x5EED570Eu;
constexpr int kStonesAcross = 6;
constexpr double kMortarWidth = 0.07;  // in stone widths
constexpr double kBevelWidth = 0.22;
constexpr PaletteColour kMortar{38, 34, 31};
constexpr PaletteColour kPaleStone{196, 189, 176};

uint8_t mix(uint8_t a, uint8_t b, double t) {
    return static_cast<uint8_t>(std::lround(a + (b - a) * t));
}

}  // namespace

PalettePicture makeStoneTexture() {
    PalettePicture stone;
    for (int i = 0; i < kStonePaletteSize; ++i) {
        double t = static_cast<double>(i) / (kStonePaletteSize - 1);
        stone.palette.push_back({mix(kMortar.red, kPaleStone.red, t),
                                 mix(kMortar.green, kPaleStone.green, t),
                                 mix(kMortar.blue, kPaleStone.blue, t)});
    }
    stone.indices = Picture::blank(kStoneTextureSize, kStoneTextureSize, 1);
    for (int y = 0; y < kStoneTextureSize; ++y) {
        for (int x = 0; x < kStoneTextureSize; ++x) {
            double u = static_cast<double>(x) / kStoneTextureSize;
            double v = static_cast<double>(y) / kStoneTextureSize;
            CellularSample cell = tilingCellular(u, v, kStonesAcross, kStoneSeed);
            double edge = cell.secondNearest - cell.nearest;
            double brightness;
            if (edge < kMortarWidth) {
                brightness = 0.04 + 0.04 * tilingFractalNoise(u, v, 16, 2, 0.5, kStoneSeed + 7);
            } else {
                double tone = 0.45 + 0.35 * static_cast<double>(cell.nearestCell >> 48) / 65535.0;
                double grain = tilingFractalNoise(u, v, 8, 4, 0.55, kStoneSeed + 1);
                double bevel = std::clamp((edge - kMortarWidth) / kBevelWidth, 0.0, 1.0);
                brightness = (tone + 0.12 * grain) * (0.65 + 0.35 * bevel);
            }
            double level = std::clamp(brightness, 0.0, 1.0) * (kStonePaletteSize - 1);
            *stone.indices.at(x, y) = static_cast<uint8_t>(std::lround(level));
        }
    }
    return stone;
}
