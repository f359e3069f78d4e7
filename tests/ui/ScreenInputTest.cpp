// The handheld's input beyond the tap, on a screen that asks for it: tap-and-hold, the right
// button and the Menu key ask for the screen's menu, the d-pad reaches the screen before its
// control, and a quick horizontal swipe is a gesture while a slow drag still selects text. And
// popup menus: their entries as shown, chosen by a tap or the keys, cancelled every way.

#include "platform/ui/Dialog.h"
#include "platform/ui/HtmlControl.h"
#include "platform/ui/Menu.h"
#include "platform/ui/testing/HtmlViewTesting.h"
#include "tests/support/DesktopInput.h"
#include "tests/support/Printing.h"
#include "tests/support/TestDriver.h"
#include "tests/ui/TestTemplates.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using testing_support::CScript;
using testing_support::CTestDriver;

namespace {

constexpr UINT kFirstEntry = 41;
constexpr UINT kGreyEntry = 42;
constexpr UINT kLastEntry = 43;
constexpr int kViewerTop = 60; // the viewer fills the screen below its button

// A screen with a button at the top and an HTML viewer below it, that writes down every press,
// key, swipe and menu it gets. Up and Down go on to the viewer; Left and Right stay here.
class CInputDlg : public CDialog {
public:
    explicit CInputDlg(std::vector<std::string>& log) : CDialog(kFirstDialog), m_log(log) {}

    HWND m_hwndHtml = nullptr;
    UINT m_nChosen = 0;
    bool m_bShowMenu = true;

protected:
    BOOL OnInitDialog() override {
        CDialog::OnInitDialog();
        CRect client;
        GetClientRect(client);
        InitHTMLControl(AfxGetInstanceHandle());
        m_hwndHtml = CreateWindowEx(0, kHtmlViewClass, nullptr, WS_CHILD | WS_VISIBLE, 0,
                                    kViewerTop, client.Width(), client.Height() - kViewerTop,
                                    GetSafeHwnd(), nullptr, AfxGetInstanceHandle(), nullptr);
        CString page = u"<html><body>";
        for (int line = 0; line < 60; ++line) {
            page += u"床前明月光疑是地上霜<br>";
        }
        page += u"</body></html>";
        ::SendMessage(m_hwndHtml, DTM_ADDTEXTW, 0, reinterpret_cast<LPARAM>(page.GetString()));
        ::SendMessage(m_hwndHtml, DTM_ENDOFSOURCE, 0, 0);
        return TRUE;
    }
    const CMessageMap* GetMessageMap() const override {
        static const CMessageMapOf<CInputDlg> map(CDialog::GetMessageMap(),
                                                  {
                                                      On::ContextMenu(&CInputDlg::OnContextMenu),
                                                      On::KeyDown(&CInputDlg::OnKeyDown),
                                                      On::Swipe(&CInputDlg::OnSwipe),
                                                      On::LButtonDown(&CInputDlg::OnLButtonDown),
                                                      On::Clicked(kOpenButton, &CInputDlg::OnOpen),
                                                  });
        return &map;
    }

    void OnContextMenu(CWnd* window, CPoint point) {
        const bool onViewer = window != nullptr && window->GetSafeHwnd() == m_hwndHtml;
        m_log.push_back("menu " + std::to_string(point.x) + "," + std::to_string(point.y) +
                        (onViewer ? " viewer" : " screen"));
        if (!m_bShowMenu) {
            return;
        }
        CMenu menu;
        menu.CreatePopupMenu();
        menu.AppendMenu(MF_STRING, kFirstEntry, u"第一项");
        menu.AppendMenu(MF_SEPARATOR);
        menu.AppendMenu(MF_STRING, kGreyEntry, u"不可用");
        menu.AppendMenu(MF_STRING, kLastEntry, u"最后一项");
        menu.EnableMenuItem(kGreyEntry, MF_BYCOMMAND | MF_GRAYED);
        menu.CheckMenuItem(kLastEntry, MF_BYCOMMAND | MF_CHECKED);
        m_nChosen = menu.TrackPopupMenu(TPM_RETURNCMD, point.x, point.y, this);
        m_log.push_back("chose " + std::to_string(m_nChosen));
    }
    void OnKeyDown(UINT key, UINT repeat, UINT flags) {
        m_log.push_back("key " + std::to_string(key));
        if (key == VK_UP || key == VK_DOWN || key == VK_PRIOR || key == VK_NEXT) {
            CDialog::OnKeyDown(key, repeat, flags);
        }
    }
    void OnSwipe(UINT direction) {
        m_log.push_back(direction == ARG_SCROLL_LEFT ? "swipe left" : "swipe right");
    }
    void OnLButtonDown(UINT flags, CPoint point) {
        m_log.push_back("tap " + std::to_string(point.x) + "," + std::to_string(point.y));
        CDialog::OnLButtonDown(flags, point);
    }
    void OnOpen() { m_log.push_back("clicked"); }

private:
    std::vector<std::string>& m_log;
};

class ScreenInputTest : public ::testing::Test {
protected:
    ScreenInputTest() { RegisterTestTemplates(); }

