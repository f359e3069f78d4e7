#pragma once

#include <cstdint>

namespace artgen {

// Gradient noise that repeats exactly over a tile. Every picture is built on a torus so that
// the poem page can repeat it in both directions without a seam; the noise therefore wraps its
// lattice with an integer period per octave instead of merely looking random.
class TileNoise {
public:
    explicit TileNoise(std::uint32_t seed) : m_seed(seed) {}

    // Noise at lattice point (x, y) with a period of (px, py) cells; about [-1, 1].
    float at(float x, float y, int px, int py) const;

    // Fractal sum over a tile: (u, v) in tile units (the tile is [0, 1) both ways), the first
    // octave has (cx, cy) cells across the tile and each further octave doubles them, so the
    // sum keeps the tile's period. About [-1, 1].
    float fbm(float u, float v, int cx, int cy, int octaves, float gain = 0.5f) const;

    // Sharp-crested variant for mountain ridges and water light; [0, 1].
    float ridged(float u, float v, int cx, int cy, int octaves) const;

private:
    float corner(int ix, int iy, float dx, float dy) const;

    std::uint32_t m_seed;
};

} // namespace artgen
