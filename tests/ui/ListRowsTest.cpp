// Rows of list boxes and drop-down lists: a quarter taller than their text at least, with the
// text in the middle, so that the glyphs of one row never meet the next; a list box shows
// whole rows only.

#include "platform/ui/Controls.h"
#include "platform/ui/DataExchange.h"
#include "platform/ui/Dialog.h"
#include "platform/ui/testing/ScreenWidgets.h"
#include "tests/support/LineGaps.h"
#include "tests/support/TestDriver.h"
#include "tests/ui/TestTemplates.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QListWidget>

using testing_support::CScript;
using testing_support::CTestDriver;

namespace {

class CListsDlg : public CDialog {
public:
    CListsDlg() : CDialog(kFormDialog) {}
    CListBox m_list;

protected:
    void DoDataExchange(CDataExchange* pDX) override { DDX_Control(pDX, kList, m_list); }
};

template <class Widget> Widget* FindOnScreen(const std::function<bool(Widget*)>& match) {
    for (Widget* widget : UiTesting::ScreenSurface()->findChildren<Widget*>()) {
        if (match(widget)) {
            return widget;
        }
    }
    return nullptr;
}

class ListRowsTest : public ::testing::Test {
protected:
    ListRowsTest() {
        RegisterTestTemplates();
        m_driver.SetZoom(1);
    }
    CTestDriver m_driver;
};

TEST_F(ListRowsTest, AListBoxsRowsAreAQuarterTallerThanTheTextWhichSitsInTheirMiddle) {
    CListsDlg dialog;
    m_driver.Run([&] { dialog.DoModal(); },
                 [&](CScript& s) {
                     ASSERT_TRUE(s.WaitForScreen(kFormDialog));
                     s.OnGui([&] {
                         for (const char16_t* title : {u"春晓", u"静夜思", u"登鹳雀楼"}) {
                             dialog.m_list.AddString(title);
                         }
                     });
                     s.Pause(std::chrono::milliseconds(100)); // laid out and painted
                     s.OnGui([&] {
                         auto* list = FindOnScreen<QListWidget>(
                             [](QListWidget* candidate) { return candidate->count() == 3; });
                         ASSERT_NE(list, nullptr);
                         const int text = QFontMetrics(list->font()).height();
                         const QImage image = list->viewport()->grab().toImage();
                         int previousInkBottom = -1;
                         for (int row = 0; row < list->count(); ++row) {
                             const QRect rect = list->visualItemRect(list->item(row));
                             EXPECT_GE(rect.height() * 4, text * 5) << row;
                             const auto runs = testing_support::InkRuns(image, rect);
                             ASSERT_EQ(runs.size(), 1u) << row; // one line, whole
                             const int above = runs[0].top - rect.top();
                             const int below = rect.bottom() - (runs[0].top + runs[0].height - 1);
                             EXPECT_GE(above, 1) << row;
                             EXPECT_GE(below, 1) << row;
                             EXPECT_LE(std::abs(above - below), 2) << row; // in the middle
                             EXPECT_GT(runs[0].top, previousInkBottom + 1) << row;
                             previousInkBottom = runs[0].top + runs[0].height - 1;
                         }
                         // Whole rows only: no row shows cut off at the list's bottom.
                         const int rowHeight = list->visualItemRect(list->item(0)).height();
                         EXPECT_EQ(list->viewport()->height() % rowHeight, 0)
                             << list->viewport()->height() << " / " << rowHeight;
                     });
                     s.PressEscape();
                 });
}

TEST_F(ListRowsTest, ADropDownListsRowsAreAQuarterTallerThanTheText) {
    CListsDlg dialog;
    m_driver.Run([&] { dialog.DoModal(); },
                 [&](CScript& s) {
                     ASSERT_TRUE(s.WaitForScreen(kFormDialog));
                     s.OnGui([] {
                         auto* combo = FindOnScreen<QComboBox>([](QComboBox*) { return true; });
                         ASSERT_NE(combo, nullptr);
                         ASSERT_GT(combo->count(), 0);
                         const int text = QFontMetrics(combo->font()).height();
                         EXPECT_GE(combo->view()->sizeHintForRow(0) * 4, text * 5);
                     });
                     s.PressEscape();
                 });
}

} // namespace
