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
constexpr float kTwoPiF = 2.0f * std::numbers::pi_v<float>;

// One bamboo stalk: its centre sways with a period of the tile's height, so it never breaks.
struct Stalk {
    float x;
    float width;
    float sway;
    float phase;
    float nodeSpacing;
    float nodeOffset;
};

float stalkCover(const Stalk& s, int x, int y, float& across, bool& node) {
    const float v = tileV(y);
    const float centre = s.x + s.sway * std::sin(kTwoPiF * v + s.phase);
    float dx = std::fmod(static_cast<float>(x) + 0.5f - centre + 3.0f * kTileWidth,
                         static_cast<float>(kTileWidth));
    if (dx > kTileWidth / 2.0f) {
        dx -= kTileWidth;
    }
    across = dx / (s.width / 2.0f);
    const float along =
        std::fmod(static_cast<float>(y) - s.nodeOffset + 4.0f * kTileHeight, s.nodeSpacing);
    node = along < 2.5f || along > s.nodeSpacing - 1.5f;
    return smoothstep(1.0f + 1.0f / s.width, 1.0f - 1.0f / s.width, std::fabs(across));
}

void drawBambooLeaves(QPainter& p, Rng& rng, QPointF at, bool right) {
    const double dir = right ? 1.0 : -1.0;
    const QPointF tip = at + QPointF(dir * rng.range(18, 34), rng.range(-6, 10));
    p.setPen(QPen(Qt::black, 1.1));
    p.drawLine(at, tip);
    p.setPen(Qt::NoPen);
    const int leaves = 3 + rng.below(3);
    for (int i = 0; i < leaves; ++i) {
        const double droop = rng.range(0.25, 1.2);
        const double angle = right ? droop : kPi - droop;
        const QPointF base = at + (tip - at) * rng.range(0.5, 1.0);
        drawLeaf(p, base, static_cast<float>(angle), static_cast<float>(rng.range(26, 44)),
                 static_cast<float>(rng.range(3.5, 5.5)),
                 static_cast<float>(rng.range(-0.12, 0.12)));
    }
}

// Orchid leaves spring from one clump in long arches that thicken and thin along their way.
void drawOrchidClump(QPainter& p, Rng& rng, QPointF base) {
    const int leaves = 7 + rng.below(3);
    for (int i = 0; i < leaves; ++i) {
        const double spread = (static_cast<double>(i) / (leaves - 1) - 0.5) * 2.0;
        const double height = rng.range(180, 320);
        const QPointF tip =
            base + QPointF(spread * rng.range(90, 160), -height * rng.range(0.35, 0.85));
        const QPointF ctrl = base + QPointF(spread * 20 + rng.range(-25, 25), -height);
        drawStroke(
            p, curvedStroke(base, ctrl, tip, 3.2f, 0.3f, static_cast<float>(rng.range(1.0, 3.0))));
    }
}

void drawOrchidFlower(QPainter& p, Rng& rng, QPointF at) {
    for (int k = 0; k < 5; ++k) {
        const double a = -kPi / 2 + (k - 2) * 0.55 + rng.range(-0.15, 0.15);
        const QPointF tip = at + QPointF(std::cos(a), std::sin(a)) * rng.range(8, 12);
        drawStroke(p, curvedStroke(at, (at + tip) / 2 + QPointF(rng.range(-2, 2), rng.range(-2, 2)),
                                   tip, 1.0f, 0.6f, 2.2f));
    }
}

} // namespace

