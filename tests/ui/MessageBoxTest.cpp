// Message boxes on the screen: modal over it, with the caption in the bar and the icon asked for.

#include "platform/core/Services.h"
#include "platform/ui/Dialog.h"
#include "tests/support/Printing.h"
#include "tests/support/TestDriver.h"
#include "tests/ui/OpenerDialog.h"

#include <gtest/gtest.h>

using testing_support::CScript;
using testing_support::CTestDriver;
using Kind = UiTesting::ScreenEvent::Kind;

namespace {

class MessageBoxTest : public ::testing::Test {
protected:
    MessageBoxTest() { RegisterTestTemplates(); }
    CTestDriver m_driver;
};

TEST_F(MessageBoxTest, TheApplicationsBoxIsCaptionedWithItsName) {
    int answer = 0;
    m_driver.Run([&] { answer = AfxMessageBox(u"找不到文件", MB_ICONEXCLAMATION); },
                 [](CScript& s) {
                     ASSERT_TRUE(s.WaitForBox());
                     const auto box = s.FrontBox();
                     ASSERT_TRUE(box.has_value());
                     EXPECT_EQ(box->text, CString(u"找不到文件"));
                     EXPECT_EQ(box->caption, CString(u"lomeva"));
                     EXPECT_EQ(box->type, MB_ICONEXCLAMATION);
                     EXPECT_EQ(box->owner, nullptr);
                     EXPECT_EQ(s.BarCaption(), CString(u"lomeva"));
                     s.AnswerBox();
                     EXPECT_TRUE(s.WaitForProgramEnd());
                 });
    EXPECT_EQ(answer, IDOK);
    EXPECT_FALSE(CTestDriver::AnyWindowOpen());
}

TEST_F(MessageBoxTest, ABoxOwnedByAScreenStaysOverItUntilAnswered) {
    std::vector<std::string> log;
    COpenerDlg dialog(kFirstDialog, log, "A");
    HWND owner = nullptr;
    dialog.m_onOpen = [&] {
        owner = dialog.GetSafeHwnd();
        log.push_back(std::to_string(dialog.MessageBox(u"没有检索到你希望的诗词!", u"提示")));
    };
    m_driver.Run([&] { dialog.DoModal(); },
                 [&](CScript& s) {
                     ASSERT_TRUE(s.WaitForScreen(kFirstDialog));
                     s.Click(kOpenButton);
                     ASSERT_TRUE(s.WaitForBox());
                     const auto box = s.FrontBox();
                     ASSERT_TRUE(box.has_value());
                     EXPECT_EQ(box->caption, CString(u"提示"));
                     EXPECT_EQ(box->type, MB_OK);
                     EXPECT_EQ(box->owner, s.OnGui([&] { return dialog.GetSafeHwnd(); }));
                     EXPECT_EQ(s.BarCaption(), CString(u"提示"));
                     // The screen below takes nothing while the box is in front.
                     s.Click(kOpenButton);
                     // Esc answers the box; the screen stays.
                     s.PressEscape();
                     ASSERT_TRUE(s.WaitForScreen(kFirstDialog));
                     EXPECT_EQ(s.BarCaption(), CString(u"一"));
                     s.PressOk();
                     EXPECT_TRUE(s.WaitForProgramEnd());
                 });
    EXPECT_EQ(log, (std::vector<std::string>{"A opens", "1", "A goes on"}));
}

TEST_F(MessageBoxTest, TheBarsOkAnswersTheBox) {
    m_driver.Run([] { AfxMessageBox(u"好"); },
                 [](CScript& s) {
                     ASSERT_TRUE(s.WaitForBox());
                     s.PressOk();
                     EXPECT_TRUE(s.WaitForProgramEnd());
                 });
    const auto events = m_driver.Events();
    ASSERT_EQ(events.size(), 2u);
    EXPECT_EQ(events[0].kind, Kind::BoxShown);
    EXPECT_EQ(events[1].kind, Kind::BoxClosed);
    EXPECT_EQ(events[1].result, IDOK);
}

} // namespace
