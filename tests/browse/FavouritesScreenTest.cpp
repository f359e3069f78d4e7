// Favourites from the screens: the reader's menu keeps the poem shown and takes it out again,
// and the main screen's 我的收藏 lists them, whatever library is open, and reads them with their
// notes; a poem taken out of the favourites open as the library keeps its notes on the page and
// comes back with them.

#include "app/MainMenuDlg.h"
#include "browse/CatalogDlg.h"
#include "library/Favourites.h"
#include "library/PoemNotes.h"
#include "reading/PoemViewDlg.h"
#include "reading/ReaderMenu.h"
#include "resources/ResourceIds.h"
#include "tests/reading/ReaderFixture.h"

using testing_support::CScript;

namespace {

const PoemNotes kSongNotes{u"水调歌头·丙辰中秋，欢饮达旦，大醉，作此篇，兼怀子由",
                           {u"子由--苏辙。"}};

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
    // Whether the page the reader handed over last, the poem with its notes, holds `words`.
    bool Shows(const char16_t* words) const {
        auto m = m_messages.rbegin();
        while (m != m_messages.rend() && m->message != DTM_ENDOFSOURCE) {
            ++m;
        }
        if (m == m_messages.rend()) {
            return false;
        }
        for (++m; m != m_messages.rend() && m->message != DTM_ENDOFSOURCE; ++m) {
            if (m->message == DTM_ADDTEXTW && m->text.Find(words) != -1) {
                return true;
            }
        }
        return false;
    }
    // 水调歌头 has its whole title and a note in the library open.
    void WriteNotes() {
        CNotesWriter writer;
        CString text;
        g_pLibrary->ReadText(Record(2), text);
        writer.Add(*Record(2), text, kSongNotes);
        std::string error;
        ASSERT_TRUE(writer.Write(m_folder.File("kavro.notes"), error)) << error;
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

TEST_F(FavouritesScreenTest, TheFavouritesPageShowsTheNotesKeptWithThePoem) {
    WriteNotes();
    CPoemViewDlg reader(Record(0), 3, 2);
    m_driver.Run([&] { reader.DoModal(); },
                 [&](CScript& s) {
                     ASSERT_TRUE(s.WaitUntil([&] { return Shows(u"子由--苏辙。"); }));
                     EXPECT_EQ(FavouriteEntry(s).text, CString(u"收藏"));
                     s.ChooseMenuItem(CReaderMenu::kFavourite);
                     ASSERT_TRUE(s.WaitUntil([&] { return Kept() == 1; }));
                     s.PressOk();
                 });
    UseDarkTextOnWhite();
    CMainMenuDlg main;
    m_driver.Run(
        [&] { main.DoModal(); },
        [&](CScript& s) {
            ASSERT_TRUE(s.WaitForScreen(IDD_MAINMENU));
            s.PressMenuKey();
            ASSERT_TRUE(s.WaitForMenu());
            s.ChooseMenuItem(s.FrontMenu().value_or(std::vector<CScript::MenuEntry>{}).at(1).id);
            WaitUntilReady(s);
            s.Select(IDC_LIST_POEMS, 0);
            s.Click(IDC_BTN_READ);
            ASSERT_TRUE(s.WaitForScreen(IDD_POEMVIEW));
            EXPECT_TRUE(s.WaitUntil([&] {
                return Shows(u"把酒问青天") &&
                       Shows(u"原题：水调歌头·丙辰中秋，欢饮达旦，大醉，作此篇，兼怀子由") &&
                       Shows(u"子由--苏辙。");
            }));
            s.Pause(std::chrono::milliseconds(300)); // laid out and painted
            EXPECT_TRUE(s.SaveScreenshot(Screenshot("favourites-notes.png")));
            s.PressOk();
            ASSERT_TRUE(s.WaitForScreen(IDD_CATALOG));
            s.PressOk();
            ASSERT_TRUE(s.WaitForScreen(IDD_MAINMENU));
            s.PressOk();
        });
}

TEST_F(FavouritesScreenTest, APoemTakenOutOfTheOpenFavouritesKeepsItsNotesAndComesBackWithThem) {
    WriteNotes();
    CFavourites favourites(g_strAppPath);
    ASSERT_EQ(favourites.Add(KeptPoemOf(*g_pLibrary, *Record(2))), CFavourites::Outcome::added);
    ASSERT_EQ(favourites.Add(KeptPoemOf(*g_pLibrary, *Record(0))), CFavourites::Outcome::added);
    // The favourites chosen on the library page: the open library.
    InstallLibrary(nullptr);
    auto open = std::make_unique<CPoemLibrary>(g_strAppPath);
    open->SetFileNames(u"收藏.idx", u"收藏.dat");
    ASSERT_TRUE(open->Open());
    InstallLibrary(std::move(open));
    ASSERT_EQ(g_pLibrary->Select(nullptr, SEL_ALL), 2u);
    CPoemViewDlg reader(Record(0), 2, 0);
    m_driver.Run([&] { reader.DoModal(); },
                 [&](CScript& s) {
                     ASSERT_TRUE(s.WaitUntil([&] { return Shows(u"子由--苏辙。"); }));
                     EXPECT_EQ(FavouriteEntry(s).text, CString(u"取消收藏"));
                     s.ChooseMenuItem(CReaderMenu::kFavourite);
                     ASSERT_TRUE(s.WaitUntil([&] { return Kept() == 1; }));
                     // Away and back: the page composed afresh still has the notes it was kept
                     // with, which the favourites' own notes file no longer holds.
                     s.PressKey(VK_RIGHT);
                     ASSERT_TRUE(s.WaitUntil([&] { return Shows(u"疑是地上霜"); }));
                     s.PressKey(VK_LEFT);
                     EXPECT_TRUE(s.WaitUntil(
                         [&] { return Shows(u"把酒问青天") && Shows(u"子由--苏辙。"); }));
                     EXPECT_EQ(FavouriteEntry(s).text, CString(u"收藏"));
                     s.ChooseMenuItem(CReaderMenu::kFavourite);
                     ASSERT_TRUE(s.WaitUntil([&] { return Kept() == 2; }));
                     EXPECT_EQ(FavouriteEntry(s).text, CString(u"取消收藏"));
                     s.PressEscape();
                     ASSERT_TRUE(s.WaitForNoMenu());
                     s.PressOk();
                 });
    const auto poems = favourites.Poems();
    ASSERT_EQ(poems.size(), 2u);
    EXPECT_EQ(poems[1].text, testing_support::Gbk("明月几时有？\r\n把酒问青天。"));
    EXPECT_EQ(poems[1].notes, kSongNotes);
}

} // namespace
