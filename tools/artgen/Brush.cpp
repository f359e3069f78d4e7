#include "Brush.h"

#include <QPainter>
#include <QPainterPath>

#include <cmath>
#include <numbers>

namespace artgen {

using generators::Rng;

namespace {

constexpr float kPi = std::numbers::pi_v<float>;

QPointF normalOf(QPointF d) {
    const double len = std::hypot(d.x(), d.y());
    return len > 1e-9 ? QPointF(-d.y() / len, d.x() / len) : QPointF(0.0, 0.0);
}

QPointF polar(float angle, float length) {
    return {std::cos(angle) * length, std::sin(angle) * length};
}

void growLimb(PlumBranch& out, QPointF start, float angle, float length, float width, int depth,
              Rng& rng) {
    // Old wood turns sharply at every knot; young shoots go almost straight.
    const int pieces = depth > 0 ? 3 + rng.below(3) : 1 + rng.below(2);
    const float turn = depth > 0 ? 0.45f : 0.12f;
    Stroke limb;
    limb.spine.push_back(start);
    QPointF at = start;
    float heading = angle;
    for (int i = 0; i < pieces; ++i) {
        heading += static_cast<float>(rng.range(-turn, turn));
        at += polar(heading, length / static_cast<float>(pieces));
        limb.spine.push_back(at);
    }
    limb.startWidth = width;
    limb.endWidth = depth > 0 ? width * 0.55f : std::max(0.6f, width * 0.25f);
    out.limbs.push_back(limb);

    if (depth == 0) {
        out.buds.push_back(at);
        for (std::size_t i = 1; i < limb.spine.size(); ++i) {
            if (rng.chance(0.7)) {
                out.blossoms.push_back(limb.spine[i]);
            }
        }
        return;
    }
    const int children = 2 + rng.below(2);
    for (int c = 0; c < children; ++c) {
        const std::size_t knot = 1 + static_cast<std::size_t>(rng.below(pieces));
        const float side = (c % 2 == 0) ? 1.0f : -1.0f;
        const float childAngle = heading + side * static_cast<float>(rng.range(0.35, 0.9));
        const float childLength = length * static_cast<float>(rng.range(0.45, 0.75));
        const float t = static_cast<float>(knot) / static_cast<float>(pieces);
        const float childWidth = mix(width, limb.endWidth, t) * 0.6f;
        growLimb(out, limb.spine[knot], childAngle, childLength, childWidth, depth - 1, rng);
    }
    if (rng.chance(0.8)) {
        out.blossoms.push_back(at);
    }
}

} // namespace

void drawStroke(QPainter& painter, const Stroke& stroke) {
    const auto& pts = stroke.spine;
    if (pts.size() < 2) {
        return;
    }
    const std::size_t n = pts.size();
    std::vector<QPointF> left;
    std::vector<QPointF> right;
    for (std::size_t i = 0; i < n; ++i) {
        const QPointF d = pts[std::min(i + 1, n - 1)] - pts[i == 0 ? 0 : i - 1];
        const QPointF nrm = normalOf(d);
        const float t = static_cast<float>(i) / static_cast<float>(n - 1);
        const float half =
            0.5f * (mix(stroke.startWidth, stroke.endWidth, t) + stroke.swell * std::sin(kPi * t));
        left.push_back(pts[i] + nrm * half);
        right.push_back(pts[i] - nrm * half);
    }
    QPainterPath path(left.front());
    for (std::size_t i = 1; i < n; ++i) {
        path.lineTo(left[i]);
    }
    for (std::size_t i = n; i-- > 0;) {
        path.lineTo(right[i]);
    }
    path.closeSubpath();
    painter.drawPath(path);
    // Round ends, so joined limbs never show a notch.
    const float r0 = 0.5f * stroke.startWidth;
    const float r1 = 0.5f * stroke.endWidth;
    painter.drawEllipse(pts.front(), r0, r0);
    painter.drawEllipse(pts.back(), r1, r1);
}

QPointF quadPoint(QPointF a, QPointF c, QPointF b, double t) {
    return (1 - t) * (1 - t) * a + 2 * (1 - t) * t * c + t * t * b;
}

Stroke curvedStroke(QPointF a, QPointF c, QPointF b, float w0, float w1, float swell) {
    Stroke s;
    for (int k = 0; k <= 16; ++k) {
        s.spine.push_back(quadPoint(a, c, b, k / 16.0));
    }
    s.startWidth = w0;
    s.endWidth = w1;
    s.swell = swell;
    return s;
}

void drawLeaf(QPainter& painter, QPointF base, float angle, float length, float width, float curl) {
    const QPointF dir = polar(angle, 1.0f);
    const QPointF side = normalOf(dir);
    const QPointF tip = base + dir * length + side * (curl * length);
    const QPointF mid = base + dir * (length * 0.45f) + side * (curl * length * 0.35f);
    QPainterPath path(base);
    path.quadTo(mid + side * width, tip);
    path.quadTo(mid - side * (width * 0.8f), base);
    painter.drawPath(path);
}

void drawBlossom(QPainter& painter, QPointF centre, float radius, float rotation) {
    for (int i = 0; i < 5; ++i) {
        const float a = rotation + 2.0f * kPi * static_cast<float>(i) / 5.0f;
        painter.drawEllipse(centre + polar(a, radius * 0.55f), radius * 0.52f, radius * 0.52f);
    }
}

void drawMapleLeaf(QPainter& painter, QPointF centre, float radius, float rotation) {
    // Seven pointed lobes, the middle one longest, cut deep towards the stalk.
    constexpr float kLobeAngle[7] = {-2.4f, -1.6f, -0.8f, 0.0f, 0.8f, 1.6f, 2.4f};
    constexpr float kLobeLength[7] = {0.45f, 0.8f, 0.95f, 1.0f, 0.95f, 0.8f, 0.45f};
    const float up = rotation - kPi / 2.0f;
    QPainterPath path(centre + polar(up + 2.8f, radius * 0.12f));
    for (int i = 0; i < 7; ++i) {
        const float a = up + kLobeAngle[i];
        const float len = radius * kLobeLength[i];
        path.lineTo(centre + polar(a - 0.38f, radius * 0.42f));
        path.quadTo(centre + polar(a - 0.3f, len * 0.75f), centre + polar(a - 0.05f, len * 0.92f));
        path.lineTo(centre + polar(a, len));
        path.lineTo(centre + polar(a + 0.05f, len * 0.92f));
        path.quadTo(centre + polar(a + 0.3f, len * 0.75f),
                    centre + polar(a + 0.38f, radius * 0.42f));
    }
    path.closeSubpath();
    painter.drawPath(path);
    // The stalk.
    const QPen old = painter.pen();
    painter.setPen(QPen(painter.brush().color(), std::max(0.8f, radius * 0.07f)));
    painter.drawLine(centre, centre + polar(up + kPi, radius * 0.75f));
    painter.setPen(old);
}

void dryBrush(Mask& mask, const TileNoise& noise, float dryness) {
    const float w = static_cast<float>(mask.width());
    const float h = static_cast<float>(mask.height());
    mask.apply([&](int x, int y, float v) {
        if (v <= 0.0f) {
            return v;
        }
        // Streaky fibres: fine noise stretched one way, plus a coarser blotch.
        const float fibre =
            noise.fbm(static_cast<float>(x) / w, static_cast<float>(y) / h, 48, 16, 3);
        const float blotch =
            noise.fbm(static_cast<float>(x) / w + 0.5f, static_cast<float>(y) / h, 6, 16, 3);
        const float dry = dryness * (0.5f + 0.5f * fibre + 0.3f * blotch);
        return clamp01(v * (1.0f - dry) - dry * 0.15f * (1.0f - v));
    });
}

PlumBranch growPlum(QPointF root, float angle, float length, float width, int depth, Rng& rng) {
    PlumBranch branch;
    growLimb(branch, root, angle, length, width, depth, rng);
    return branch;
}

void layBranches(Field& field, const TileNoise& noise,
                 std::initializer_list<const PlumBranch*> branches, Rgb ink, float dryness,
                 float opacity) {
    Mask wood = Mask::painted(field.width(), field.height(), [&](QPainter& p) {
        p.setPen(Qt::NoPen);
        p.setBrush(Qt::black);
        for (const auto* branch : branches) {
            for (const auto& limb : branch->limbs) {
                drawStroke(p, limb);
            }
        }
    });
    dryBrush(wood, noise, dryness);
    field.lay(wood, ink, opacity);
}

} // namespace artgen
