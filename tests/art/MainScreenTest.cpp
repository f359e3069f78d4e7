// The main screen picture and the icon, as the main menu will use them.

#include "tests/art/Pixels.h"

#include <QFile>
#include <QImage>

#include <gtest/gtest.h>

#include <cstdint>

namespace {

// The tap zones of the main menu: x 160 to 216, and these rows, inclusive.
struct Zone {
    const char* name;
    int top;
    int bottom;
};
constexpr Zone kZones[] = {
    {"browse", 65, 80}, {"search", 106, 120}, {"add", 145, 160}, {"options", 206, 220}};
constexpr int kZoneLeft = 160;
constexpr int kZoneRight = 216;

std::uint32_t little32(const QByteArray& b, int at) {
    return static_cast<std::uint8_t>(b[at]) | static_cast<std::uint8_t>(b[at + 1]) << 8 |
           static_cast<std::uint8_t>(b[at + 2]) << 16 |
           static_cast<std::uint32_t>(static_cast<std::uint8_t>(b[at + 3])) << 24;
}
std::uint16_t little16(const QByteArray& b, int at) {
    return static_cast<std::uint16_t>(static_cast<std::uint8_t>(b[at]) |
                                      static_cast<std::uint8_t>(b[at + 1]) << 8);
}

QImage mainScreen() {
    return QImage(QStringLiteral(LOMEVA_MAINSCREEN_BMP)).convertToFormat(QImage::Format_RGB32);
}

// A frame line: ink or seal red, far darker than the paper around it.
bool isFrameLine(QRgb pixel) {
    return arttest::luminance(pixel) < 0.25;
}

// Looks outwards from (x, y) by up to `reach` pixels in the step direction for a frame line.
bool frameBeyond(const QImage& image, int x, int y, int dx, int dy, int reach) {
    for (int k = 1; k <= reach; ++k) {
        if (isFrameLine(image.pixel(x + k * dx, y + k * dy))) {
            return true;
        }
    }
    return false;
}

TEST(MainScreenFile, IsA24BitWindowsBitmapOfTheScreenSize) {
    QFile file(QStringLiteral(LOMEVA_MAINSCREEN_BMP));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    ASSERT_GE(bytes.size(), 54);
    EXPECT_EQ(bytes.left(2), QByteArray("BM"));
    EXPECT_GE(little32(bytes, 14), 40u) << "an info header the reader understands";
    EXPECT_EQ(little32(bytes, 18), 240u);
    // Height 320, stored bottom-up (positive) or top-down (negative).
    EXPECT_TRUE(little32(bytes, 22) == 320u ||
                little32(bytes, 22) == static_cast<std::uint32_t>(-320));
    EXPECT_EQ(little16(bytes, 28), 24) << "bits per pixel";
    EXPECT_EQ(little32(bytes, 30), 0u) << "uncompressed";
    const QImage image = mainScreen();
    EXPECT_EQ(image.size(), QSize(240, 320));
}

TEST(MainScreenFile, StaysLightWhereTheMenuWritesBlackText) {
    const QImage image = mainScreen();
    // The library summary at the top right, and the two lines at the foot (for a client
    // area of 294 rows they start at row 254, for 320 rows at 280).
    const struct {
        const char* name;
        QRect area;
    } areas[] = {{"summary", QRect(QPoint(40, 2), QPoint(235, 74))},
                 {"foot", QRect(QPoint(0, 250), QPoint(239, 319))}};
    for (const auto& [name, area] : areas) {
        const auto values = arttest::luminances(image, area);
        EXPECT_GE(arttest::mean(values), 0.7) << name;
        // Black text keeps 7:1 over all but the odd frame line.
        EXPECT_GE(arttest::contrastRatio(0.0, arttest::percentile(values, 0.1)), 7.0) << name;
    }
}

TEST(MainScreenFile, EachFrameEnclosesItsTapZone) {
    const QImage image = mainScreen();
    constexpr int kReach = 8; // the frames stand 3 to 7 pixels outside their zones
    for (const auto& zone : kZones) {
        for (int x = kZoneLeft; x <= kZoneRight; x += 4) {
            EXPECT_TRUE(frameBeyond(image, x, zone.top, 0, -1, kReach))
                << zone.name << ": no frame above x " << x;
            EXPECT_TRUE(frameBeyond(image, x, zone.bottom, 0, 1, kReach))
                << zone.name << ": no frame below x " << x;
        }
        for (int y = zone.top; y <= zone.bottom; y += 3) {
            EXPECT_TRUE(frameBeyond(image, kZoneLeft, y, -1, 0, kReach))
                << zone.name << ": no frame left of y " << y;
            EXPECT_TRUE(frameBeyond(image, kZoneRight, y, 1, 0, kReach))
                << zone.name << ": no frame right of y " << y;
        }
    }
}

TEST(MainScreenFile, NoFrameLineCrossesATapZone) {
    // A frame drawn through a zone would split one button into two: along the zone's own
    // edges only the caption's ornaments may be dark, never a run of frame line.
    const QImage image = mainScreen();
    for (const auto& zone : kZones) {
        int dark = 0;
        int total = 0;
        for (int x = kZoneLeft; x <= kZoneRight; ++x) {
            for (const int y : {zone.top, zone.bottom}) {
                dark += isFrameLine(image.pixel(x, y)) ? 1 : 0;
                ++total;
            }
        }
        for (int y = zone.top; y <= zone.bottom; ++y) {
            for (const int x : {kZoneLeft, kZoneRight}) {
                dark += isFrameLine(image.pixel(x, y)) ? 1 : 0;
                ++total;
            }
        }
        EXPECT_LT(dark, total / 10) << zone.name;
    }
}

TEST(MainScreenFile, CarriesCaptionsTitleAndSealInInkAndCinnabar) {
    const QImage image = mainScreen();
    // Every zone holds a caption: some ink inside it, away from the frame.
    for (const auto& zone : kZones) {
        const auto values =
            arttest::luminances(image, QRect(QPoint(kZoneLeft + 12, zone.top + 1),
                                             QPoint(kZoneRight - 12, zone.bottom - 1)));
        EXPECT_LT(arttest::percentile(values, 0.05), 0.1) << zone.name << " has no caption";
    }
    // The title down the left side: a good share of ink.
    const auto left = arttest::luminances(image, QRect(QPoint(0, 80), QPoint(150, 245)));
    int inked = 0;
    for (const double l : left) {
        inked += l < 0.1 ? 1 : 0;
    }
    EXPECT_GT(inked, static_cast<int>(left.size()) / 25) << "no title on the left";
    // Seal red somewhere, and paper that is warm rather than grey.
    int red = 0;
    long warmth = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QRgb p = image.pixel(x, y);
            red += (qRed(p) > 140 && qGreen(p) < 90 && qBlue(p) < 80) ? 1 : 0;
            warmth += qRed(p) - qBlue(p);
        }
    }
    EXPECT_GT(red, 40) << "no cinnabar";
    EXPECT_GT(static_cast<double>(warmth) / (image.width() * image.height()), 6.0)
        << "the paper is grey";
}

