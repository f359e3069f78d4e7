#include "Designs.h"

#include "tools/common/Rng.h"

#include <QPainter>

#include <cmath>
#include <numbers>

namespace artgen {

using generators::Rng;

namespace {

constexpr float kTwoPi = 2.0f * std::numbers::pi_v<float>;

float wrapDelta(float d, float period) {
    d = std::fmod(d, period);
    if (d > period / 2.0f) {
        d -= period;
    } else if (d < -period / 2.0f) {
        d += period;
    }
    return d;
}

// A thin line of the given half width at distance `d` from its centre, antialiased.
float lineAt(float d, float halfWidth) {
    return smoothstep(halfWidth + 0.7f, halfWidth - 0.7f, d);
}

} // namespace

Field wavePattern(const WaterStyle& style) {
    // Scales of concentric arcs, row over row: each row is drawn over the one above, so a
    // pixel shows the lowest row whose scale covers it.
    constexpr float kRadius = 30.0f;
    constexpr float kCellWidth = 60.0f; // four scales across the tile
    constexpr float kRowStep = 20.0f;   // 32 rows down the tile
    constexpr int kRows = static_cast<int>(kTileHeight / kRowStep);
    TileNoise noise(style.seed);
    Field field(kTileWidth, kTileHeight);
    field.fill([&](int x, int y) {
        const float fx = static_cast<float>(x) + 0.5f;
        const float fy = static_cast<float>(y) + 0.5f;
        const int lowest = static_cast<int>(std::floor(fy / kRowStep));
        for (int r = lowest + 1; r >= lowest - 2; --r) {
            const int row = ((r % kRows) + kRows) % kRows;
            const float cy = static_cast<float>(r) * kRowStep;
            const float shift = (row % 2 == 0) ? 0.0f : kCellWidth / 2.0f;
            const float dx = wrapDelta(fx - shift, kCellWidth);
            const float dy = fy - cy;
            const float d = std::hypot(dx, dy);
            if (dy > 0.0f || d > kRadius) {
                continue;
            }
            // This scale covers the pixel: draw its arcs, a little uneven like a hand print.
            const float wobble = 0.6f * noise.fbm(tileU(x), tileV(y), 24, 64, 2);
            const float ring = std::fmod(d + wobble, kRadius / 5.0f);
            const float arc = lineAt(std::min(ring, kRadius / 5.0f - ring), 0.7f);
            const float rim = lineAt(kRadius - d, 1.1f);
            // One scale in six is picked out in the accent thread.
            const int col = static_cast<int>(std::floor((fx - shift) / kCellWidth + 0.5f));
            std::uint32_t pick =
                static_cast<std::uint32_t>(row * 16 + (col % 4 + 4) % 4) + style.seed;
            pick = (pick ^ (pick >> 16)) * 0x45D9F3Bu;
            pick = (pick ^ (pick >> 16)) * 0x45D9F3Bu;
            pick ^= pick >> 16;
            const Rgb line = pick % 6 == 0 ? style.accent : style.line;
            const Rgb inside = mix(style.ground, line, 0.08f * (1.0f - d / kRadius));
            return mix(inside, line, std::max(arc * 0.75f, rim));
        }
        return style.ground;
    });
    return field;
}

Field ripples(const WaterStyle& style) {
    TileNoise noise(style.seed);
    Rng rng(style.seed + 11u);
    Field field(kTileWidth, kTileHeight);
    field.fill([&](int x, int y) {
        const float u = tileU(x);
        const float v = tileV(y);
        const float depth = 0.5f + 0.5f * noise.fbm(u, v, 2, 4, 3);
        const float caustic = noise.ridged(u, v, 3, 28, 3);
        const Rgb base = mix(style.ground, mix(style.ground, style.line, 0.35f), depth);
        return mix(base, style.line, 0.55f * smoothstep(0.72f, 0.98f, caustic));
    });
    // Rain rings, flattened by the low angle of view.
    Mask rings = Mask::painted(kTileWidth, kTileHeight, [&](QPainter& p) {
        p.setBrush(Qt::NoBrush);
        for (int i = 0; i < 14; ++i) {
            const QPointF c(rng.range(0, kTileWidth), rng.range(0, kTileHeight));
            const int count = 2 + rng.below(3);
            const double r0 = rng.range(6, 16);
            for (int k = 0; k < count; ++k) {
                const double r = r0 * (1.0 + 0.7 * k);
                p.setPen(QPen(QColor(0, 0, 0, 200 - 55 * k), 1.0));
                p.drawEllipse(c, r, r * 0.38);
            }
        }
    });
    field.lay(rings, style.accent, 0.7f);
    return field;
}

Field flowingWater(const WaterStyle& style) {
    // Currents are the level lines of y plus a periodic swell, so they run across the tile,
    // swerve around each other and join themselves at every edge.
    constexpr float kSpacing = 20.0f; // 32 currents down the tile
    TileNoise noise(style.seed);
    Field field(kTileWidth, kTileHeight);
    field.fill([&](int x, int y) {
        const float u = tileU(x);
        const float v = tileV(y);
        const float swell = 14.0f * std::sin(kTwoPi * (2.0f * u + v)) +
                            9.0f * std::sin(kTwoPi * (u - 3.0f * v) + 1.3f) +
                            22.0f * noise.fbm(u, v, 2, 4, 3);
        const float level = static_cast<float>(y) + 0.5f + swell;
        const float phase = std::fmod(std::fmod(level, kSpacing) + kSpacing, kSpacing);
        const float dist = std::min(phase, kSpacing - phase);
        const float strength = smoothstep(-0.4f, 0.3f, noise.fbm(u, v, 6, 12, 2));
        const float width = 0.3f + 0.5f * strength;
        const float current = lineAt(dist, width) * (0.25f + 0.55f * strength);
        const float depth = 0.5f + 0.5f * noise.fbm(u, v, 1, 3, 3);
        const Rgb ground = mix(style.ground, style.accent, 0.25f * depth);
        return mix(ground, style.line, current * 0.7f);
    });
    return field;
}

Field moonOnWater(const WaterStyle& style) {
    constexpr float kMoonX = 150.0f;
    constexpr float kMoonY = 110.0f;
    constexpr float kShore = 210.0f;
    TileNoise noise(style.seed);
    Field field(kTileWidth, kTileHeight);
    field.fill([&](int x, int y) {
        const float v = tileV(y);
        const Rgb sky = loopGradient({{0.0f, style.ground},
                                      {0.25f, mix(style.ground, style.line, 0.35f)},
                                      {0.33f, mix(style.ground, style.line, 0.2f)},
                                      {0.6f, style.ground}},
                                     v);
        const float wave = noise.ridged(tileU(x), v, 2, 40, 3);
        return mix(sky, style.line,
                   0.22f * smoothstep(0.8f, 1.0f, wave) *
                       smoothstep(kShore, kShore + 20.0f, static_cast<float>(y)));
    });
    addMoon(field, noise, QPointF(kMoonX, kMoonY), 19.0, style.line, style.accent);
    // The path of light: short glints, dense and bright under the moon, thinning with distance.
    Mask glints(kTileWidth, kTileHeight);
    glints.apply([&](int x, int y, float) {
        const float fy = static_cast<float>(y);
        if (fy < kShore + 6.0f) {
            return 0.0f;
        }
        const float spread = 8.0f + (fy - kShore) * 0.12f;
        const float across = std::exp(-std::pow((static_cast<float>(x) - kMoonX) / spread, 2.0f));
        const float sparkle = noise.ridged(tileU(x), tileV(y), 8, 120, 2);
        const float reach = std::exp(-(fy - kShore) / 260.0f);
        return across * reach * smoothstep(0.72f, 0.95f, sparkle);
    });
    field.glow(glints, style.accent, 0.9f);
    // The dark far shore that the moonlight comes across.
    field.apply([&](int x, int y, Rgb c) {
        const float shoreY =
            kShore - 6.0f - 10.0f * (0.5f + 0.5f * noise.fbm(tileU(x), 0.4f, 3, 1, 4));
        const float fy = static_cast<float>(y);
        const float land =
            smoothstep(shoreY - 1.0f, shoreY + 1.0f, fy) * smoothstep(kShore + 3.0f, kShore, fy);
        return mix(c, style.ground * 0.6f, land);
    });
    return field;
}

} // namespace artgen
