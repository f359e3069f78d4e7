// The pieces that make every background tile seamless and readable.

#include "tools/artgen/Tile.h"
#include "tools/artgen/TileNoise.h"
#include "tools/artgen/Tone.h"
#include "tools/common/Rng.h"

#include <QPainter>

#include <gtest/gtest.h>

namespace {

TEST(TileNoise, RepeatsExactlyOverItsPeriod) {
    const artgen::TileNoise noise(7u);
    for (float x = 0.13f; x < 5.0f; x += 0.61f) {
        for (float y = 0.07f; y < 3.0f; y += 0.47f) {
            EXPECT_NEAR(noise.at(x, y, 5, 3), noise.at(x + 5.0f, y, 5, 3), 1e-5f);
            EXPECT_NEAR(noise.at(x, y, 5, 3), noise.at(x, y + 3.0f, 5, 3), 1e-5f);
        }
    }
    // The fractal sum over a tile joins its own edges: u = 0 and u = 1 are the same column.
    for (float v = 0.0f; v < 1.0f; v += 0.1f) {
        EXPECT_NEAR(noise.fbm(0.0f, v, 3, 8, 5), noise.fbm(1.0f, v, 3, 8, 5), 1e-3f);
        EXPECT_NEAR(noise.fbm(v, 0.0f, 3, 8, 5), noise.fbm(v, 1.0f, 3, 8, 5), 1e-3f);
    }
}

TEST(TileNoise, VariesAndStaysInRange) {
    const artgen::TileNoise noise(11u);
    float lo = 1.0f;
    float hi = -1.0f;
    for (int i = 0; i < 2000; ++i) {
        const float v = noise.fbm(static_cast<float>(i % 97) / 97.0f,
                                  static_cast<float>(i / 97) / 21.0f, 4, 4, 4);
        lo = std::min(lo, v);
        hi = std::max(hi, v);
    }
    EXPECT_GE(lo, -1.0f);
    EXPECT_LE(hi, 1.0f);
    EXPECT_GT(hi - lo, 0.6f) << "noise this flat would leave the washes lifeless";
}

TEST(Mask, WrapsDrawingAcrossEveryEdge) {
    // A disc centred on the bottom right corner shows in all four corners.
    const artgen::Mask mask = artgen::Mask::painted(40, 60, [](QPainter& p) {
        p.setPen(Qt::NoPen);
        p.setBrush(Qt::black);
        p.drawEllipse(QPointF(40, 60), 6, 6);
    });
    EXPECT_GT(mask.at(1, 1), 0.9f);
    EXPECT_GT(mask.at(38, 1), 0.9f);
    EXPECT_GT(mask.at(1, 58), 0.9f);
    EXPECT_GT(mask.at(38, 58), 0.9f);
    EXPECT_EQ(mask.at(20, 30), 0.0f);
}

TEST(Mask, ARandomDrawingIsTheSameSceneInEveryWrappedCopy) {
    // The drawing throws dice; the copies around the edges must still show one scene, so a
    // single disc straddling the corner covers the area of one disc, not of several.
    generators::Rng rng(3u);
    const artgen::Mask mask = artgen::Mask::painted(40, 60, [&](QPainter& p) {
        p.setPen(Qt::NoPen);
        p.setBrush(Qt::black);
        p.drawEllipse(QPointF(38.0 + 4.0 * rng.uniform(), 58.0 + 4.0 * rng.uniform()), 5, 5);
    });
    float area = 0.0f;
    for (int y = 0; y < 60; ++y) {
        for (int x = 0; x < 40; ++x) {
            area += mask.at(x, y);
        }
    }
    EXPECT_NEAR(area, 3.14159f * 25.0f, 2.0f);
}

TEST(Mask, BlurKeepsInkAndWraps) {
    artgen::Mask mask(32, 32);
    mask.at(0, 0) = 1.0f;
    mask.blur(2);
    float total = 0.0f;
    for (int y = 0; y < 32; ++y) {
        for (int x = 0; x < 32; ++x) {
            total += mask.at(x, y);
        }
    }
    EXPECT_NEAR(total, 1.0f, 1e-4f) << "blur must neither lose nor add ink";
    EXPECT_GT(mask.at(31, 31), 0.0f) << "the spot spreads across the corner";
    EXPECT_FLOAT_EQ(mask.at(1, 0), mask.at(31, 0));
}

TEST(Tone, DarkensABrightTileUntilWhiteTextReads) {
    artgen::Field bright(50, 50, artgen::hex(0xD0D0C0));
    artgen::keepTextReadable(bright);
    EXPECT_LE(artgen::luminancePercentile(bright, 0.95), artgen::kReadableLuminance + 1e-3f);
    // Hue survives: still a warm grey, not a neutral one.
    EXPECT_GT(bright.at(10, 10).r, bright.at(10, 10).b);

    artgen::Field dark(50, 50, artgen::hex(0x202830));
    artgen::keepTextReadable(dark);
    EXPECT_FLOAT_EQ(dark.at(3, 3).g, artgen::hex(0x202830).g) << "a dark tile is left alone";
}

TEST(Tone, SoftensSmallHighlightsWithoutDimmingTheRest) {
    artgen::Field field(100, 100, artgen::hex(0x303840));
    field.at(50, 50) = artgen::Rgb{1.0f, 1.0f, 1.0f};
    artgen::keepTextReadable(field);
    EXPECT_LE(artgen::luminance(field.at(50, 50)), artgen::kHighlightCeiling);
    EXPECT_GT(artgen::luminance(field.at(50, 50)), 0.2f) << "still a highlight";
    EXPECT_FLOAT_EQ(field.at(10, 10).b, artgen::hex(0x303840).b);
}

} // namespace
