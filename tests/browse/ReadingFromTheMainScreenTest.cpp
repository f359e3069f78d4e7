// Reading a poem the way a person does: from the main screen's catalogue zone to the reader
// and back, and the search zone to its screen.

#include "app/MainMenuDlg.h"
#include "browse/CatalogDlg.h"
#include "resources/ResourceIds.h"
#include "tests/reading/ReaderFixture.h"

using testing_support::CScript;

namespace {

class ReadingFromTheMainScreenTest : public ReaderTest {
protected:
    ReadingFromTheMainScreenTest() {
        OpenLibrary({
            {"静夜思", "李白", "唐代", "五言绝句", "床前明月光，\r\n疑是地上霜。"},
            {"春晓", "孟浩然", "唐代", "五言绝句", "春眠不觉晓，\r\n处处闻啼鸟。"},
            {"水调歌头", "苏轼", "宋代", "水调歌头", "明月几时有？\r\n把酒问青天。"},
        });
    }
};

TEST_F(ReadingFromTheMainScreenTest, CatalogueZoneToTheReaderAndBack) {
    CMainMenuDlg menu;
    m_driver.Run(
        [&] { menu.DoModal(); },
        [&](CScript& s) {
            ASSERT_TRUE(s.WaitForScreen(IDD_MAINMENU));
            s.Tap(188, 72);
            ASSERT_TRUE(s.WaitForScreen(IDD_CATALOG));
            ASSERT_TRUE(s.WaitUntil([] { return g_nCatalogRow == 3; }));
            for (int i = 0; i < 100 && !s.IsEnabled(IDC_BTN_READ); ++i) {
                s.Pause(std::chrono::milliseconds(10));
            }
            ASSERT_TRUE(s.IsEnabled(IDC_BTN_READ));
            s.Select(IDC_LIST_POEMS, 2);
            s.Click(IDC_BTN_READ);
            ASSERT_TRUE(s.WaitForScreen(IDD_POEMVIEW));
            ASSERT_TRUE(s.WaitUntil([&] {
                return !m_messages.empty() && m_messages.back().message == DTM_ENDOFSOURCE &&
                       m_messages[m_messages.size() - 2].text.Find(u"把酒问青天") != -1;
            }));
            EXPECT_EQ(s.OnGui([&] { return m_sound.m_strPlaying; }), g_strAppPath + u"sound1.wav");
            s.PressOk();
            ASSERT_TRUE(s.WaitForScreen(IDD_CATALOG));
            EXPECT_TRUE(s.OnGui([&] { return m_sound.m_strPlaying.IsEmpty(); }));
            s.PressOk();
            ASSERT_TRUE(s.WaitForScreen(IDD_MAINMENU));
            s.Tap(188, 112);
            ASSERT_TRUE(s.WaitForScreen(IDD_SEARCH));
            s.PressOk();
            ASSERT_TRUE(s.WaitForScreen(IDD_MAINMENU));
            s.PressOk();
            EXPECT_TRUE(s.WaitForProgramEnd());
        });
}

} // namespace
