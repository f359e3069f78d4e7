// The background pictures in the program folder, as the poem page will show them.

#include "tests/art/Pixels.h"
#include "tools/artgen/Backgrounds.h"

#include <QDir>
#include <QImage>

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

constexpr int kPictures = artgen::kBackgroundCount;

QImage loadBackground(int n) {
    return QImage(QDir(QStringLiteral(LOMEVA_PROGRAM_DIR))
                      .filePath(
                          QString::fromStdString(BackgroundPictureName(static_cast<unsigned>(n)))))
        .convertToFormat(QImage::Format_RGB32);
}

class BackgroundFiles : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        s_pictures = new std::vector<QImage>;
        for (int n = 1; n <= kPictures; ++n) {
            s_pictures->push_back(loadBackground(n));
        }
    }
    static void TearDownTestSuite() {
        delete s_pictures;
        s_pictures = nullptr;
    }
    static const QImage& picture(int n) { return (*s_pictures)[static_cast<std::size_t>(n - 1)]; }

private:
    static std::vector<QImage>* s_pictures;
};

std::vector<QImage>* BackgroundFiles::s_pictures = nullptr;

TEST_F(BackgroundFiles, EveryPictureDecodesAndFillsTheScreen) {
    for (int n = 1; n <= kPictures; ++n) {
        const QImage& image = picture(n);
        ASSERT_FALSE(image.isNull()) << "bgpic" << n << ".jpg is missing or does not decode";
        EXPECT_GE(image.width(), 240) << "bgpic" << n;
        EXPECT_GE(image.height(), 320) << "bgpic" << n;
    }
}

TEST_F(BackgroundFiles, NoTwoPicturesLookAlike) {
    // Compared small, so that grain and JPEG noise cannot make two copies look different.
    std::vector<QImage> thumbs;
    for (int n = 1; n <= kPictures; ++n) {
        thumbs.push_back(
            picture(n).scaled(30, 80, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
    }
    for (int a = 0; a < kPictures; ++a) {
        for (int b = a + 1; b < kPictures; ++b) {
            EXPECT_GT(arttest::meanDifference(thumbs[a], thumbs[b]), 4.0)
                << "bgpic" << a + 1 << " and bgpic" << b + 1 << " are nearly the same picture";
        }
    }
}

TEST_F(BackgroundFiles, WhiteTextStaysReadableOnEveryPicture) {
    for (int n = 1; n <= kPictures; ++n) {
        const QImage& image = picture(n);
        const auto values = arttest::luminances(image, image.rect());
        // Body text: 4.5:1 against the lighter parts of the picture.
        const double p95 = arttest::percentile(values, 0.95);
        EXPECT_GE(arttest::contrastRatio(1.0, p95), 4.5)
            << "bgpic" << n << ": 95th percentile " << p95;
        // Even over the brightest spots (a moon, blossoms, stars) the bold title keeps 3:1.
        const double p999 = arttest::percentile(values, 0.999);
        EXPECT_GE(arttest::contrastRatio(1.0, p999), 3.0)
            << "bgpic" << n << ": brightest spots at " << p999;
    }
}

// The mean step between neighbouring rows (or columns) within `reach` of the picture's edge,
// on both sides of the place where it repeats.
double stepsNearEdge(const QImage& image, bool rows, int reach) {
    const int n = rows ? image.height() : image.width();
    double total = 0.0;
    int count = 0;
    for (int k = 0; k < reach; ++k) {
        for (const int i : {k, n - 2 - k}) {
            total += rows ? arttest::rowDifference(image, i, i + 1)
                          : arttest::columnDifference(image, i, i + 1);
            ++count;
        }
    }
    return total / count;
}

TEST_F(BackgroundFiles, PicturesRepeatWithoutVisibleSeams) {
    // Where the viewer repeats a picture, its last row meets its first and its last column
    // its first. That step must look like the steps around it: a sky may be smooth and
    // blossoms busy, so it is measured against the rows (or columns) nearby. Sixteen on each
    // side span a whole JPEG block row, block edge included. The margin allows for a stalk
    // or a branch whose own edge happens to fall on the picture's edge; a broken pattern
    // steps many times further.
    for (int n = 1; n <= kPictures; ++n) {
        const QImage& image = picture(n);
        const double seamDown = arttest::rowDifference(image, image.height() - 1, 0);
        const double seamAcross = arttest::columnDifference(image, image.width() - 1, 0);
        EXPECT_LE(seamDown, 3.0 * stepsNearEdge(image, true, 16) + 2.0)
            << "bgpic" << n << " shows a seam where it repeats downwards";
        EXPECT_LE(seamAcross, 3.0 * stepsNearEdge(image, false, 16) + 2.0)
            << "bgpic" << n << " shows a seam where it repeats sideways";
    }
}

TEST_F(BackgroundFiles, ShippedPicturesAreWhatTheGeneratorDraws) {
    // The files are regenerated only when the generator changes; a stale or foreign file
    // would differ from a fresh drawing by far more than JPEG's loss.
    for (const int n : {1, static_cast<int>(kDefaultBackgroundPicture), kPictures}) {
        const QImage fresh = artgen::renderBackground(n);
        const QImage& shipped = picture(n);
        ASSERT_EQ(fresh.size(), shipped.size()) << "bgpic" << n;
        double total = 0.0;
        for (int y = 0; y < fresh.height(); ++y) {
            for (int x = 0; x < fresh.width(); ++x) {
                total += std::abs(qGray(fresh.pixel(x, y)) - qGray(shipped.pixel(x, y)));
            }
        }
        EXPECT_LT(total / (fresh.width() * fresh.height()), 2.0) << "bgpic" << n;
    }
}

TEST(BackgroundRendering, ReportsAFolderItCannotWriteInto) {
    EXPECT_FALSE(artgen::writeBackgrounds(QStringLiteral("/nonexistent-lomeva-folder")).isEmpty());
}

TEST(BackgroundRendering, IsDeterministicAndRefusesUnknownNumbers) {
    EXPECT_EQ(artgen::renderBackground(5), artgen::renderBackground(5));
    EXPECT_THROW(artgen::renderBackground(0), std::out_of_range);
    EXPECT_THROW(artgen::renderBackground(artgen::kBackgroundCount + 1), std::out_of_range);
}

} // namespace