Field bamboo(const PlantStyle& style) {
    TileNoise noise(style.seed);
    Rng rng(style.seed * 13u + 5u);
    Field field(kTileWidth, kTileHeight);
    washGround(field, noise, style.ground, style.glow, 0.3f);
    if (style.moon) {
        addMoon(field, noise, QPointF(160, 190), 21, style.glow, style.flower);
    }
    constexpr float kSpacings[4] = {64.0f, 80.0f, 128.0f, 160.0f};
    // Three depths: far stalks pale in the mist, near ones in full ink with leaves.
    for (int depth = 0; depth < 3; ++depth) {
        const float nearness = static_cast<float>(depth) / 2.0f;
        const int count = depth == 0 ? 6 : (depth == 1 ? 4 : 3);
        Mask ink(kTileWidth, kTileHeight);
        for (int i = 0; i < count; ++i) {
            const Stalk s{static_cast<float>(rng.range(0, kTileWidth)),
                          static_cast<float>(mix(5.0f, 13.0f, nearness) + rng.range(-1.5, 2.0)),
                          static_cast<float>(rng.range(2, 8)),
                          static_cast<float>(rng.range(0, 6.28)),
                          kSpacings[rng.below(4)],
                          static_cast<float>(rng.range(0, 160))};
            ink.apply([&](int x, int y, float v) {
                float across = 0.0f;
                bool node = false;
                const float cover = stalkCover(s, x, y, across, node);
                if (cover <= 0.0f) {
                    return v;
                }
                // Ink gathers at the edges of a stroke and leaves a pale gap at each node.
                const float edge = 0.75f + 0.25f * across * across;
                return std::max(v, node ? cover * 0.25f : cover * edge);
            });
        }
        if (depth > 0) {
            Mask leaves = Mask::painted(kTileWidth, kTileHeight, [&](QPainter& p) {
                p.setPen(Qt::NoPen);
                p.setBrush(Qt::black);
                for (int k = 0; k < (depth == 2 ? 9 : 5); ++k) {
                    drawBambooLeaves(p, rng,
                                     QPointF(rng.range(0, kTileWidth), rng.range(0, kTileHeight)),
                                     rng.chance(0.5));
                }
            });
            ink.apply([&](int x, int y, float v) { return std::max(v, leaves.at(x, y)); });
        }
        dryBrush(ink, noise, mix(0.15f, 0.3f, nearness));
        if (depth == 0) {
            ink.blur(2);
        }
        field.lay(ink, mix(mix(style.glow, style.ink, 0.45f), style.ink, nearness),
                  mix(0.5f, 0.95f, nearness));
    }
    return field;
}

namespace {

// Plum flowers along the branches: five pale petals, a deeper heart and a ring of fine
// stamens tipped with pollen; buds as dots of colour.
void layPlumFlowers(Field& field, Rng& rng, std::initializer_list<const PlumBranch*> branches,
                    const PlantStyle& style) {
    struct Flower {
        QPointF centre;
        float radius;
        float turn;
    };
    std::vector<Flower> flowers;
    for (const auto* branch : branches) {
        for (const auto& at : branch->blossoms) {
            flowers.push_back({at + QPointF(rng.range(-3, 3), rng.range(-3, 3)),
                               static_cast<float>(rng.range(4.5, 6.5)),
                               static_cast<float>(rng.range(0, 1.3))});
        }
    }
    Mask petals = Mask::painted(kTileWidth, kTileHeight, [&](QPainter& p) {
        p.setPen(Qt::NoPen);
        p.setBrush(Qt::black);
        for (const auto& f : flowers) {
            drawBlossom(p, f.centre, f.radius, f.turn);
        }
        for (const auto* branch : branches) {
            for (const auto& at : branch->buds) {
                p.drawEllipse(at, 2.2, 2.2);
            }
        }
    });
    Mask stamens = Mask::painted(kTileWidth, kTileHeight, [&](QPainter& p) {
        p.setBrush(Qt::black);
        for (const auto& f : flowers) {
            p.setPen(Qt::NoPen);
            p.drawEllipse(f.centre, f.radius * 0.22, f.radius * 0.22);
            p.setPen(QPen(Qt::black, 0.5));
            for (int k = 0; k < 7; ++k) {
                const double a = f.turn + k * 0.9;
                const QPointF tip = f.centre + QPointF(std::cos(a), std::sin(a)) * (f.radius * 0.6);
                p.drawLine(f.centre, tip);
                p.drawEllipse(tip, 0.5, 0.5);
            }
        }
    });
    field.lay(petals, style.flower, 0.88f);
    field.lay(stamens, mix(style.flower, style.ink, 0.6f), 0.6f);
}

} // namespace

