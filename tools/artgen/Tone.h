#pragma once

#include "Tile.h"

#include <cstdint>

namespace artgen {

// White text (the poem page's default colour) must stay readable on every picture. A contrast
// ratio of 4.5 against white allows a relative luminance of up to 0.183; the pictures aim
// lower so that JPEG and a viewer's scaling cannot push them over.
constexpr float kReadableLuminance = 0.15f;
// Small bright features (a moon, blossoms, stars) are allowed, but softened above this level
// and never brighter than kHighlightCeiling, where white keeps a contrast over 3:1, enough for
// the bold title wherever it falls.
constexpr float kHighlightKnee = 0.2f;
constexpr float kHighlightCeiling = 0.28f;

float luminancePercentile(const Field& field, double fraction);

// Compresses highlights above the knee and darkens the whole tile, hue kept, until the
// 95th percentile of luminance is at most kReadableLuminance.
void keepTextReadable(Field& field);

// A faint deterministic grain: hides banding in smooth washes and reads as paper or silk.
void addGrain(Field& field, std::uint32_t seed, float amount);

} // namespace artgen