TEST(IconFiles, AreSquareSealsOnATransparentGround) {
    const struct {
        const char* path;
        int size;
    } icons[] = {{LOMEVA_ICON_PNG, 64}, {LOMEVA_ICON32_PNG, 32}, {LOMEVA_ICON16_PNG, 16}};
    for (const auto& [path, size] : icons) {
        const QImage icon(QString::fromUtf8(path));
        ASSERT_FALSE(icon.isNull()) << path;
        EXPECT_EQ(icon.size(), QSize(size, size)) << path;
        EXPECT_TRUE(icon.hasAlphaChannel()) << path;
        EXPECT_EQ(qAlpha(icon.pixel(0, 0)), 0) << path << ": the corner should be clear";
        // The seal itself: opaque red at the side of the block.
        const QRgb edge = icon.pixel(size / 5, size / 2);
        EXPECT_EQ(qAlpha(edge), 255) << path;
        EXPECT_GT(qRed(edge), 2 * qBlue(edge)) << path;
    }
}

// The window's icon is the 64-pixel one, kept as a bitmap with its alpha.
TEST(IconFiles, TheWindowsBitmapIsThePictureOfThePng) {
    const QImage bitmap(QString::fromUtf8(LOMEVA_ICON_BMP), "BMP");
    const QImage png =
        QImage(QString::fromUtf8(LOMEVA_ICON_PNG), "PNG").convertToFormat(QImage::Format_ARGB32);
    ASSERT_FALSE(bitmap.isNull());
    ASSERT_EQ(bitmap.format(), QImage::Format_ARGB32);
    ASSERT_EQ(bitmap.size(), png.size());
    int clear = 0;
    for (int y = 0; y < png.height(); ++y) {
        for (int x = 0; x < png.width(); ++x) {
            ASSERT_EQ(bitmap.pixel(x, y), png.pixel(x, y)) << "at " << x << "," << y;
            clear += qAlpha(png.pixel(x, y)) == 0 ? 1 : 0;
        }
    }
    EXPECT_GT(clear, 0) << "no transparent margin";
}

} // namespace
