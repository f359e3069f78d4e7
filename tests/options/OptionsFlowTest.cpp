// The options as the main screen opens them: the sheet with its three pages, a library loaded
// there showing in the main screen's summary, and the other screens staying safe on a library
// that failed to load.

#include "app/MainMenuDlg.h"
#include "options/KavroOption.h"
#include "options/PageBackGround.h"
#include "options/PageBrowse.h"
#include "options/PageCiKu.h"
#include "resources/ResourceIds.h"
#include "tests/options/OptionsFixture.h"

#include <chrono>

using testing_support::CScript;
using namespace std::chrono_literals;

namespace {

constexpr CPoint kOptionsZone{180, 210};

class OptionsFlowTest : public OptionsTest {
protected:
    // Closes whatever a zone opened (screens with Esc, boxes with their OK) until the main
    // screen is in front again.
    static bool BackToMainScreen(CScript& s) {
        for (int i = 0; i < 100; ++i) {
            s.Sync();
            if (s.FrontTemplate() == IDD_MAINMENU) {
                return true;
            }
            if (s.FrontBox().has_value()) {
                s.AnswerBox();
            } else {
                s.PressEscape();
            }
            s.Pause(50ms);
        }
        return false;
    }

    // Loads `name` through the library page of the sheet the options zone opens, answers the
    // boxes that follow and closes the sheet.
    static void LoadThroughOptions(CScript& s, const CString& name) {
        s.Tap(kOptionsZone.x, kOptionsZone.y);
        ASSERT_TRUE(s.WaitForScreen(IDD_PAGE_COLOURS));
        ASSERT_TRUE(ShowPage(s, 2, IDD_PAGE_LIBRARY));
        const std::vector<CString> entries = ListEntries(s, IDC_LIST_LIBRARIES_SHARED);
        const auto found = std::find(entries.begin(), entries.end(), name);
        ASSERT_NE(found, entries.end());
        s.Select(IDC_LIST_LIBRARIES_SHARED, static_cast<int>(found - entries.begin()));
        s.Click(IDC_BTN_LOAD);
        ASSERT_TRUE(s.WaitForBox());
        while (s.FrontBox().has_value()) {
            s.AnswerBox();
            s.Sync();
        }
        ASSERT_TRUE(s.WaitForScreen(IDD_PAGE_LIBRARY));
        s.PressOk();
        ASSERT_TRUE(s.WaitForScreen(IDD_MAINMENU));
    }
};

TEST_F(OptionsFlowTest, TheOptionsZoneOpensTheSheetWithItsThreePagesInOrder) {
    testing_support::WriteLibrary(m_folder, "kavro", ThreePoems());
    InstallLibrary("kavro");
    CMainMenuDlg dialog;
    m_driver.Run(
        [&] { dialog.DoModal(); },
        [&](CScript& s) {
            ASSERT_TRUE(s.WaitForScreen(IDD_MAINMENU));
            s.Tap(kOptionsZone.x, kOptionsZone.y);
            ASSERT_TRUE(s.WaitForScreen(IDD_PAGE_COLOURS));
            EXPECT_EQ(s.BarCaption(), CString(u"选项"));
            EXPECT_EQ(TabCaptions(s), (std::vector<CString>{u"浏览", u"背景", u"诗词词库"}));
            ASSERT_TRUE(ShowPage(s, 1, IDD_PAGE_BACKGROUND));
            EXPECT_EQ(s.BarCaption(), CString(u"选项"));
            ASSERT_TRUE(ShowPage(s, 2, IDD_PAGE_LIBRARY));
            EXPECT_EQ(ListEntries(s, IDC_LIST_LIBRARIES_SHARED), (std::vector<CString>{u"kavro"}));
            ASSERT_TRUE(ShowPage(s, 0, IDD_PAGE_COLOURS));
            s.PressOk();
            ASSERT_TRUE(s.WaitForScreen(IDD_MAINMENU));
            // A library is open: no warning follows the sheet.
            s.Sync();
            EXPECT_FALSE(s.FrontBox().has_value());
            s.PressOk();
        });
}

TEST_F(OptionsFlowTest, ALibraryLoadedInTheOptionsShowsInTheSummaryAtTheNextPaint) {
    testing_support::WriteLibrary(m_folder, "kavro", ThreePoems());
    testing_support::WriteLibrary(m_folder, "songci", {ThreePoems()[2]},
                                  testing_support::MakeHeader("宋词", "某人", 10100, 20200202));
    InstallLibrary("kavro");
    CMainMenuDlg dialog;
    m_driver.Run([&] { dialog.DoModal(); },
                 [&](CScript& s) {
                     ASSERT_TRUE(s.WaitForScreen(IDD_MAINMENU));
                     EXPECT_EQ(s.Paint().front().text.Left(9), CString(u"测试诗词 诗词库\n"));
                     LoadThroughOptions(s, u"songci");
                     EXPECT_EQ(s.Paint().front().text,
                               CString(u"宋词 诗词库\n1.1.0 版本  \n某人 作者  \n"
                                       u"2020-02-02 时间  \n1 首诗词"));
                     s.PressOk();
                 });
}

TEST_F(OptionsFlowTest, OnALibraryThatFailedToLoadTheOtherScreensFindNothingAndWriteNothing) {
    testing_support::WriteLibrary(m_folder, "kavro", ThreePoems());
    testing_support::WriteLibrary(m_folder, "broken", ThreePoems(),
                                  testing_support::MakeHeader("残缺"));
    std::filesystem::remove(m_folder.File("broken.dat"));
    const std::string brokenIndex = testing_support::ReadFile(m_folder.File("broken.idx"));
    const std::string kavroIndex = testing_support::ReadFile(m_folder.File("kavro.idx"));
    const std::string kavroData = testing_support::ReadFile(m_folder.File("kavro.dat"));
    InstallLibrary("kavro");
    CMainMenuDlg dialog;
    m_driver.Run(
        [&] { dialog.DoModal(); },
        [&](CScript& s) {
            ASSERT_TRUE(s.WaitForScreen(IDD_MAINMENU));
            LoadThroughOptions(s, u"broken");
            // The failed library is the library now: the summary shows its header.
            EXPECT_EQ(s.Paint().front().text.Left(7), CString(u"残缺 诗词库\n"));
            // Each zone opens whatever screen it has; the search and the entry are asked to
            // do their work on the failed library first.
            for (const CPoint zone : {CPoint(180, 70), CPoint(180, 113), CPoint(180, 150)}) {
                SCOPED_TRACE(testing::Message() << "zone at y " << zone.y);
                s.Tap(zone.x, zone.y);
                s.Sync();
                if (s.FrontTemplate() == IDD_SEARCH) {
                    s.Type(IDC_EDIT_KEYWORD, u"明月");
                    s.Click(IDC_BTN_SEARCH);
                } else if (s.FrontTemplate() == IDD_ADDPOEM) {
                    s.Type(IDC_EDIT_TITLE, u"新诗");
                    s.Type(IDC_EDIT_AUTHOR, u"某人");
                    s.Select(IDC_COMBO_FORM, 0);
                    s.Type(IDC_EDIT_CONTENT, u"一句诗。");
                    s.Click(IDC_BTN_SAVE);
                }
                ASSERT_TRUE(BackToMainScreen(s));
            }
            s.PressOk();
        });
    EXPECT_EQ(testing_support::ReadFile(m_folder.File("broken.idx")), brokenIndex);
    EXPECT_FALSE(std::filesystem::exists(m_folder.File("broken.dat")));
    EXPECT_EQ(testing_support::ReadFile(m_folder.File("kavro.idx")), kavroIndex);
    EXPECT_EQ(testing_support::ReadFile(m_folder.File("kavro.dat")), kavroData);
}

TEST(OptionsClasses, RunTimeClassInformationNamesTheSheetAndMakesThePages) {
    const struct {
        const CRuntimeClass* runtimeClass;
        UINT templateId;
    } pages[] = {{&CPageBrowse::classCPageBrowse, IDD_PAGE_COLOURS},
                 {&CPageBackGround::classCPageBackGround, IDD_PAGE_BACKGROUND},
                 {&CPageCiKu::classCPageCiKu, IDD_PAGE_LIBRARY}};
    for (const auto& page : pages) {
        SCOPED_TRACE(page.runtimeClass->m_lpszClassName);
        const std::unique_ptr<CWnd> made = page.runtimeClass->CreateObject();
        auto* madePage = dynamic_cast<CPropertyPage*>(made.get());
        ASSERT_NE(madePage, nullptr);
        EXPECT_EQ(madePage->GetTemplateId(), page.templateId);
        EXPECT_EQ(madePage->GetRuntimeClass(), page.runtimeClass);
        EXPECT_TRUE(madePage->IsKindOf(&CPropertyPage::classCPropertyPage));
    }
    CPageCiKu library;
    EXPECT_FALSE(library.IsKindOf(&CPageBrowse::classCPageBrowse));
    EXPECT_EQ(CString::FromUtf8(library.GetRuntimeClass()->m_lpszClassName), u"CPageCiKu");

    CKavroOption sheet(u"选项");
    EXPECT_TRUE(sheet.IsKindOf(&CPropertySheet::classCPropertySheet));
    EXPECT_EQ(sheet.GetRuntimeClass(), &CKavroOption::classCKavroOption);
    // Identification only: the sheet is not made from its class information.
    EXPECT_EQ(CKavroOption::classCKavroOption.CreateObject(), nullptr);
    EXPECT_EQ(sheet.GetTitle(), CString(u"选项"));
}

} // namespace
