// The search screen: picks, the search button, the search itself and the reference pages.

#include "browse/CatalogDlg.h"
#include "browse/SearchDlg.h"
#include "platform/core/CodePage.h"
#include "resources/ResourceIds.h"
#include "tests/reading/ReaderFixture.h"

using testing_support::CScript;

namespace {

constexpr int kLiBai = 1;       // 李白 in the author list
constexpr int kTangDynasty = 7; // 唐代 in the dynasty list
constexpr int kWuJue = 3;       // 五言绝句 in the form list
constexpr int kFullText = 4;    // 全文 in the field combo

class SearchTest : public ReaderTest {
protected:
    SearchTest() {
        OpenLibrary({
            {"静夜思", "李白", "唐代", "五言绝句", "床前明月光，\r\n疑是地上霜。"},
            {"赠李白", "杜甫", "唐代", "七言绝句", "秋来相顾尚飘蓬，\r\n未就丹砂愧葛洪。"},
            {"春晓", "孟浩然", "唐代", "五言绝句", "春眠不觉晓，\r\n处处闻啼鸟。"},
            {"水调歌头", "苏轼", "宋代", "水调歌头", "明月几时有？\r\n把酒问青天。"},
        });
    }

    // Runs the search screen and `script` over it, then closes it.
    void WithSearch(const std::function<void(CScript&, CSearchDlg&)>& script) {
        CSearchDlg search;
        m_driver.Run([&] { search.DoModal(); },
                     [&](CScript& s) {
                         ASSERT_TRUE(s.WaitForScreen(IDD_SEARCH));
                         script(s, search);
                         s.PressOk();
                     });
    }

    // Waits for the catalogue that a search opened to list everything, and returns the titles
    // it was given.
    static std::vector<CString> ListedTitles(CScript& s) {
        EXPECT_TRUE(s.WaitForScreen(IDD_CATALOG));
        for (int i = 0; i < 500 && !s.IsEnabled(IDC_BTN_READ); ++i) {
            s.Pause(std::chrono::milliseconds(10));
        }
        EXPECT_TRUE(s.IsEnabled(IDC_BTN_READ));
        return s.OnGui([] {
            std::vector<CString> titles;
            for (std::uint32_t i = 0; i < g_nCatalogRow; ++i) {
                const PoemRecord& record = g_pLibrary->GetResultBuffer()[i];
                titles.push_back(CodePage::Decode(record.title, sizeof record.title));
            }
            return titles;
        });
    }

