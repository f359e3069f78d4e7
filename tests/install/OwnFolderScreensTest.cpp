// The reader's own screens on a user's own program folder, made from an installed one as a start
// makes it: a poem typed on the add-poem screen goes into the user's copy of the library and is
// there at the next start, while the installed library stays as it was; a library the user puts
// in their folder is offered on the library page and loads.

#include "entry/AddPoemDlg.h"
#include "platform/core/ProgramFolder.h"
#include "resources/ResourceIds.h"
#include "tests/options/OptionsFixture.h"

#include <algorithm>
#include <string>
#include <vector>

using testing_support::CScript;
using testing_support::ReadFile;
using testing_support::RecordsOf;

namespace {

// The fixture's program folder (m_folder) is the user's own folder, made from `m_installed`.
class OwnFolderScreensTest : public OptionsTest {
protected:
    OwnFolderScreensTest() {
        testing_support::WriteLibrary(m_installed, "kavro", ThreePoems());
        testing_support::WriteFile(m_installed.File("bgpic27.jpg"), "a picture");
        m_installedIndex = ReadFile(m_installed.File("kavro.idx"));
        m_installedData = ReadFile(m_installed.File("kavro.dat"));
        Start();
    }

    // What each start does before the main screen: the folder made ready, the default library
    // opened from it.
    void Start() {
        std::vector<std::string> notes;
        ASSERT_TRUE(PrepareOwnProgramFolder(m_installed.Path(), m_folder.Path(), notes));
        EXPECT_TRUE(notes.empty());
        InstallLibrary("kavro");
    }

    void ExpectInstalledUnchanged() const {
        EXPECT_EQ(ReadFile(m_installed.File("kavro.idx")), m_installedIndex);
        EXPECT_EQ(ReadFile(m_installed.File("kavro.dat")), m_installedData);
    }

    testing_support::TempFolder m_installed;
    std::string m_installedIndex;
    std::string m_installedData;
};

TEST_F(OwnFolderScreensTest, APoemAddedOnTheScreenIsInTheUsersCopyAtTheNextStart) {
    CAddPoemDlg dialog;
    m_driver.Run([&] { dialog.DoModal(); },
                 [&](CScript& s) {
                     ASSERT_TRUE(s.WaitForScreen(IDD_ADDPOEM));
                     s.Type(IDC_EDIT_TITLE, u"自题");
                     s.Type(IDC_EDIT_AUTHOR, u"用户");
                     s.Type(IDC_EDIT_CONTENT, u"一片冰心在玉壶");
                     s.Click(IDC_BTN_SAVE);
                     ExpectBox(s, u"你的诗句已经加入到Lomeva\n需要重新启动Lomeva才能生效!", u"提示",
                               MB_OK, IDD_ADDPOEM);
                     s.PressOk();
                     EXPECT_TRUE(s.WaitForProgramEnd());
                 });
    ExpectInstalledUnchanged();

    Start();
    const auto records = RecordsOf(ReadFile(m_folder.File("kavro.idx")));
    ASSERT_EQ(records.size(), 4u);
    EXPECT_EQ(std::string(records[3].title), testing_support::Gbk("自题"));
    EXPECT_EQ(g_pLibrary->GetHeader().count, 4u);
    ExpectInstalledUnchanged();
}

TEST_F(OwnFolderScreensTest, ALibraryTheUserPutsThereIsOfferedAndLoads) {
    testing_support::WriteLibrary(m_folder, "mine", {ThreePoems()[0]});
    Start();
    m_driver.Run([] { RunOptionsSheet(); },
                 [&](CScript& s) {
                     ASSERT_TRUE(s.WaitForScreen(IDD_PAGE_COLOURS));
                     ASSERT_TRUE(ShowPage(s, 2, IDD_PAGE_LIBRARY));
                     std::vector<CString> entries = ListEntries(s, IDC_LIST_LIBRARIES_SHARED);
                     std::sort(entries.begin(), entries.end());
                     ASSERT_EQ(entries, (std::vector<CString>{u"kavro", u"mine"}));
                     const int mine =
                         ListEntries(s, IDC_LIST_LIBRARIES_SHARED)[0] == u"mine" ? 0 : 1;
                     s.Select(IDC_LIST_LIBRARIES_SHARED, mine);
                     s.Click(IDC_BTN_LOAD);
                     ExpectBox(s, u"调入诗词库成功!\n索引:mine.idx\n数据:mine.dat", u"提示", MB_OK,
                               IDD_PAGE_LIBRARY);
                     s.PressOk();
                 });
    ASSERT_NE(g_pLibrary, nullptr);
    EXPECT_EQ(g_pLibrary->GetHeader().count, 1u);
}

} // namespace
