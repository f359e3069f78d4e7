// Window timers: each ticks with its own id at its period until it is killed, and none outlives
// its window.

#include "platform/ui/Dialog.h"
#include "tests/support/TestDriver.h"
#include "tests/ui/TestTemplates.h"

#include <gtest/gtest.h>

#include <map>

using testing_support::CScript;
using testing_support::CTestDriver;

namespace {

class CTimerDlg : public CDialog {
public:
    CTimerDlg() : CDialog(kBareDialog) {}
    std::map<UINT_PTR, int> m_ticks;
    UINT_PTR m_nStarted = 0;
    bool m_bRestartFirst = false; // timer 7 starts timer 1 again at its eighth tick

protected:
    BOOL OnInitDialog() override {
        CDialog::OnInitDialog();
        m_nStarted = SetTimer(1, 10);
        SetTimer(7, 15);
        return TRUE;
    }
    const CMessageMap* GetMessageMap() const override {
        static const CMessageMapOf<CTimerDlg> map(CDialog::GetMessageMap(),
                                                  {On::Timer(&CTimerDlg::OnTimer)});
        return &map;
    }
    void OnTimer(UINT_PTR id) {
        // Timer 1 stops itself from its own fifth tick.
        if (++m_ticks[id] == 5 && id == 1) {
            KillTimer(1);
        }
        if (m_bRestartFirst && id == 7 && m_ticks[id] == 8) {
            SetTimer(1, 10);
        }
        CDialog::OnTimer(id);
    }
};

class TimerTest : public ::testing::Test {
protected:
    TimerTest() { RegisterTestTemplates(); }
    CTestDriver m_driver;
};

TEST_F(TimerTest, EachTimerTicksWithItsIdUntilKilled) {
    CTimerDlg dialog;
    std::map<UINT_PTR, int> ticks;
    m_driver.Run([&] { dialog.DoModal(); },
                 [&](CScript& s) {
                     ASSERT_TRUE(s.WaitForScreen(kBareDialog));
                     ASSERT_TRUE(s.WaitUntil([&] { return dialog.m_ticks[7] >= 12; }));
                     ticks = s.OnGui([&] { return dialog.m_ticks; });
                     s.PressOk();
                 });
    EXPECT_EQ(dialog.m_nStarted, 1u);
    EXPECT_EQ(ticks[1], 5);
    EXPECT_GE(ticks[7], 12);
    EXPECT_EQ(ticks.size(), 2u);
}

TEST_F(TimerTest, AKilledTimerStartedAgainTicksAgain) {
    CTimerDlg dialog;
    dialog.m_bRestartFirst = true;
    m_driver.Run([&] { dialog.DoModal(); },
                 [&](CScript& s) {
                     ASSERT_TRUE(s.WaitForScreen(kBareDialog));
                     EXPECT_TRUE(s.WaitUntil([&] { return dialog.m_ticks[1] >= 8; }));
                     s.PressOk();
                 });
}

TEST_F(TimerTest, NoTimerTicksAfterItsWindowHasGone) {
    CTimerDlg dialog;
    int ticksAtEnd = 0;
    m_driver.Run(
        [&] {
            dialog.DoModal();
            ticksAtEnd = dialog.m_ticks[7];
            // A second screen keeps the event loop running while the first one's timers would
            // still be due.
            CDialog(kFirstDialog).DoModal();
        },
        [&](CScript& s) {
            ASSERT_TRUE(s.WaitForScreen(kBareDialog));
            ASSERT_TRUE(s.WaitUntil([&] { return dialog.m_ticks[7] >= 2; }));
            s.PressOk();
            ASSERT_TRUE(s.WaitForScreen(kFirstDialog));
            s.Pause(std::chrono::milliseconds(100));
            s.PressOk();
        });
    EXPECT_EQ(dialog.m_ticks[7], ticksAtEnd);
    EXPECT_EQ(dialog.SetTimer(3, 10), 0u); // no window, no timer
}

} // namespace
