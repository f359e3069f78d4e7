// Data exchange: members go to their controls and come back, exactly the bound ones, with the
// length check of DDV_MaxChars.

#include "platform/ui/DataExchange.h"
#include "platform/ui/Controls.h"
#include "platform/ui/Dialog.h"
#include "tests/support/Printing.h"
#include "tests/support/TestDriver.h"
#include "tests/ui/TestTemplates.h"

#include <gtest/gtest.h>

using testing_support::CScript;
using testing_support::CTestDriver;

namespace {

class CExchangeDlg : public CDialog {
public:
    CExchangeDlg() : CDialog(kFormDialog) {}

    CString m_strName = u"王维";
    CString m_strNotes = u"空山不见人，\r\n但闻人语响。";
    CString m_strLabel = u"诗人";
    CString m_strCode = u"unbound"; // never exchanged
    CEdit m_editName;
    CListBox m_list;
    CComboBox m_combo;
    int m_nExchanges = 0;

protected:
    void DoDataExchange(CDataExchange* pDX) override {
        ++m_nExchanges;
        DDX_Control(pDX, kNameEdit, m_editName);
        DDX_Text(pDX, kNameEdit, m_strName);
        DDV_MaxChars(pDX, m_strName, 6);
        DDX_Text(pDX, kNotesEdit, m_strNotes);
        DDX_Text(pDX, kLabel, m_strLabel);
        DDX_Control(pDX, kList, m_list);
        DDX_Control(pDX, kCombo, m_combo);
    }
};

class DataExchangeTest : public ::testing::Test {
protected:
    DataExchangeTest() { RegisterTestTemplates(); }
    CTestDriver m_driver;
};

TEST_F(DataExchangeTest, InitialisationSendsTheBoundMembersToTheControls) {
    CExchangeDlg dialog;
    m_driver.Run([&] { dialog.DoModal(); },
                 [&](CScript& s) {
                     ASSERT_TRUE(s.WaitForScreen(kFormDialog));
                     EXPECT_EQ(s.Text(kNameEdit), CString(u"王维"));
                     EXPECT_EQ(s.Text(kNotesEdit), CString(u"空山不见人，\r\n但闻人语响。"));
                     EXPECT_EQ(s.Text(kLabel), CString(u"诗人"));
                     // Controls with no binding keep their template text.
                     EXPECT_EQ(s.Text(kCodeEdit), CString());
                     EXPECT_EQ(s.Text(kReadOnlyEdit), CString(u"只读"));
                     // The bound objects now stand for their controls.
                     s.OnGui([&] {
                         EXPECT_EQ(dialog.GetDlgItem(kNameEdit), &dialog.m_editName);
                         EXPECT_EQ(dialog.m_list.GetDlgCtrlID(), kList);
                         EXPECT_EQ(dialog.m_combo.GetCount(), 3);
                     });
                     s.PressEscape();
                 });
}

TEST_F(DataExchangeTest, ReadingBackCopiesExactlyTheBoundMembers) {
    CExchangeDlg dialog;
    BOOL read = FALSE;
    m_driver.Run([&] { dialog.DoModal(); },
                 [&](CScript& s) {
                     ASSERT_TRUE(s.WaitForScreen(kFormDialog));
                     s.Type(kNameEdit, u"李白");
                     s.Type(kNotesEdit, u"床前明月光，\r\n疑是地上霜。");
                     s.Type(kCodeEdit, u"abc");
                     s.Sync();
                     read = s.OnGui([&] {
                         dialog.m_strLabel = u"改过";
                         return dialog.UpdateData(TRUE);
                     });
                     s.PressEscape();
                 });
    EXPECT_TRUE(read);
    EXPECT_EQ(dialog.m_strName, CString(u"李白"));
    EXPECT_EQ(dialog.m_strNotes, CString(u"床前明月光，\r\n疑是地上霜。"));
    EXPECT_EQ(dialog.m_strLabel, CString(u"诗人")); // the static's text came back over it
    EXPECT_EQ(dialog.m_strCode, CString(u"unbound"));
}

TEST_F(DataExchangeTest, SendingChangesOnlyTheBoundControls) {
    CExchangeDlg dialog;
    m_driver.Run([&] { dialog.DoModal(); },
                 [&](CScript& s) {
                     ASSERT_TRUE(s.WaitForScreen(kFormDialog));
                     s.Type(kCodeEdit, u"xyz");
                     s.OnGui([&] {
                         dialog.m_strName = u"杜甫";
                         dialog.m_strLabel = u"新标签";
                         dialog.m_strCode = u"not shown";
                         EXPECT_TRUE(dialog.UpdateData(FALSE));
                     });
                     EXPECT_EQ(s.Text(kNameEdit), CString(u"杜甫"));
                     EXPECT_EQ(s.Text(kLabel), CString(u"新标签"));
                     EXPECT_EQ(s.Text(kCodeEdit), CString(u"XYZ"));
                     s.PressEscape();
                 });
}

TEST_F(DataExchangeTest, TheUserCannotTypePastTheLimit) {
    CExchangeDlg dialog;
    dialog.m_strName = u"";
    m_driver.Run([&] { dialog.DoModal(); },
                 [&](CScript& s) {
                     ASSERT_TRUE(s.WaitForScreen(kFormDialog));
                     s.Type(kNameEdit, u"一二三四五六七八");
                     EXPECT_EQ(s.Text(kNameEdit), CString(u"一二三四五六"));
                     s.PressEscape();
                 });
}

TEST_F(DataExchangeTest, ALimitNeverCutsTextAlreadyThere) {
    CExchangeDlg dialog;
    dialog.m_strName = u"一二三四五六七八";
    m_driver.Run([&] { dialog.DoModal(); },
                 [&](CScript& s) {
                     ASSERT_TRUE(s.WaitForScreen(kFormDialog));
                     EXPECT_EQ(s.Text(kNameEdit), CString(u"一二三四五六七八"));
                     s.PressEscape();
                 });
}

TEST_F(DataExchangeTest, OkWithATooLongValueWarnsAndKeepsTheScreenOpen) {
    CExchangeDlg dialog;
    dialog.m_strName = u"一二三四五六七";
    INT_PTR result = 0;
    m_driver.Run([&] { result = dialog.DoModal(); },
                 [&](CScript& s) {
                     ASSERT_TRUE(s.WaitForScreen(kFormDialog));
                     s.PressOk();
                     ASSERT_TRUE(s.WaitForBox());
                     const auto box = s.FrontBox();
                     ASSERT_TRUE(box.has_value());
                     EXPECT_EQ(box->text, CString(u"请输入不超过 6 个字符。"));
                     EXPECT_EQ(box->type, MB_ICONEXCLAMATION);
                     s.AnswerBox();
                     ASSERT_TRUE(s.WaitForScreen(kFormDialog));
                     s.Type(kNameEdit, u"李白");
                     s.PressOk();
                     EXPECT_TRUE(s.WaitForProgramEnd());
                 });
    EXPECT_EQ(result, IDOK);
    EXPECT_EQ(dialog.m_strName, CString(u"李白"));
}

} // namespace
