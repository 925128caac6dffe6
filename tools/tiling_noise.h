// Seeded randomness and noise that wraps around a square, for textures that tile.
// Nothing from outside the program (time, devices) goes in, so every run gives the
// same values.
#pragma once

#include <cstdint>

// splitmix64: small, fast and the same on every platform.
struct SeededRandom {
    uint64_t state;

    uint64_t next();
    // Uniform in [0, 1).
    double unit();
};

// A well-mixed 64-bit value for a lattice point and a seed.
uint64_t hashLattice(int x, int y, uint64_t seed);

// Gradient noise on a lattice of `period` x `period` cells that repeats every period
// cells in x and y; roughly -1 to 1.
double tilingGradientNoise(double x, double y, int period, uint64_t seed);

// Octaves of tiling gradient noise over the unit square (u, v in [0, 1)), the first with
// `baseCells` cells across, each next one twice as fine and `gain` times as strong.
// Normalised to roughly -1 to 1; repeats seamlessly at the square's edges.
double tilingFractalNoise(double u, double v, int baseCells, int octaves, double gain,
                          uint64_t seed);

// Cellular noise over the unit square: one jittered feature point per cell of a
// `cells` x `cells` grid, wrapping at the edges. Distances are in cell widths.
struct CellularSample {
    double nearest;
    double secondNearest;
    uint64_t nearestCell;  // hash of the cell whose point is nearest
};
CellularSample tilingCellular(double u, double v, int cells, uint64_t seed);
