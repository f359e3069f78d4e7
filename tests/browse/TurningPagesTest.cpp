// From one poem to the next: the reader opened from a catalogue turns its pages with the d-pad,
// swipes and its menu, the catalogue's selection follows, the menu opens the poet's and the
// form's pages over the reader and back, and poems come at random, from the reader and from the
// main screen's menu.

#include "app/MainMenuDlg.h"
#include "browse/CatalogDlg.h"
#include "reading/PoemViewDlg.h"
#include "reading/ReaderMenu.h"
#include "resources/ResourceIds.h"
#include "tests/reading/ReaderFixture.h"

#include <filesystem>

using testing_support::CScript;
using Kind = UiTesting::ScreenEvent::Kind;

namespace {

// Sixty lines: a page that scrolls.
std::string LongText() {
    std::string text;
    for (int line = 0; line < 30; ++line) {
        text += "长风破浪会有时，\r\n直挂云帆济沧海。\r\n";
    }
    return text;
}

class TurningPagesTest : public ReaderTest {
protected:
    TurningPagesTest() {
        OpenLibrary({
            {"静夜思", "李白", "唐代", "五言绝句", "床前明月光，\r\n疑是地上霜。"},
            {"行路难", "李白", "唐代", "七言古诗", LongText()},
            {"水调歌头", "苏轼", "宋代", "水调歌头", "明月几时有？\r\n把酒问青天。"},
        });
        WritePage("poets/唐代/李白.htm", "<html><body><h1>李白</h1>字太白。</body></html>");
        WritePage("forms/七言古诗.htm", "<html><body><h1>七言古诗</h1></body></html>");
    }

    void WritePage(const std::string& name, const std::string& html) {
        const auto path = m_folder.Path() / std::filesystem::u8path(name);
        std::filesystem::create_directories(path.parent_path());
        testing_support::WriteFile(path.string(), html);
    }

