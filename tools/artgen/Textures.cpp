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

// Long fibres of hand-made paper: short bent strokes at every angle.
Mask paperFibres(Rng& rng, int count) {
    return Mask::painted(kTileWidth, kTileHeight, [&](QPainter& p) {
        p.setBrush(Qt::NoBrush);
        for (int i = 0; i < count; ++i) {
            const QPointF a(rng.range(0, kTileWidth), rng.range(0, kTileHeight));
            const double angle = rng.range(0, 2 * kPi);
            const double len = rng.range(8, 34);
            const QPointF b = a + QPointF(std::cos(angle), std::sin(angle)) * len;
            const QPointF bend = (a + b) / 2 + QPointF(rng.range(-6, 6), rng.range(-6, 6));
            QPainterPath path(a);
            path.quadTo(bend, b);
            p.setPen(QPen(QColor(0, 0, 0, 60 + rng.below(120)), rng.range(0.4, 1.0)));
            p.drawPath(path);
        }
    });
}

// A woven surface: threads a pixel or two wide, with thicker slubs here and there.
float weave(const TileNoise& noise, int x, int y) {
    const float warp = (x % 2 == 0) ? 1.0f : 0.55f;
    const float weft = (y % 2 == 0) ? 1.0f : 0.6f;
    const float over = ((x / 2 + y / 2) % 2 == 0) ? warp : weft;
    const float slub = noise.fbm(tileU(x), tileV(y), 2, 160, 2);
    return over + 0.35f * slub;
}

// A broad soft sheen running diagonally, as light falls across draped silk.
float sheen(const TileNoise& noise, int x, int y) {
    const float u = tileU(x);
    const float v = tileV(y);
    const float band = std::sin(static_cast<float>(2.0 * kPi) * (u + 2.0f * v));
    return 0.5f + 0.35f * band + 0.3f * noise.fbm(u, v, 2, 4, 3);
}

// The square spiral of the key fret, drawn as a path inside a cell.
QPainterPath fretSpiral(QPointF origin, double size) {
    const double step = size / 8.0;
    QPainterPath path(origin + QPointF(0, size));
    // Outer corner to the centre, turning inward at each quarter.
    double left = 0;
    double top = 0;
    double right = size;
    double bottom = size;
    path.lineTo(origin + QPointF(left, top));
    for (int turn = 0; turn < 3; ++turn) {
        path.lineTo(origin + QPointF(right, top));
        path.lineTo(origin + QPointF(right, bottom));
        left += step;
        top += step;
        path.lineTo(origin + QPointF(left + step, bottom));
        path.lineTo(origin + QPointF(left + step, top + step));
        right -= 2 * step;
        bottom -= 2 * step;
        left += step;
        top += step;
    }
    return path;
}

// An auspicious cloud: a swelling head of three lobes on a flat base, a curl in each lobe
// and a trailing tail.
void drawCloud(QPainter& p, QPointF c, double scale, bool flip) {
    const double dir = flip ? -1.0 : 1.0;
    auto at = [&](double x, double y) { return c + QPointF(x * scale * dir, y * scale); };
    QPainterPath body;
    body.setFillRule(Qt::WindingFill);
    body.addEllipse(at(0, 0), 13 * scale, 12 * scale);
    body.addEllipse(at(-15, 5), 9 * scale, 8 * scale);
    body.addEllipse(at(15, 5), 9 * scale, 8 * scale);
    body.addRoundedRect(QRectF(c.x() - 24 * scale, c.y() + 4 * scale, 48 * scale, 10 * scale),
                        5 * scale, 5 * scale);
    const QPen pen = p.pen();
    p.setBrush(QColor(0, 0, 0, 70));
    p.drawPath(body.simplified());
    p.setBrush(Qt::NoBrush);
    auto curl = [&](QPointF centre, double radius, double sense) {
        QPainterPath path;
        constexpr int kSteps = 36;
        for (int i = 0; i <= kSteps; ++i) {
            const double t = static_cast<double>(i) / kSteps;
            const double angle = kPi / 2 + sense * dir * t * 1.5 * 2 * kPi;
            const double r = radius * (1.0 - 0.85 * t);
            const QPointF pt = centre + QPointF(std::cos(angle) * r, std::sin(angle) * r);
            if (i == 0) {
                path.moveTo(pt);
            } else {
                path.lineTo(pt);
            }
        }
        p.drawPath(path);
    };
    curl(at(0, 0), 8 * scale, 1.0);
    curl(at(-15, 5), 5 * scale, -1.0);
    curl(at(15, 5), 5 * scale, 1.0);
    QPainterPath tail(at(24, 10));
    tail.cubicTo(at(34, 16), at(42, 4), at(54, 12));
    p.setPen(QPen(pen.brush(), pen.widthF() * 0.8, Qt::SolidLine, Qt::RoundCap));
    p.drawPath(tail);
    p.setPen(pen);
}

// A roundel: a ring with a four-petalled flower inside, for figured silk.
void drawRoundel(QPainter& p, QPointF c, double r) {
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(c, r, r);
    p.drawEllipse(c, r * 0.86, r * 0.86);
    p.setBrush(Qt::black);
    for (int k = 0; k < 4; ++k) {
        const double a = k * kPi / 2 + kPi / 4;
        p.drawEllipse(c + QPointF(std::cos(a), std::sin(a)) * r * 0.33, r * 0.24, r * 0.24);
    }
    p.setBrush(Qt::NoBrush);
}

} // namespace

