// The catalogue's list view as the catalogue does not exercise it: rows and columns put in
// above others, and taps on rows and beside them.

#include "platform/ui/Controls.h"
#include "platform/ui/DataExchange.h"
#include "platform/ui/Dialog.h"
#include "resources/ProgramResources.h"
#include "resources/ResourceIds.h"
#include "tests/support/Printing.h"
#include "tests/support/TestDriver.h"

#include <gtest/gtest.h>

using testing_support::CScript;

namespace {

// The catalogue's template with nothing but its list bound.
class CListHost : public CDialog {
public:
    CListHost() : CDialog(IDD_CATALOG) {}
    CListCtrl m_list;

protected:
    void DoDataExchange(CDataExchange* pDX) override { DDX_Control(pDX, IDC_LIST_POEMS, m_list); }
    BOOL OnInitDialog() override {
        CDialog::OnInitDialog();
        m_list.EnableWindow(TRUE);
        m_list.InsertColumn(0, u"序号", LVCFMT_LEFT, 40);
        m_list.InsertColumn(1, u"标题", LVCFMT_LEFT, 120);
        for (int row = 0; row < 3; ++row) {
            m_list.InsertItem(row, CString::Formatted(u"%d", row + 1));
            m_list.SetItemText(row, 1, CString::Formatted(u"第%d首", row + 1));
        }
        return TRUE;
    }
};

// A point inside the first row and one below the last, whatever the font's exact height.
constexpr int kFirstRowY = 25;
constexpr int kBelowRowsY = 200;

class ListViewTest : public ::testing::Test {
protected:
    void WithList(const std::function<void(CScript&, CListHost&)>& script) {
        CListHost host;
        m_driver.Run([&] { host.DoModal(); },
                     [&](CScript& s) {
                         ASSERT_TRUE(s.WaitForScreen(IDD_CATALOG));
                         script(s, host);
                         s.PressOk();
                     });
    }
    static std::vector<int> Selected(CScript& s, CListHost& host) {
        return s.OnGui([&host] {
            std::vector<int> rows;
            for (int row = 0; row < host.m_list.GetItemCount(); ++row) {
                if (host.m_list.GetItemState(row, LVIS_SELECTED) == LVIS_SELECTED) {
                    rows.push_back(row);
                }
            }
            return rows;
        });
    }

    testing_support::CTestDriver m_driver;
};

TEST_F(ListViewTest, RowsAndColumnsPutInAboveOthersMoveThemOn) {
    WithList([](CScript& s, CListHost& host) {
        s.Select(IDC_LIST_POEMS, 1);
        s.Sync();
        s.OnGui([&] {
            CListCtrl& list = host.m_list;
            EXPECT_EQ(list.InsertItem(0, u"新"), 0);
            EXPECT_EQ(list.GetItemCount(), 4);
            EXPECT_EQ(list.GetItemText(0, 0), CString(u"新"));
            EXPECT_EQ(list.GetItemText(0, 1), CString());
            EXPECT_EQ(list.GetItemText(2, 1), CString(u"第2首"));
            EXPECT_EQ(list.InsertItem(99, u"末"), 4); // past the end: appended
            EXPECT_EQ(list.InsertColumn(1, u"作者", LVCFMT_RIGHT, 70), 1);
            EXPECT_EQ(list.GetItemText(2, 1), CString());
            EXPECT_EQ(list.GetItemText(2, 2), CString(u"第2首"));
            EXPECT_TRUE(list.SetItemText(2, 1, u"某人"));
            EXPECT_FALSE(list.SetItemText(2, 3, u"无此列"));
            EXPECT_EQ(list.GetSelectedCount(), 1u);
        });
        EXPECT_EQ(Selected(s, host), std::vector<int>{2}); // the selection went with its row
    });
}

TEST_F(ListViewTest, ATapSelectsARowAndATapBesideTheRowsClearsTheSelection) {
    WithList([](CScript& s, CListHost& host) {
        // Without full-row selection only the first column takes a tap.
        s.Tap(100, kFirstRowY);
        s.Sync();
        EXPECT_TRUE(Selected(s, host).empty());
        s.Tap(20, kFirstRowY);
        s.Sync();
        EXPECT_EQ(Selected(s, host), std::vector<int>{0});
        EXPECT_EQ(s.OnGui([&] { return host.m_list.GetItemState(0, LVIS_FOCUSED); }), LVIS_FOCUSED);

        s.OnGui([&] { host.m_list.SetExtendedStyle(LVS_EX_FULLROWSELECT); });
        s.Select(IDC_LIST_POEMS, 2);
        s.Tap(100, kFirstRowY);
        s.Sync();
        EXPECT_EQ(Selected(s, host), std::vector<int>{0}); // one row at a time
        s.Tap(100, kBelowRowsY);
        s.Sync();
        EXPECT_TRUE(Selected(s, host).empty());
        EXPECT_EQ(s.OnGui([&] { return host.m_list.GetSelectedCount(); }), 0u);

        // A disabled list takes no taps.
        s.OnGui([&] { host.m_list.EnableWindow(FALSE); });
        s.Tap(100, kFirstRowY);
        s.Sync();
        EXPECT_TRUE(Selected(s, host).empty());
    });
}

} // namespace
