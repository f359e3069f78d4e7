#include "Designs.h"

#include "Brush.h"
#include "tools/common/Rng.h"

#include <QPainter>
#include <QPainterPath>

#include <cmath>
#include <numbers>

// The seasons: willow in spring, lotus in summer, maple in autumn, petals on the wind.
namespace artgen {

using generators::Rng;

namespace {

constexpr double kPi = std::numbers::pi;

// A lotus pad seen at a low angle: a flattened disc with veins running out from its centre.
void drawLotusPad(QPainter& p, QPointF c, double r, double tilt) {
    QPainterPath pad;
    pad.addEllipse(c, r, r * tilt);
    QPainterPath notch;
    notch.moveTo(c);
    notch.lineTo(c + QPointF(r * 1.1, -r * tilt * 0.12));
    notch.lineTo(c + QPointF(r * 1.1, r * tilt * 0.12));
    notch.closeSubpath();
    p.drawPath(pad.subtracted(notch));
}

void drawLotusFlower(QPainter& p, QPointF c, double size) {
    // Petals as pointed ovals fanning up from the cup.
    for (int k = -3; k <= 3; ++k) {
        const double a = -kPi / 2 + k * 0.36;
        const double len = size * (1.0 - 0.08 * std::abs(k));
        drawLeaf(p, c, static_cast<float>(a), static_cast<float>(len),
                 static_cast<float>(size * 0.32), 0.0f);
    }
}

} // namespace

namespace {

struct Pad {
    QPointF centre;
    double radius;
    double tilt; // how flat it looks from the bank
};
constexpr Pad kPads[] = {{QPointF(50, 110), 44, 0.5},   {QPointF(190, 200), 36, 0.55},
                         {QPointF(120, 330), 30, 0.5},  {QPointF(30, 430), 40, 0.52},
                         {QPointF(180, 520), 46, 0.48}, {QPointF(90, 600), 26, 0.55}};

struct Bloom {
    QPointF head;
    double size; // 0 for a closed bud
};
constexpr Bloom kBlooms[] = {
    {QPointF(150, 80), 30}, {QPointF(70, 380), 24}, {QPointF(200, 450), 0}};

void layPads(Field& field, const TileNoise& noise, const PlantStyle& style) {
    Mask pads = Mask::painted(kTileWidth, kTileHeight, [](QPainter& p) {
        p.setPen(Qt::NoPen);
        p.setBrush(Qt::black);
        for (const auto& pad : kPads) {
            drawLotusPad(p, pad.centre, pad.radius, pad.tilt);
        }
    });
    Mask veins = Mask::painted(kTileWidth, kTileHeight, [](QPainter& p) {
        p.setPen(QPen(Qt::black, 0.8));
        for (const auto& pad : kPads) {
            for (int k = 0; k < 11; ++k) {
                const double a = 2 * kPi * k / 11 + 0.3;
                p.drawLine(pad.centre,
                           pad.centre + QPointF(std::cos(a) * pad.radius * 0.92,
                                                std::sin(a) * pad.radius * pad.tilt * 0.92));
            }
        }
    });
    dryBrush(pads, noise, 0.2f);
    // Each pad mottled from deep green towards the light.
    field.lay(
        pads,
        [&](int x, int y) {
            const float n = 0.5f + 0.5f * noise.fbm(tileU(x), tileV(y), 8, 20, 3);
            return mix(style.ink, mix(style.ink, style.glow, 0.7f), n);
        },
        0.9f);
    field.lay(veins, style.ink * 0.7f, 0.45f);
}

void layBlooms(Field& field, const PlantStyle& style) {
    // Stems rise from under the water to each flower.
    Mask stems = Mask::painted(kTileWidth, kTileHeight, [](QPainter& p) {
        p.setPen(Qt::NoPen);
        p.setBrush(Qt::black);
        for (const auto& bloom : kBlooms) {
            const QPointF h = bloom.head;
            drawStroke(p,
                       curvedStroke(h + QPointF(4, 140), h + QPointF(6, 70), h, 2.2f, 1.5f, 0.0f));
        }
    });
    field.lay(stems, mix(style.ink, style.glow, 0.3f), 0.9f);
    auto drawPetals = [](QPainter& p) {
        for (const auto& bloom : kBlooms) {
            if (bloom.size > 0) {
                drawLotusFlower(p, bloom.head, bloom.size);
            } else {
                drawLeaf(p, bloom.head + QPointF(0, 2), static_cast<float>(-kPi / 2), 22.0f, 7.0f,
                         0.0f);
            }
        }
    };
    Mask petals = Mask::painted(kTileWidth, kTileHeight, [&](QPainter& p) {
        p.setPen(Qt::NoPen);
        p.setBrush(Qt::black);
        drawPetals(p);
    });
    Mask outlines = Mask::painted(kTileWidth, kTileHeight, [&](QPainter& p) {
        p.setPen(QPen(Qt::black, 0.7));
        p.setBrush(Qt::NoBrush);
        drawPetals(p);
    });
    // Petals pale at the cup and deepening towards their tips.
    field.lay(
        petals,
        [&](int, int y) {
            float toTip = 0.0f;
            for (const auto& bloom : kBlooms) {
                const auto top = static_cast<float>(bloom.head.y());
                const float reach = static_cast<float>(std::max(bloom.size, 22.0));
                if (std::fabs(static_cast<float>(y) - top + reach / 2) < reach) {
                    toTip = smoothstep(top, top - reach, static_cast<float>(y));
                }
            }
            return mix(mix(style.flower, style.glow, 0.35f), style.flower, toTip);
        },
        0.85f);
    field.lay(outlines, mix(style.flower, style.ink, 0.5f), 0.5f);
}

} // namespace

Field lotus(const PlantStyle& style) {
    TileNoise noise(style.seed);
    Field field(kTileWidth, kTileHeight);
    washGround(field, noise, style.ground, style.glow, 0.5f);
    // Light catching the ripples between the pads.
    field.apply([&](int x, int y, Rgb c) {
        const float ripple = noise.ridged(tileU(x), tileV(y), 2, 60, 2);
        return mix(c, style.glow, 0.15f * smoothstep(0.85f, 1.0f, ripple));
    });
    layPads(field, noise, style);
    layBlooms(field, style);
    return field;
}

Field willow(const PlantStyle& style) {
    TileNoise noise(style.seed);
    Rng rng(style.seed * 37u + 2u);
    Field field(kTileWidth, kTileHeight);
    washGround(field, noise, style.ground, style.glow, 0.3f);
    // Two boughs cross the tile; from each, strands arch out a little and then fall, with
    // narrow leaves in pairs along them.
    struct Bough {
        QPointF from;
        QPointF bend;
        QPointF to;
    };
    const Bough boughs[2] = {{QPointF(-20, 30), QPointF(110, -10), QPointF(260, 60)},
                             {QPointF(260, 330), QPointF(140, 300), QPointF(-20, 360)}};
    Mask strands = Mask::painted(kTileWidth, kTileHeight, [&](QPainter& p) {
        for (const auto& bough : boughs) {
            p.setPen(Qt::NoPen);
            p.setBrush(Qt::black);
            drawStroke(p, curvedStroke(bough.from, bough.bend, bough.to, 5.0f, 2.0f, 1.0f));
            for (int i = 0; i < 16; ++i) {
                const QPointF top =
                    quadPoint(bough.from, bough.bend, bough.to, rng.range(0.05, 0.95));
                const double len = rng.range(160, 360);
                const double drift = rng.range(-26, 26);
                const QPointF ctrl = top + QPointF(drift * 2.2, len * 0.25);
                const QPointF end = top + QPointF(drift * 0.8, len);
                p.setPen(QPen(QColor(0, 0, 0, 210), 0.9));
                p.setBrush(Qt::NoBrush);
                QPainterPath path(top);
                path.quadTo(ctrl, end);
                p.drawPath(path);
                p.setPen(Qt::NoPen);
                p.setBrush(QColor(0, 0, 0, 225));
                for (double t = 0.08; t < 1.0; t += rng.range(0.03, 0.05)) {
                    const QPointF at = quadPoint(top, ctrl, end, t);
                    const double side = rng.chance(0.5) ? 1.2 : kPi - 1.2;
                    const double size = 1.0 - 0.5 * t;
                    drawLeaf(p, at, static_cast<float>(side + rng.range(-0.25, 0.25)),
                             static_cast<float>(rng.range(8, 13) * size), 1.8f, 0.1f);
                }
            }
        }
    });
    dryBrush(strands, noise, 0.15f);
    field.lay(strands, style.ink, 0.85f);
    // Catkin fluff drifting by.
    Mask fluff = Mask::painted(kTileWidth, kTileHeight, [&](QPainter& p) {
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0, 0, 0, 160));
        for (int i = 0; i < 40; ++i) {
            p.drawEllipse(QPointF(rng.range(0, kTileWidth), rng.range(0, kTileHeight)),
                          rng.range(0.8, 1.8), rng.range(0.8, 1.8));
        }
    });
    fluff.blur(1);
    field.glow(fluff, style.flower, 0.8f);
    return field;
}

