#include "Designs.h"

#include "Brush.h"
#include "tools/common/Rng.h"

#include <QPainter>
#include <QPainterPath>

#include <cmath>
#include <vector>

namespace artgen {

using generators::Rng;

namespace {

constexpr float kHorizon = 400.0f;

// A mountain ridge: its height above the horizon at each column. Broad shoulders from the
// low octaves, crags from a ridged octave, and on the farthest range one towering peak.
std::vector<float> ridgeHeights(const TileNoise& noise, int layer, float peak, int cells,
                                float towerAt = -1.0f) {
    std::vector<float> heights(kTileWidth);
    const float row = 0.13f * static_cast<float>(layer + 1);
    for (int x = 0; x < kTileWidth; ++x) {
        const float u = tileU(x);
        const float shape = clamp01(0.45f + 0.85f * noise.fbm(u, row, cells, 1, 5, 0.5f));
        const float crags = noise.ridged(u, row + 0.4f, cells * 4, 1, 3);
        float h = peak * std::pow(shape, 1.3f) * (0.82f + 0.18f * crags);
        if (towerAt >= 0.0f) {
            float d = std::fabs(u - towerAt);
            d = std::min(d, 1.0f - d) * kTileWidth;
            h += peak * 0.75f * std::exp(-std::pow(d / 34.0f, 2.0f)) * (0.8f + 0.2f * crags);
        }
        heights[static_cast<std::size_t>(x)] = h;
    }
    return heights;
}

// Ink density of one mountain layer at a pixel: dark along the ridge like a brush outline,
// textured with hemp-fibre strokes, and dissolving into the mist at its foot.
float mountainInk(const TileNoise& noise, int x, int y, float ridgeY, float fade) {
    const float depth = static_cast<float>(y) - ridgeY;
    if (depth < -1.0f) {
        return 0.0f;
    }
    const float edge = smoothstep(-1.0f, 1.0f, depth);
    const float u = tileU(x);
    const float v = tileV(y);
    const float strokes = 0.5f + 0.5f * noise.fbm(u, v, 60, 8, 3);
    const float outline = std::exp(-std::max(depth, 0.0f) / 3.0f);
    const float body = std::exp(-std::max(depth, 0.0f) / fade) * (0.45f + 0.55f * strokes);
    return edge * clamp01(0.45f * outline + body);
}

// A covered fishing boat with its boatman poling at the stern.
void drawBoat(QPainter& p, QPointF at) {
    QPainterPath hull;
    hull.moveTo(at + QPointF(-24, -3));
    hull.quadTo(at + QPointF(0, 8), at + QPointF(24, -4));
    hull.lineTo(at + QPointF(18, 1));
    hull.quadTo(at + QPointF(0, 5), at + QPointF(-19, 0));
    hull.closeSubpath();
    p.drawPath(hull);
    QPainterPath canopy;
    canopy.moveTo(at + QPointF(-9, 0));
    canopy.cubicTo(at + QPointF(-9, -10), at + QPointF(7, -10), at + QPointF(7, 0));
    canopy.closeSubpath();
    p.drawPath(canopy);
    // The boatman: hat, body, and the long pole slanting into the water.
    QPainterPath hat;
    hat.moveTo(at + QPointF(-21, -12));
    hat.lineTo(at + QPointF(-17, -15.5));
    hat.lineTo(at + QPointF(-13, -12));
    hat.closeSubpath();
    p.drawPath(hat);
    p.drawEllipse(at + QPointF(-17, -7.5), 1.8, 4.2);
    p.setPen(QPen(Qt::black, 0.9));
    p.drawLine(at + QPointF(-28, 9), at + QPointF(-9, -22));
    p.setPen(Qt::NoPen);
}

void drawBirds(QPainter& p, Rng& rng, QPointF centre, int count) {
    p.setPen(QPen(Qt::black, 0.9, Qt::SolidLine, Qt::RoundCap));
    for (int i = 0; i < count; ++i) {
        const QPointF c = centre + QPointF(rng.range(-30, 30), rng.range(-14, 14));
        const double s = rng.range(2.5, 4.0);
        QPainterPath bird;
        bird.moveTo(c + QPointF(-s, -s * 0.3));
        bird.quadTo(c + QPointF(-s * 0.4, -s * 0.6), c);
        bird.quadTo(c + QPointF(s * 0.4, -s * 0.6), c + QPointF(s, -s * 0.4));
        p.drawPath(bird);
    }
    p.setPen(Qt::NoPen);
}

} // namespace

namespace {

// One range of mountains: its ridge, where it stands, how near it is and its ink.
struct Range {
    std::vector<float> heights;
    float base;
    float nearness; // 0 for the farthest range, 1 for the nearest
    float fade;     // how far down from the ridge the ink reaches
    Rgb ink;
};

Range mountainRange(const MountainStyle& style, const TileNoise& noise, Rng& rng, int k) {
    // Far ranges stand taller and paler; near ones are low, dark and sharp.
    const float nearness = static_cast<float>(k) / static_cast<float>(style.layers - 1);
    const float tower = (k == 0 && !style.snow) ? static_cast<float>(rng.uniform()) : -1.0f;
    return {ridgeHeights(noise, k, mix(170.0f, 60.0f, nearness), 1 + k, tower),
            kHorizon + mix(-8.0f, 6.0f, nearness), nearness, mix(80.0f, 40.0f, nearness),
            mix(mix(style.mist, style.ink, 0.45f), style.ink, nearness)};
}

// Mist at the seam, sky, a lighter band of mist at the horizon, water, mist again.
void laySkyAndWater(Field& field, const TileNoise& noise, const MountainStyle& style) {
    field.fill([&](int x, int y) {
        const float v = tileV(y);
        const Rgb base = loopGradient({{0.0f, style.mist},
                                       {0.16f, style.sky},
                                       {0.42f, mix(style.sky, style.mist, 0.55f)},
                                       {0.62f, style.mist},
                                       {0.68f, style.water},
                                       {0.9f, mix(style.water, style.mist, 0.4f)}},
                                      v);
        const float cloud = noise.fbm(tileU(x), v, 2, 10, 4);
        return mix(base, style.mist, 0.25f * smoothstep(0.1f, 0.6f, cloud));
    });
}

void paintRange(Field& field, const TileNoise& noise, const Range& range, bool snowCaps, Rgb snow) {
    for (int y = 0; y < kTileHeight; ++y) {
        const float fy = static_cast<float>(y);
        if (fy > range.base + 4.0f) {
            break;
        }
        const float foot = smoothstep(range.base + 4.0f, range.base - 45.0f, fy);
        for (int x = 0; x < kTileWidth; ++x) {
            const float ridgeY = range.base - range.heights[static_cast<std::size_t>(x)];
            if (fy < ridgeY - 1.0f) {
                continue;
            }
            const float d = mountainInk(noise, x, y, ridgeY, range.fade) * foot *
                            mix(0.55f, 0.95f, range.nearness);
            Rgb& c = field.at(x, y);
            c = mix(c, range.ink, d);
            if (snowCaps) {
                const float cap = std::exp(-std::max(0.0f, fy - ridgeY) / 14.0f) *
                                  smoothstep(-1.0f, 1.0f, fy - ridgeY);
                const float patchy = 0.5f + 0.5f * noise.fbm(tileU(x), tileV(y), 40, 20, 3);
                c = mix(c, snow, clamp01(cap * patchy * 0.8f));
            }
        }
    }
}

// Moss dots along a ridge, the painter's last touch.
void dotMoss(Field& field, Rng& rng, const Range& range) {
    Mask dots = Mask::painted(kTileWidth, kTileHeight, [&](QPainter& p) {
        p.setPen(Qt::NoPen);
        p.setBrush(Qt::black);
        for (int i = 0; i < 26; ++i) {
            const int x = rng.below(kTileWidth);
            const double y =
                range.base - range.heights[static_cast<std::size_t>(x)] + rng.range(0, 3);
            p.drawEllipse(QPointF(x, y), rng.range(0.8, 1.6), rng.range(0.6, 1.2));
        }
    });
    field.lay(dots, range.ink, 0.8f * range.nearness);
}

// The range upside down in the water, broken by small waves and fainter with depth.
void reflectRange(Field& field, const TileNoise& noise, const Range& range) {
    for (int y = static_cast<int>(range.base); y < kTileHeight; ++y) {
        const float fy = static_cast<float>(y);
        const float fadeOut = std::exp(-(fy - range.base) / 60.0f);
        const auto wave = static_cast<int>(std::lround(2.5f * noise.fbm(0.5f, tileV(y), 1, 80, 2)));
        for (int x = 0; x < kTileWidth; ++x) {
            const int sx = ((x + wave) % kTileWidth + kTileWidth) % kTileWidth;
            const float mirroredTop =
                range.base + range.heights[static_cast<std::size_t>(sx)] * 0.7f;
            if (fy > mirroredTop + 1.0f) {
                continue;
            }
            const float inside = smoothstep(mirroredTop + 1.0f, mirroredTop - 1.0f, fy);
            Rgb& c = field.at(x, y);
            c = mix(c, range.ink, inside * fadeOut * mix(0.25f, 0.5f, range.nearness));
        }
    }
}

// Low mist drifting over the feet of the mountains, and streaks of light on the water.
void layLowMist(Field& field, const TileNoise& noise, Rgb mist) {
    field.apply([&](int x, int y, Rgb c) {
        const float v = tileV(y);
        const float fy = static_cast<float>(y);
        const float band = std::exp(-std::pow((fy - (kHorizon - 20.0f)) / 50.0f, 2.0f));
        const float drift = smoothstep(-0.1f, 0.5f, noise.fbm(tileU(x), v, 2, 14, 4));
        const float streak = noise.ridged(tileU(x), v, 1, 90, 2);
        const float onWater = fy > kHorizon + 4.0f ? 0.18f * smoothstep(0.85f, 1.0f, streak) : 0.0f;
        return mix(c, mist, 0.55f * band * drift + onWater);
    });
}

} // namespace

Field inkMountains(const MountainStyle& style) {
    TileNoise noise(style.seed);
    Rng rng(style.seed * 7919u + 1u);
    Field field(kTileWidth, kTileHeight);
    laySkyAndWater(field, noise, style);
    if (style.moon) {
        addMoon(field, noise, QPointF(168, 118), 17.0, style.mist, hex(0xCFC9AE));
    }
    const Rgb snow = mix(style.mist, hex(0xB8C0C8), 0.3f);
    for (int k = 0; k < style.layers; ++k) {
        const Range range = mountainRange(style, noise, rng, k);
        paintRange(field, noise, range, style.snow && k < style.layers - 1, snow);
        if (range.nearness > 0.3f) {
            dotMoss(field, rng, range);
        }
        reflectRange(field, noise, range);
    }
    layLowMist(field, noise, style.mist);
    Mask figures = Mask::painted(kTileWidth, kTileHeight, [&](QPainter& p) {
        p.setPen(Qt::NoPen);
        p.setBrush(Qt::black);
        if (style.boat) {
            drawBoat(p, QPointF(70, kHorizon + 62));
        }
        drawBirds(p, rng, QPointF(70, 90), 3);
    });
    field.lay(figures, style.ink, 0.85f);
    return field;
}

Field mistLake(const MistStyle& style) {
    TileNoise noise(style.seed);
    Field field(kTileWidth, kTileHeight);
    field.fill([&](int, int y) {
        return loopGradient({{0.0f, style.deep},
                             {0.3f, mix(style.deep, style.mist, 0.6f)},
                             {0.5f, style.deep},
                             {0.8f, mix(style.deep, style.mist, 0.5f)}},
                            tileV(y));
    });
    // Two ranges of far hills, each sitting on a band of mist.
    for (int band = 0; band < 2; ++band) {
        const float baseY = band == 0 ? 200.0f : 520.0f;
        const auto heights = ridgeHeights(noise, band + 3, 80.0f, 2 + band);
        field.apply([&](int x, int y, Rgb c) {
            const float ridgeY = baseY - heights[static_cast<std::size_t>(x)];
            const float fy = static_cast<float>(y);
            const float inside = smoothstep(ridgeY - 1.0f, ridgeY + 1.0f, fy) *
                                 smoothstep(baseY + 10.0f, baseY - 50.0f, fy);
            return mix(c, style.hills, 0.6f * inside);
        });
    }
    // Layer upon layer of drifting mist, stretched along the water.
    for (int layer = 0; layer < 4; ++layer) {
        field.apply([&](int x, int y, Rgb c) {
            const float n = noise.fbm(tileU(x) + 0.21f * static_cast<float>(layer), tileV(y),
                                      1 + layer % 2, 6 + 3 * layer, 5);
            return mix(c, style.mist, 0.32f * smoothstep(0.0f, 0.55f, n));
        });
    }
    return field;
}

} // namespace artgen