    // On the program's thread: the viewer the last page went to, and what it shows.
    HWND LastViewer() const {
        for (auto m = m_messages.rbegin(); m != m_messages.rend(); ++m) {
            if (m->message == DTM_ADDTEXTW) {
                return m->viewer;
            }
        }
        return nullptr;
    }
    UiTesting::HtmlViewState Shown() const {
        UiTesting::FlushHtmlView(LastViewer());
        return UiTesting::HtmlView(LastViewer());
    }
    bool Shows(const char16_t* words) const {
        const auto state = Shown();
        return !state.page.IsEmpty() && state.text.Find(words) != -1;
    }
    // Waits until the catalogue is filled and opens the reader at `row`.
    static void ReadRow(CScript& s, int row) {
        ASSERT_TRUE(s.WaitForScreen(IDD_CATALOG));
        for (int i = 0; i < 200 && !s.IsEnabled(IDC_BTN_READ); ++i) {
            s.Pause(std::chrono::milliseconds(10));
        }
        ASSERT_TRUE(s.IsEnabled(IDC_BTN_READ));
        s.Select(IDC_LIST_POEMS, row);
        s.Click(IDC_BTN_READ);
        ASSERT_TRUE(s.WaitForScreen(IDD_POEMVIEW));
    }
    // Nothing changes for a while: the same page stays, no box shows.
    void ExpectNothingHappens(CScript& s, const char16_t* stillShown) {
        const CString page = s.OnGui([&] { return Shown().page; });
        s.Pause(std::chrono::milliseconds(150));
        EXPECT_EQ(s.OnGui([&] { return Shown().page; }), page);
        EXPECT_TRUE(s.OnGui([&] { return Shows(stillShown); }));
        EXPECT_EQ(s.FrontTemplate(), IDD_POEMVIEW);
    }
    // The menu a hold on the page opens, as the driver sees it.
    static std::vector<CScript::MenuEntry> HoldForMenu(CScript& s) {
        s.Hold(120, 150);
        EXPECT_TRUE(s.WaitForMenu());
        return s.FrontMenu().value_or(std::vector<CScript::MenuEntry>{});
    }
    static CScript::MenuEntry Entry(const std::vector<CScript::MenuEntry>& menu, UINT id) {
        for (const auto& entry : menu) {
            if (!entry.separator && entry.id == id) {
                return entry;
            }
        }
        return {0, {}, false, false, false};
    }
};

TEST_F(TurningPagesTest, TheDpadAndSwipesTurnTheCataloguesPagesStoppingAtTheEnds) {
    CCatalogDlg catalogue(g_pLibrary->GetResultBuffer(), 3);
    int selectedAfter = -1;
    m_driver.Run([&] { catalogue.DoModal(); },
                 [&](CScript& s) {
                     ReadRow(s, 0);
                     ASSERT_TRUE(s.WaitUntil([&] { return Shows(u"疑是地上霜"); }));
                     s.PressKey(VK_LEFT); // the first poem: nothing before it
                     ExpectNothingHappens(s, u"疑是地上霜");
                     s.PressKey(VK_RIGHT);
                     ASSERT_TRUE(s.WaitUntil([&] { return Shows(u"直挂云帆济沧海"); }));
                     // Up, Down and the page keys scroll the long poem.
                     s.PressKey(VK_NEXT);
                     ASSERT_TRUE(s.WaitUntil([&] { return Shown().scrollY > 0; }));
                     const int paged = s.OnGui([&] { return Shown().scrollY; });
                     s.PressKey(VK_DOWN);
                     ASSERT_TRUE(s.WaitUntil([&] { return Shown().scrollY > paged; }));
                     s.PressKey(VK_UP);
                     s.PressKey(VK_PRIOR);
                     ASSERT_TRUE(s.WaitUntil([&] { return Shown().scrollY == 0; }));
                     s.PressKey(VK_NEXT);
                     ASSERT_TRUE(s.WaitUntil([&] { return Shown().scrollY > 0; }));
                     // A swipe from right to left brings the next poem, from its top.
                     s.Drag(200, 150, 40, 160);
                     ASSERT_TRUE(s.WaitUntil([&] { return Shows(u"把酒问青天"); }));
                     EXPECT_EQ(s.OnGui([&] { return Shown().scrollY; }), 0);
                     s.PressKey(VK_RIGHT); // the last poem: nothing after it
                     ExpectNothingHappens(s, u"把酒问青天");
                     s.Drag(200, 150, 40, 150);
                     ExpectNothingHappens(s, u"把酒问青天");
                     s.Drag(30, 150, 210, 140);
                     ASSERT_TRUE(s.WaitUntil([&] { return Shows(u"直挂云帆济沧海"); }));
                     // The music played on from the first page; OK stops it.
                     EXPECT_EQ(s.OnGui([&] { return m_sound.m_calls.size(); }), 1u);
                     s.PressOk();
                     ASSERT_TRUE(s.WaitForScreen(IDD_CATALOG));
                     selectedAfter = s.OnGui([&] {
                         for (int row = 0; row < catalogue.m_listPoems.GetItemCount(); ++row) {
                             if (catalogue.m_listPoems.GetItemState(row, LVIS_SELECTED) != 0) {
                                 return row;
                             }
                         }
                         return -1;
                     });
                     EXPECT_EQ(s.OnGui([&] { return catalogue.m_listPoems.GetSelectedCount(); }),
                               1u);
                     s.PressOk();
                 });
    EXPECT_EQ(selectedAfter, 1); // the poem last read
    for (const auto& event : m_driver.Events()) {
        EXPECT_NE(event.kind, Kind::BoxShown);
    }
}

TEST_F(TurningPagesTest, TheMenuNamesThePoetAndFormAndOffersOnlyWhatCanBeDone) {
    CPoemViewDlg reader(Record(0), 3, 0);
    m_driver.Run([&] { reader.DoModal(); },
                 [&](CScript& s) {
                     ASSERT_TRUE(s.WaitUntil([&] { return Shows(u"疑是地上霜"); }));
                     auto menu = HoldForMenu(s);
                     ASSERT_EQ(menu.size(), 7u);
                     EXPECT_EQ(menu[0].text, CString(u"诗人：李白"));
                     EXPECT_TRUE(menu[0].enabled);
                     EXPECT_EQ(menu[1].text, CString(u"体裁：五言绝句"));
                     EXPECT_FALSE(menu[1].enabled); // no page for the form: never a blank window
                     EXPECT_TRUE(menu[2].separator);
                     EXPECT_EQ(menu[3].text, CString(u"上一首"));
                     EXPECT_FALSE(menu[3].enabled);
                     EXPECT_EQ(menu[4].text, CString(u"下一首"));
                     EXPECT_TRUE(menu[4].enabled);
                     EXPECT_EQ(menu[5].text, CString(u"随机一首"));
                     EXPECT_TRUE(menu[5].enabled);
                     EXPECT_EQ(menu[6].text, CString(u"收藏"));
                     s.ChooseMenuItem(CReaderMenu::kNext);
                     ASSERT_TRUE(s.WaitUntil([&] { return Shows(u"直挂云帆济沧海"); }));
                     menu = HoldForMenu(s);
                     EXPECT_TRUE(Entry(menu, CReaderMenu::kForm).enabled);
                     EXPECT_TRUE(Entry(menu, CReaderMenu::kPrevious).enabled);
                     EXPECT_TRUE(Entry(menu, CReaderMenu::kNext).enabled);
                     s.ChooseMenuItem(CReaderMenu::kNext);
                     ASSERT_TRUE(s.WaitUntil([&] { return Shows(u"把酒问青天"); }));
                     menu = HoldForMenu(s);
                     EXPECT_EQ(Entry(menu, CReaderMenu::kPoet).text, CString(u"诗人：苏轼"));
                     EXPECT_FALSE(Entry(menu, CReaderMenu::kPoet).enabled);
                     EXPECT_EQ(Entry(menu, CReaderMenu::kForm).text, CString(u"体裁：水调歌头"));
                     EXPECT_TRUE(Entry(menu, CReaderMenu::kPrevious).enabled);
                     EXPECT_FALSE(Entry(menu, CReaderMenu::kNext).enabled);
                     s.ChooseMenuItem(CReaderMenu::kPrevious);
                     ASSERT_TRUE(s.WaitUntil([&] { return Shows(u"直挂云帆济沧海"); }));
                     s.PressOk();
                 });

    // A reader of one poem, opened without a list, has no pages to turn.
    CPoemViewDlg single(Record(2));
    m_driver.Run([&] { single.DoModal(); },
                 [&](CScript& s) {
                     ASSERT_TRUE(s.WaitForScreen(IDD_POEMVIEW));
                     s.PressMenuKey();
                     ASSERT_TRUE(s.WaitForMenu());
                     const auto menu = s.FrontMenu().value_or(std::vector<CScript::MenuEntry>{});
                     EXPECT_FALSE(Entry(menu, CReaderMenu::kPrevious).enabled);
                     EXPECT_FALSE(Entry(menu, CReaderMenu::kNext).enabled);
                     EXPECT_TRUE(Entry(menu, CReaderMenu::kRandom).enabled);
                     s.PressEscape();
                     ASSERT_TRUE(s.WaitForNoMenu());
                     s.PressKey(VK_RIGHT);
                     ExpectNothingHappens(s, u"把酒问青天");
                     s.PressOk();
                 });
}

TEST_F(TurningPagesTest, ThePoetsAndTheFormsPagesOpenOverTheReaderAndCloseBackToTheSamePlace) {
    CPoemViewDlg reader(Record(0), 3, 1);
    m_driver.Run(
        [&] { reader.DoModal(); },
        [&](CScript& s) {
            ASSERT_TRUE(s.WaitUntil([&] { return Shows(u"直挂云帆济沧海"); }));
            s.OnGui([&] { CWnd::FromHandle(reader.m_hwndHtml)->SetFocus(); });
            s.PressKey(VK_NEXT);
            s.PressKey(VK_NEXT);
            ASSERT_TRUE(s.WaitUntil([&] { return Shown().scrollY > 100; }));
            const int scrolled = s.OnGui([&] { return Shown().scrollY; });
            const CString page = s.OnGui([&] { return reader.m_strPage; });
            const struct {
                UINT entry;
                const char* file;
            } pages[] = {{CReaderMenu::kPoet, "poets/唐代/李白.htm"},
                         {CReaderMenu::kForm, "forms/七言古诗.htm"}};
            for (const auto& [entry, file] : pages) {
                SCOPED_TRACE(file);
                HoldForMenu(s);
                s.ChooseMenuItem(entry);
                ASSERT_TRUE(s.WaitForScreen(IDD_REFPAGE));
                const CString url = CString(u"file://") + g_strAppPath + CString::FromUtf8(file);
                ASSERT_TRUE(s.WaitUntil([&] {
                    return !m_messages.empty() && m_messages.back().message == DTM_NAVIGATE &&
                           m_messages.back().text == url;
                }));
                const HWND viewer = s.OnGui([&] { return m_messages.back().viewer; });
                ASSERT_TRUE(s.WaitUntil(
                    [&] { return UiTesting::HtmlView(viewer).file.ToUtf8().ends_with(file); }));
                EXPECT_NE(s.OnGui([&] {
                               return UiTesting::HtmlView(viewer).text;
                           }).Find(entry == CReaderMenu::kPoet ? u"字太白" : u"七言古诗"),
                          -1);
                EXPECT_EQ(s.OnGui([&] { return m_sound.m_strPlaying; }),
                          g_strAppPath + u"sound1.wav");
                if (entry == CReaderMenu::kPoet) {
                    s.PressOk();
                } else {
                    s.PressEscape();
                }
                ASSERT_TRUE(s.WaitForScreen(IDD_POEMVIEW));
                s.Pause(std::chrono::milliseconds(100));
                s.Sync();
                EXPECT_EQ(s.OnGui([&] { return reader.m_strPage; }), page);
                EXPECT_EQ(s.OnGui([&] { return UiTesting::HtmlView(reader.m_hwndHtml).scrollY; }),
                          scrolled);
                EXPECT_EQ(s.OnGui([&] { return m_sound.m_strPlaying; }),
                          g_strAppPath + u"sound1.wav");
            }
            s.PressOk();
        });
    EXPECT_EQ(m_sound.m_calls.size(), 2u); // started once, stopped by the reader's OK
}

TEST_F(TurningPagesTest, ARandomPoemComesFromTheWholeLibraryAndTheListTurnsOnFromIt) {
    // A search that found one poem: a random one is another of the library, and the list's own
    // place stays where it was.
    ASSERT_EQ(g_pLibrary->Select(u"苏轼", SEL_AUTHOR), 1u);
    CCatalogDlg found(g_pLibrary->GetResultBuffer(), 1);
    m_driver.Run(
        [&] { found.DoModal(); },
        [&](CScript& s) {
            ReadRow(s, 0);
            ASSERT_TRUE(s.WaitUntil([&] { return Shows(u"把酒问青天"); }));
            HoldForMenu(s);
            s.ChooseMenuItem(CReaderMenu::kRandom);
            ASSERT_TRUE(
                s.WaitUntil([&] { return Shows(u"疑是地上霜") || Shows(u"直挂云帆济沧海"); }));
            s.PressOk();
            ASSERT_TRUE(s.WaitForScreen(IDD_CATALOG));
            EXPECT_EQ(s.OnGui([&] { return found.m_listPoems.GetItemState(0, LVIS_SELECTED); }),
                      LVIS_SELECTED);
            s.PressOk();
        });

    // The whole library listed: the random poem is a row of it, and the pages turn from there.
    ASSERT_EQ(g_pLibrary->Select(nullptr, SEL_ALL), 3u);
    CPoemViewDlg reader(Record(0), 3, 0);
    m_driver.Run([&] { reader.DoModal(); },
                 [&](CScript& s) {
                     ASSERT_TRUE(s.WaitUntil([&] { return Shows(u"疑是地上霜"); }));
                     ASSERT_TRUE(s.OnGui([&] { return reader.ShowRandom(); }));
                     ASSERT_TRUE(s.WaitUntil([&] { return !Shows(u"疑是地上霜"); }));
                     const std::uint32_t place = s.OnGui([&] { return reader.GetListIndex(); });
                     ASSERT_GE(place, 1u);
                     EXPECT_EQ(s.OnGui([&] { return reader.m_pRecord; }),
                               Record(static_cast<int>(place)));
                     s.PressKey(VK_LEFT);
                     ASSERT_TRUE(s.WaitUntil([&] { return reader.GetListIndex() == place - 1; }));
                     s.PressOk();
                 });
}

TEST_F(TurningPagesTest, TheMainScreensMenuOpensAPoemAtRandomAndItsTapsStillOpenTheirZones) {
    CMainMenuDlg main;
    m_driver.Run([&] { main.DoModal(); },
                 [&](CScript& s) {
                     ASSERT_TRUE(s.WaitForScreen(IDD_MAINMENU));
                     s.Hold(60, 150);
                     ASSERT_TRUE(s.WaitForMenu());
                     const auto menu = s.FrontMenu().value_or(std::vector<CScript::MenuEntry>{});
                     ASSERT_EQ(menu.size(), 2u);
                     EXPECT_EQ(menu[0].text, CString(u"随机一首"));
                     EXPECT_TRUE(menu[0].enabled);
                     EXPECT_EQ(menu[1].text, CString(u"我的收藏"));
                     EXPECT_FALSE(menu[1].enabled); // no favourites yet
                     s.ChooseMenuItem(menu[0].id);
                     ASSERT_TRUE(s.WaitForScreen(IDD_POEMVIEW));
                     ASSERT_TRUE(s.WaitUntil(
                         [&] { return LastViewer() != nullptr && Shown().text.GetLength() > 0; }));
                     s.PressMenuKey(); // on its own, the reader turns no pages
                     ASSERT_TRUE(s.WaitForMenu());
                     const auto reading = s.FrontMenu().value_or(std::vector<CScript::MenuEntry>{});
                     EXPECT_FALSE(Entry(reading, CReaderMenu::kPrevious).enabled);
                     EXPECT_FALSE(Entry(reading, CReaderMenu::kNext).enabled);
                     s.CancelMenu();
                     ASSERT_TRUE(s.WaitForNoMenu());
                     s.PressOk();
                     ASSERT_TRUE(s.WaitForScreen(IDD_MAINMENU));
                     // A press held on a zone opens the zone at once, as a tap, and no menu.
                     s.Hold(188, 72);
                     ASSERT_TRUE(s.WaitForScreen(IDD_CATALOG));
                     s.Pause(std::chrono::milliseconds(200));
                     EXPECT_FALSE(s.FrontMenu().has_value());
                     s.PressOk();
                     ASSERT_TRUE(s.WaitForScreen(IDD_MAINMENU));
                     s.PressOk();
                 });
    int catalogues = 0;
    int menus = 0;
    for (const auto& event : m_driver.Events()) {
        catalogues += event.kind == Kind::DialogOpened && event.templateId == IDD_CATALOG;
        menus += event.kind == Kind::MenuShown;
    }
    EXPECT_EQ(catalogues, 1); // the random poem came without the catalogue
    EXPECT_EQ(menus, 2);
}

} // namespace