Field paper(const ClothStyle& style) {
    TileNoise noise(style.seed);
    Rng rng(style.seed * 31u + 7u);
    Field field(kTileWidth, kTileHeight);
    field.fill([&](int x, int y) {
        const float u = tileU(x);
        const float v = tileV(y);
        const float mottle = noise.fbm(u, v, 3, 8, 5);
        // Tide lines where a wash dried: a thin darker rim along a level of the noise.
        const float stain = noise.fbm(u + 0.3f, v, 2, 5, 4);
        const float rim = smoothstep(0.03f, 0.0f, std::fabs(stain - 0.22f));
        Rgb c = mix(style.ground, style.light, 0.5f + 0.5f * mottle);
        c = mix(c, style.ground * 0.8f, 0.18f * rim);
        // Faint chain lines of the mould that the sheet was lifted on.
        const float chain =
            smoothstep(1.2f, 0.0f, std::fabs(std::fmod(static_cast<float>(x), 30.0f) - 15.0f));
        return mix(c, style.light, 0.06f * chain);
    });
    field.glow(paperFibres(rng, 700), style.thread, 0.18f);
    field.lay(paperFibres(rng, 300), style.ground * 0.6f, 0.25f);
    return field;
}

Field silk(const ClothStyle& style) {
    TileNoise noise(style.seed);
    Field field(kTileWidth, kTileHeight);
    field.fill([&](int x, int y) {
        const float light = sheen(noise, x, y);
        const Rgb base = mix(style.ground, style.light, 0.45f * light);
        return mix(base * 0.92f, base * 1.06f, clamp01(weave(noise, x, y) * 0.7f));
    });
    if (style.figure == ClothStyle::Figure::Lozenge) {
        // Diagonal floats every 20 pixels both ways: 240 and 640 are both multiples of 20,
        // so the lattice closes on itself at every edge.
        Mask lattice(kTileWidth, kTileHeight);
        lattice.apply([](int x, int y, float) {
            const float a = std::fmod(static_cast<float>(x + y) + 0.5f, 20.0f);
            const float b = std::fmod(static_cast<float>(x - y + 1280) + 0.5f, 20.0f);
            const float da = std::min(a, 20.0f - a);
            const float db = std::min(b, 20.0f - b);
            const float centre = std::hypot(std::fmod(static_cast<float>(x) + 0.5f, 20.0f) - 10.0f,
                                            std::fmod(static_cast<float>(y) + 0.5f, 20.0f) - 10.0f);
            return std::max(
                {smoothstep(1.6f, 0.4f, std::min(da, db)), smoothstep(2.2f, 1.0f, centre)});
        });
        field.lay(lattice, style.thread, 0.14f);
    } else if (style.figure == ClothStyle::Figure::Roundel) {
        Mask roundels = Mask::painted(kTileWidth, kTileHeight, [](QPainter& p) {
            p.setPen(QPen(Qt::black, 1.2));
            for (int row = 0; row < kTileHeight / 64; ++row) {
                for (int col = 0; col < kTileWidth / 60; ++col) {
                    const double x = col * 60.0 + (row % 2 == 0 ? 0.0 : 30.0);
                    drawRoundel(p, QPointF(x + 15.0, row * 64.0 + 32.0), 18.0);
                }
            }
        });
        field.lay(roundels, style.thread, 0.2f);
    }
    return field;
}

Field fretBrocade(const ClothStyle& style) {
    constexpr int kCell = 40; // six frets across, sixteen down
    TileNoise noise(style.seed);
    Field field = silk(style);
    Mask fret = Mask::painted(kTileWidth, kTileHeight, [&](QPainter& p) {
        p.setPen(QPen(Qt::black, 2.0, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
        p.setBrush(Qt::NoBrush);
        for (int row = 0; row < kTileHeight / kCell; ++row) {
            for (int col = 0; col < kTileWidth / kCell; ++col) {
                const QPointF origin(col * kCell + 6, row * kCell + 6);
                QPainterPath spiral = fretSpiral(origin, kCell - 12);
                if ((row + col) % 2 == 1) {
                    // Alternate cells turn the other way, as the fret does on old cloth.
                    QTransform mirror;
                    mirror.translate(origin.x() + (kCell - 12) / 2.0, 0);
                    mirror.scale(-1, 1);
                    mirror.translate(-(origin.x() + (kCell - 12) / 2.0), 0);
                    spiral = mirror.map(spiral);
                }
                p.drawPath(spiral);
            }
        }
    });
    dryBrush(fret, noise, 0.35f);
    field.lay(fret, style.thread, 0.42f);
    return field;
}

Field cloudDamask(const ClothStyle& style) {
    constexpr int kRowStep = 80; // eight rows of clouds, every other row shifted
    TileNoise noise(style.seed);
    Field field = silk(style);
    Mask clouds = Mask::painted(kTileWidth, kTileHeight, [&](QPainter& p) {
        p.setPen(QPen(Qt::black, 1.8, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        for (int row = 0; row < kTileHeight / kRowStep; ++row) {
            for (int col = 0; col < 2; ++col) {
                const double x = col * 120.0 + (row % 2 == 0 ? 40.0 : 100.0);
                const double y = row * kRowStep + 34.0;
                drawCloud(p, QPointF(x, y), 1.05, (row + col) % 2 == 1);
            }
        }
    });
    dryBrush(clouds, noise, 0.2f);
    field.lay(clouds, style.thread, 0.5f);
    return field;
}

} // namespace artgen
