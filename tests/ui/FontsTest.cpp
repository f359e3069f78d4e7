// The handheld's faces are asked for by the installed face that stands in for them, which must
// be the face Qt itself would draw them with, at the handheld's sizes.

#include "platform/ui/testing/Pictures.h"

#include <QFont>
#include <QFontDatabase>
#include <QFontInfo>
#include <QStringList>

#include <gtest/gtest.h>

namespace {

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
