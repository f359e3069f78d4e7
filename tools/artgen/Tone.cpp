#include "Tone.h"

#include "tools/common/Rng.h"

#include <algorithm>
#include <vector>

namespace artgen {

using generators::Rng;

namespace {

Rgb scaleLight(Rgb c, float k) {
    return {toSrgb(toLinear(clamp01(c.r)) * k), toSrgb(toLinear(clamp01(c.g)) * k),
            toSrgb(toLinear(clamp01(c.b)) * k)};
}

float softCap(float l) {
    if (l <= kHighlightKnee) {
        return l;
    }
    // Rolls off towards the ceiling: a moon stays a moon, but never a white disc.
    const float room = kHighlightCeiling - kHighlightKnee;
    const float over = l - kHighlightKnee;
    return kHighlightKnee + over / (1.0f + over / room);
}

} // namespace

float luminancePercentile(const Field& field, double fraction) {
    std::vector<float> values;
    values.reserve(static_cast<std::size_t>(field.width() * field.height()));
    for (int y = 0; y < field.height(); ++y) {
        for (int x = 0; x < field.width(); ++x) {
            values.push_back(luminance(field.at(x, y)));
        }
    }
    const auto k = static_cast<std::size_t>(fraction * static_cast<double>(values.size() - 1));
    std::nth_element(values.begin(), values.begin() + static_cast<std::ptrdiff_t>(k), values.end());
    return values[k];
}

void keepTextReadable(Field& field) {
    field.apply([](int, int, Rgb c) {
        const float l = luminance(c);
        return l > kHighlightKnee ? scaleLight(c, softCap(l) / l) : c;
    });
    const float p95 = luminancePercentile(field, 0.95);
    if (p95 > kReadableLuminance) {
        const float k = kReadableLuminance / p95;
        field.apply([k](int, int, Rgb c) { return scaleLight(c, k); });
    }
}

void addGrain(Field& field, std::uint32_t seed, float amount) {
    Rng rng(seed);
    field.apply([&](int, int, Rgb c) {
        const auto g = static_cast<float>(rng.uniform() + rng.uniform() - 1.0) * amount;
        return c + Rgb{g, g, g};
    });
}

} // namespace artgen
