// Qt's own pieces on the screen speak Simplified Chinese whatever the desktop's locale: the
// colour chooser, shown in the screen's place at its zoom, an edit's menu, the box's button.

#include "platform/core/ColorChooser.h"
#include "platform/ui/Dialog.h"
#include "platform/ui/RealServices.h"
#include "platform/ui/ScreenGeometry.h"
#include "platform/ui/testing/ScreenWidgets.h"
#include "tests/support/Printing.h"
#include "tests/support/TestDriver.h"
#include "tests/ui/TestTemplates.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QColorDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QRegularExpression>

#include <memory>

using testing_support::CScript;
using testing_support::CTestDriver;

namespace {

QColorDialog* ShownChooser() {
    QWidget* surface = UiTesting::ScreenSurface();
    auto* chooser = surface != nullptr ? surface->findChild<QColorDialog*>() : nullptr;
    return chooser != nullptr && chooser->isVisible() ? chooser : nullptr;
}

// Every text the chooser shows: labels and buttons.
QStringList ChooserTexts(const QColorDialog& chooser) {
    QStringList texts;
    for (const QLabel* label : chooser.findChildren<QLabel*>()) {
        texts << label->text();
    }
    for (const QAbstractButton* button : chooser.findChildren<QAbstractButton*>()) {
        texts << button->text();
    }
    return texts;
}

bool HasLatinWord(const QString& text) {
    // Mnemonics such as "(&B)" and "HTML" aside, no English words.
    QString rest = text.section(u'\t', 0, 0); // a shortcut's key names are the keyboard's
    rest.remove(QRegularExpression(QStringLiteral("\\(&.\\)|&|HTML")));
    return rest.contains(QRegularExpression(QStringLiteral("[A-Za-z]{2,}")));
}

class ChineseTest : public ::testing::Test {
protected:
    ChineseTest() { RegisterTestTemplates(); }

    CHOOSECOLOR Choice() {
        CHOOSECOLOR choice{};
        choice.lStructSize = sizeof choice;
        choice.rgbResult = RGB(0x12, 0x34, 0x56);
        choice.lpCustColors = m_custom;
        choice.Flags = CC_RGBINIT | CC_ANYCOLOR;
        return choice;
    }

    // Shows the chooser, leaves it with `leave` once it shows, and returns what it answered.
    BOOL ChooseAndLeave(CHOOSECOLOR& choice, void (*leave)(CScript&)) {
        CScreenColorChooser chooser;
        BOOL chosen = TRUE;
        m_driver.Run([&] { chosen = chooser.ChooseColor(&choice); },
                     [leave](CScript& s) {
                         ASSERT_TRUE(s.WaitUntil([] { return ShownChooser() != nullptr; }));
                         leave(s);
                         EXPECT_TRUE(s.WaitForProgramEnd());
                     });
        return chosen;
    }

    CTestDriver m_driver;
    COLORREF m_custom[16] = {};
};

TEST_F(ChineseTest, TheColourChooserTakesTheScreensPlaceAtItsZoomAndSpeaksChinese) {
    m_driver.SetZoom(2);
    CScreenColorChooser chooser;
    CHOOSECOLOR choice = Choice();
    BOOL chosen = FALSE;
    m_driver.Run([&] { chosen = chooser.ChooseColor(&choice); },
                 [](CScript& s) {
                     ASSERT_TRUE(s.WaitUntil([] { return ShownChooser() != nullptr; }));
                     EXPECT_EQ(s.BarCaption(), CString(u"颜色"));
                     s.OnGui([] {
                         QColorDialog* shown = ShownChooser();
                         EXPECT_FALSE(shown->isWindow()); // not a loose window of its own
                         EXPECT_EQ(UiTesting::ScreenWindow()->size(),
                                   QSize(kScreenWidth * 2, kScreenHeight * 2));
                         // Inside the client area, and no wider than the screen.
                         const QRect client(0, kBarHeight, kClientWidth, kClientHeight);
                         const QRect area(
                             shown->parentWidget()->mapTo(UiTesting::ScreenSurface(), QPoint(0, 0)),
                             shown->parentWidget()->size());
                         EXPECT_TRUE(client.contains(area));
                         EXPECT_LE(shown->width(), kClientWidth);
                         const QStringList texts = ChooserTexts(*shown);
                         EXPECT_TRUE(texts.join(u' ').contains(QStringLiteral("基本颜色")));
                         EXPECT_TRUE(texts.contains(QStringLiteral("确定")));
                         EXPECT_TRUE(texts.contains(QStringLiteral("取消")));
                         for (const QString& text : texts) {
                             EXPECT_FALSE(HasLatinWord(text)) << text.toStdString();
                         }
                     });
                     s.PressOk(); // the bar's "ok" takes the colour shown
                     EXPECT_TRUE(s.WaitForProgramEnd());
                 });
    EXPECT_TRUE(chosen);
    EXPECT_EQ(choice.rgbResult, RGB(0x12, 0x34, 0x56));
    EXPECT_FALSE(CTestDriver::AnyWindowOpen());
}

TEST_F(ChineseTest, EscCancelsTheColourChooser) {
    CHOOSECOLOR choice = Choice();
    EXPECT_FALSE(ChooseAndLeave(choice, [](CScript& s) { s.PressEscape(); }));
    EXPECT_EQ(choice.rgbResult, RGB(0x12, 0x34, 0x56));
}

TEST_F(ChineseTest, ClosingTheWindowCancelsTheColourChooserAndLeavesNothingOpen) {
    CHOOSECOLOR choice = Choice();
    EXPECT_FALSE(ChooseAndLeave(choice, [](CScript& s) { s.CloseWindow(); }));
    EXPECT_FALSE(CTestDriver::AnyWindowOpen());
}

TEST_F(ChineseTest, AnEditsMenuAndABoxsButtonSpeakChinese) {
    m_driver.Run([] { AfxMessageBox(u"已保存"); },
                 [](CScript& s) {
                     ASSERT_TRUE(s.WaitForBox());
                     s.OnGui([] {
                         QWidget* surface = UiTesting::ScreenSurface();
                         QStringList buttons;
                         for (const auto* candidate : surface->findChildren<QAbstractButton*>()) {
                             buttons << candidate->text();
                         }
                         EXPECT_TRUE(buttons.contains(QStringLiteral("确定")))
                             << buttons.join(u',').toStdString();
                         // An edit's context menu, as a long press or right click opens it.
                         QLineEdit edit(surface);
                         std::unique_ptr<QMenu> menu(edit.createStandardContextMenu());
                         int actions = 0;
                         for (const QAction* action : menu->actions()) {
                             if (!action->isSeparator()) {
                                 ++actions;
                                 EXPECT_FALSE(HasLatinWord(action->text()))
                                     << action->text().toStdString();
                             }
                         }
                         EXPECT_GT(actions, 3);
                     });
                     s.AnswerBox();
                     EXPECT_TRUE(s.WaitForProgramEnd());
                 });
}

} // namespace
