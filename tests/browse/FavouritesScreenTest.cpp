// Favourites from the screens: the reader's menu keeps the poem shown and takes it out again,
// and the main screen's 我的收藏 lists them, whatever library is open, and reads them.

#include "app/MainMenuDlg.h"
#include "browse/CatalogDlg.h"
#include "library/Favourites.h"
#include "reading/PoemViewDlg.h"
#include "reading/ReaderMenu.h"
#include "resources/ResourceIds.h"
#include "tests/reading/ReaderFixture.h"

using testing_support::CScript;

namespace {

class FavouritesScreenTest : public ReaderTest {
protected:
    FavouritesScreenTest() {
        OpenLibrary({
            {"静夜思", "李白", "唐代", "五言绝句", "床前明月光，\r\n疑是地上霜。"},
            {"春晓", "孟浩然", "唐代", "五言绝句", "春眠不觉晓，\r\n处处闻啼鸟。"},
            {"水调歌头", "苏轼", "宋代", "水调歌头", "明月几时有？\r\n把酒问青天。"},
        });
    }
    std::uint32_t Kept() const { return CFavourites(g_strAppPath).Count(); }
    // The entry 收藏 or 取消收藏 of the menu a hold opens.
    static CScript::MenuEntry FavouriteEntry(CScript& s) {
        s.Hold(120, 150);
        EXPECT_TRUE(s.WaitForMenu());
        for (const auto& entry : s.FrontMenu().value_or(std::vector<CScript::MenuEntry>{})) {
            if (entry.id == CReaderMenu::kFavourite) {
                return entry;
            }
        }
        return {0, {}, false, false, false};
    }
    bool Shows(const char16_t* words) const {
        for (auto m = m_messages.rbegin(); m != m_messages.rend(); ++m) {
            if (m->message == DTM_ADDTEXTW) {
                return m->text.Find(words) != -1;
            }
        }
        return false;
    }
    static void WaitUntilReady(CScript& s) {
        ASSERT_TRUE(s.WaitForScreen(IDD_CATALOG));
        for (int i = 0; i < 200 && !s.IsEnabled(IDC_BTN_READ); ++i) {
            s.Pause(std::chrono::milliseconds(10));
        }
        ASSERT_TRUE(s.IsEnabled(IDC_BTN_READ));
    }
};

TEST_F(FavouritesScreenTest, TheReaderKeepsThePoemAndTakesItOutAndTheMainScreenListsThem) {
    CPoemViewDlg reader(Record(0), 3, 0);
    m_driver.Run([&] { reader.DoModal(); },
                 [&](CScript& s) {
                     ASSERT_TRUE(s.WaitUntil([&] { return Shows(u"疑是地上霜"); }));
                     auto entry = FavouriteEntry(s);
                     EXPECT_EQ(entry.text, CString(u"收藏"));
                     EXPECT_TRUE(entry.enabled);
                     s.ChooseMenuItem(CReaderMenu::kFavourite);
                     ASSERT_TRUE(s.WaitUntil([&] { return Kept() == 1; }));
                     EXPECT_EQ(FavouriteEntry(s).text, CString(u"取消收藏"));
                     s.ChooseMenuItem(CReaderMenu::kNext);
                     ASSERT_TRUE(s.WaitUntil([&] { return Shows(u"处处闻啼鸟"); }));
                     s.PressKey(VK_RIGHT);
                     ASSERT_TRUE(s.WaitUntil([&] { return Shows(u"把酒问青天"); }))
                         << s.OnGui([&] { return reader.GetListIndex(); });
                     EXPECT_EQ(FavouriteEntry(s).text, CString(u"收藏"));
                     s.ChooseMenuItem(CReaderMenu::kFavourite);
                     ASSERT_TRUE(s.WaitUntil([&] { return Kept() == 2; }));
                     s.PressOk();
                 });
    // Another library open now: the favourites are still theirs, read from their own files.
    InstallLibrary(nullptr);
    OpenLibrary({{"登鹳雀楼", "王之涣", "唐代", "五言绝句", "白日依山尽，\r\n黄河入海流。"}});
    CMainMenuDlg main;
    m_driver.Run([&] { main.DoModal(); },
                 [&](CScript& s) {
                     ASSERT_TRUE(s.WaitForScreen(IDD_MAINMENU));
                     s.PressMenuKey();
                     ASSERT_TRUE(s.WaitForMenu());
                     const auto menu = s.FrontMenu().value_or(std::vector<CScript::MenuEntry>{});
                     ASSERT_EQ(menu.size(), 2u);
                     EXPECT_TRUE(menu[1].enabled);
                     s.ChooseMenuItem(menu[1].id);
                     WaitUntilReady(s);
                     EXPECT_EQ(s.OnGui([] { return g_nCatalogRow; }), 2u);
                     s.Select(IDC_LIST_POEMS, 1);
                     s.Click(IDC_BTN_READ);
                     ASSERT_TRUE(s.WaitForScreen(IDD_POEMVIEW));
                     ASSERT_TRUE(s.WaitUntil([&] { return Shows(u"把酒问青天"); }));
                     s.PressKey(VK_LEFT);
                     ASSERT_TRUE(s.WaitUntil([&] { return Shows(u"疑是地上霜"); }));
                     const auto entry = FavouriteEntry(s);
                     EXPECT_EQ(entry.text, CString(u"取消收藏"));
                     s.ChooseMenuItem(CReaderMenu::kFavourite);
                     ASSERT_TRUE(s.WaitUntil([&] { return Kept() == 1; }));
                     // The page taken out stays on the screen, and the list still turns.
                     s.PressKey(VK_RIGHT);
                     ASSERT_TRUE(s.WaitUntil([&] { return Shows(u"把酒问青天"); }));
                     s.PressOk();
                     ASSERT_TRUE(s.WaitForScreen(IDD_CATALOG));
                     s.PressOk();
                     ASSERT_TRUE(s.WaitForScreen(IDD_MAINMENU));
                     s.PressOk();
                 });
    const auto poems = CFavourites(g_strAppPath).Poems();
    ASSERT_EQ(poems.size(), 1u);
    EXPECT_EQ(poems[0].text, testing_support::Gbk("明月几时有？\r\n把酒问青天。"));
    EXPECT_EQ(g_pLibrary->GetName(), CString(u"测试诗词")); // the open library is untouched
    EXPECT_EQ(g_pLibrary->Select(nullptr, SEL_ALL), 1u);
}

} // namespace
