// Modal runs: they nest, return only when their screen has ended, and all end when the window
// closes.

#include "platform/core/Services.h"
#include "tests/support/Printing.h"
#include "tests/support/TestDriver.h"
#include "tests/ui/OpenerDialog.h"

#include <gtest/gtest.h>

using testing_support::CScript;
using testing_support::CTestDriver;
using Kind = UiTesting::ScreenEvent::Kind;
using Log = std::vector<std::string>;

namespace {

class ModalRunTest : public ::testing::Test {
protected:
    ModalRunTest() { RegisterTestTemplates(); }

    int CountEvents(Kind kind, UINT templateId) const {
        int count = 0;
        for (const auto& event : m_driver.Events()) {
            count += event.kind == kind && event.templateId == templateId ? 1 : 0;
        }
        return count;
    }

    CTestDriver m_driver;
};

TEST_F(ModalRunTest, NestedRunsReturnOnlyWhenTheirScreenHasEnded) {
    Log log;
    INT_PTR first = 0;
    INT_PTR second = 0;
    INT_PTR third = 0;
    COpenerDlg a(kFirstDialog, log, "A");
    a.m_onOpen = [&] {
        COpenerDlg b(kSecondDialog, log, "B");
        b.m_onOpen = [&] {
            COpenerDlg c(kThirdDialog, log, "C");
            third = c.DoModal();
            log.push_back("C returned");
        };
        second = b.DoModal();
        log.push_back("B returned");
    };
    m_driver.Run([&] { first = a.DoModal(); },
                 [&](CScript& s) {
                     ASSERT_TRUE(s.WaitForScreen(kFirstDialog));
                     s.Click(kOpenButton);
                     ASSERT_TRUE(s.WaitForScreen(kSecondDialog));
                     s.Click(kOpenButton);
                     ASSERT_TRUE(s.WaitForScreen(kThirdDialog));
                     EXPECT_EQ(s.BarCaption(), CString(u"三"));
                     // Neither handler below has gone on while the third screen is open.
                     EXPECT_EQ(s.OnGui([&] { return log; }), (Log{"A opens", "B opens"}));
                     s.PressOk();
                     ASSERT_TRUE(s.WaitForScreen(kSecondDialog));
                     EXPECT_EQ(s.BarCaption(), CString(u"二"));
                     s.PressEscape();
                     ASSERT_TRUE(s.WaitForScreen(kFirstDialog));
                     s.PressOk();
                     EXPECT_TRUE(s.WaitForProgramEnd());
                 });
    EXPECT_EQ(third, IDOK);
    EXPECT_EQ(second, IDCANCEL);
    EXPECT_EQ(first, IDOK);
    EXPECT_EQ(log,
              (Log{"A opens", "B opens", "C returned", "B goes on", "B returned", "A goes on"}));
    EXPECT_FALSE(CTestDriver::AnyWindowOpen());
}

TEST_F(ModalRunTest, ClosingTheWindowEndsEveryScreenFromTheFrontDown) {
    Log log;
    INT_PTR first = 0;
    INT_PTR second = 0;
    INT_PTR third = 0;
    INT_PTR openedWhileClosing = 0;
    int boxWhileClosing = 0;
    COpenerDlg a(kFirstDialog, log, "A");
    a.m_onOpen = [&] {
        COpenerDlg b(kSecondDialog, log, "B");
        b.m_onOpen = [&] {
            COpenerDlg c(kThirdDialog, log, "C");
            c.m_bIgnoreClose = true;
            third = c.DoModal();
            log.push_back("C returned");
            // The handler goes on as usual, but nothing new may open once the window closes.
            COpenerDlg d(kFourthDialog, log, "D");
            openedWhileClosing = d.DoModal();
            boxWhileClosing = AfxMessageBox(u"不应出现");
        };
        second = b.DoModal();
        log.push_back("B returned");
    };
    m_driver.Run([&] { first = a.DoModal(); },
                 [&](CScript& s) {
                     ASSERT_TRUE(s.WaitForScreen(kFirstDialog));
                     s.Click(kOpenButton);
                     ASSERT_TRUE(s.WaitForScreen(kSecondDialog));
                     s.Click(kOpenButton);
                     ASSERT_TRUE(s.WaitForScreen(kThirdDialog));
                     s.CloseWindow();
                     EXPECT_TRUE(s.WaitForProgramEnd());
                 });
    EXPECT_EQ(log, (Log{"A opens", "B opens", "C closes", "C returned", "B goes on", "B closes",
                        "B returned", "A goes on", "A closes"}));
    EXPECT_EQ(third, IDCANCEL);
    EXPECT_EQ(second, IDCANCEL);
    EXPECT_EQ(first, IDCANCEL);
    EXPECT_EQ(openedWhileClosing, IDCANCEL);
    EXPECT_EQ(boxWhileClosing, IDOK);
    EXPECT_EQ(CountEvents(Kind::DialogOpened, kFourthDialog), 0);
    for (const auto& event : m_driver.Events()) {
        EXPECT_NE(event.kind, Kind::BoxShown);
    }
    EXPECT_FALSE(CTestDriver::AnyWindowOpen());
}

TEST_F(ModalRunTest, AfterTheWindowClosedTheNextRunOpensANewWindow) {
    Log log;
    INT_PTR again = 0;
    m_driver.Run(
        [&] {
            COpenerDlg first(kFirstDialog, log, "A");
            first.DoModal();
            COpenerDlg second(kSecondDialog, log, "B");
            again = second.DoModal();
        },
        [&](CScript& s) {
            ASSERT_TRUE(s.WaitForScreen(kFirstDialog));
            s.CloseWindow();
            ASSERT_TRUE(s.WaitForScreen(kSecondDialog));
            s.PressOk();
            EXPECT_TRUE(s.WaitForProgramEnd());
        });
    EXPECT_EQ(again, IDOK);
}

TEST_F(ModalRunTest, ARunThatCannotStartReturnsMinusOne) {
    Log log;
    INT_PTR missing = 0;
    INT_PTR reentered = 0;
    INT_PTR outer = 0;
    COpenerDlg a(kFirstDialog, log, "A");
    a.m_onOpen = [&] { reentered = a.DoModal(); };
    m_driver.Run(
        [&] {
            CDialog nowhere(4242);
            missing = nowhere.DoModal();
            outer = a.DoModal();
        },
        [&](CScript& s) {
            ASSERT_TRUE(s.WaitForScreen(kFirstDialog));
            s.Click(kOpenButton);
            s.Sync();
            EXPECT_EQ(s.FrontTemplate(), kFirstDialog);
            s.PressOk();
            EXPECT_TRUE(s.WaitForProgramEnd());
        });
    EXPECT_EQ(missing, -1);
    EXPECT_EQ(reentered, -1);
    EXPECT_EQ(outer, IDOK);
    EXPECT_EQ(CountEvents(Kind::DialogOpened, 4242), 0);
}

// Ends in OnInitDialog: the run returns at once, without waiting for anything.
class CEndsAtOnceDlg : public CDialog {
public:
    CEndsAtOnceDlg() : CDialog(kBareDialog) {}
    BOOL OnInitDialog() override {
        CDialog::OnInitDialog();
        EndDialog(77);
        return TRUE;
    }
};

TEST_F(ModalRunTest, EndingInOnInitDialogReturnsAtOnce) {
    INT_PTR result = 0;
    m_driver.Run([&] { result = CEndsAtOnceDlg().DoModal(); },
                 [](CScript& s) { EXPECT_TRUE(s.WaitForProgramEnd()); });
    EXPECT_EQ(result, 77);
    EXPECT_EQ(CountEvents(Kind::DialogClosed, kBareDialog), 1);
    EXPECT_FALSE(CTestDriver::AnyWindowOpen());
}

TEST_F(ModalRunTest, AScreenWithoutACaptionShowsTheProgramsName) {
    m_driver.Run([] { CDialog(kBareDialog).DoModal(); },
                 [](CScript& s) {
                     ASSERT_TRUE(s.WaitForScreen(kBareDialog));
                     EXPECT_EQ(s.BarCaption(), CString(u"lomeva"));
                     s.PressEscape();
                     EXPECT_TRUE(s.WaitForProgramEnd());
                 });
}

} // namespace