Field maple(const PlantStyle& style) {
    TileNoise noise(style.seed);
    Rng rng(style.seed * 41u + 8u);
    Field field(kTileWidth, kTileHeight);
    washGround(field, noise, style.ground, style.glow, 0.4f);
    // Far leaves out of focus, then sharp near ones; each leaf its own shade of autumn.
    for (int depth = 0; depth < 2; ++depth) {
        for (int i = 0; i < (depth == 0 ? 26 : 18); ++i) {
            const QPointF at(rng.range(0, kTileWidth), rng.range(0, kTileHeight));
            const double r = depth == 0 ? rng.range(7, 12) : rng.range(11, 19);
            const double turn = rng.range(0, 6.28);
            Mask leaf = Mask::painted(kTileWidth, kTileHeight, [&](QPainter& p) {
                p.setPen(Qt::NoPen);
                p.setBrush(Qt::black);
                drawMapleLeaf(p, at, static_cast<float>(r), static_cast<float>(turn));
            });
            const Rgb shade = mix(style.flower, style.ink, static_cast<float>(rng.range(0.0, 0.6)));
            if (depth == 0) {
                leaf.blur(2);
                field.lay(leaf, shade, 0.55f);
                continue;
            }
            Mask veins = Mask::painted(kTileWidth, kTileHeight, [&](QPainter& p) {
                p.setPen(QPen(Qt::black, 0.7));
                for (const double a : {-1.6, -0.8, 0.0, 0.8, 1.6}) {
                    const double angle = turn - kPi / 2 + a;
                    p.drawLine(at, at + QPointF(std::cos(angle), std::sin(angle)) * r * 0.75);
                }
            });
            field.lay(leaf, shade, 0.9f);
            field.lay(veins, shade * 0.6f, 0.6f);
        }
    }
    return field;
}