    // The URL of the reference window that is in front, as its viewer was asked to show.
    CString FrontReference(CScript& s) {
        EXPECT_TRUE(s.WaitForScreen(IDD_REFPAGE));
        EXPECT_TRUE(s.WaitUntil(
            [this] { return !m_messages.empty() && m_messages.back().message == DTM_NAVIGATE; }));
        return s.OnGui([this] { return m_messages.back().text; });
    }
};

TEST_F(SearchTest, TheListsHoldTheTablesAndTheFieldsCarryTheirCodes) {
    WithSearch([](CScript& s, CSearchDlg& search) {
        s.OnGui([&] {
            EXPECT_EQ(search.m_listAuthors.GetCount(), 135);
            EXPECT_EQ(search.m_listDynasties.GetCount(), 14);
            EXPECT_EQ(search.m_listForms.GetCount(), 87);
            CString name;
            search.m_listAuthors.GetText(59, name);
            EXPECT_EQ(name, CString(u"无名氏"));
            search.m_listAuthors.GetText(125, name);
            EXPECT_EQ(name, CString(u"无名氏")); // kept twice, unsorted
            search.m_listForms.GetText(30, name);
            EXPECT_EQ(name, CString(u"现代"));
            search.m_listForms.GetText(50, name);
            EXPECT_EQ(name, CString(u"南乡子"));
            ASSERT_EQ(search.m_comboField.GetCount(), 5);
            const DWORD_PTR codes[] = {0, 1, 2, 3, 5};
            for (int item = 0; item < 5; ++item) {
                EXPECT_EQ(search.m_comboField.GetItemData(item), codes[item]) << item;
            }
            search.m_comboField.GetLBText(4, name);
            EXPECT_EQ(name, CString(u"全文"));
            EXPECT_EQ(search.m_comboField.GetCurSel(), 0);
            EXPECT_EQ(search.m_listAuthors.GetCurSel(), LB_ERR);
        });
        EXPECT_FALSE(s.IsEnabled(IDC_BTN_SEARCH));
        EXPECT_FALSE(s.IsEnabled(IDC_BTN_INTRODUCE));
        EXPECT_FALSE(s.IsEnabled(IDC_BTN_EXPLAIN));
        EXPECT_EQ(s.Text(IDC_EDIT_KEYWORD), CString());
        EXPECT_TRUE(s.SaveScreenshot(Screenshot("search.png")));
    });
}

TEST_F(SearchTest, TypingAndPickingDecideWhichButtonsWork) {
    WithSearch([](CScript& s, CSearchDlg&) {
        s.Type(IDC_EDIT_KEYWORD, u"春");
        s.Sync();
        EXPECT_TRUE(s.IsEnabled(IDC_BTN_SEARCH));
        s.Type(IDC_EDIT_KEYWORD, u"");
        s.Sync();
        EXPECT_FALSE(s.IsEnabled(IDC_BTN_SEARCH));

        // A dynasty fills the keyword and enables the search, but no reference page.
        s.Select(IDC_LIST_DYNASTIES_SHARED, kTangDynasty);
        s.Sync();
        EXPECT_EQ(s.Text(IDC_EDIT_KEYWORD), CString(u"唐代"));
        EXPECT_TRUE(s.IsEnabled(IDC_BTN_SEARCH));
        EXPECT_FALSE(s.IsEnabled(IDC_BTN_INTRODUCE));
        EXPECT_FALSE(s.IsEnabled(IDC_BTN_EXPLAIN));

        // A poet and then a form: both reference buttons work, the keyword is the last pick.
        s.Select(IDC_LIST_AUTHORS_SHARED, kLiBai);
        s.Select(IDC_LIST_FORMS, kWuJue);
        s.Sync();
        EXPECT_EQ(s.Text(IDC_EDIT_KEYWORD), CString(u"五言绝句"));
        EXPECT_TRUE(s.IsEnabled(IDC_BTN_INTRODUCE));
        EXPECT_TRUE(s.IsEnabled(IDC_BTN_EXPLAIN));
        EXPECT_TRUE(s.IsEnabled(IDC_BTN_SEARCH));
        s.SaveScreenshot(Screenshot("search-picked.png"));
    });
}

TEST_F(SearchTest, APickSearchesTheFieldTheComboShows) {
    WithSearch([](CScript& s, CSearchDlg& search) {
        // With the field at 标题, 李白 finds the poem with him in its title, not his own.
        s.Select(IDC_LIST_AUTHORS_SHARED, kLiBai);
        s.Click(IDC_BTN_SEARCH);
        EXPECT_EQ(ListedTitles(s), std::vector<CString>{u"赠李白"});
        s.PressOk();
        ASSERT_TRUE(s.WaitForScreen(IDD_SEARCH));
        // The screen is as it was, and another search can follow.
        EXPECT_EQ(s.Text(IDC_EDIT_KEYWORD), CString(u"李白"));
        s.OnGui([&] {
            EXPECT_EQ(search.m_comboField.GetCurSel(), 0);
            EXPECT_EQ(search.m_listAuthors.GetCurSel(), kLiBai);
        });
        s.Select(IDC_COMBO_FIELD, 1);
        s.Click(IDC_BTN_SEARCH);
        EXPECT_EQ(ListedTitles(s), std::vector<CString>{u"静夜思"});
        s.PressOk();
        ASSERT_TRUE(s.WaitForScreen(IDD_SEARCH));
    });
}

TEST_F(SearchTest, TheFullTextItemSearchesTheTextsOnly) {
    WithSearch([](CScript& s, CSearchDlg&) {
        s.Select(IDC_COMBO_FIELD, kFullText);
        s.Type(IDC_EDIT_KEYWORD, u"明月");
        s.Click(IDC_BTN_SEARCH);
        // Searching every record (code 4) would list all four.
        EXPECT_EQ(ListedTitles(s), (std::vector<CString>{u"静夜思", u"水调歌头"}));
        s.PressOk();
        ASSERT_TRUE(s.WaitForScreen(IDD_SEARCH));
    });
}

TEST_F(SearchTest, NothingFoundIsToldAndTheScreenStaysAsItWas) {
    WithSearch([](CScript& s, CSearchDlg& search) {
        s.Type(IDC_EDIT_KEYWORD, u"无此诗");
        s.Click(IDC_BTN_SEARCH);
        ASSERT_TRUE(s.WaitForBox());
        const auto box = s.FrontBox();
        ASSERT_TRUE(box.has_value());
        EXPECT_EQ(box->text, CString(u"没有检索到你希望的诗词!"));
        EXPECT_EQ(box->caption, CString(u"提示"));
        EXPECT_EQ(box->type, UINT{MB_OK});
        EXPECT_EQ(box->owner, s.OnGui([&] { return search.GetSafeHwnd(); }));
        s.AnswerBox();
        ASSERT_TRUE(s.WaitForScreen(IDD_SEARCH));
        EXPECT_EQ(s.Text(IDC_EDIT_KEYWORD), CString(u"无此诗"));
        EXPECT_TRUE(s.IsEnabled(IDC_BTN_SEARCH));
    });
}

TEST_F(SearchTest, ReferencePagesOpenAtThePickedNameNotTheKeyword) {
    const CString folder = g_strAppPath;
    WithSearch([&](CScript& s, CSearchDlg&) {
        s.Select(IDC_LIST_AUTHORS_SHARED, kLiBai);
        s.Select(IDC_LIST_FORMS, kWuJue);
        s.Type(IDC_EDIT_KEYWORD, u"别的字");
        s.Click(IDC_BTN_INTRODUCE);
        EXPECT_EQ(FrontReference(s), u"file://" + folder + u"authors.htm#李白");
        s.PressOk();
        ASSERT_TRUE(s.WaitForScreen(IDD_SEARCH));
        s.Click(IDC_BTN_EXPLAIN);
        EXPECT_EQ(FrontReference(s), u"file://" + folder + u"geti.htm#五言绝句");
        s.PressOk();
        ASSERT_TRUE(s.WaitForScreen(IDD_SEARCH));
        EXPECT_EQ(s.Text(IDC_EDIT_KEYWORD), CString(u"别的字"));
    });
}

TEST_F(SearchTest, ThePoetsOfTheDefaultLibraryOpenInTheCatalogue) {
    InstallLibrary(nullptr);
    CopyFromProgramFolder("kavro.idx");
    CopyFromProgramFolder("kavro.dat");
    CopyFromProgramFolder("bgpic27.jpg");
    InstallLibrary(std::make_unique<CPoemLibrary>(g_strAppPath));
    ASSERT_TRUE(g_pLibrary->Open());
    WithSearch([](CScript& s, CSearchDlg&) {
        s.Select(IDC_COMBO_FIELD, 1);
        s.Select(IDC_LIST_AUTHORS_SHARED, kLiBai);
        s.Click(IDC_BTN_SEARCH);
        const std::vector<CString> titles = ListedTitles(s);
        EXPECT_GE(titles.size(), 5u);
        EXPECT_EQ(s.Text(IDC_STATIC_STATUS), CString(u"请先在目录表选择,然后[阅读]"));
        s.Select(IDC_LIST_POEMS, 2);
        s.Sync();
        EXPECT_TRUE(s.SaveScreenshot(Screenshot("catalogue-ready.png")));
        s.Click(IDC_BTN_READ);
        ASSERT_TRUE(s.WaitForScreen(IDD_POEMVIEW));
        s.Pause(std::chrono::milliseconds(200));
        EXPECT_TRUE(s.SaveScreenshot(Screenshot("reader-from-search.png")));
        s.PressOk();
        ASSERT_TRUE(s.WaitForScreen(IDD_CATALOG));
        s.PressOk();
        ASSERT_TRUE(s.WaitForScreen(IDD_SEARCH));
    });
}

} // namespace
