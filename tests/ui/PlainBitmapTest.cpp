// The program's pictures read straight from their bytes must come out as Qt's own reader gives
// them; whatever the straight reading does not take is left to Qt's reader.

#include "platform/ui/testing/Pictures.h"

#include <QBuffer>
#include <QImage>

#include <gtest/gtest.h>

#include <cstdint>

namespace {

void Put(QByteArray& bytes, int at, std::uint32_t value, int size) {
    for (int i = 0; i < size; ++i, value >>= 8) {
        bytes[at + i] = static_cast<char>(value & 0xff);
    }
}

struct BitmapShape {
    int width = 5; // rows of 15 bytes at 24 bits a pixel: one byte of padding each
    int height = 3;
    int bits = 24;
    bool topDown = false;
    int infoSize = 40;
    std::uint32_t compression = 0;
    std::uint32_t alphaMask = 0xff000000;
};

// A bitmap of `shape` whose pixels differ everywhere, alpha included.
QByteArray MakeBitmap(const BitmapShape& shape) {
    const int rowBytes = (shape.width * shape.bits / 8 + 3) & ~3;
    const int pixels = 14 + shape.infoSize;
    QByteArray bytes(pixels + rowBytes * shape.height, '\0');
    bytes[0] = 'B';
    bytes[1] = 'M';
    Put(bytes, 2, static_cast<std::uint32_t>(bytes.size()), 4);
    Put(bytes, 10, static_cast<std::uint32_t>(pixels), 4);
    Put(bytes, 14, static_cast<std::uint32_t>(shape.infoSize), 4);
    Put(bytes, 18, static_cast<std::uint32_t>(shape.width), 4);
    Put(bytes, 22, static_cast<std::uint32_t>(shape.topDown ? -shape.height : shape.height), 4);
    Put(bytes, 26, 1, 2);
    Put(bytes, 28, static_cast<std::uint32_t>(shape.bits), 2);
    Put(bytes, 30, shape.compression, 4);
    if (shape.infoSize >= 108) {
        Put(bytes, 54, 0x00ff0000, 4);
        Put(bytes, 58, 0x0000ff00, 4);
        Put(bytes, 62, 0x000000ff, 4);
        Put(bytes, 66, shape.alphaMask, 4);
        Put(bytes, 70, 0x73524742, 4);
    }
    for (int y = 0; y < shape.height; ++y) {
        for (int x = 0; x < shape.width; ++x) {
            const int at = pixels + y * rowBytes + x * shape.bits / 8;
            for (int channel = 0; channel < shape.bits / 8; ++channel) {
                bytes[at + channel] = static_cast<char>(40 * x + 70 * y + 17 * channel + 3);
            }
        }
    }
    return bytes;
}

QImage Plain(const QByteArray& bytes) {
    return UiTesting::PlainPicture(bytes);
}

QImage QtReads(const QByteArray& bytes) {
    return QImage::fromData(bytes, "BMP");
}

void ExpectSameImage(const QImage& ours, const QImage& qts) {
    ASSERT_FALSE(ours.isNull());
    ASSERT_FALSE(qts.isNull());
    EXPECT_EQ(ours.format(), qts.format());
    ASSERT_EQ(ours.size(), qts.size());
    for (int y = 0; y < ours.height(); ++y) {
        for (int x = 0; x < ours.width(); ++x) {
            ASSERT_EQ(ours.pixel(x, y), qts.pixel(x, y)) << "at " << x << "," << y;
        }
    }
}

TEST(PlainBitmap, ReadsEveryKindItTakesAsQtsReaderDoes) {
    // what Qt writes itself: 24 bits, from the bottom up, rows padded to four bytes
    QImage written(7, 4, QImage::Format_RGB32);
    for (int y = 0; y < written.height(); ++y) {
        for (int x = 0; x < written.width(); ++x) {
            written.setPixel(x, y, qRgb(30 * x, 60 * y, 255 - 20 * x));
        }
    }
    QByteArray saved;
    QBuffer buffer(&saved);
    ASSERT_TRUE(buffer.open(QIODevice::WriteOnly));
    ASSERT_TRUE(written.save(&buffer, "BMP"));
    ExpectSameImage(Plain(saved), QtReads(saved));
    ExpectSameImage(Plain(saved), written);

    const BitmapShape topDown{.topDown = true};
    ExpectSameImage(Plain(MakeBitmap(topDown)), QtReads(MakeBitmap(topDown)));

    // 32 bits with alpha, a header with masks, both row orders: the alpha is kept
    for (const bool down : {false, true}) {
        const BitmapShape alpha{.bits = 32, .topDown = down, .infoSize = 108, .compression = 3};
        const QByteArray bytes = MakeBitmap(alpha);
        const QImage ours = Plain(bytes);
        ExpectSameImage(ours, QtReads(bytes));
        EXPECT_EQ(ours.format(), QImage::Format_ARGB32);
        EXPECT_EQ(qAlpha(ours.pixel(0, down ? 0 : 2)), 17 * 3 + 3);
    }
}

TEST(PlainBitmap, LeavesToQtWhatItDoesNotTakeAndNeverReadsPastTheBytes) {
    // other kinds, which Qt's reader knows
    EXPECT_TRUE(Plain(MakeBitmap({.bits = 32})).isNull()); // 32 bits, no masks
    EXPECT_TRUE(Plain(MakeBitmap({.bits = 32, .infoSize = 108, .compression = 3, .alphaMask = 0}))
                    .isNull()); // masks without alpha
    EXPECT_TRUE(Plain(MakeBitmap({.bits = 16})).isNull());
    EXPECT_TRUE(Plain(MakeBitmap({.compression = 1})).isNull());

    // damaged: cut short, pixels said to lie beyond the end or inside the header, no size
    const QByteArray whole = MakeBitmap({});
    ASSERT_FALSE(Plain(whole).isNull());
    EXPECT_TRUE(Plain(whole.left(whole.size() - 1)).isNull());
    EXPECT_TRUE(Plain(whole.left(30)).isNull());
    QByteArray beyond = whole;
    Put(beyond, 10, static_cast<std::uint32_t>(whole.size() + 100), 4);
    EXPECT_TRUE(Plain(beyond).isNull());
    QByteArray inside = whole;
    Put(inside, 10, 20, 4);
    EXPECT_TRUE(Plain(inside).isNull());
    EXPECT_TRUE(Plain(MakeBitmap({.width = 0})).isNull());
    EXPECT_TRUE(Plain(MakeBitmap({.height = 0})).isNull());
    QByteArray huge = whole;
    Put(huge, 18, 0x7fffffff, 4);
    EXPECT_TRUE(Plain(huge).isNull());
    EXPECT_TRUE(Plain(QByteArray()).isNull());
}

} // namespace
