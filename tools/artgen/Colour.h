#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace artgen {

// A colour with sRGB-encoded channels in [0, 1]. The pictures are mixed in this encoding, as a
// painter mixes pigments by eye; only the luminance checks convert to linear light.
struct Rgb {
    float r = 0.0f;
    float g = 0.0f;
    float b = 0.0f;
};

constexpr Rgb hex(std::uint32_t rgb) {
    return {static_cast<float>((rgb >> 16) & 0xFF) / 255.0f,
            static_cast<float>((rgb >> 8) & 0xFF) / 255.0f,
            static_cast<float>(rgb & 0xFF) / 255.0f};
}

inline Rgb operator+(Rgb a, Rgb b) {
    return {a.r + b.r, a.g + b.g, a.b + b.b};
}
inline Rgb operator-(Rgb a, Rgb b) {
    return {a.r - b.r, a.g - b.g, a.b - b.b};
}
inline Rgb operator*(Rgb a, float k) {
    return {a.r * k, a.g * k, a.b * k};
}

inline float clamp01(float v) {
    return std::clamp(v, 0.0f, 1.0f);
}
inline Rgb clamp01(Rgb c) {
    return {clamp01(c.r), clamp01(c.g), clamp01(c.b)};
}

inline float mix(float a, float b, float t) {
    return a + (b - a) * t;
}
inline Rgb mix(Rgb a, Rgb b, float t) {
    return a + (b - a) * t;
}

inline float smoothstep(float e0, float e1, float x) {
    const float t = clamp01((x - e0) / (e1 - e0));
    return t * t * (3.0f - 2.0f * t);
}

inline float toLinear(float c) {
    return c <= 0.04045f ? c / 12.92f : std::pow((c + 0.055f) / 1.055f, 2.4f);
}
inline float toSrgb(float c) {
    return c <= 0.0031308f ? c * 12.92f : 1.055f * std::pow(c, 1.0f / 2.4f) - 0.055f;
}

// Relative luminance as the readability rules define it (linear light, Rec. 709 weights).
inline float luminance(Rgb c) {
    return 0.2126f * toLinear(clamp01(c.r)) + 0.7152f * toLinear(clamp01(c.g)) +
           0.0722f * toLinear(clamp01(c.b));
}

// Screen blend: lightens like light added through mist, never past white.
inline Rgb screen(Rgb a, Rgb b) {
    return {1.0f - (1.0f - a.r) * (1.0f - b.r), 1.0f - (1.0f - a.g) * (1.0f - b.g),
            1.0f - (1.0f - a.b) * (1.0f - b.b)};
}

} // namespace artgen
