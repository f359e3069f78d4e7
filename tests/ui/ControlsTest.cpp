// The controls a template builds, as the program and the user see them.

#include "platform/ui/Controls.h"
#include "platform/ui/DataExchange.h"
#include "platform/ui/Dialog.h"
#include "tests/support/Printing.h"
#include "tests/support/TestDriver.h"
#include "tests/ui/TestTemplates.h"

#include <gtest/gtest.h>

using testing_support::CScript;
using testing_support::CTestDriver;

namespace {

class CControlsDlg : public CDialog {
public:
    CControlsDlg() : CDialog(kFormDialog) {}
    CStatic m_label;
    CEdit m_name;
    CEdit m_notes;
    CListBox m_list;
    CListBox m_sorted;
    CComboBox m_combo;
    CListCtrl m_view;
    CButton m_open;

protected:
    void DoDataExchange(CDataExchange* pDX) override {
        DDX_Control(pDX, kLabel, m_label);
        DDX_Control(pDX, kNameEdit, m_name);
        DDX_Control(pDX, kNotesEdit, m_notes);
        DDX_Control(pDX, kList, m_list);
        DDX_Control(pDX, kSortedList, m_sorted);
        DDX_Control(pDX, kCombo, m_combo);
        DDX_Control(pDX, kListView, m_view);
        DDX_Control(pDX, kOpenButton, m_open);
    }
};

class ControlsTest : public ::testing::Test {
protected:
    ControlsTest() { RegisterTestTemplates(); }

    // Runs the form and `script` on it, then ends it.
    void WithForm(const std::function<void(CScript&, CControlsDlg&)>& script) {
        CControlsDlg dialog;
        m_driver.Run([&] { dialog.DoModal(); },
                     [&](CScript& s) {
                         ASSERT_TRUE(s.WaitForScreen(kFormDialog));
                         script(s, dialog);
                         s.PressEscape();
                     });
    }

