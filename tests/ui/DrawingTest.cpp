// Drawing in OnPaint: texts in rectangles with their fonts, colours and formats; and the window's
// zoom, which keeps the coordinates inside in the handheld's pixels.

#include "platform/ui/Dialog.h"
#include "platform/ui/Gdi.h"
#include "platform/ui/ScreenGeometry.h"
#include "tests/support/Printing.h"
#include "tests/support/TestDriver.h"
#include "tests/ui/TestTemplates.h"

#include <gtest/gtest.h>

using testing_support::CScript;
using testing_support::CTestDriver;

namespace {

class CPainterDlg : public CDialog {
public:
    CPainterDlg() : CDialog(kBareDialog) {}
    std::vector<CPoint> m_taps;

protected:
    const CMessageMap* GetMessageMap() const override {
        static const CMessageMapOf<CPainterDlg> map(
            CDialog::GetMessageMap(), {
                                          On::Paint(&CPainterDlg::OnPaint),
                                          On::LButtonDown(&CPainterDlg::OnLButtonDown),
                                      });
        return &map;
    }
    void OnPaint() {
        CPaintDC dc(this);
        dc.SetBkMode(TRANSPARENT);
        CFont font;
        font.CreatePointFont(85, u"宋体", &dc);
        CFont* previous = dc.SelectObject(&font);
        const COLORREF previousColour = dc.SetTextColor(RGB(200, 10, 20));
        CRect right(40, 2, 235, 74);
        dc.DrawText(u"一\n二  ", right, DT_RIGHT);
        dc.SetTextColor(previousColour);
        dc.SelectObject(previous);
        CRect centre(0, 254, 240, 279);
        dc.DrawText(u"中", centre, DT_CENTER | DT_VCENTER);
    }
    void OnLButtonDown(UINT, CPoint point) { m_taps.push_back(point); }
};

class DrawingTest : public ::testing::Test {
protected:
    DrawingTest() { RegisterTestTemplates(); }
    CTestDriver m_driver;
};

TEST_F(DrawingTest, TextsAreDrawnWithTheFontColourAndFormatSelected) {
    CPainterDlg dialog;
    std::vector<UiTesting::DrawnText> drawn;
    m_driver.Run([&] { dialog.DoModal(); },
                 [&](CScript& s) {
                     ASSERT_TRUE(s.WaitForScreen(kBareDialog));
                     drawn = s.Paint();
                     s.PressOk();
                 });
    ASSERT_EQ(drawn.size(), 2u);
    EXPECT_EQ(drawn[0].text, CString(u"一\n二  "));
    EXPECT_EQ(drawn[0].rect, CRect(40, 2, 235, 74));
    EXPECT_EQ(drawn[0].format, DT_RIGHT);
    EXPECT_EQ(drawn[0].face, CString(u"宋体"));
    EXPECT_EQ(drawn[0].pointTenths, 85);
    EXPECT_EQ(drawn[0].color, RGB(200, 10, 20));
    EXPECT_EQ(drawn[0].bkMode, TRANSPARENT);
    // The previous font (the window's own) and colour are back for the second text.
    EXPECT_EQ(drawn[1].pointTenths, 0);
    EXPECT_EQ(drawn[1].color, RGB(0, 0, 0));
    EXPECT_EQ(drawn[1].format, DT_CENTER | DT_VCENTER);
}

TEST_F(DrawingTest, AtDoubleZoomTheWindowIsTwiceAsLargeAndTapsKeepTheirPoints) {
    m_driver.SetZoom(2);
    CPainterDlg dialog;
    int width = 0;
    int height = 0;
    m_driver.Run([&] { dialog.DoModal(); },
                 [&](CScript& s) {
                     ASSERT_TRUE(s.WaitForScreen(kBareDialog));
                     s.OnGui([&] {
                         auto size = m_driver.WindowSize();
                         width = size.cx;
                         height = size.cy;
                     });
                     s.ClickWindowAt(2 * 100, 2 * (kBarHeight + 50));
                     s.Sync();
                     s.PressOk();
                 });
    EXPECT_EQ(width, 2 * kScreenWidth);
    EXPECT_EQ(height, 2 * kScreenHeight);
    ASSERT_EQ(dialog.m_taps.size(), 1u);
    EXPECT_EQ(dialog.m_taps[0], CPoint(100, 50));
}

} // namespace
