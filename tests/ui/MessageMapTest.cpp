// Message maps: each message and control notification reaches the handler its table names,
// derived tables come before their base, and what no table names gets the default handling.

#include "platform/ui/Controls.h"
#include "platform/ui/DataExchange.h"
#include "platform/ui/Dialog.h"
#include "platform/ui/Gdi.h"
#include "tests/support/Printing.h"
#include "tests/support/TestDriver.h"
#include "tests/ui/TestTemplates.h"

#include <gtest/gtest.h>

#include <functional>

using testing_support::CScript;
using testing_support::CTestDriver;
using Log = std::vector<std::string>;

namespace {

class CMapDlg : public CDialog {
public:
    CMapDlg() : CDialog(kFormDialog) {}
    Log m_log;
    int m_nPaints = 0; // counted, not logged: the window may repaint at any time
    CListBox m_list;
    CComboBox m_combo;
    CEdit m_notes;
    // What the list's handler does after logging, when set.
    std::function<void()> m_onListChange;

protected:
    void DoDataExchange(CDataExchange* pDX) override {
        DDX_Control(pDX, kList, m_list);
        DDX_Control(pDX, kCombo, m_combo);
        DDX_Control(pDX, kNotesEdit, m_notes);
    }
    BOOL OnInitDialog() override {
        CDialog::OnInitDialog();
        m_list.AddString(u"李白");
        m_list.AddString(u"杜甫");
        return TRUE;
    }
    const CMessageMap* GetMessageMap() const override {
        static const CMessageMapOf<CMapDlg> map(
            CDialog::GetMessageMap(), {
                                          On::Clicked(kConfirmButton, &CMapDlg::OnConfirm),
                                          On::Clicked(kOpenButton, &CMapDlg::OnOpen),
                                          On::Clicked(kDisabledButton, &CMapDlg::OnDisabled),
                                          On::SelChange(kList, &CMapDlg::OnListChange),
                                          On::EditChange(kNameEdit, &CMapDlg::OnNameChange),
                                          On::EditChange(kNotesEdit, &CMapDlg::OnNotesChange),
                                          On::Command(kCombo, CBN_SELCHANGE, &CMapDlg::OnCombo),
                                          On::LButtonDown(&CMapDlg::OnLButtonDown),
                                          On::Paint(&CMapDlg::OnPaint),
                                      });
        return &map;
    }
    void OnConfirm() { m_log.push_back("confirm"); }
    void OnOpen() { m_log.push_back("open"); }
    void OnDisabled() { m_log.push_back("disabled"); }
    void OnListChange() {
        m_log.push_back("list " + std::to_string(m_list.GetCurSel()));
        if (m_onListChange) {
            m_onListChange();
        }
    }
    void OnNameChange() {
        m_log.push_back("name " + GetDlgItem(kNameEdit)->GetWindowText().ToUtf8());
    }
    void OnNotesChange() { m_log.push_back("notes " + m_notes.GetWindowText().ToUtf8()); }
    void OnCombo() { m_log.push_back("combo " + std::to_string(m_combo.GetCurSel())); }
    void OnLButtonDown(UINT flags, CPoint point) {
        m_log.push_back("tap " + std::to_string(point.x) + "," + std::to_string(point.y) +
                        (flags == MK_LBUTTON ? " left" : ""));
        CDialog::OnLButtonDown(flags, point);
    }
    void OnPaint() {
        CPaintDC dc(this);
        ++m_nPaints;
    }
};

// Its own table answers the confirm button and IDOK first; the rest comes from the base table.
class CDerivedMapDlg : public CMapDlg {
protected:
    const CMessageMap* GetMessageMap() const override {
        static const CMessageMapOf<CDerivedMapDlg> map(
            CMapDlg::GetMessageMap(),
            {
                On::Clicked(kConfirmButton, &CDerivedMapDlg::OnMine),
                On::Command(IDOK, BN_CLICKED, &CDerivedMapDlg::OnRefuseOk),
            });
        return &map;
    }
    void OnMine() { m_log.push_back("derived confirm"); }
    void OnRefuseOk() { m_log.push_back("ok refused"); }
};

class MessageMapTest : public ::testing::Test {
protected:
    MessageMapTest() { RegisterTestTemplates(); }

