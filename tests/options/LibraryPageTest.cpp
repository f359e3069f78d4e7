// The library page: every index file of the program folder by its base name, and "选 用", which
// replaces the open library with the chosen one whatever the outcome.

#include "options/PageCiKu.h"
#include "resources/ResourceIds.h"
#include "tests/options/OptionsFixture.h"

#include <algorithm>
#include <filesystem>

using testing_support::CScript;

namespace {

constexpr const char16_t* kFailed = u"调入诗词库失败";
constexpr const char16_t* kInformation = u"提示";

CString Loaded(const char16_t* index, const char16_t* data) {
    return CString::Formatted(u"调入诗词库成功!\n索引:%s\n数据:%s", index, data);
}

class LibraryPageTest : public OptionsTest {
protected:
    static bool OpenLibraryPage(CScript& s) {
        return s.WaitForScreen(IDD_PAGE_COLOURS) && ShowPage(s, 2, IDD_PAGE_LIBRARY);
    }
    // Selects the entry `name` of the library list; false when the list has no such entry.
    static bool SelectLibrary(CScript& s, const CString& name) {
        const std::vector<CString> entries = ListEntries(s, IDC_LIST_LIBRARIES_SHARED);
        const auto found = std::find(entries.begin(), entries.end(), name);
        if (found == entries.end()) {
            return false;
        }
        const int index = static_cast<int>(found - entries.begin());
        s.Select(IDC_LIST_LIBRARIES_SHARED, index);
        s.Sync();
        return ListSelection(s, IDC_LIST_LIBRARIES_SHARED) == index;
    }
    static std::vector<CString> Sorted(std::vector<CString> names) {
        std::sort(names.begin(), names.end());
        return names;
    }
    // How many of this process's open files are `path`.
    static int OpenHandlesTo(const std::string& path) {
        int count = 0;
        for (const auto& entry : std::filesystem::directory_iterator("/proc/self/fd")) {
            std::error_code error;
            const auto target = std::filesystem::read_symlink(entry.path(), error);
            count += !error && target == std::filesystem::path(path) ? 1 : 0;
        }
        return count;
    }
};

TEST_F(LibraryPageTest, EveryIndexFileIsListedByItsBaseName) {
    testing_support::WriteLibrary(m_folder, "kavro", ThreePoems());
    testing_support::WriteLibrary(m_folder, "a.b", ThreePoems());
    testing_support::WriteFile(m_folder.File(".idx"), "SC");
    testing_support::WriteFile(m_folder.File("notes.txt"), "not a library");
    testing_support::WriteFile(m_folder.File("kavro.idx.bak"), "not listed either");
    std::filesystem::create_directory(m_folder.File("folder.idx"));
    m_driver.Run([] { RunOptionsSheet(); },
                 [&](CScript& s) {
                     ASSERT_TRUE(OpenLibraryPage(s));
                     EXPECT_EQ(Sorted(ListEntries(s, IDC_LIST_LIBRARIES_SHARED)),
                               (std::vector<CString>{u"", u"a.b", u"kavro"}));
                     EXPECT_EQ(ListSelection(s, IDC_LIST_LIBRARIES_SHARED), LB_ERR);
                     s.PressOk();
                 });
}

TEST_F(LibraryPageTest, WithoutASelectionNothingIsLoadedAndTheOpenLibraryStays) {
    testing_support::WriteLibrary(m_folder, "kavro", ThreePoems());
    InstallLibrary("kavro");
    CPoemLibrary* const before = g_pLibrary;
    // An empty folder: an empty list.
    testing_support::TempFolder empty;
    m_driver.Run(
        [&] {
            g_strAppPath = CString::FromUtf8(empty.Folder());
            RunOptionsSheet();
        },
        [&](CScript& s) {
            ASSERT_TRUE(OpenLibraryPage(s));
            EXPECT_TRUE(ListEntries(s, IDC_LIST_LIBRARIES_SHARED).empty());
            const HWND page = FrontPageWindow(s);
            s.Click(IDC_BTN_LOAD);
            ASSERT_TRUE(s.WaitForBox());
            EXPECT_EQ(s.FrontBox()->owner, page);
            ExpectBox(s, kFailed, kInformation, MB_OK, IDD_PAGE_LIBRARY);
            s.PressOk();
        });
    EXPECT_EQ(g_pLibrary, before);
    // A list with entries, none of them selected.
    g_strAppPath = CString::FromUtf8(m_folder.Folder());
    m_driver.Run([] { RunOptionsSheet(); },
                 [&](CScript& s) {
                     ASSERT_TRUE(OpenLibraryPage(s));
                     EXPECT_EQ(ListEntries(s, IDC_LIST_LIBRARIES_SHARED).size(), 1u);
                     s.Click(IDC_BTN_LOAD);
                     ExpectBox(s, kFailed, kInformation, MB_OK, IDD_PAGE_LIBRARY);
                     s.PressOk();
                 });
    EXPECT_EQ(g_pLibrary, before);
    EXPECT_TRUE(g_pLibrary->IsOpen());
}

TEST_F(LibraryPageTest, AGoodLibraryReplacesTheOpenOneEvenTwiceOnTheSameEntry) {
    testing_support::WriteLibrary(m_folder, "kavro", ThreePoems());
    testing_support::WriteLibrary(m_folder, "songci", {ThreePoems()[2]},
                                  testing_support::MakeHeader("宋词", "某人", 10100, 20200202));
    InstallLibrary("kavro");
    const std::string kavroData = m_folder.File("kavro.dat");
    ASSERT_EQ(OpenHandlesTo(kavroData), 1);
    m_driver.Run([] { RunOptionsSheet(); },
                 [&](CScript& s) {
                     ASSERT_TRUE(OpenLibraryPage(s));
                     ASSERT_TRUE(SelectLibrary(s, u"songci"));
                     EXPECT_TRUE(s.SaveScreenshot(ScreenshotPath("options-library.png")));
                     for (int time = 0; time < 2; ++time) {
                         s.Click(IDC_BTN_LOAD);
                         if (time == 0) {
                             ASSERT_TRUE(s.WaitForBox());
                             EXPECT_TRUE(
                                 s.SaveScreenshot(ScreenshotPath("options-library-loaded.png")));
                         }
                         ExpectBox(s, Loaded(u"songci.idx", u"songci.dat"), kInformation, MB_OK,
                                   IDD_PAGE_LIBRARY);
                         EXPECT_TRUE(s.OnGui([] { return g_pLibrary->IsOpen(); }));
                         EXPECT_EQ(s.OnGui([] { return g_pLibrary->GetName(); }), CString(u"宋词"));
                         EXPECT_EQ(s.OnGui([] { return g_pLibrary->m_nCount; }), 1u);
                     }
                     s.PressOk();
                 });
    // The first library was released; the second load released the first copy of songci.
    EXPECT_EQ(OpenHandlesTo(kavroData), 0);
    EXPECT_EQ(OpenHandlesTo(m_folder.File("songci.dat")), 1);
    EXPECT_EQ(g_pLibrary->GetIndexName(), CString(u"songci.idx"));
    EXPECT_EQ(g_pLibrary->Select(nullptr, SEL_ALL), 1u);
}

TEST_F(LibraryPageTest, DottedAndEmptyBaseNamesLoadTheirOwnFiles) {
    testing_support::WriteLibrary(m_folder, "a.b", ThreePoems(),
                                  testing_support::MakeHeader("点名"));
    testing_support::WriteLibrary(m_folder, "", {ThreePoems()[0]},
                                  testing_support::MakeHeader("无名"));
    m_driver.Run([] { RunOptionsSheet(); },
                 [&](CScript& s) {
                     ASSERT_TRUE(OpenLibraryPage(s));
                     ASSERT_TRUE(SelectLibrary(s, u"a.b"));
                     s.Click(IDC_BTN_LOAD);
                     ExpectBox(s, Loaded(u"a.b.idx", u"a.b.dat"), kInformation, MB_OK,
                               IDD_PAGE_LIBRARY);
                     EXPECT_EQ(s.OnGui([] { return g_pLibrary->GetName(); }), CString(u"点名"));
                     ASSERT_TRUE(SelectLibrary(s, u""));
                     s.Click(IDC_BTN_LOAD);
                     ExpectBox(s, Loaded(u".idx", u".dat"), kInformation, MB_OK, IDD_PAGE_LIBRARY);
                     EXPECT_EQ(s.OnGui([] { return g_pLibrary->GetName(); }), CString(u"无名"));
                     EXPECT_EQ(s.OnGui([] { return g_pLibrary->m_nCount; }), 1u);
                     s.PressOk();
                 });
}

TEST_F(LibraryPageTest, ALibraryWithoutItsDataFileFailsAndStaysInstalledInsteadOfTheOldOne) {
    testing_support::WriteLibrary(m_folder, "kavro", ThreePoems());
    testing_support::WriteLibrary(m_folder, "broken", ThreePoems(),
                                  testing_support::MakeHeader("残缺"));
    std::filesystem::remove(m_folder.File("broken.dat"));
    InstallLibrary("kavro");
    m_driver.Run([] { RunOptionsSheet(); },
                 [&](CScript& s) {
                     ASSERT_TRUE(OpenLibraryPage(s));
                     ASSERT_TRUE(SelectLibrary(s, u"broken"));
                     s.Click(IDC_BTN_LOAD);
                     // First the open's own file error, then the page's failure.
                     ASSERT_TRUE(s.WaitForBox());
                     const auto fileError = s.FrontBox();
                     ASSERT_TRUE(fileError.has_value());
                     EXPECT_GE(fileError->text.Find(u"broken.dat"), 0) << fileError->text.ToUtf8();
                     EXPECT_EQ(fileError->caption, CString(u"lomeva"));
                     s.AnswerBox();
                     s.Sync();
                     ExpectBox(s, kFailed, kInformation, MB_OK, IDD_PAGE_LIBRARY);
                     s.PressOk();
                 });
    ASSERT_NE(g_pLibrary, nullptr);
    EXPECT_FALSE(g_pLibrary->IsOpen());
    EXPECT_EQ(g_pLibrary->GetName(), CString(u"残缺"));
    EXPECT_EQ(OpenHandlesTo(m_folder.File("kavro.dat")), 0);
}

} // namespace