    CTestDriver m_driver;
};

TEST_F(ControlsTest, ComboBoxStartsWithTheTemplatesItemsAndNoSelection) {
    WithForm([](CScript& s, CControlsDlg& d) {
        s.OnGui([&] {
            ASSERT_EQ(d.m_combo.GetCount(), 3);
            CString text;
            d.m_combo.GetLBText(2, text);
            EXPECT_EQ(text, CString(u"丙"));
            EXPECT_EQ(d.m_combo.GetCurSel(), CB_ERR);
            EXPECT_EQ(d.m_combo.AddString(u"丁"), 3);
            EXPECT_EQ(d.m_combo.GetCurSel(), CB_ERR);
            EXPECT_EQ(d.m_combo.SetItemData(3, 5), 0);
            EXPECT_EQ(d.m_combo.SetItemData(0, 0), 0);
            EXPECT_EQ(d.m_combo.GetItemData(3), 5u);
            EXPECT_EQ(d.m_combo.GetItemData(0), 0u);
            EXPECT_EQ(d.m_combo.SetCurSel(1), 1);
            EXPECT_EQ(d.m_combo.SetCurSel(9), CB_ERR);
            EXPECT_EQ(d.m_combo.GetCurSel(), CB_ERR);
        });
        s.Select(kCombo, 3);
        s.Sync();
        EXPECT_EQ(s.OnGui([&] { return d.m_combo.GetCurSel(); }), 3);
        EXPECT_EQ(s.Text(kCombo), CString(u"丁"));
    });
}

TEST_F(ControlsTest, ListBoxesKeepTheirOrderOrSortIt) {
    WithForm([](CScript& s, CControlsDlg& d) {
        s.OnGui([&] {
            EXPECT_EQ(d.m_list.AddString(u"b"), 0);
            EXPECT_EQ(d.m_list.AddString(u"a"), 1);
            EXPECT_EQ(d.m_list.AddString(u"b"), 2); // the same name twice stands twice
            EXPECT_EQ(d.m_list.GetCount(), 3);
            EXPECT_EQ(d.m_list.GetCurSel(), LB_ERR);
            CString text;
            d.m_list.GetText(1, text);
            EXPECT_EQ(text, CString(u"a"));
            EXPECT_EQ(d.m_list.GetTextLen(1), 1);
            EXPECT_EQ(d.m_list.GetTextLen(7), LB_ERR);

            EXPECT_EQ(d.m_sorted.AddString(u"c"), 0);
            EXPECT_EQ(d.m_sorted.AddString(u"A"), 0);
            EXPECT_EQ(d.m_sorted.AddString(u"b"), 1);
            d.m_sorted.GetText(2, text);
            EXPECT_EQ(text, CString(u"c"));
        });
        s.Select(kList, 2);
        s.Sync();
        s.OnGui([&] {
            EXPECT_EQ(d.m_list.GetCurSel(), 2);
            EXPECT_EQ(d.m_list.SetCurSel(-1), LB_ERR);
            EXPECT_EQ(d.m_list.GetCurSel(), LB_ERR);
            EXPECT_EQ(d.m_list.DeleteString(0), 2);
            d.m_list.ResetContent();
            EXPECT_EQ(d.m_list.GetCount(), 0);
        });
    });
}

TEST_F(ControlsTest, ASelectionStaysOnItsEntryAndBadIndexesAnswerErrors) {
    WithForm([](CScript& s, CControlsDlg& d) {
        s.OnGui([&] {
            for (const char16_t* name : {u"甲", u"乙", u"丙"}) {
                d.m_list.AddString(name);
            }
            EXPECT_EQ(d.m_list.SetCurSel(1), 1);
            EXPECT_EQ(d.m_list.InsertString(0, u"零"), 0);
            EXPECT_EQ(d.m_list.GetCurSel(), 2);
            EXPECT_EQ(d.m_list.DeleteString(0), 3);
            EXPECT_EQ(d.m_list.GetCurSel(), 1);
            EXPECT_EQ(d.m_list.InsertString(9, u"末"), 3); // past the end: appended
            EXPECT_EQ(d.m_list.DeleteString(4), LB_ERR);
            EXPECT_EQ(d.m_list.SetItemData(4, 7), LB_ERR);
            EXPECT_EQ(d.m_list.GetItemData(-1), static_cast<DWORD_PTR>(LB_ERR));
            EXPECT_EQ(d.m_list.SetItemData(3, 7), 0);
            EXPECT_EQ(d.m_list.GetItemData(3), 7u);
            CString text = u"旧";
            d.m_list.GetText(-1, text);
            EXPECT_TRUE(text.IsEmpty());
            d.m_list.ResetContent();
            EXPECT_EQ(d.m_list.GetCurSel(), LB_ERR);
            EXPECT_EQ(d.m_list.DeleteString(0), LB_ERR);

            // A sorted list puts an entry where the program says when it names the place.
            d.m_sorted.AddString(u"b");
            EXPECT_EQ(d.m_sorted.InsertString(0, u"z"), 0);
            d.m_sorted.GetText(0, text);
            EXPECT_EQ(text, CString(u"z"));

            EXPECT_EQ(d.m_combo.SetCurSel(1), 1); // 乙 of 甲, 乙, 丙
            EXPECT_EQ(d.m_combo.InsertString(0, u"零"), 0);
            EXPECT_EQ(d.m_combo.GetCurSel(), 2);
            EXPECT_EQ(d.m_combo.DeleteString(0), 3);
            EXPECT_EQ(d.m_combo.GetCurSel(), 1);
            EXPECT_EQ(d.m_combo.DeleteString(3), CB_ERR);
            EXPECT_EQ(d.m_combo.SetItemData(3, 1), CB_ERR);
            d.m_combo.SetWindowText(u"丙");
            EXPECT_EQ(d.m_combo.GetCurSel(), 2);
            d.m_combo.SetWindowText(u"无此项");
            EXPECT_EQ(d.m_combo.GetCurSel(), CB_ERR);
            d.m_combo.ResetContent();
            EXPECT_EQ(d.m_combo.GetCount(), 0);
            d.m_combo.GetLBText(0, text);
            EXPECT_TRUE(text.IsEmpty());
        });
        EXPECT_EQ(s.Text(kCombo), CString());
    });
}

TEST_F(ControlsTest, ListViewHoldsColumnsRowsAndRowStates) {
    WithForm([](CScript& s, CControlsDlg& d) {
        s.OnGui([&] {
            d.m_view.SetExtendedStyle(d.m_view.GetExtendedStyle() | LVS_EX_FULLROWSELECT |
                                      LVS_EX_GRADIENT);
            EXPECT_EQ(d.m_view.GetExtendedStyle(), LVS_EX_FULLROWSELECT | LVS_EX_GRADIENT);
            EXPECT_EQ(d.m_view.InsertColumn(0, u"序号", LVCFMT_LEFT, 40), 0);
            EXPECT_EQ(d.m_view.InsertColumn(1, u"标题", LVCFMT_LEFT, 120), 1);
            EXPECT_EQ(d.m_view.InsertColumn(2, u"作者", LVCFMT_LEFT, 70), 2);
            for (int row = 0; row < 3; ++row) {
                EXPECT_EQ(d.m_view.InsertItem(row, CString::Formatted(u"%d", row + 1)), row);
            }
            EXPECT_TRUE(d.m_view.SetItemText(1, 1, u"春晓"));
            EXPECT_TRUE(d.m_view.SetItemText(1, 2, u"孟浩然"));
            EXPECT_FALSE(d.m_view.SetItemText(5, 1, u"无此行"));
            EXPECT_EQ(d.m_view.GetItemCount(), 3);
            EXPECT_EQ(d.m_view.GetItemText(1, 0), CString(u"2"));
            EXPECT_EQ(d.m_view.GetItemText(1, 2), CString(u"孟浩然"));
            EXPECT_EQ(d.m_view.GetSelectedCount(), 0u);
        });
        s.Select(kListView, 1);
        s.Sync();
        s.OnGui([&] {
            EXPECT_EQ(d.m_view.GetSelectedCount(), 1u);
            EXPECT_EQ(d.m_view.GetItemState(1, LVIS_SELECTED), LVIS_SELECTED);
            EXPECT_EQ(d.m_view.GetItemState(0, LVIS_SELECTED), 0u);
            EXPECT_TRUE(d.m_view.SetItemState(1, 0, LVIS_SELECTED));
            EXPECT_EQ(d.m_view.GetSelectedCount(), 0u);
            EXPECT_TRUE(d.m_view.DeleteAllItems());
            EXPECT_EQ(d.m_view.GetItemCount(), 0);
        });
    });
}

TEST_F(ControlsTest, EditsTakeWhatTheirStylesAllow) {
    WithForm([](CScript& s, CControlsDlg& d) {
        s.Type(kCodeEdit, u"abc-xyz 诗");
        s.Type(kReadOnlyEdit, u"改不了");
        s.Type(kNotesEdit, u"一行\r\n二行");
        s.Sync();
        EXPECT_EQ(s.Text(kCodeEdit), CString(u"ABC-XYZ 诗"));
        EXPECT_EQ(s.Text(kReadOnlyEdit), CString(u"只读"));
        EXPECT_EQ(s.Text(kNotesEdit), CString(u"一行\r\n二行"));
        s.OnGui([&] {
            d.m_notes.SetWindowText(u"甲\n乙");
            EXPECT_EQ(d.m_notes.GetWindowText(), CString(u"甲\r\n乙"));
            d.m_name.SetLimitText(4);
            EXPECT_EQ(d.m_name.GetLimitText(), 4u);
        });
        s.Type(kNameEdit, u"一二三四五");
        EXPECT_EQ(s.Text(kNameEdit), CString(u"一二三四"));
    });
}

TEST_F(ControlsTest, EnablingAndWindowText) {
    WithForm([](CScript& s, CControlsDlg& d) {
        EXPECT_TRUE(s.IsEnabled(kOpenButton));
        EXPECT_FALSE(s.IsEnabled(kDisabledButton));
        s.OnGui([&] {
            EXPECT_FALSE(d.m_open.EnableWindow(FALSE)); // it was enabled
            EXPECT_TRUE(d.m_open.EnableWindow(TRUE));   // it was disabled
            d.GetDlgItem(kDisabledButton)->EnableWindow(TRUE);
            d.m_label.SetWindowText(u"新的");
            d.m_open.SetWindowText(u"开");
            EXPECT_EQ(d.m_open.GetWindowTextLength(), 1);
        });
        EXPECT_TRUE(s.IsEnabled(kDisabledButton));
        EXPECT_EQ(s.Text(kLabel), CString(u"新的"));
        EXPECT_EQ(s.Text(kOpenButton), CString(u"开"));
        EXPECT_FALSE(s.Exists(4242));
        s.OnGui([&] {
            EXPECT_EQ(d.GetDlgItem(4242), nullptr);
            CRect client;
            d.GetClientRect(client);
            EXPECT_EQ(client, CRect(0, 0, 240, 294)); // every screen fills the client area
        });
    });
}

} // namespace
