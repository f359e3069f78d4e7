// The catalogue: filled a batch of rows per tick, then ready to open the selected poem.

#include "browse/CatalogDlg.h"
#include "platform/ui/DataExchange.h"
#include "resources/ResourceIds.h"
#include "tests/reading/ReaderFixture.h"

#include <algorithm>
#include <cstdio>

using testing_support::CScript;

namespace {

// The catalogue with a record of what each tick of its timer left behind.
class CWatchedCatalog : public CCatalogDlg {
public:
    using CCatalogDlg::CCatalogDlg;

    struct Tick {
        CString status;
        int rows;
        bool listEnabled;
        bool readEnabled;
        std::uint32_t counter;
    };
    std::vector<Tick> m_ticks; // on the program's thread

protected:
    const CMessageMap* GetMessageMap() const override {
        static const CMessageMapOf<CWatchedCatalog> map(
            CCatalogDlg::GetMessageMap(), {On::Timer(&CWatchedCatalog::OnWatchedTimer)});
        return &map;
    }

private:
    void OnWatchedTimer(UINT_PTR id) {
        OnTimer(id);
        m_ticks.push_back({GetDlgItem(IDC_STATIC_STATUS)->GetWindowText(),
                           m_listPoems.GetItemCount(), m_listPoems.IsWindowEnabled() != FALSE,
                           m_btnRead.IsWindowEnabled() != FALSE, g_nCatalogRow});
    }
};

constexpr const char16_t* kReady = u"请先在目录表选择,然后[阅读]";

class CatalogTest : public ReaderTest {
protected:
    static std::vector<testing_support::TestPoem> ThreePoems() {
        return {
            {"静夜思", "李白", "唐代", "五言绝句", "床前明月光，\r\n疑是地上霜。"},
            {"春晓", "孟浩然", "唐代", "五言绝句", "春眠不觉晓，\r\n处处闻啼鸟。"},
            {"水调歌头", "苏轼", "宋代", "水调歌头", "明月几时有？\r\n把酒问青天。"},
        };
    }
    static std::vector<CWatchedCatalog::Tick> TicksOf(CScript& s,
                                                      const CWatchedCatalog& catalogue) {
        return s.OnGui([&catalogue] { return catalogue.m_ticks; });
    }
    static bool WaitForReady(CScript& s, const CWatchedCatalog& catalogue) {
        return s.WaitUntil([&catalogue] {
            return !catalogue.m_ticks.empty() && catalogue.m_ticks.back().status == kReady;
        });
    }
};

TEST_F(CatalogTest, NothingToListStopsAtTheFirstTickWithEverythingDisabled) {
    OpenLibrary(ThreePoems());
    for (const bool withArray : {false, true}) {
        SCOPED_TRACE(withArray ? "no records" : "no array");
        CWatchedCatalog catalogue(withArray ? Record(0) : nullptr, withArray ? 0 : 3);
        m_driver.Run([&] { catalogue.DoModal(); },
                     [&](CScript& s) {
                         ASSERT_TRUE(s.WaitForScreen(IDD_CATALOG));
                         ASSERT_TRUE(s.WaitUntil([&] { return !catalogue.m_ticks.empty(); }));
                         s.Pause(std::chrono::milliseconds(150)); // several periods
                         const auto ticks = TicksOf(s, catalogue);
                         EXPECT_EQ(ticks.size(), 1u); // the timer stopped at once
                         EXPECT_EQ(ticks[0].status, CString());
                         EXPECT_EQ(ticks[0].rows, 0);
                         EXPECT_FALSE(ticks[0].listEnabled);
                         EXPECT_FALSE(ticks[0].readEnabled);
                         EXPECT_FALSE(s.OnGui([&] { return catalogue.KillTimer(1); }));
                         s.PressOk();
                     });
    }
}

TEST_F(CatalogTest, OneRecordIsNumberedOneAndTheSecondTickMakesTheListReady) {
    OpenLibrary({{"春晓", "孟浩然", "唐代", "五言绝句", "春眠不觉晓"}});
    CWatchedCatalog catalogue(Record(0), 1);
    m_driver.Run([&] { catalogue.DoModal(); },
                 [&](CScript& s) {
                     ASSERT_TRUE(s.WaitForScreen(IDD_CATALOG));
                     ASSERT_TRUE(s.WaitUntil([&] { return catalogue.m_ticks.size() >= 2; }));
                     s.Pause(std::chrono::milliseconds(100));
                     const auto ticks = TicksOf(s, catalogue);
                     ASSERT_EQ(ticks.size(), 2u);
                     EXPECT_EQ(ticks[0].status, CString(u"请稍等!   1/1"));
                     EXPECT_EQ(ticks[0].rows, 1);
                     EXPECT_EQ(ticks[0].counter, 1u);
                     EXPECT_FALSE(ticks[0].listEnabled);
                     EXPECT_FALSE(ticks[0].readEnabled);
                     EXPECT_EQ(ticks[1].status, CString(kReady));
                     EXPECT_TRUE(ticks[1].listEnabled);
                     EXPECT_TRUE(ticks[1].readEnabled);
                     s.OnGui([&] {
                         EXPECT_EQ(catalogue.m_listPoems.GetItemText(0, 0), CString(u"1"));
                         EXPECT_EQ(catalogue.m_listPoems.GetItemText(0, 1), CString(u"春晓"));
                         EXPECT_EQ(catalogue.m_listPoems.GetItemText(0, 2), CString(u"孟浩然"));
                     });
                     s.PressOk();
                 });
}

TEST_F(CatalogTest, ColumnsAndRowsAreThoseOfTheRecordsInOrder) {
    OpenLibrary(ThreePoems());
    CWatchedCatalog catalogue(Record(0), 3);
    m_driver.Run(
        [&] { catalogue.DoModal(); },
        [&](CScript& s) {
            ASSERT_TRUE(s.WaitForScreen(IDD_CATALOG));
            ASSERT_TRUE(WaitForReady(s, catalogue));
            s.OnGui([&] {
                CListCtrl& list = catalogue.m_listPoems;
                EXPECT_EQ(list.GetExtendedStyle(), DWORD{LVS_EX_FULLROWSELECT | LVS_EX_GRADIENT});
                ASSERT_EQ(list.GetItemCount(), 3);
                const char16_t* titles[] = {u"静夜思", u"春晓", u"水调歌头"};
                const char16_t* authors[] = {u"李白", u"孟浩然", u"苏轼"};
                for (int row = 0; row < 3; ++row) {
                    EXPECT_EQ(list.GetItemText(row, 0), CString::Formatted(u"%d", row + 1));
                    EXPECT_EQ(list.GetItemText(row, 1), CString(titles[row]));
                    EXPECT_EQ(list.GetItemText(row, 2), CString(authors[row]));
                }
            });
            const auto ticks = TicksOf(s, catalogue);
            ASSERT_EQ(ticks.size(), 4u);
            EXPECT_EQ(ticks[2].status, CString(u"请稍等!   3/3"));
            s.PressOk();
        });
}

TEST_F(CatalogTest, ReadOpensTheSelectedPoemAndTheRowStaysSelected) {
    OpenLibrary(ThreePoems());
    CWatchedCatalog catalogue(Record(0), 3);
    m_driver.Run([&] { catalogue.DoModal(); },
                 [&](CScript& s) {
                     ASSERT_TRUE(s.WaitForScreen(IDD_CATALOG));
                     ASSERT_TRUE(WaitForReady(s, catalogue));
                     // Nothing selected: the read button does nothing.
                     const size_t events = s.Events().size();
                     s.Click(IDC_BTN_READ);
                     s.Sync();
                     EXPECT_EQ(s.FrontTemplate(), IDD_CATALOG);
                     EXPECT_EQ(s.Events().size(), events);

                     s.Select(IDC_LIST_POEMS, 1);
                     s.Click(IDC_BTN_READ);
                     ASSERT_TRUE(s.WaitForScreen(IDD_POEMVIEW));
                     ASSERT_TRUE(s.WaitUntil([&] {
                         return !m_messages.empty() && m_messages.back().message == DTM_ENDOFSOURCE;
                     }));
                     const CString page = s.OnGui([&] {
                         for (auto it = m_messages.rbegin(); it != m_messages.rend(); ++it) {
                             if (it->message == DTM_ADDTEXTW) {
                                 return it->text;
                             }
                         }
                         return CString();
                     });
                     EXPECT_NE(page.Find(u"春晓"), -1);
                     EXPECT_NE(page.Find(u"处处闻啼鸟"), -1);
                     s.PressOk();
                     ASSERT_TRUE(s.WaitForScreen(IDD_CATALOG));
                     s.OnGui([&] {
                         EXPECT_EQ(catalogue.m_listPoems.GetSelectedCount(), 1u);
                         EXPECT_EQ(catalogue.m_listPoems.GetItemState(1, LVIS_SELECTED),
                                   LVIS_SELECTED);
                         EXPECT_TRUE(catalogue.m_btnRead.IsWindowEnabled());
                     });
                     EXPECT_EQ(s.Text(IDC_STATIC_STATUS), CString(kReady));
                     s.PressOk();
                 });
}

TEST_F(CatalogTest, ClosingWhileFillingStopsAndReopeningStartsOver) {
    std::vector<testing_support::TestPoem> poems;
    for (int i = 0; i < 200; ++i) {
        poems.push_back({"诗" + std::to_string(i + 1), "某人", "唐代", "五言绝句", "一句"});
    }
    OpenLibrary(poems);
    CWatchedCatalog* open = nullptr; // the catalogue in front, on the program's thread
    int opened = 0;
    std::uint32_t rowsWhenClosed = 0;
    std::uint32_t counterOfTheNewOne = 99;
    std::vector<CWatchedCatalog::Tick> second;
    m_driver.Run(
        [&] {
            {
                CWatchedCatalog first(Record(0), 200);
                open = &first;
                ++opened;
                first.DoModal();
                rowsWhenClosed = g_nCatalogRow;
                EXPECT_EQ(first.m_ticks.size(), rowsWhenClosed); // a row per tick, until closed
            }
            CWatchedCatalog again(Record(0), 200);
            counterOfTheNewOne = g_nCatalogRow;
            open = &again;
            ++opened;
            again.DoModal();
            second = again.m_ticks;
        },
        [&](CScript& s) {
            ASSERT_TRUE(s.WaitForScreen(IDD_CATALOG));
            ASSERT_TRUE(s.WaitUntil([] { return g_nCatalogRow >= 5; }));
            s.Do([&] { open->SendMessage(WM_CLOSE); });
            ASSERT_TRUE(s.WaitUntil([&] { return opened == 2 && open->m_ticks.size() >= 3; }));
            s.PressOk();
        });
    EXPECT_GE(rowsWhenClosed, 5u);
    EXPECT_LT(rowsWhenClosed, 200u);
    EXPECT_EQ(counterOfTheNewOne, 0u);
    ASSERT_GE(second.size(), 3u);
    EXPECT_EQ(second[0].status, CString(u"请稍等!   1/200"));
    EXPECT_EQ(second[0].rows, 1);
    EXPECT_EQ(second[2].rows, 3);
}

// A catalogue whose fill timer the test drives: the real timer is stopped as soon as the
// screen is up, and each Tick() is one tick of it.
class CHandTickedCatalog : public CCatalogDlg {
public:
    using CCatalogDlg::CCatalogDlg;
    void Tick() { OnTimer(kFillTimerId); }

protected:
    BOOL OnInitDialog() override {
        const BOOL result = CCatalogDlg::OnInitDialog();
        KillTimer(kFillTimerId);
        return result;
    }

private:
    static constexpr UINT_PTR kFillTimerId = 1;
};

// `count` records with titles and authors made from their numbers.
std::vector<PoemRecord> SyntheticRecords(std::uint32_t count) {
    std::vector<PoemRecord> records(count);
    for (std::uint32_t i = 0; i < count; ++i) {
        std::snprintf(records[i].title, sizeof records[i].title, "T%u", i + 1);
        std::snprintf(records[i].author, sizeof records[i].author, "A%u", i % 97);
    }
    return records;
}

TEST(CatalogBatchTest, RowByRowUpToAThousandThenATenthOfAPercentOfTheRowsATick) {
    EXPECT_EQ(CatalogRowsPerTick(0), 1u);
    EXPECT_EQ(CatalogRowsPerTick(1), 1u);
    EXPECT_EQ(CatalogRowsPerTick(999), 1u);
    EXPECT_EQ(CatalogRowsPerTick(1000), 1u);
    EXPECT_EQ(CatalogRowsPerTick(1001), 2u);
    EXPECT_EQ(CatalogRowsPerTick(2000), 2u);
    EXPECT_EQ(CatalogRowsPerTick(2001), 3u);
    EXPECT_EQ(CatalogRowsPerTick(322839), 323u);
    EXPECT_EQ(CatalogRowsPerTick(0xFFFFFFFFu), 4294968u);
}

// Every tick of a whole fill: the rows it added, the status line and the buttons; the tick
// after the last row makes the list ready, and the fill takes at most about 1,000 ticks.
TEST_F(CatalogTest, EachTickAddsItsBatchAndTheTickAfterTheLastRowMakesTheListReady) {
    struct Case {
        std::uint32_t rows;
        std::uint32_t batch;
        std::uint32_t ticksToFill;
    };
    for (const Case c : {Case{1, 1, 1}, Case{999, 1, 999}, Case{1000, 1, 1000}, Case{1001, 2, 501},
                         Case{322839, 323, 1000}}) {
        SCOPED_TRACE(c.rows);
        const std::vector<PoemRecord> records = SyntheticRecords(c.rows);
        CHandTickedCatalog catalogue(records.data(), c.rows);
        m_driver.Run(
            [&] { catalogue.DoModal(); },
            [&](CScript& s) {
                ASSERT_TRUE(s.WaitForScreen(IDD_CATALOG));
                s.OnGui([&] {
                    for (std::uint32_t tick = 1; tick <= c.ticksToFill; ++tick) {
                        catalogue.Tick();
                        const std::uint32_t rows = std::min(tick * c.batch, c.rows);
                        ASSERT_EQ(g_nCatalogRow, rows) << "tick " << tick;
                        ASSERT_EQ(catalogue.m_listPoems.GetItemCount(), static_cast<int>(rows));
                        ASSERT_EQ(catalogue.GetDlgItem(IDC_STATIC_STATUS)->GetWindowText(),
                                  CString::Formatted(u"请稍等!   %u/%u", rows, c.rows));
                        ASSERT_FALSE(catalogue.m_btnRead.IsWindowEnabled());
                        ASSERT_FALSE(catalogue.m_listPoems.IsWindowEnabled());
                    }
                    const int last = static_cast<int>(c.rows) - 1;
                    EXPECT_EQ(catalogue.m_listPoems.GetItemText(last, 0),
                              CString::Formatted(u"%u", c.rows));
                    EXPECT_EQ(catalogue.m_listPoems.GetItemText(last, 1),
                              CString::Formatted(u"T%u", c.rows));
                    catalogue.Tick();
                    EXPECT_EQ(catalogue.GetDlgItem(IDC_STATIC_STATUS)->GetWindowText(),
                              CString(kReady));
                    EXPECT_TRUE(catalogue.m_btnRead.IsWindowEnabled());
                    EXPECT_TRUE(catalogue.m_listPoems.IsWindowEnabled());
                    EXPECT_EQ(catalogue.m_listPoems.GetItemCount(), static_cast<int>(c.rows));
                });
                s.PressOk();
            },
            std::chrono::seconds(120));
    }
}

// A selection of the whole large library three ticks in, at both zooms: the status line counts
// the rows of whole batches.
TEST_F(CatalogTest, ALargeSelectionThreeTicksInShowsItsCountOnTheStatusLine) {
    const std::vector<PoemRecord> records = SyntheticRecords(322839);
    for (const int zoom : {1, 2}) {
        m_driver.SetZoom(zoom);
        CHandTickedCatalog catalogue(records.data(), 322839);
        m_driver.Run([&] { catalogue.DoModal(); },
                     [&](CScript& s) {
                         ASSERT_TRUE(s.WaitForScreen(IDD_CATALOG));
                         s.OnGui([&] {
                             for (int tick = 0; tick < 3; ++tick) {
                                 catalogue.Tick();
                             }
                         });
                         EXPECT_EQ(s.Text(IDC_STATIC_STATUS), CString(u"请稍等!   969/322839"));
                         EXPECT_TRUE(s.SaveScreenshot(
                             Screenshot("catalogue-large-zoom" + std::to_string(zoom) + ".png")));
                         s.PressOk();
                     });
    }
}

TEST_F(CatalogTest, TheCatalogueZoneListsEveryPoemOfTheLibraryRowByRow) {
    CopyFromProgramFolder("kavro.idx");
    CopyFromProgramFolder("kavro.dat");
    InstallLibrary(std::make_unique<CPoemLibrary>(g_strAppPath));
    ASSERT_TRUE(g_pLibrary->Open());
    const std::uint32_t count = g_pLibrary->m_nCount;
    ASSERT_GT(count, 100u);
    m_driver.Run([] { RunCatalogue(); },
                 [&](CScript& s) {
                     ASSERT_TRUE(s.WaitForScreen(IDD_CATALOG));
                     ASSERT_TRUE(s.WaitUntil([] { return g_nCatalogRow >= 16; }));
                     EXPECT_TRUE(s.SaveScreenshot(Screenshot("catalogue-filling.png")));
                     const CString status = s.Text(IDC_STATIC_STATUS);
                     EXPECT_EQ(status.Left(7), CString(u"请稍等!   "));
                     const CString total = CString::Formatted(u"/%u", count);
                     EXPECT_EQ(status.Right(total.GetLength()), total);
                     EXPECT_FALSE(s.IsEnabled(IDC_LIST_POEMS));
                     EXPECT_FALSE(s.IsEnabled(IDC_BTN_READ));
                     s.PressOk();
                 });
}

} // namespace
