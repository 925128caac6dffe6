// Tiling gradient and cellular noise over a seeded lattice hash.
#include "tools/tiling_noise.h"

#include <cmath>

namespace {

int wrap(int value, int period) {
    int r = value % period;
    return r < 0 ? r + period : r;
}

double fade(double t) {
    return t * t * t * (t * (t * 6.0 - 15.0) + 10.0);
}

double lerp(double a, double b, double t) {
    return a + (b - a) * t;
}

// Eight gradient directions: exact constants, so no trigonometry differs between runs.
constexpr double kDiagonal = 0.70710678118654752440;
constexpr double kGradients[8][2] = {{1, 0},
                                     {-1, 0},
                                     {0, 1},
                                     {0, -1},
                                     {kDiagonal, kDiagonal},
                                     {-kDiagonal, kDiagonal},
                                     {kDiagonal, -kDiagonal},
                                     {-kDiagonal, -kDiagonal}};

double cornerDot(int cx, int cy, double dx, double dy, uint64_t seed) {
    const double* g = kGradients[hashLattice(cx, cy, seed) & 7];
    return g[0] * dx + g[1] * dy;
}

}  // namespace

uint64_t SeededRandom::next() {
    state += 0x9E3779B97F4A7C15ull;
    uint64_t z = state;
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

double SeededRandom::unit() {
    return static_cast<double>(next() >> 11) * 0x1.0p-53;
}

uint64_t hashLattice(int x, int y, uint64_t seed) {
    SeededRandom random{seed ^ (static_cast<uint64_t>(static_cast<uint32_t>(x)) << 32) ^
                        static_cast<uint32_t>(y)};
    random.next();
    return random.next();
}

double tilingGradientNoise(double x, double y, int period, uint64_t seed) {
    double fx = std::floor(x);
    double fy = std::floor(y);
    int x0 = wrap(static_cast<int>(fx), period);
    int y0 = wrap(static_cast<int>(fy), period);
    int x1 = wrap(x0 + 1, period);
    int y1 = wrap(y0 + 1, period);
    double dx = x - fx;
    double dy = y - fy;
    double bottom =
        lerp(cornerDot(x0, y0, dx, dy, seed), cornerDot(x1, y0, dx - 1, dy, seed), fade(dx));
    double top = lerp(cornerDot(x0, y1, dx, dy - 1, seed), cornerDot(x1, y1, dx - 1, dy - 1, seed),
                      fade(dx));
    // 2D gradient noise stays within about +-0.7; stretch it towards +-1.
    return lerp(bottom, top, fade(dy)) * 1.4;
}

double tilingFractalNoise(double u, double v, int baseCells, int octaves, double gain,
                          uint64_t seed) {
    double sum = 0.0;
    double total = 0.0;
    double amplitude = 1.0;
    int cells = baseCells;
    for (int octave = 0; octave < octaves; ++octave) {
        sum += amplitude * tilingGradientNoise(u * cells, v * cells, cells, seed + octave);
        total += amplitude;
        amplitude *= gain;
        cells *= 2;
    }
    return sum / total;
}

CellularSample tilingCellular(double u, double v, int cells, uint64_t seed) {
    double x = u * cells;
    double y = v * cells;
    int cx = static_cast<int>(std::floor(x));
    int cy = static_cast<int>(std::floor(y));
    CellularSample sample{1e9, 1e9, 0};
    for (int oy = -1; oy <= 1; ++oy) {
        for (int ox = -1; ox <= 1; ++ox) {
            uint64_t cell = hashLattice(wrap(cx + ox, cells), wrap(cy + oy, cells), seed);
            // Keep the point inside the middle of its cell so neighbours stay distinct.
            double px = cx + ox + 0.15 + 0.7 * static_cast<double>(cell & 0xFFFF) / 65535.0;
            double py = cy + oy + 0.15 + 0.7 * static_cast<double>((cell >> 16) & 0xFFFF) / 65535.0;
            double distance = std::hypot(px - x, py - y);
            if (distance < sample.nearest) {
                sample.secondNearest = sample.nearest;
                sample.nearest = distance;
                sample.nearestCell = cell;
            } else if (distance < sample.secondNearest) {
                sample.secondNearest = distance;
            }
        }
    }
    return sample;
}
