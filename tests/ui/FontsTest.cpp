// The handheld's faces are asked for by the installed face that stands in for them, which must
// be the face Qt itself would draw them with, at the handheld's sizes; at the screen's own size
// a face's own bitmaps draw it, where it has them.

#include "platform/ui/Dialog.h"
#include "platform/ui/Gdi.h"
#include "platform/ui/ScreenGeometry.h"
#include "platform/ui/testing/Pictures.h"
#include "platform/ui/testing/ScreenWidgets.h"
#include "tests/support/TestDriver.h"
#include "tests/ui/TestTemplates.h"

#include <QFont>
#include <QFontDatabase>
#include <QFontInfo>
#include <QImage>
#include <QRawFont>
#include <QSet>
#include <QStringList>
#include <QWidget>

#include <gtest/gtest.h>

using testing_support::CScript;
using testing_support::CTestDriver;

namespace {

const QString kUMing = QStringLiteral("AR PL UMing CN");

bool SongIsDrawnWithUMing() {
    return UiTesting::FontFor(u"宋体", 90).family().compare(kUMing, Qt::CaseInsensitive) == 0;
}

bool Smoothed(const QFont& font) {
    return (font.styleStrategy() & QFont::NoAntialias) == 0;
}

// A line of 宋体 at the summary's 8.5 points, black on the window's paper.
class CSongLineDlg : public CDialog {
public:
    CSongLineDlg() : CDialog(kBareDialog) {}
    static constexpr int kTop = 40;
    static constexpr int kBottom = 60;

protected:
    const CMessageMap* GetMessageMap() const override {
        static const CMessageMapOf<CSongLineDlg> map(CDialog::GetMessageMap(),
                                                     {On::Paint(&CSongLineDlg::OnPaint)});
        return &map;
    }
    void OnPaint() {
        CPaintDC dc(this);
        dc.SetBkMode(TRANSPARENT);
        CFont font;
        font.CreatePointFont(85, u"宋体", &dc);
        CFont* previous = dc.SelectObject(&font);
        CRect line(4, kTop, 236, kBottom);
        dc.DrawText(u"唐诗宋词元曲 诗词库 Lomeva 1.0", line, DT_LEFT);
        dc.SelectObject(previous);
    }
};

// The colours of the window's pixels over the dialog's line, at `zoom`.
QSet<QRgb> ColoursOfTheLine(int zoom) {
    RegisterTestTemplates();
    CTestDriver driver;
    driver.SetZoom(zoom);
    CSongLineDlg dialog;
    QImage image;
    driver.Run([&] { dialog.DoModal(); },
               [&](CScript& s) {
                   ASSERT_TRUE(s.WaitForScreen(kBareDialog));
                   image = s.OnGui([] { return UiTesting::ScreenWindow()->grab().toImage(); });
                   s.PressOk();
               });
    QSet<QRgb> colours;
    for (int y = (kBarHeight + CSongLineDlg::kTop) * zoom;
         y < (kBarHeight + CSongLineDlg::kBottom) * zoom && y < image.height(); ++y) {
        for (int x = 4 * zoom; x < 236 * zoom && x < image.width(); ++x) {
            colours.insert(image.pixel(x, y));
        }
    }
    return colours;
}

TEST(Fonts, AtTheScreensOwnSizeUMingDrawsItsOwnBitmapsAndScaledUpItsSmoothedOutlines) {
    if (!SongIsDrawnWithUMing()) {
        GTEST_SKIP() << "宋体 is not drawn with " << kUMing.toStdString() << " here";
    }
    // Every size its bitmaps are drawn for, 11 to 16 pixels, and none past them.
    for (const int tenths : {85, 90, 100, 105, 110, 120}) {
        EXPECT_FALSE(Smoothed(UiTesting::FontFor(u"宋体", tenths))) << tenths;
    }
    for (const int tenths : {75, 130, 180}) {
        EXPECT_TRUE(Smoothed(UiTesting::FontFor(u"宋体", tenths))) << tenths;
    }
    // On the screen: ink and paper and nothing between at zoom 1; the shades of smoothing at 2.
    const QSet<QRgb> atOne = ColoursOfTheLine(1);
    EXPECT_EQ(atOne.size(), 2) << "a line drawn from bitmaps has two colours";
    EXPECT_GT(ColoursOfTheLine(2).size(), 8);
}

// The sizes in pixels of the bitmaps a face holds: its bitmap location table ("EBLC") lists them,
// 48 bytes each after an 8-byte header, each with its height in pixels in its 46th byte.
QSet<int> BitmapSizesOf(const QFont& font) {
    const QByteArray table = QRawFont::fromFont(font).fontTable("EBLC");
    constexpr int kHeader = 8;
    constexpr int kEntry = 48;
    constexpr int kPixelsAt = 45;
    QSet<int> sizes;
    if (table.size() < kHeader) {
        return sizes;
    }
    const auto byte = [&](int at) { return static_cast<quint8>(table[at]); };
    const quint32 count =
        (quint32{byte(4)} << 24) | (quint32{byte(5)} << 16) | (quint32{byte(6)} << 8) | byte(7);
    for (quint32 i = 0; i < count && kHeader + (i + 1) * kEntry <= quint32(table.size()); ++i) {
        sizes.insert(byte(static_cast<int>(kHeader + i * kEntry + kPixelsAt)));
    }
    return sizes;
}

TEST(Fonts, TheInstalledUMingHoldsBitmapsAtEverySizeTheyAreDrawnFor) {
    if (!SongIsDrawnWithUMing()) {
        GTEST_SKIP() << "宋体 is not drawn with " << kUMing.toStdString() << " here";
    }
    const QSet<int> sizes = BitmapSizesOf(UiTesting::FontFor(u"宋体", 90));
    for (int pixels = 11; pixels <= 16; ++pixels) {
        EXPECT_TRUE(sizes.contains(pixels)) << pixels << " pixels";
    }
}

TEST(Fonts, AFaceWithoutBitmapsOfItsOwnIsSmoothedAtEverySize) {
    for (const char16_t* face : {u"Noto Serif CJK SC", u"AR PL UKai CN", u"DejaVu Sans"}) {
        for (const int tenths : {85, 90, 120}) {
            EXPECT_TRUE(Smoothed(UiTesting::FontFor(face, tenths)));
        }
    }
}

TEST(Fonts, TheHandheldsFaceIsDrawnWithTheFaceQtWouldChooseForIt) {
    const QString song = QString::fromUtf16(u"宋体");
    UiTesting::FontFor(u"宋体", 90); // the framework's first font puts its stand-ins in place
    const QStringList standIns = QFont::substitutes(song);
    ASSERT_FALSE(standIns.isEmpty());
    const QStringList installed = QFontDatabase::families();
    QString expected;
    for (const QString& standIn : standIns) {
        if (installed.contains(standIn, Qt::CaseInsensitive)) {
            expected = standIn;
            break;
        }
    }
    if (expected.isEmpty()) {
        GTEST_SKIP() << "none of the faces that stand in for 宋体 is installed";
    }
    for (const int tenths : {85, 90}) {
        const QFont font = UiTesting::FontFor(u"宋体", tenths);
        EXPECT_EQ(font.family(), expected);
        EXPECT_EQ(font.pixelSize(), tenths == 85 ? 11 : 12);
        QFont bySubstitution(song);
        bySubstitution.setPixelSize(font.pixelSize());
        EXPECT_EQ(QFontInfo(font).family(), QFontInfo(bySubstitution).family());
    }
}

TEST(Fonts, AnInstalledFaceIsDrawnWithItselfBeforeItsStandIns) {
    const QStringList installed = QFontDatabase::families();
    ASSERT_GE(installed.size(), 2);
    const QString face = installed.front();
    QFont::insertSubstitution(face, installed.back());
    EXPECT_EQ(UiTesting::FontFor(CString(face.toStdU16String()), 90).family(), face);
    QFont::removeSubstitutions(face);
    // and a face that is nowhere is asked for as it is, for Qt to find what it can
    EXPECT_EQ(UiTesting::FontFor(u"No Such Face Anywhere", 90).family(),
              QStringLiteral("No Such Face Anywhere"));
}

} // namespace
