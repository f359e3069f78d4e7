// The poem's text as the desktop delivers it: a real click gives the content edit the focus,
// Enter breaks the line there instead of ending the screen, and what the input method composes
// arrives in the edit through the zoomed window. The driver's own events are not spontaneous
// and never move the focus, so these come as the desktop's own (tests/support/DesktopInput).

#include "tests/support/DesktopInput.h"
#include "entry/AddPoemDlg.h"
#include "resources/ResourceIds.h"
#include "tests/app/AppFixture.h"

using testing_support::CScript;
using testing_support::Gbk;
using testing_support::ReadFile;

namespace {

constexpr int kZoom = 2;

class DesktopInputTest : public AppTest {};

TEST_F(DesktopInputTest, ClickEnterAndTheInputMethodReachTheContentEdit) {
    InstallDefaultLibrary();
    const std::string data = ReadFile(m_folder.File("kavro.dat"));
    m_driver.SetZoom(kZoom);
    CAddPoemDlg dialog;
    m_driver.Run([&] { dialog.DoModal(); },
                 [&](CScript& s) {
                     ASSERT_TRUE(s.WaitForScreen(IDD_ADDPOEM));
                     s.Type(IDC_EDIT_CONTENT, u"");
                     s.OnGui([] { testing_support::DesktopClickAt(120, 200, kZoom); });
                     EXPECT_TRUE(
                         s.OnGui([] { return testing_support::FocusAcceptsInputMethod(); }));
                     s.OnGui([] {
                         testing_support::DesktopCompose(u"hong dou", u"红豆生南国，");
                         testing_support::DesktopPressEnter();
                         testing_support::DesktopCompose(u"chun lai", u"春来发几枝。");
                     });
                     s.Sync();
                     EXPECT_EQ(s.FrontTemplate(), IDD_ADDPOEM); // Enter did not end the screen
                     EXPECT_EQ(s.Text(IDC_EDIT_CONTENT), CString(u"红豆生南国，\r\n春来发几枝。"));
                     s.Click(IDC_BTN_SAVE);
                     ASSERT_TRUE(s.WaitForBox());
                     s.AnswerBox();
                     ASSERT_TRUE(s.WaitForScreen(IDD_ADDPOEM));
                     s.PressOk();
                     EXPECT_TRUE(s.WaitForProgramEnd());
                 });
    // Fourteen code units: a 28-byte buffer holding the 26 bytes of text with its CR LF.
    EXPECT_EQ(ReadFile(m_folder.File("kavro.dat")),
              data + Gbk("红豆生南国，\r\n春来发几枝。") + std::string(2, '\0') + '\0');
}

} // namespace