Field plumBlossom(const PlantStyle& style) {
    TileNoise noise(style.seed);
    Rng rng(style.seed * 17u + 3u);
    Field field(kTileWidth, kTileHeight);
    washGround(field, noise, style.ground, style.glow, 0.25f);
    if (style.moon) {
        addMoon(field, noise, QPointF(150, 160), 36, style.glow, hex(0xD8D2BE));
    }
    // One bough from each side: whatever leaves the tile comes back on the other side.
    const PlumBranch upper = growPlum(QPointF(-8, 250), -0.45f, 170.0f, 11.0f, 3, rng);
    const PlumBranch lower = growPlum(QPointF(kTileWidth + 6, 560), -2.6f, 150.0f, 10.0f, 3, rng);
    layBranches(field, noise, {&upper, &lower}, style.ink, 0.45f, 0.95f);
    layPlumFlowers(field, rng, {&upper, &lower}, style);
    return field;
}

Field pine(const PlantStyle& style) {
    TileNoise noise(style.seed);
    Rng rng(style.seed * 19u + 1u);
    Field field(kTileWidth, kTileHeight);
    washGround(field, noise, style.ground, style.glow, 0.45f);
    if (style.moon) {
        addMoon(field, noise, QPointF(170, 140), 24, style.glow, hex(0xD2CCB4));
    }
    const PlumBranch a = growPlum(QPointF(-6, 120), 0.15f, 190.0f, 14.0f, 2, rng);
    const PlumBranch b = growPlum(QPointF(kTileWidth + 6, 420), 3.0f, 170.0f, 12.0f, 2, rng);
    layBranches(field, noise, {&a, &b}, style.ink, 0.55f, 0.9f);
    // Needles in fans along the limbs and at every tip, upward and outward.
    Mask needles = Mask::painted(kTileWidth, kTileHeight, [&](QPainter& p) {
        for (const auto* branch : {&a, &b}) {
            std::vector<QPointF> tufts = branch->blossoms;
            tufts.insert(tufts.end(), branch->buds.begin(), branch->buds.end());
            for (const auto& at : tufts) {
                const double facing = -kPi / 2 + rng.range(-0.6, 0.6);
                const int count = 22 + rng.below(10);
                for (int k = 0; k < count; ++k) {
                    const double angle = facing + (static_cast<double>(k) / count - 0.5) * 2.6;
                    const double len = rng.range(10, 17);
                    p.setPen(QPen(QColor(0, 0, 0, 150 + rng.below(100)), 0.8));
                    p.drawLine(at, at + QPointF(std::cos(angle), std::sin(angle)) * len);
                }
            }
        }
    });
    field.lay(needles, mix(style.ink, style.flower, 0.2f), 0.95f);
    return field;
}

Field orchid(const PlantStyle& style) {
    TileNoise noise(style.seed);
    Rng rng(style.seed * 23u + 9u);
    Field field(kTileWidth, kTileHeight);
    washGround(field, noise, style.ground, style.glow, 0.6f);
    Mask leaves = Mask::painted(kTileWidth, kTileHeight, [&](QPainter& p) {
        p.setPen(Qt::NoPen);
        p.setBrush(Qt::black);
        drawOrchidClump(p, rng, QPointF(70, 320));
        drawOrchidClump(p, rng, QPointF(190, 640));
    });
    dryBrush(leaves, noise, 0.3f);
    field.lay(leaves, style.ink, 0.92f);
    Mask flowers = Mask::painted(kTileWidth, kTileHeight, [&](QPainter& p) {
        p.setPen(Qt::NoPen);
        p.setBrush(Qt::black);
        for (const QPointF at :
             {QPointF(95, 215), QPointF(60, 240), QPointF(175, 520), QPointF(212, 548)}) {
            drawOrchidFlower(p, rng, at);
        }
    });
    field.lay(flowers, style.flower, 0.8f);
    return field;
}

} // namespace artgen
