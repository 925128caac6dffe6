// Snow textures from tiling fractal noise.
#include "tools/snow_textures.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "tools/tiling_noise.h"

namespace {

constexpr uint64_t kSnowSeed = 0x5EED5A0Bu;
constexpr uint64_t kReliefSeed = 0x5EED4E11u;
constexpr int kSparkleCount = 300;
// How steep the relief is: larger tilts the normals further from the surface normal.
constexpr double kReliefStrength = 9.0;

uint8_t toByte(double value) {
    return static_cast<uint8_t>(std::lround(std::clamp(value, 0.0, 1.0) * 255.0));
}

int wrap(int value) {
    return (value + kSnowTextureSize) % kSnowTextureSize;
}

}  // namespace

Picture makeSnowTexture() {
    Picture picture = Picture::blank(kSnowTextureSize, kSnowTextureSize, 3);
    for (int y = 0; y < kSnowTextureSize; ++y) {
        for (int x = 0; x < kSnowTextureSize; ++x) {
            double u = static_cast<double>(x) / kSnowTextureSize;
            double v = static_cast<double>(y) / kSnowTextureSize;
            double drift = tilingFractalNoise(u, v, 4, 5, 0.5, kSnowSeed);
            double grain = tilingFractalNoise(u, v, 64, 2, 0.5, kSnowSeed + 100);
            double brightness = 0.90 + 0.06 * drift + 0.025 * grain;
            // Hollows of the drifts lie in shadow, which snow turns blue.
            double shadow = std::clamp(0.5 - drift, 0.0, 1.0);
            uint8_t* pixel = picture.at(x, y);
            pixel[0] = toByte(brightness - 0.07 * shadow);
            pixel[1] = toByte(brightness - 0.03 * shadow);
            pixel[2] = toByte(brightness + 0.03);
        }
    }
    SeededRandom random{kSnowSeed};
    for (int i = 0; i < kSparkleCount; ++i) {
        int x = static_cast<int>(random.next() % kSnowTextureSize);
        int y = static_cast<int>(random.next() % kSnowTextureSize);
        uint8_t* pixel = picture.at(x, y);
        pixel[0] = pixel[1] = pixel[2] = 255;
    }
    return picture;
}

Picture makeSnowNormalMap() {
    const int size = kSnowTextureSize;
    std::vector<double> height(static_cast<size_t>(size) * size);
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            double u = static_cast<double>(x) / size;
            double v = static_cast<double>(y) / size;
            // Rounded lumps with fine crust on top.
            height[static_cast<size_t>(y) * size + x] =
                0.7 * tilingFractalNoise(u, v, 8, 3, 0.5, kReliefSeed) +
                0.3 * tilingFractalNoise(u, v, 32, 3, 0.5, kReliefSeed + 10);
        }
    }
    auto h = [&](int x, int y) { return height[static_cast<size_t>(wrap(y)) * size + wrap(x)]; };

    Picture picture = Picture::blank(size, size, 3);
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            // Central differences that wrap, so the map stays seamless.
            double slopeX = (h(x + 1, y) - h(x - 1, y)) * 0.5 * kReliefStrength;
            double slopeY = (h(x, y + 1) - h(x, y - 1)) * 0.5 * kReliefStrength;
            double nx = -slopeX;
            double ny = -slopeY;
            double nz = 1.0;
            double length = std::sqrt(nx * nx + ny * ny + nz * nz);
            uint8_t* pixel = picture.at(x, y);
            pixel[0] = toByte((nx / length) * 0.5 + 0.5);
            pixel[1] = toByte((ny / length) * 0.5 + 0.5);
            pixel[2] = toByte((nz / length) * 0.5 + 0.5);
        }
    }
    return picture;
}
