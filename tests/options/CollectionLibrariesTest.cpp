// The collection's libraries on the library page: built by the set-up script into the program
// folder, listed by their Chinese names, and read after switching to one of them.
//
// LOMEVA_COLLECTION_FOLDER names a program folder whose libraries were built from the whole
// package (bash scripts/setup.sh libraries); without it the test builds them from the small
// package of the tests. Either way it leaves its screens in the screenshot folder.

#include "platform/ui/testing/HtmlViewTesting.h"
#include "reading/PoemViewDlg.h"
#include "resources/ResourceIds.h"
#include "tests/common/Process.h"
#include "tests/options/OptionsFixture.h"

#include <cstdlib>

using testing_support::CScript;

namespace {

namespace fs = std::filesystem;

const std::vector<CString> kCollection = {u"全唐诗",     u"全宋诗",     u"全宋词",   u"元曲",
                                          u"诗经楚辞",   u"五代词",     u"纳兰性德", u"曹操",
                                          u"唐诗三百首", u"宋词三百首", u"千家诗"};

class CollectionLibrariesTest : public OptionsTest {
protected:
    // The program folder to use: the given one, or the test's own with the small package built
    // into it beside the default library and the background picture.
    std::string ProgramFolder() {
        if (const char* given = std::getenv("LOMEVA_COLLECTION_FOLDER")) {
            return fs::absolute(given).string() + "/";
        }
        const std::string package = m_folder.File("chinese-poetry-2.0.1.tgz");
        const std::string fixtures = LOMEVA_SOURCE_DIR "/tests/poemlib/fixtures/collection";
        EXPECT_EQ(
            testing_support::RunProcess("/bin/tar", {"-czf", package, "-C", fixtures, "package"})
                .exitCode,
            0);
        const auto built = testing_support::RunProcess(
            "/bin/bash",
            {LOMEVA_SOURCE_DIR "/scripts/build-libraries.sh", m_folder.Folder(), POEMLIB_PATH}, "",
            {.environment = {"LOMEVA_POETRY_PACKAGE=" + package,
                             "XDG_CACHE_HOME=" + m_folder.File("cache")}});
        EXPECT_EQ(built.exitCode, 0) << built.err;
        for (const char* name : {"kavro.idx", "kavro.dat", "bgpic27.jpg"}) {
            fs::copy_file(fs::path(LOMEVA_PROGRAM_DIR) / name, m_folder.Path() / name);
        }
        return m_folder.Folder();
    }
};

TEST_F(CollectionLibrariesTest, ThePageOffersEveryLibraryAndAPoemReadsAfterTheSwitch) {
    const std::string folder = ProgramFolder();
    g_strAppPath = CString::FromUtf8(folder);
    m_driver.SetProgramFolder(folder);
    m_driver.SetZoom(2);
    InstallLibrary("kavro");
    m_driver.Run([] { RunOptionsSheet(); },
                 [&](CScript& s) {
                     ASSERT_TRUE(s.WaitForScreen(IDD_PAGE_COLOURS));
                     s.ClickWindowAt(2 * 200, 2 * (320 - kSheetTabHeight / 2));
                     ASSERT_TRUE(s.WaitForScreen(IDD_PAGE_LIBRARY));
                     const std::vector<CString> entries = ListEntries(s, IDC_LIST_LIBRARIES_SHARED);
                     for (const CString& name : kCollection) {
                         EXPECT_NE(std::find(entries.begin(), entries.end(), name), entries.end())
                             << name.ToUtf8();
                     }
                     const auto ci = std::find(entries.begin(), entries.end(), CString(u"全宋词"));
                     ASSERT_NE(ci, entries.end());
                     s.Select(IDC_LIST_LIBRARIES_SHARED, static_cast<int>(ci - entries.begin()));
                     s.Sync();
                     EXPECT_TRUE(s.SaveScreenshot(ScreenshotPath("collection-libraries.png")));
                     s.Click(IDC_BTN_LOAD);
                     ExpectBox(s, u"调入诗词库成功!\n索引:全宋词.idx\n数据:全宋词.dat", u"提示",
                               MB_OK, IDD_PAGE_LIBRARY);
                     s.PressOk();
                 });
    ASSERT_TRUE(g_pLibrary->IsOpen());
    EXPECT_EQ(g_pLibrary->GetName(), u"全宋词");
    ASSERT_GT(g_pLibrary->Select(u"水调歌头", SEL_FORM), 0u);
    CPoemViewDlg reader(g_pLibrary->GetResultBuffer());
    m_driver.Run([&] { reader.DoModal(); },
                 [&](CScript& s) {
                     ASSERT_TRUE(s.WaitForScreen(IDD_POEMVIEW));
                     ASSERT_TRUE(s.WaitUntil([&reader] {
                         return reader.m_hwndHtml != nullptr && !reader.m_strPage.IsEmpty() &&
                                UiTesting::HtmlView(reader.m_hwndHtml).page == reader.m_strPage;
                     }));
                     const std::u16string page(
                         s.OnGui([&reader] { return reader.m_strPage; }).view());
                     EXPECT_NE(page.find(u"水调歌头"), std::u16string::npos);
                     EXPECT_NE(page.find(u"宋代·"), std::u16string::npos);
                     EXPECT_TRUE(s.SaveScreenshot(ScreenshotPath("collection-songci-poem.png")));
                     s.PressOk();
                 });
}

} // namespace
