#include "TileNoise.h"

#include <cmath>

namespace artgen {

namespace {

std::uint32_t hash3(std::uint32_t a, std::uint32_t b, std::uint32_t seed) {
    std::uint32_t h = a * 0x8DA6B343u ^ b * 0xD8163841u ^ seed * 0xCB1AB31Fu;
    h ^= h >> 16;
    h *= 0x7FEB352Du;
    h ^= h >> 15;
    h *= 0x846CA68Bu;
    h ^= h >> 16;
    return h;
}

// Sixteen evenly spread unit gradients, written out so that no libm call decides the picture.
constexpr float kGrad[16][2] = {
    {1.0f, 0.0f},  {0.9239f, 0.3827f},   {0.7071f, 0.7071f},   {0.3827f, 0.9239f},
    {0.0f, 1.0f},  {-0.3827f, 0.9239f},  {-0.7071f, 0.7071f},  {-0.9239f, 0.3827f},
    {-1.0f, 0.0f}, {-0.9239f, -0.3827f}, {-0.7071f, -0.7071f}, {-0.3827f, -0.9239f},
    {0.0f, -1.0f}, {0.3827f, -0.9239f},  {0.7071f, -0.7071f},  {0.9239f, -0.3827f},
};

float fade(float t) {
    return t * t * t * (t * (t * 6.0f - 15.0f) + 10.0f);
}

int wrap(int i, int period) {
    const int m = i % period;
    return m < 0 ? m + period : m;
}

} // namespace

float TileNoise::corner(int ix, int iy, float dx, float dy) const {
    const auto& g =
        kGrad[hash3(static_cast<std::uint32_t>(ix), static_cast<std::uint32_t>(iy), m_seed) & 15u];
    return g[0] * dx + g[1] * dy;
}

float TileNoise::at(float x, float y, int px, int py) const {
    const float fx = std::floor(x);
    const float fy = std::floor(y);
    const int x0 = static_cast<int>(fx);
    const int y0 = static_cast<int>(fy);
    const float dx = x - fx;
    const float dy = y - fy;
    const int ax = wrap(x0, px);
    const int bx = wrap(x0 + 1, px);
    const int ay = wrap(y0, py);
    const int by = wrap(y0 + 1, py);
    const float n00 = corner(ax, ay, dx, dy);
    const float n10 = corner(bx, ay, dx - 1.0f, dy);
    const float n01 = corner(ax, by, dx, dy - 1.0f);
    const float n11 = corner(bx, by, dx - 1.0f, dy - 1.0f);
    const float u = fade(dx);
    const float v = fade(dy);
    const float top = n00 + (n10 - n00) * u;
    const float bottom = n01 + (n11 - n01) * u;
    return 1.4f * (top + (bottom - top) * v);
}

float TileNoise::fbm(float u, float v, int cx, int cy, int octaves, float gain) const {
    float sum = 0.0f;
    float amplitude = 1.0f;
    float norm = 0.0f;
    for (int o = 0; o < octaves; ++o) {
        const int px = cx << o;
        const int py = cy << o;
        // A different offset per octave keeps lattice points of the octaves from lining up.
        sum += amplitude * at(u * px + 0.37f * o, v * py + 0.71f * o, px, py);
        norm += amplitude;
        amplitude *= gain;
    }
    return sum / norm;
}

float TileNoise::ridged(float u, float v, int cx, int cy, int octaves) const {
    float sum = 0.0f;
    float amplitude = 1.0f;
    float norm = 0.0f;
    for (int o = 0; o < octaves; ++o) {
        const int px = cx << o;
        const int py = cy << o;
        const float n = 1.0f - std::fabs(at(u * px + 0.53f * o, v * py + 0.29f * o, px, py));
        sum += amplitude * n * n;
        norm += amplitude;
        amplitude *= 0.5f;
    }
    return sum / norm;
}

} // namespace artgen
