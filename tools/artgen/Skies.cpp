#include "Designs.h"

#include "Brush.h"
#include "tools/common/Rng.h"

#include <QPainter>
#include <QPainterPath>

#include <cmath>
#include <numbers>

namespace artgen {

using generators::Rng;

namespace {

constexpr double kPi = std::numbers::pi;

// Deep sky with a slow swell of light, periodic down the tile.
void nightGround(Field& field, const TileNoise& noise, const SkyStyle& style) {
    field.fill([&](int x, int y) {
        const float v = tileV(y);
        const float swell = 0.5f + 0.5f * std::cos(static_cast<float>(2.0 * kPi) * (v - 0.35f));
        const float drift = 0.5f + 0.5f * noise.fbm(tileU(x), v, 2, 5, 4);
        return mix(style.deep, style.glow, 0.45f * swell * drift);
    });
}

// Round dots of light; `sizes` and `alpha` describe how large and bright they may be.
Mask lights(Rng& rng, int count, double minR, double maxR, int minAlpha, int maxAlpha,
            const std::function<bool(QPointF)>& keep = {}) {
    return Mask::painted(kTileWidth, kTileHeight, [&](QPainter& p) {
        p.setPen(Qt::NoPen);
        for (int i = 0; i < count; ++i) {
            const QPointF c(rng.range(0, kTileWidth), rng.range(0, kTileHeight));
            const double r = minR + (maxR - minR) * std::pow(rng.uniform(), 3.0);
            const int a = minAlpha + rng.below(maxAlpha - minAlpha + 1);
            if (keep && !keep(c)) {
                continue;
            }
            p.setBrush(QColor(0, 0, 0, a));
            p.drawEllipse(c, r, r);
        }
    });
}

// Distance across the river of heaven, which runs along the tile's diagonal so that it joins
// itself at every edge.
float acrossBand(float u, float v) {
    float d = std::fmod(u - v + 2.0f, 1.0f) - 0.5f;
    return std::fabs(d);
}

} // namespace

Field starryNight(const SkyStyle& style) {
    TileNoise noise(style.seed);
    Rng rng(style.seed + 5u);
    Field field(kTileWidth, kTileHeight);
    nightGround(field, noise, style);
    field.apply([&](int x, int y, Rgb c) {
        const float u = tileU(x);
        const float v = tileV(y);
        const float band = std::exp(-std::pow(acrossBand(u, v) / 0.11f, 2.0f));
        const float cloud = 0.5f + 0.5f * noise.fbm(u, v, 4, 6, 5);
        const float dust = smoothstep(0.55f, 0.9f, noise.ridged(u + 0.2f, v, 3, 5, 4));
        return mix(c, style.glow, clamp01(band * (0.7f * cloud - 0.35f * dust)));
    });
    Mask faint = lights(rng, 900, 0.35, 0.8, 60, 200);
    field.glow(faint, style.light, 0.55f);
    Mask banded = lights(rng, 700, 0.3, 0.7, 60, 180, [&](QPointF c) {
        return acrossBand(static_cast<float>(c.x() / kTileWidth),
                          static_cast<float>(c.y() / kTileHeight)) < 0.12f;
    });
    field.glow(banded, style.light, 0.5f);
    Mask bright = lights(rng, 40, 0.8, 1.6, 200, 255);
    Mask halo = bright;
    halo.blur(3);
    field.glow(halo, style.glow, 1.0f);
    field.glow(bright, style.light, 0.9f);
    return field;
}

Field cloudMoon(const SkyStyle& style) {
    TileNoise noise(style.seed);
    Field field(kTileWidth, kTileHeight);
    nightGround(field, noise, style);
    const QPointF moonAt(80, 150);
    // A crescent: the disc, less a slightly shifted disc.
    Mask crescent = Mask::painted(kTileWidth, kTileHeight, [&](QPainter& p) {
        QPainterPath disc;
        disc.addEllipse(moonAt, 20, 20);
        QPainterPath bite;
        bite.addEllipse(moonAt + QPointF(8, -5), 18, 18);
        p.setPen(Qt::NoPen);
        p.setBrush(Qt::black);
        p.drawPath(disc.subtracted(bite));
    });
    Mask halo = Mask::painted(kTileWidth, kTileHeight, [&](QPainter& p) {
        p.setPen(Qt::NoPen);
        p.setBrush(Qt::black);
        p.drawEllipse(moonAt, 36, 36);
    });
    halo.blur(22);
    field.glow(halo, style.glow, 0.6f);
    field.lay(crescent, style.light, 0.9f);
    // Clouds drifting in bands, their edges lit where the moon is near.
    field.apply([&](int x, int y, Rgb c) {
        const float u = tileU(x);
        const float v = tileV(y);
        const float bands =
            0.5f + 0.5f * std::sin(static_cast<float>(2.0 * kPi) * (3.0f * v + 0.1f));
        const float body = noise.fbm(u, v, 2, 10, 6) + 0.35f * (bands - 0.5f);
        const float cover = smoothstep(0.1f, 0.45f, body);
        const float rim = smoothstep(0.05f, 0.16f, body) - smoothstep(0.16f, 0.34f, body);
        const float dx = static_cast<float>(x) - static_cast<float>(moonAt.x());
        const float dy = static_cast<float>(y) - static_cast<float>(moonAt.y());
        const float near = std::exp(-(dx * dx + dy * dy) / (2.0f * 90.0f * 90.0f));
        const Rgb shade = mix(style.deep, style.glow, 0.3f);
        Rgb out = mix(c, shade, 0.7f * cover);
        return mix(out, style.light, clamp01(rim * (0.05f + 0.3f * near)));
    });
    return field;
}

Field fireflies(const SkyStyle& style) {
    TileNoise noise(style.seed);
    Rng rng(style.seed + 9u);
    Field field(kTileWidth, kTileHeight);
    nightGround(field, noise, style);
    // Tall grass rising from the foot of the tile, darkest nearest.
    for (int layer = 0; layer < 2; ++layer) {
        Mask grass = Mask::painted(kTileWidth, kTileHeight, [&](QPainter& p) {
            p.setPen(Qt::NoPen);
            p.setBrush(Qt::black);
            for (int i = 0; i < 90; ++i) {
                const double x = rng.range(0, kTileWidth);
                const double height = rng.range(60, layer == 0 ? 230 : 150);
                const double lean = rng.range(-40, 40);
                Stroke blade;
                const QPointF base(x, kTileHeight + 6);
                const QPointF tip = base + QPointF(lean, -height);
                const QPointF bend = base + QPointF(lean * 0.25, -height * 0.6);
                for (int k = 0; k <= 8; ++k) {
                    const double t = k / 8.0;
                    blade.spine.push_back((1 - t) * (1 - t) * base + 2 * (1 - t) * t * bend +
                                          t * t * tip);
                }
                blade.startWidth = static_cast<float>(rng.range(2.0, 3.6));
                blade.endWidth = 0.4f;
                drawStroke(p, blade);
            }
        });
        field.lay(grass, layer == 0 ? mix(style.deep, style.glow, 0.25f) : style.deep * 0.55f,
                  0.9f);
    }
    // The fireflies, each a point of light in a soft halo; a few leave a faint trail.
    Mask points = lights(rng, 55, 0.9, 1.8, 200, 255);
    Mask halo = points;
    halo.blur(5);
    field.glow(halo, style.light, 2.2f);
    field.glow(points, style.light, 0.95f);
    return field;
}

Field snowfall(const SkyStyle& style) {
    TileNoise noise(style.seed);
    Rng rng(style.seed + 3u);
    Field field(kTileWidth, kTileHeight);
    nightGround(field, noise, style);
    // Far flakes sharp and many; near flakes large, few and out of focus.
    Mask far = lights(rng, 700, 0.5, 1.1, 90, 200);
    field.glow(far, style.light, 0.45f);
    Mask mid = lights(rng, 160, 1.2, 2.2, 150, 230);
    mid.blur(1);
    field.glow(mid, style.light, 0.6f);
    Mask near = lights(rng, 22, 3.5, 6.0, 90, 160);
    near.blur(3);
    field.glow(near, style.light, 0.55f);
    return field;
}

Field rain(const SkyStyle& style) {
    TileNoise noise(style.seed);
    Rng rng(style.seed + 21u);
    Field field(kTileWidth, kTileHeight);
    nightGround(field, noise, style);
    // Lantern lights far off, blurred by the rain.
    Mask lanterns = lights(rng, 7, 6.0, 12.0, 150, 230);
    lanterns.blur(7);
    field.glow(lanterns, style.glow, 1.6f);
    Mask streaks = Mask::painted(kTileWidth, kTileHeight, [&](QPainter& p) {
        for (int i = 0; i < 420; ++i) {
            const QPointF a(rng.range(0, kTileWidth), rng.range(0, kTileHeight));
            const double len = rng.range(8, 26);
            p.setPen(QPen(QColor(0, 0, 0, 50 + rng.below(110)), rng.range(0.4, 0.9)));
            p.drawLine(a, a + QPointF(-0.22 * len, len));
        }
    });
    field.glow(streaks, style.light, 0.45f);
    return field;
}

} // namespace artgen
