// Index files with awkward names — spaces, quotes, a newline, a leading dash — are listed by
// their base names on the library page and load, or fail, with the usual box; poemlib takes
// them as LIB paths.

#include "options/PageCiKu.h"
#include "resources/ResourceIds.h"
#include "tests/common/Process.h"
#include "tests/options/OptionsFixture.h"

#include <algorithm>

using testing_support::CScript;

namespace {

const std::vector<std::string> kOddNames = {"with space", "it's \"quoted\"", "new\nline", "-dash",
                                            "--option"};

class LibraryNamesTest : public OptionsTest {
protected:
    static std::vector<CString> Sorted(std::vector<CString> names) {
        std::sort(names.begin(), names.end());
        return names;
    }
    static int IndexOf(const std::vector<CString>& entries, const CString& name) {
        const auto found = std::find(entries.begin(), entries.end(), name);
        return found == entries.end() ? -1 : static_cast<int>(found - entries.begin());
    }
};

TEST_F(LibraryNamesTest, OddNamesAreListedAndLoadOrFailCleanly) {
    for (const std::string& name : kOddNames) {
        testing_support::WriteLibrary(m_folder, name, ThreePoems());
    }
    testing_support::WriteFile(m_folder.File("-broken \"x\"\n.idx"), "SC not a library");
    std::vector<CString> expected{u"-broken \"x\"\n"};
    for (const std::string& name : kOddNames) {
        expected.push_back(CString::FromUtf8(name));
    }
    m_driver.Run([] { RunOptionsSheet(); },
                 [&](CScript& s) {
                     ASSERT_TRUE(s.WaitForScreen(IDD_PAGE_COLOURS));
                     ASSERT_TRUE(ShowPage(s, 2, IDD_PAGE_LIBRARY));
                     const std::vector<CString> entries = ListEntries(s, IDC_LIST_LIBRARIES_SHARED);
                     ASSERT_EQ(Sorted(entries), Sorted(expected));
                     for (const std::string& name : kOddNames) {
                         SCOPED_TRACE(name);
                         const CString base = CString::FromUtf8(name);
                         s.Select(IDC_LIST_LIBRARIES_SHARED, IndexOf(entries, base));
                         s.Click(IDC_BTN_LOAD);
                         ExpectBox(s,
                                   CString::Formatted(u"调入诗词库成功!\n索引:%s\n数据:%s",
                                                      (base + u".idx").GetString(),
                                                      (base + u".dat").GetString()),
                                   u"提示", MB_OK, IDD_PAGE_LIBRARY);
                         EXPECT_EQ(s.OnGui([] { return g_pLibrary->m_nCount; }), 3u);
                     }
                     s.Select(IDC_LIST_LIBRARIES_SHARED, IndexOf(entries, u"-broken \"x\"\n"));
                     s.Click(IDC_BTN_LOAD);
                     // The library tells what it could not read, then the page that it failed.
                     ASSERT_TRUE(s.WaitForBox());
                     const auto fileError = s.FrontBox();
                     ASSERT_TRUE(fileError.has_value());
                     EXPECT_EQ(fileError->caption, CString(u"lomeva"));
                     s.AnswerBox();
                     s.Sync();
                     ExpectBox(s, u"调入诗词库失败", u"提示", MB_OK, IDD_PAGE_LIBRARY);
                     EXPECT_EQ(s.OnGui([] { return g_pLibrary->m_nCount; }), 0u);
                     s.PressOk();
                 });
}

TEST_F(LibraryNamesTest, PoemlibTakesOddNamesAsLibPaths) {
    for (const std::string& name : kOddNames) {
        SCOPED_TRACE(name);
        testing_support::WriteLibrary(m_folder, name, ThreePoems());
        const std::string lib = m_folder.File(name + ".idx");
        const auto list = testing_support::RunProcess(POEMLIB_PATH, {"list", lib});
        EXPECT_EQ(list.exitCode, 0) << list.err;
        EXPECT_NE(list.out.find("水调歌头"), std::string::npos);
        const auto add = testing_support::RunProcess(
            POEMLIB_PATH, {"add", lib, "--title", "新诗", "--author", "某人"}, "一句\n");
        EXPECT_EQ(add.exitCode, 0) << add.err;
        const auto check = testing_support::RunProcess(POEMLIB_PATH, {"check", lib});
        EXPECT_EQ(check.exitCode, 0) << check.out << check.err;
        EXPECT_NE(testing_support::RunProcess(POEMLIB_PATH, {"list", lib}).out.find("新诗"),
                  std::string::npos);
    }
    // A missing library with such a name is a plain failure, not a usage error or a crash.
    const auto missing =
        testing_support::RunProcess(POEMLIB_PATH, {"list", m_folder.File("-no such\n.idx")});
    EXPECT_GT(missing.exitCode, 0);
    EXPECT_EQ(missing.signal, 0);
}

} // namespace
