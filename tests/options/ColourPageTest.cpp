// The colour page: the four colours as the settings hold them, the chooser for each row, and
// "应用", which alone stores them.

#include "options/KavroOption.h"
#include "options/PageBrowse.h"
#include "resources/ResourceIds.h"
#include "tests/options/OptionsFixture.h"

using testing_support::CScript;

namespace {

using Answer = CRecordingColorChooser::Answer;

class ColourPageTest : public OptionsTest {
protected:
    void SetDistinctColours() {
        g_strFormColor = u"111111";
        g_strTitleColor = u"222222";
        g_strAuthorColor = u"333333";
        g_strTextColor = u"444444";
    }
    // The four settings in the order form, title, dynasty and author, text.
    static std::vector<CString> Settings(CScript& s) {
        return s.OnGui([] {
            return std::vector<CString>{g_strFormColor, g_strTitleColor, g_strAuthorColor,
                                        g_strTextColor};
        });
    }
    static std::vector<CString> Edits(CScript& s) {
        return {s.Text(IDC_EDIT_FORMCOLOR), s.Text(IDC_EDIT_TITLECOLOR),
                s.Text(IDC_EDIT_AUTHORCOLOR), s.Text(IDC_EDIT_TEXTCOLOR)};
    }
    // Presses a choose button and waits until the chooser has been asked.
    void Choose(CScript& s, int button) {
        const size_t before = s.OnGui([this] { return m_chooser.m_calls.size(); });
        s.Click(button);
        ASSERT_TRUE(s.WaitUntil([this, before] { return m_chooser.m_calls.size() > before; }));
        s.Sync();
    }
};

TEST_F(ColourPageTest, EachEditShowsItsOwnSettingAndTheDefaultsAreWhite) {
    m_driver.Run([] { RunOptionsSheet(); },
                 [&](CScript& s) {
                     ASSERT_TRUE(s.WaitForScreen(IDD_PAGE_COLOURS));
                     EXPECT_EQ(s.BarCaption(), CString(u"选项"));
                     EXPECT_EQ(Edits(s), (std::vector<CString>(4, u"FFFFFF")));
                     s.PressOk();
                 });
    SetDistinctColours();
    m_driver.Run(
        [] { RunOptionsSheet(); },
        [&](CScript& s) {
            ASSERT_TRUE(s.WaitForScreen(IDD_PAGE_COLOURS));
            EXPECT_EQ(Edits(s), (std::vector<CString>{u"111111", u"222222", u"333333", u"444444"}));
            s.PressOk();
        });
}

TEST_F(ColourPageTest, EachButtonChoosesForItsRowAndApplyStoresTheRowsInTheirSettings) {
    m_chooser.m_answers = {Answer{RGB(255, 0, 0), {}}, Answer{RGB(0x12, 0x34, 0x56), {}},
                           Answer{RGB(0, 0x80, 0xff), {}}, Answer{RGB(1, 2, 3), {}}};
    HWND page = nullptr;
    m_driver.Run(
        [] { RunOptionsSheet(); },
        [&](CScript& s) {
            ASSERT_TRUE(s.WaitForScreen(IDD_PAGE_COLOURS));
            page = FrontPageWindow(s);
            Choose(s, IDC_BTN_TITLECOLOR);
            // The page formats lower case; the upper-case edit shows it in capitals.
            EXPECT_EQ(s.OnGui([] { return FrontPage<CPageBrowse>()->m_strTitleColor; }),
                      CString(u"ff0000"));
            EXPECT_EQ(s.Text(IDC_EDIT_TITLECOLOR), CString(u"FF0000"));
            Choose(s, IDC_BTN_FORMCOLOR_SHARED);
            EXPECT_EQ(s.OnGui([] { return FrontPage<CPageBrowse>()->m_strFormColor; }),
                      CString(u"123456"));
            Choose(s, IDC_BTN_AUTHORCOLOR);
            Choose(s, IDC_BTN_TEXTCOLOR);
            EXPECT_EQ(Edits(s), (std::vector<CString>{u"123456", u"FF0000", u"0080FF", u"010203"}));
            EXPECT_TRUE(s.SaveScreenshot(ScreenshotPath("options-colours.png")));
            // Nothing reaches the settings before "应用".
            EXPECT_EQ(Settings(s), (std::vector<CString>(4, u"FFFFFF")));
            s.Click(IDC_BTN_APPLY);
            s.Sync();
            // Apply reads the edits back: the colours as they show them.
            EXPECT_EQ(Settings(s),
                      (std::vector<CString>{u"123456", u"FF0000", u"0080FF", u"010203"}));
            s.PressOk();
        });
    ASSERT_EQ(m_chooser.m_calls.size(), 4u);
    for (const CHOOSECOLOR& call : m_chooser.m_calls) {
        EXPECT_EQ(call.lStructSize, 36u);
        EXPECT_EQ(call.hwndOwner, page);
        EXPECT_EQ(call.Flags, 0x180u);
        EXPECT_EQ(call.lpCustColors, g_crCustomColors);
    }
}

TEST_F(ColourPageTest, AChoiceLeftWithoutApplyIsLostAndTheNextOpeningShowsTheSettings) {
    m_chooser.m_answers = {Answer{RGB(255, 0, 0), {}}};
    m_driver.Run([] { RunOptionsSheet(); },
                 [&](CScript& s) {
                     ASSERT_TRUE(s.WaitForScreen(IDD_PAGE_COLOURS));
                     Choose(s, IDC_BTN_TEXTCOLOR);
                     EXPECT_EQ(s.Text(IDC_EDIT_TEXTCOLOR), CString(u"FF0000"));
                     s.PressOk();
                 });
    EXPECT_EQ(g_strTextColor, CString(u"FFFFFF"));
    m_driver.Run([] { RunOptionsSheet(); },
                 [&](CScript& s) {
                     ASSERT_TRUE(s.WaitForScreen(IDD_PAGE_COLOURS));
                     EXPECT_EQ(s.Text(IDC_EDIT_TEXTCOLOR), CString(u"FFFFFF"));
                     s.PressEscape();
                 });
}

TEST_F(ColourPageTest, ApplyWithoutChangesKeepsEveryColourInItsPlace) {
    SetDistinctColours();
    m_driver.Run([] { RunOptionsSheet(); },
                 [&](CScript& s) {
                     ASSERT_TRUE(s.WaitForScreen(IDD_PAGE_COLOURS));
                     s.Click(IDC_BTN_APPLY);
                     s.Sync();
                     EXPECT_EQ(Settings(s),
                               (std::vector<CString>{u"111111", u"222222", u"333333", u"444444"}));
                     s.PressOk();
                 });
    EXPECT_TRUE(m_chooser.m_calls.empty());
}

TEST_F(ColourPageTest, CancellingTheChooserKeepsTheRowsColour) {
    SetDistinctColours();
    m_chooser.m_answers = {Answer{std::nullopt, {}}, Answer{RGB(9, 9, 9), {}},
                           Answer{std::nullopt, {}}};
    m_driver.Run([] { RunOptionsSheet(); },
                 [&](CScript& s) {
                     ASSERT_TRUE(s.WaitForScreen(IDD_PAGE_COLOURS));
                     Choose(s, IDC_BTN_TEXTCOLOR);
                     EXPECT_EQ(s.Text(IDC_EDIT_TEXTCOLOR), CString(u"444444"));
                     // A colour chosen and then a cancel on the same row: the choice stays.
                     Choose(s, IDC_BTN_TITLECOLOR);
                     Choose(s, IDC_BTN_TITLECOLOR);
                     EXPECT_EQ(s.Text(IDC_EDIT_TITLECOLOR), CString(u"090909"));
                     s.Click(IDC_BTN_APPLY);
                     s.Sync();
                     EXPECT_EQ(Settings(s),
                               (std::vector<CString>{u"111111", u"090909", u"333333", u"444444"}));
                     s.PressOk();
                 });
}

TEST_F(ColourPageTest, CustomColoursLastFromOneChooserCallToTheNextForTheWholeRun) {
    m_chooser.m_answers = {Answer{std::nullopt, {{0, RGB(1, 2, 3)}, {15, RGB(250, 251, 252)}}},
                           Answer{RGB(4, 5, 6), {{3, RGB(7, 8, 9)}}}, Answer{std::nullopt, {}}};
    m_driver.Run([] { RunOptionsSheet(); },
                 [&](CScript& s) {
                     ASSERT_TRUE(s.WaitForScreen(IDD_PAGE_COLOURS));
                     Choose(s, IDC_BTN_FORMCOLOR_SHARED);
                     Choose(s, IDC_BTN_AUTHORCOLOR);
                     s.PressOk();
                 });
    // A later opening of the sheet still offers them.
    m_driver.Run([] { RunOptionsSheet(); },
                 [&](CScript& s) {
                     ASSERT_TRUE(s.WaitForScreen(IDD_PAGE_COLOURS));
                     Choose(s, IDC_BTN_TEXTCOLOR);
                     s.PressOk();
                 });
    ASSERT_EQ(m_chooser.m_customColorsSeen.size(), 3u);
    EXPECT_EQ(m_chooser.m_customColorsSeen[0], std::vector<COLORREF>(16, 0));
    std::vector<COLORREF> afterFirst(16, 0);
    afterFirst[0] = RGB(1, 2, 3);
    afterFirst[15] = RGB(250, 251, 252);
    EXPECT_EQ(m_chooser.m_customColorsSeen[1], afterFirst);
    std::vector<COLORREF> afterSecond = afterFirst;
    afterSecond[3] = RGB(7, 8, 9);
    EXPECT_EQ(m_chooser.m_customColorsSeen[2], afterSecond);
}

} // namespace
