// The background page: the numbered pictures and pieces of music, each stored the moment it is
// selected, and the preview in the picture viewer.

#include "options/PageBackGround.h"
#include "platform/core/ProgramFiles.h"
#include "platform/ui/RealServices.h"
#include "reading/page/PoemPage.h"
#include "resources/ResourceIds.h"
#include "tests/options/OptionsFixture.h"

#include <chrono>
#include <sys/stat.h>
#include <thread>

using testing_support::CScript;

namespace {

class BackgroundPageTest : public OptionsTest {
protected:
    static bool OpenBackgroundPage(CScript& s) {
        return s.WaitForScreen(IDD_PAGE_COLOURS) && ShowPage(s, 1, IDD_PAGE_BACKGROUND);
    }
    static CString Picture(CScript& s) {
        return s.OnGui([] { return g_strBackPicture; });
    }
    static CString Music(CScript& s) {
        return s.OnGui([] { return g_strBackMusic; });
    }
};

std::vector<CString> Numbered(const char16_t* label, unsigned count) {
    std::vector<CString> entries;
    for (unsigned i = 1; i <= count; ++i) {
        entries.push_back(CString::Formatted(u"%s%u", label, i));
    }
    return entries;
}

CString PictureName(unsigned number) {
    return CString::FromUtf8(BackgroundPictureName(number));
}

CString MusicName(unsigned number) {
    return CString::FromUtf8(BackgroundMusicName(number));
}

TEST_F(BackgroundPageTest, ThePageShowsTheSettingsAndBothListsWithoutASelection) {
    m_driver.Run([] { RunOptionsSheet(); },
                 [&](CScript& s) {
                     ASSERT_TRUE(OpenBackgroundPage(s));
                     EXPECT_EQ(s.Text(IDC_STATIC_PICTURE_SHARED), CString(u"bgpic27.jpg"));
                     EXPECT_EQ(s.Text(IDC_STATIC_MUSIC), CString(u"sound1.wav"));
                     EXPECT_EQ(ListEntries(s, IDC_LIST_PICTURES_SHARED),
                               Numbered(u"图片", kBackgroundPictureCount));
                     EXPECT_EQ(ListEntries(s, IDC_LIST_MUSIC_SHARED),
                               Numbered(u"音乐", kBackgroundMusicCount));
                     EXPECT_EQ(ListSelection(s, IDC_LIST_PICTURES_SHARED), LB_ERR);
                     EXPECT_EQ(ListSelection(s, IDC_LIST_MUSIC_SHARED), LB_ERR);
                     s.PressOk();
                 });
}

TEST_F(BackgroundPageTest, EverySelectionIsStoredAtOnceAndShownByName) {
    m_driver.Run([] { RunOptionsSheet(); },
                 [&](CScript& s) {
                     ASSERT_TRUE(OpenBackgroundPage(s));
                     for (unsigned i = 0; i < kBackgroundPictureCount; ++i) {
                         s.Select(IDC_LIST_PICTURES_SHARED, static_cast<int>(i));
                         s.Sync();
                         const CString expected = PictureName(i + 1);
                         ASSERT_EQ(Picture(s), expected);
                         ASSERT_EQ(s.Text(IDC_STATIC_PICTURE_SHARED), expected);
                     }
                     for (unsigned i = 0; i < kBackgroundMusicCount; ++i) {
                         s.Select(IDC_LIST_MUSIC_SHARED, static_cast<int>(i));
                         s.Sync();
                         const CString expected = MusicName(i + 1);
                         ASSERT_EQ(Music(s), expected);
                         ASSERT_EQ(s.Text(IDC_STATIC_MUSIC), expected);
                     }
                     // The music did not touch the picture.
                     EXPECT_EQ(Picture(s), PictureName(kBackgroundPictureCount));
                     s.PressEscape();
                 });
    EXPECT_EQ(g_strBackPicture, PictureName(kBackgroundPictureCount));
    EXPECT_EQ(g_strBackMusic, MusicName(kBackgroundMusicCount));
}

TEST_F(BackgroundPageTest, TheChoiceOutlivesTheSheetAndTheNextPoemPageUsesIt) {
    testing_support::WriteLibrary(m_folder, "kavro", ThreePoems());
    InstallLibrary("kavro");
    m_driver.Run([] { RunOptionsSheet(); },
                 [&](CScript& s) {
                     ASSERT_TRUE(OpenBackgroundPage(s));
                     s.Select(IDC_LIST_PICTURES_SHARED, 4);
                     s.Select(IDC_LIST_MUSIC_SHARED, 2);
                     s.Sync();
                     EXPECT_TRUE(s.SaveScreenshot(ScreenshotPath("options-background.png")));
                     s.CloseWindow();
                 });
    EXPECT_EQ(g_strBackPicture, CString(u"bgpic5.jpg"));
    EXPECT_EQ(g_strBackMusic, CString(u"sound3.wav"));
    const CString page =
        ComposePoemPage(*g_pLibrary, g_pLibrary->GetRecords()[0], CurrentPageSettings());
    EXPECT_GE(page.Find((u"\"file://" + g_strAppPath + u"bgpic5.jpg\"").view()), 0)
        << page.ToUtf8();
    EXPECT_LT(page.Find(u"bgpic27.jpg"), 0);

    m_driver.Run([] { RunOptionsSheet(); },
                 [&](CScript& s) {
                     ASSERT_TRUE(OpenBackgroundPage(s));
                     EXPECT_EQ(s.Text(IDC_STATIC_PICTURE_SHARED), CString(u"bgpic5.jpg"));
                     EXPECT_EQ(s.Text(IDC_STATIC_MUSIC), CString(u"sound3.wav"));
                     EXPECT_EQ(ListSelection(s, IDC_LIST_PICTURES_SHARED), LB_ERR);
                     s.PressOk();
                 });
}

TEST_F(BackgroundPageTest, ASelectionChangeWithNothingSelectedFallsBackToTheFirstFileAndSaysSo) {
    m_driver.Run(
        [] { RunOptionsSheet(); },
        [&](CScript& s) {
            ASSERT_TRUE(OpenBackgroundPage(s));
            s.Select(IDC_LIST_PICTURES_SHARED, 9);
            s.Select(IDC_LIST_MUSIC_SHARED, 4);
            s.Sync();
            // The user takes the selections back: the lists notify with none.
            s.OnGui([] {
                CPageBackGround* page = FrontPage<CPageBackGround>();
                page->m_listPicture.SetCurSel(-1);
                page->m_listMusic.SetCurSel(-1);
                page->SendMessage(WM_COMMAND, MAKEWPARAM(IDC_LIST_PICTURES_SHARED, LBN_SELCHANGE));
                page->SendMessage(WM_COMMAND, MAKEWPARAM(IDC_LIST_MUSIC_SHARED, LBN_SELCHANGE));
            });
            EXPECT_EQ(Picture(s), CString(u"bgpic1.jpg"));
            EXPECT_EQ(Music(s), CString(u"sound1.wav"));
            EXPECT_EQ(s.Text(IDC_STATIC_PICTURE_SHARED), CString(u"bgpic1.jpg"));
            EXPECT_EQ(s.Text(IDC_STATIC_MUSIC), CString(u"sound1.wav"));
            s.PressOk();
        });
}

TEST_F(BackgroundPageTest, PreviewLaunchesTheViewerWithThePictureInUse) {
    HWND page = nullptr;
    m_driver.Run([] { RunOptionsSheet(); },
                 [&](CScript& s) {
                     ASSERT_TRUE(OpenBackgroundPage(s));
                     page = FrontPageWindow(s);
                     s.Click(IDC_BTN_PREVIEW);
                     s.Select(IDC_LIST_PICTURES_SHARED, 4);
                     s.Click(IDC_BTN_PREVIEW);
                     s.Sync();
                     // Nothing is said either way.
                     EXPECT_FALSE(s.FrontBox().has_value());
                     s.PressOk();
                 });
    const CString folder = CString::FromUtf8(m_folder.Folder());
    ASSERT_EQ(m_launcher.m_launches.size(), 2u);
    EXPECT_EQ(m_launcher.m_launches[0].parameters, folder + u"bgpic27.jpg");
    EXPECT_EQ(m_launcher.m_launches[1].parameters, folder + u"bgpic5.jpg");
    for (const auto& launch : m_launcher.m_launches) {
        EXPECT_EQ(launch.verb, CString(u"open"));
        EXPECT_EQ(launch.file, CString(u"pimg.exe"));
        EXPECT_EQ(launch.window, page);
        EXPECT_EQ(launch.size, 60u);
    }
}

// The program's own launcher with a stand-in viewer that writes down its argument and then takes
// its time: the preview returns at once, and the viewer gets the whole path as one argument.
TEST_F(BackgroundPageTest, ThePreviewStartsTheViewerBesideTheProgramWithoutWaitingForIt) {
    const std::string marker = m_folder.File("viewer-argument");
    const std::string viewer = m_folder.File("pimg");
    testing_support::WriteFile(viewer, "#!/bin/sh\nprintf '%s' \"$1\" > '" + marker +
                                           ".part'\nmv '" + marker + ".part' '" + marker +
                                           "'\nsleep 5\n");
    ASSERT_EQ(::chmod(viewer.c_str(), 0755), 0);
    g_strBackPicture = u"图 片 1.jpg"; // spaces and CJK in the name
    CViewerLauncher realLauncher;
    ScopedService<IProgramLauncher> installed(realLauncher);
    std::chrono::steady_clock::duration took{};
    m_driver.Run([] { RunOptionsSheet(); },
                 [&](CScript& s) {
                     ASSERT_TRUE(OpenBackgroundPage(s));
                     const auto start = std::chrono::steady_clock::now();
                     s.Click(IDC_BTN_PREVIEW);
                     s.Sync();
                     took = std::chrono::steady_clock::now() - start;
                     s.PressOk();
                 });
    EXPECT_LT(took, std::chrono::seconds(3));
    for (int i = 0; i < 500 && !std::filesystem::exists(marker); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    EXPECT_EQ(testing_support::ReadFile(marker), m_folder.Folder() + "图 片 1.jpg");
}

} // namespace