    // Runs `script` over the input screen once its page is shown.
    void RunOverScreen(const std::function<void(CScript&)>& script) {
        m_driver.Run([&] { m_dialog.DoModal(); },
                     [&](CScript& s) {
                         ASSERT_TRUE(s.WaitForScreen(kFirstDialog));
                         ASSERT_TRUE(s.WaitUntil([&] {
                             return !UiTesting::HtmlView(m_dialog.m_hwndHtml).page.IsEmpty();
                         }));
                         script(s);
                         s.PressOk();
                     });
    }
    std::vector<std::string> Logged(CScript& s) {
        return s.OnGui([&] { return m_log; });
    }
    // The text the viewer has selected now.
    CString Selection(CScript& s) {
        return s.OnGui([&] {
            UiTesting::FlushHtmlView(m_dialog.m_hwndHtml);
            return UiTesting::HtmlView(m_dialog.m_hwndHtml).selection;
        });
    }
    // On the program's thread.
    int ScrollY() const { return UiTesting::HtmlView(m_dialog.m_hwndHtml).scrollY; }

    std::vector<std::string> m_log;
    CInputDlg m_dialog{m_log};
    CTestDriver m_driver;
};

using Log = std::vector<std::string>;

TEST_F(ScreenInputTest, AHoldARightClickAndTheMenuKeyAskForTheMenuAndAHoldIsNoTap) {
    m_dialog.m_bShowMenu = false;
    RunOverScreen([&](CScript& s) {
        // On the screen itself: the press is the tap it always was, and the hold comes after it.
        s.Hold(200, 30);
        ASSERT_TRUE(s.WaitUntil([&] { return m_log.size() == 2; }));
        // On the button: held, it is not clicked.
        s.Hold(30, 20);
        // On the viewer, a short press is nothing, a long one is a hold.
        s.Hold(100, 150, std::chrono::milliseconds(200));
        s.Hold(100, 150);
        s.RightClick(120, 200);
        s.PressMenuKey();
        ASSERT_TRUE(s.WaitUntil([&] { return m_log.size() == 6; }))
            << ::testing::PrintToString(Logged(s));
        s.Pause(std::chrono::milliseconds(100));
        EXPECT_EQ(Logged(s),
                  (Log{"tap 200,30", "menu 200,30 screen", "menu 30,20 screen",
                       "menu 100,150 viewer", "menu 120,200 viewer", "menu -1,-1 screen"}));
        // A press that wanders is no hold, and a tap on the button still clicks it.
        s.Drag(100, 100, 100, 200, std::chrono::milliseconds(900));
        s.Hold(30, 20, std::chrono::milliseconds(50));
        ASSERT_TRUE(s.WaitUntil([&] { return m_log.size() == 7; }));
        s.Pause(std::chrono::milliseconds(700));
        EXPECT_EQ(Logged(s).back(), "clicked");
        EXPECT_EQ(Logged(s).size(), 7u);
    });
}

TEST_F(ScreenInputTest, AHoldThroughTheZoomedWindowOpensTheMenuAndItsReleaseChoosesNothing) {
    m_driver.SetZoom(2);
    RunOverScreen([&](CScript& s) {
        // On the button, which a release must not click, and on the viewer; then a right click.
        for (const CPoint at : {CPoint(30, 20), CPoint(100, 150)}) {
            s.OnGui([&] { testing_support::DesktopPressAt(at.x, at.y, 2); });
            ASSERT_TRUE(s.WaitForMenu());
            s.OnGui([&] { testing_support::DesktopReleaseAt(at.x, at.y, 2); });
            s.Pause(std::chrono::milliseconds(100));
            EXPECT_TRUE(s.FrontMenu().has_value()); // lifting the finger leaves the menu open
            s.PressEscape();
            ASSERT_TRUE(s.WaitForNoMenu());
        }
        s.OnGui([] {
            testing_support::DesktopPressAt(120, 200, 2, true);
            testing_support::DesktopReleaseAt(120, 200, 2, true);
        });
        ASSERT_TRUE(s.WaitForMenu());
        s.PressEscape();
        ASSERT_TRUE(s.WaitForNoMenu());
        // A click on the button still clicks it.
        s.OnGui([] { testing_support::DesktopClickAt(30, 20, 2); });
        ASSERT_TRUE(s.WaitUntil([&] { return !m_log.empty() && m_log.back() == "clicked"; }));
        EXPECT_EQ(Logged(s), (Log{"menu 30,20 screen", "chose 0", "menu 100,150 viewer", "chose 0",
                                  "menu 120,200 viewer", "chose 0", "clicked"}));
    });
}

TEST_F(ScreenInputTest, TheDpadReachesTheScreenFirstAndWhatItLeavesScrollsTheViewer) {
    RunOverScreen([&](CScript& s) {
        s.OnGui([&] { CWnd::FromHandle(m_dialog.m_hwndHtml)->SetFocus(); });
        s.PressKey(VK_NEXT);
        ASSERT_TRUE(s.WaitUntil([&] { return ScrollY() > 0; }));
        const int paged = s.OnGui([&] { return ScrollY(); });
        s.PressKey(VK_DOWN);
        ASSERT_TRUE(s.WaitUntil([&] { return ScrollY() > paged; }));
        const int down = s.OnGui([&] { return ScrollY(); });
        s.PressKey(VK_RIGHT);
        s.PressKey(VK_LEFT);
        s.PressKey(VK_UP);
        ASSERT_TRUE(s.WaitUntil([&] { return ScrollY() < down; }));
        s.PressKey(VK_PRIOR);
        ASSERT_TRUE(s.WaitUntil([&] { return ScrollY() == 0; }));
        EXPECT_EQ(Logged(s), (Log{"key 34", "key 40", "key 39", "key 37", "key 38", "key 33"}));
    });
}

TEST_F(ScreenInputTest, AQuickSwipeIsAGestureAndASlowDragStillSelects) {
    RunOverScreen([&](CScript& s) {
        s.Drag(200, 100, 60, 104); // right to left, across more than a third
        s.Drag(40, 200, 200, 190);
        ASSERT_TRUE(s.WaitUntil([&] { return m_log.size() == 2; }))
            << ::testing::PrintToString(Logged(s));
        EXPECT_EQ(Logged(s), (Log{"swipe left", "swipe right"}));
        EXPECT_TRUE(Selection(s).IsEmpty()); // what the swipe's drag selected went with it
        // Too short, too steep, or too slow: no gesture; the slow one selects its text.
        s.Drag(100, 100, 170, 100);
        s.Drag(100, 80, 200, 200);
        s.Drag(10, 72, 200, 72, std::chrono::milliseconds(900));
        s.Pause(std::chrono::milliseconds(100));
        EXPECT_EQ(Logged(s).size(), 2u) << ::testing::PrintToString(Logged(s));
        EXPECT_GE(Selection(s).GetLength(), 6) << Selection(s).ToUtf8();
    });
}

TEST_F(ScreenInputTest, AMenuShowsItsEntriesAndEndsWithTheOneChosenOrNone) {
    RunOverScreen([&](CScript& s) {
        s.RightClick(100, 150);
        ASSERT_TRUE(s.WaitForMenu());
        const auto menu = s.FrontMenu();
        ASSERT_TRUE(menu.has_value());
        ASSERT_EQ(menu->size(), 4u);
        EXPECT_EQ((*menu)[0].text, CString(u"第一项"));
        EXPECT_TRUE((*menu)[0].enabled);
        EXPECT_TRUE((*menu)[1].separator);
        EXPECT_FALSE((*menu)[1].enabled);
        EXPECT_FALSE((*menu)[2].enabled);
        EXPECT_TRUE((*menu)[3].checked);
        // A disabled entry cannot be chosen; the last one can.
        s.ChooseMenuItem(kGreyEntry);
        s.Sync();
        EXPECT_TRUE(s.FrontMenu().has_value());
        s.ChooseMenuItem(kLastEntry);
        ASSERT_TRUE(s.WaitForNoMenu());
        // Cancelled by a tap outside, by Esc and by the bar's "ok".
        for (int way = 0; way < 3; ++way) {
            s.Hold(100, 150);
            ASSERT_TRUE(s.WaitForMenu());
            if (way == 0) {
                s.CancelMenu();
            } else if (way == 1) {
                s.PressEscape();
            } else {
                s.PressOk();
            }
            ASSERT_TRUE(s.WaitForNoMenu());
        }
        // The keys: Down skips the separator and the disabled entry, Enter chooses.
        s.PressMenuKey();
        ASSERT_TRUE(s.WaitForMenu());
        s.PressKey(VK_DOWN);
        s.PressKey(VK_DOWN);
        s.PressEnter();
        ASSERT_TRUE(s.WaitForNoMenu());
        EXPECT_EQ(s.FrontTemplate(), kFirstDialog); // the screen is still there
        EXPECT_EQ(Logged(s),
                  (Log{"menu 100,150 viewer", "chose 43", "menu 100,150 viewer", "chose 0",
                       "menu 100,150 viewer", "chose 0", "menu 100,150 viewer", "chose 0",
                       "menu -1,-1 screen", "chose 43"}));
    });
}

TEST_F(ScreenInputTest, ClosingTheWindowUnderAMenuCancelsItAndEndsTheScreen) {
    m_driver.Run([&] { m_dialog.DoModal(); },
                 [&](CScript& s) {
                     ASSERT_TRUE(s.WaitForScreen(kFirstDialog));
                     s.RightClick(100, 150);
                     ASSERT_TRUE(s.WaitForMenu());
                     s.CloseWindow();
                     EXPECT_TRUE(s.WaitForProgramEnd());
                 });
    EXPECT_EQ(m_log, (Log{"menu 100,150 viewer", "chose 0"}));
    EXPECT_FALSE(CTestDriver::AnyWindowOpen());
}

} // namespace
