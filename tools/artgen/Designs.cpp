#include "Designs.h"

#include <QPainter>

#include <cmath>
#include <numbers>
#include <vector>

namespace artgen {

Rgb loopGradient(std::initializer_list<std::pair<float, Rgb>> stops, float v) {
    const std::vector<std::pair<float, Rgb>> s(stops);
    const std::size_t n = s.size();
    for (std::size_t i = 0; i < n; ++i) {
        const auto& [p0, c0] = s[i];
        const auto& [p1raw, c1] = s[(i + 1) % n];
        const float p1 = (i + 1 == n) ? p1raw + 1.0f : p1raw;
        float t = v;
        if (t < p0) {
            t += 1.0f; // before the first stop: on the wrapped span from the last stop
        }
        if (t >= p0 && t < p1) {
            return mix(c0, c1, smoothstep(0.0f, 1.0f, (t - p0) / (p1 - p0)));
        }
    }
    return s.front().second;
}

void addMoon(Field& field, const TileNoise& noise, QPointF at, double radius, Rgb glow, Rgb light) {
    Mask halo = Mask::painted(kTileWidth, kTileHeight, [&](QPainter& p) {
        p.setPen(Qt::NoPen);
        p.setBrush(Qt::black);
        p.drawEllipse(at, radius * 2.2, radius * 2.2);
    });
    halo.blur(static_cast<int>(radius));
    field.glow(halo, glow, 0.5f);
    Mask disc = Mask::painted(kTileWidth, kTileHeight, [&](QPainter& p) {
        p.setPen(Qt::NoPen);
        p.setBrush(Qt::black);
        p.drawEllipse(at, radius, radius);
    });
    // Soft-edged, with the faint grey seas of the full moon.
    disc.blur(1);
    const Rgb seas = light * 0.9f;
    field.lay(
        disc,
        [&](int x, int y) {
            const float n = noise.fbm(tileU(x) + 0.5f, tileV(y), 12, 32, 2);
            return mix(light, seas, smoothstep(0.05f, 0.5f, n));
        },
        0.92f);
}

// A quiet ground: a wash that swells towards the glow colour and back down the tile.
void washGround(Field& field, const TileNoise& noise, Rgb ground, Rgb glow, float phase) {
    field.fill([&](int x, int y) {
        const float u = tileU(x);
        const float v = tileV(y);
        const float swell = 0.5f + 0.5f * std::cos(2.0f * std::numbers::pi_v<float> * (v - phase));
        const float cloud = 0.5f + 0.5f * noise.fbm(u, v, 2, 6, 5);
        return mix(ground, glow, clamp01(0.55f * swell * (0.6f + 0.6f * cloud)));
    });
}

} // namespace artgen
