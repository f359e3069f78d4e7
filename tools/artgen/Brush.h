#pragma once

#include "Tile.h"
#include "TileNoise.h"
#include "tools/common/Rng.h"

#include <QPointF>

#include <initializer_list>
#include <vector>

class QPainter;

namespace artgen {

// A brush stroke: a spine and the width at its start and end.
struct Stroke {
    std::vector<QPointF> spine;
    float startWidth = 1.0f;
    float endWidth = 1.0f;
    // Extra width at the middle of the stroke, as a brush pressed harder mid-way.
    float swell = 0.0f;
};

// Fills a stroke whose width tapers linearly along the spine, with rounded ends.
void drawStroke(QPainter& painter, const Stroke& stroke);

// The point at t (0 to 1) on the quadratic curve from a to b bent towards c.
QPointF quadPoint(QPointF a, QPointF c, QPointF b, double t);

// A stroke along that curve, tapering from w0 to w1 and swelling mid-way.
Stroke curvedStroke(QPointF a, QPointF c, QPointF b, float w0, float w1, float swell);

// A pointed leaf (bamboo, willow, orchid) from its base along `angle` (radians, 0 = right,
// positive = down), bending by `curl` towards its tip.
void drawLeaf(QPainter& painter, QPointF base, float angle, float length, float width, float curl);

// Five round petals around a centre.
void drawBlossom(QPainter& painter, QPointF centre, float radius, float rotation);

// A five-lobed maple leaf.
void drawMapleLeaf(QPainter& painter, QPointF centre, float radius, float rotation);

// Breaks a mask's solid ink into fibres and dry streaks, as a brush on absorbent paper does.
void dryBrush(Mask& mask, const TileNoise& noise, float dryness);

// A plum branch: gnarled, angular limbs with straight young shoots, and where flowers sit.
struct PlumBranch {
    std::vector<Stroke> limbs;
    std::vector<QPointF> blossoms;
    std::vector<QPointF> buds;
};
PlumBranch growPlum(QPointF root, float angle, float length, float width, int depth,
                    generators::Rng& rng);

// Paints the limbs of branches in dry-brushed ink.
void layBranches(Field& field, const TileNoise& noise,
                 std::initializer_list<const PlumBranch*> branches, Rgb ink, float dryness,
                 float opacity);

} // namespace artgen