    // Runs `dialog`, lets `script` act on it, then reads its log and ends it.
    template <class Dialog>
    Log Exercise(Dialog& dialog, const std::function<void(CScript&)>& script) {
        Log log;
        m_driver.Run([&] { dialog.DoModal(); },
                     [&](CScript& s) {
                         ASSERT_TRUE(s.WaitForScreen(kFormDialog));
                         s.OnGui([&] { dialog.m_log.clear(); });
                         script(s);
                         s.Sync();
                         log = s.OnGui([&] { return dialog.m_log; });
                         s.CloseWindow();
                     });
        return log;
    }

    CTestDriver m_driver;
};

TEST_F(MessageMapTest, ButtonsReachTheirOwnHandlers) {
    CMapDlg dialog;
    const Log log = Exercise(dialog, [](CScript& s) {
        s.Click(kOpenButton);
        s.Click(kConfirmButton);
        s.Click(kDisabledButton); // disabled: a tap does nothing
    });
    EXPECT_EQ(log, (Log{"open", "confirm"}));
}

TEST_F(MessageMapTest, NotificationsComeFromTheUserNotFromTheProgram) {
    CMapDlg dialog;
    const Log log = Exercise(dialog, [&](CScript& s) {
        s.OnGui([&] {
            dialog.m_list.SetCurSel(0);
            dialog.m_combo.SetCurSel(2);
        });
        s.Select(kList, 1);
        s.Select(kCombo, 0);
    });
    EXPECT_EQ(log, (Log{"list 1", "combo 0"}));
}

TEST_F(MessageMapTest, TheProgramsChangesToTheItemsNeverNotify) {
    CMapDlg dialog;
    const Log log = Exercise(dialog, [&](CScript& s) {
        s.Select(kList, 1);
        s.Select(kCombo, 1);
        s.OnGui([&] {
            dialog.m_list.InsertString(0, u"王维"); // moves the selected entry down
            dialog.m_list.DeleteString(2);          // the selected entry itself
            dialog.m_list.ResetContent();
            dialog.m_list.AddString(u"孟浩然");
            dialog.m_combo.InsertString(0, u"零");
            dialog.m_combo.DeleteString(2);
            dialog.m_combo.SetWindowText(u"丙");
            dialog.m_combo.ResetContent();
            dialog.m_combo.AddString(u"甲"); // Qt would select the first item of an empty box
        });
        s.Select(kList, 0);
        s.Select(kCombo, 0); // a change only if the program left the box unselected
    });
    EXPECT_EQ(log, (Log{"list 1", "combo 1", "list 0", "combo 0"}));
}

TEST_F(MessageMapTest, AHandlerThatChangesTheControlsLeavesOnlyTheUserNotifying) {
    CMapDlg dialog;
    dialog.m_onListChange = [&] {
        dialog.m_list.SetCurSel(dialog.m_list.GetCurSel()); // clears the selection, then selects
        dialog.m_list.AddString(u"王维");
        dialog.m_combo.SetCurSel(2);
    };
    const Log log = Exercise(dialog, [&](CScript& s) {
        s.Select(kList, 1);
        s.Select(kCombo, 0);
        s.Select(kList, 0);
        s.OnGui([&] {
            dialog.m_combo.SetCurSel(1);
            dialog.m_list.SetCurSel(2);
        });
        s.Select(kCombo, 0);
        s.Select(kList, 1);
    });
    EXPECT_EQ(log, (Log{"list 1", "combo 0", "list 0", "combo 0", "list 1"}));
}

TEST_F(MessageMapTest, AMultiLineEditNotifiesWhatTheUserTypesOnly) {
    CMapDlg dialog;
    const Log log = Exercise(dialog, [&](CScript& s) {
        s.Type(kNotesEdit, u"一");
        s.OnGui([&] {
            dialog.m_notes.SetWindowText(u"二");
            dialog.m_notes.SetLimitText(3);
        });
        s.Type(kNotesEdit, u"四五六七"); // the key past the limit is taken back, unannounced
        s.OnGui([&] { dialog.m_notes.SetWindowText(u"八"); });
        s.Type(kNotesEdit, u"九");
    });
    EXPECT_EQ(log, (Log{"notes 一", "notes 四五六", "notes 九"}));
}

TEST_F(MessageMapTest, EveryChangeOfASingleLineEditNotifies) {
    CMapDlg dialog;
    const Log log = Exercise(dialog, [&](CScript& s) {
        s.Type(kNameEdit, u"李");
        s.OnGui([&] { dialog.GetDlgItem(kNameEdit)->SetWindowText(u"杜甫"); });
    });
    EXPECT_EQ(log, (Log{"name 李", "name 杜甫"}));
}

TEST_F(MessageMapTest, ATapArrivesWithItsClientPoint) {
    CMapDlg dialog;
    const Log log = Exercise(dialog, [](CScript& s) { s.Tap(230, 285); });
    EXPECT_EQ(log, (Log{"tap 230,285 left"}));
}

TEST_F(MessageMapTest, PaintingCallsThePaintHandler) {
    CMapDlg dialog;
    int before = 0;
    int after = 0;
    Exercise(dialog, [&](CScript& s) {
        before = s.OnGui([&] { return dialog.m_nPaints; });
        s.Paint();
        after = s.OnGui([&] { return dialog.m_nPaints; });
    });
    EXPECT_GT(after, before);
}

TEST_F(MessageMapTest, EnterPressesTheDefaultButton) {
    CMapDlg dialog;
    const Log log = Exercise(dialog, [](CScript& s) { s.PressEnter(); });
    EXPECT_EQ(log, (Log{"confirm"}));
}

TEST_F(MessageMapTest, ADerivedTableComesBeforeItsBase) {
    CDerivedMapDlg dialog;
    const Log log = Exercise(dialog, [](CScript& s) {
        s.Click(kConfirmButton);
        s.Click(kOpenButton);
        s.PressOk();
    });
    EXPECT_EQ(log, (Log{"derived confirm", "open", "ok refused"}));
}

TEST_F(MessageMapTest, CommandsNoTableNamesGetTheDefaultHandling) {
    CMapDlg dialog;
    INT_PTR result = 0;
    m_driver.Run([&] { result = dialog.DoModal(); },
                 [](CScript& s) {
                     ASSERT_TRUE(s.WaitForScreen(kFormDialog));
                     s.PressOk();
                     EXPECT_TRUE(s.WaitForProgramEnd());
                 });
    EXPECT_EQ(result, IDOK);
}

TEST_F(MessageMapTest, AHandleOutlivesItsWindowSafely) {
    CMapDlg dialog;
    HWND handle = nullptr;
    m_driver.Run([&] { dialog.DoModal(); },
                 [&](CScript& s) {
                     ASSERT_TRUE(s.WaitForScreen(kFormDialog));
                     handle = s.OnGui([&] { return dialog.GetSafeHwnd(); });
                     EXPECT_TRUE(s.OnGui([&] { return IsWindow(handle) != FALSE; }));
                     s.PressEscape();
                 });
    EXPECT_FALSE(IsWindow(handle));
    EXPECT_EQ(CWnd::FromHandle(handle), nullptr);
    EXPECT_EQ(SendMessage(handle, WM_CLOSE), 0);
    EXPECT_EQ(dialog.GetSafeHwnd(), nullptr);
    EXPECT_EQ(dialog.m_list.GetSafeHwnd(), nullptr);
}

} // namespace