Field fallingPetals(const PlantStyle& style) {
    TileNoise noise(style.seed);
    Rng rng(style.seed * 43u + 6u);
    Field field(kTileWidth, kTileHeight);
    washGround(field, noise, style.ground, style.glow, 0.2f);
    const PlumBranch twig = growPlum(QPointF(kTileWidth + 4, 40), 2.5f, 130.0f, 6.0f, 2, rng);
    const PlumBranch spray = growPlum(QPointF(-4, 380), -0.3f, 110.0f, 5.0f, 2, rng);
    layBranches(field, noise, {&twig, &spray}, style.ink, 0.4f, 0.9f);
    Mask blooms = Mask::painted(kTileWidth, kTileHeight, [&](QPainter& p) {
        p.setPen(Qt::NoPen);
        p.setBrush(Qt::black);
        for (const auto* branch : {&twig, &spray}) {
            for (const auto& at : branch->blossoms) {
                drawBlossom(p, at, static_cast<float>(rng.range(5, 7)),
                            static_cast<float>(rng.range(0, 1.2)));
            }
        }
    });
    field.lay(blooms, style.flower, 0.8f);
    // Petals on the wind, some near and soft, most far and small.
    for (int depth = 0; depth < 2; ++depth) {
        Mask petals = Mask::painted(kTileWidth, kTileHeight, [&](QPainter& p) {
            p.setPen(Qt::NoPen);
            p.setBrush(Qt::black);
            for (int i = 0; i < (depth == 0 ? 90 : 18); ++i) {
                drawLeaf(p, QPointF(rng.range(0, kTileWidth), rng.range(0, kTileHeight)),
                         static_cast<float>(rng.range(0, 6.28)),
                         static_cast<float>(depth == 0 ? rng.range(4, 6) : rng.range(7, 10)),
                         depth == 0 ? 2.4f : 3.8f, 0.25f);
            }
        });
        if (depth == 1) {
            petals.blur(2);
        }
        field.lay(petals, style.flower, depth == 0 ? 0.6f : 0.5f);
    }
    return field;
}

} // namespace artgen
