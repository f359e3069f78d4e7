// The reader's screens, in process and headless, side by side with references measured in the
// same run:
//  - a poem page: the reader's own path (ComposePage, the viewer's DTM_ADDTEXTW and
//    DTM_ENDOFSOURCE, its layout and paint) against setting the same HTML on a bare
//    QTextBrowser of the same size, laid out and painted the same way; and the page with its
//    verses kept whole against the same viewer breaking them as prose;
//  - turning a page: the reader's Right (or Left) key, as the d-pad sends it to the viewer, to the
//    next poem's page laid out and painted, beside the poem page's own figure;
//  - the catalogue: 1,000 rows, 10,000 rows and the whole large library filled by its
//    20-millisecond timer, every tick timed, and the list view's cost of appending a row at
//    10,000, 100,000 and 300,000 rows (the least of many short windows before each).
// Each timing is the median of several runs.
//   screen_bench [DIR]   DIR holds large.idx/.dat (default ~/.cache/lomeva-bench)

#include "bench/Measure.h"
#include "browse/CatalogDlg.h"
#include "library/PoemLibrary.h"
#include "options/KavroOption.h"
#include "options/PageCiKu.h"
#include "platform/core/CodePage.h"
#include "platform/core/Services.h"
#include "platform/core/Sound.h"
#include "platform/ui/HtmlControl.h"
#include "platform/ui/testing/HtmlViewTesting.h"
#include "reading/PoemViewDlg.h"
#include "resources/ResourceIds.h"
#include "settings/InstalledLibrary.h"
#include "settings/Settings.h"
#include "tests/support/TestDriver.h"

#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QKeyEvent>
#include <QTextBrowser>
#include <QTextDocument>
#include <QWidget>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <malloc.h>
#include <string>
#include <vector>

using testing_support::CScript;
using testing_support::CTestDriver;
using Clock = std::chrono::steady_clock;

namespace {

constexpr int kPageRuns = 41;
constexpr std::uint32_t kCatalogueRows = 10000; // the least the large library must hold
constexpr double kTickMs = 20.0;
constexpr int kAppendWindow = 100; // rows timed at once
constexpr int kAppendWindows = 25; // windows timed just before each size
constexpr int kAppendLists = 9;    // lists filled, each to the largest size

double Ms(Clock::duration duration) {
    return std::chrono::duration<double, std::milli>(duration).count();
}

using Bench::Median;

void PrintRow(const std::string& what, const std::string& ours, const std::string& reference,
              double ratio, const std::string& target, bool met) {
    std::printf("| %s | %s | %s | %.2f | %s%s |\n", what.c_str(), ours.c_str(), reference.c_str(),
                ratio, target.c_str(), met ? "" : " — missed");
    std::fflush(stdout);
}

std::string Format(const char* format, double value) {
    char text[96];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

QString ToQString(const CString& text) {
    return QString::fromUtf16(text.GetString(), text.GetLength());
}

// The text browser the reader's viewer is built on; null when there is none.
QTextBrowser* FindViewer(QWidget* except) {
    for (QWidget* widget : QApplication::allWidgets()) {
        auto* browser = qobject_cast<QTextBrowser*>(widget);
        if (browser != nullptr && browser != except) {
            return browser;
        }
    }
    return nullptr;
}

// Lays the whole document out and paints what is visible, as showing the page does.
void LayOutAndPaint(QTextBrowser& browser) {
    browser.document()->documentLayout()->documentSize();
    browser.viewport()->repaint();
}

// ---- the poem page ----

struct PageTimes {
    double reader = 0;
    double bare = 0;
    double turn = 0; // a key to the next page painted
};

// Composes the page of `record` and shows it as the reader does at a paint; its milliseconds.
double ShowPoemPage(CPoemViewDlg& reader, QTextBrowser& viewer, const PoemRecord* record) {
    reader.m_pRecord = record;
    const auto start = Clock::now();
    reader.ComposePage();
    ::SendMessage(reader.m_hwndHtml, DTM_ADDTEXTW, 0,
                  reinterpret_cast<LPARAM>(reader.m_strPage.GetString()));
    ::SendMessage(reader.m_hwndHtml, DTM_ENDOFSOURCE, 0, 0);
    // The viewer takes the page once the sender has returned: that is now.
    QCoreApplication::sendPostedEvents(&viewer);
    LayOutAndPaint(viewer);
    return Ms(Clock::now() - start);
}

// The d-pad's key, as the desktop gives it to the viewer that has the keyboard, to the page of
// the poem it turns to laid out and painted; Right and Left in turn, between the first two
// poems of the list.
double TimePageTurns(CPoemViewDlg& reader, QTextBrowser& viewer) {
    viewer.setFocus(Qt::OtherFocusReason);
    std::vector<double> turns;
    for (int run = 0; run < kPageRuns; ++run) {
        const std::uint32_t from = reader.GetListIndex();
        const CString before = UiTesting::HtmlView(reader.m_hwndHtml).page;
        const auto start = Clock::now();
        QKeyEvent press(QEvent::KeyPress, from == 0 ? Qt::Key_Right : Qt::Key_Left, Qt::NoModifier);
        QApplication::sendEvent(&viewer, &press);
        while (UiTesting::HtmlView(reader.m_hwndHtml).page == before &&
               Clock::now() - start < std::chrono::seconds(2)) {
            QCoreApplication::processEvents();
        }
        LayOutAndPaint(viewer);
        turns.push_back(Ms(Clock::now() - start));
        if (reader.GetListIndex() == from) {
            return 0; // the key turned no page: nothing was measured
        }
    }
    return Median(turns);
}

// Alternates two poems, so that every page differs from the one shown (the viewer keeps a page
// that it is handed again).
PageTimes TimePages(CPoemViewDlg& reader, const PoemRecord* first, const PoemRecord* second) {
    QTextBrowser* viewer = FindViewer(nullptr);
    if (viewer == nullptr || reader.m_hwndHtml == nullptr) {
        return {};
    }
    std::vector<double> ours;
    QStringList pages;
    for (int run = 0; run < kPageRuns; ++run) {
        ours.push_back(ShowPoemPage(reader, *viewer, run % 2 == 0 ? first : second));
        if (run < 2) {
            pages.push_back(ToQString(reader.m_strPage));
        }
    }

    if (UiTesting::HtmlView(reader.m_hwndHtml).page != reader.m_strPage) {
        return {}; // the viewer did not show the page: nothing was measured
    }

    // The bare browser: same size, finding pictures in the same program folder.
    const double turn = TimePageTurns(reader, *viewer);

    QTextBrowser bare;
    bare.setSearchPaths({ToQString(g_strAppPath)});
    bare.resize(viewer->size());
    bare.show();
    std::vector<double> reference;
    for (int run = 0; run < kPageRuns; ++run) {
        const auto start = Clock::now();
        bare.setHtml(pages[run % 2]);
        LayOutAndPaint(bare);
        reference.push_back(Ms(Clock::now() - start));
    }
    return {Median(ours), Median(reference), turn};
}

struct VerseTimes {
    double kept = 0;
    double prose = 0;
};

// The reader's pages with their verses kept whole and the same pages broken as prose, in turns of
// two pages each, so that both see the same machine. Switching lays out the page shown again,
// outside the timing.
VerseTimes TimeVerseKeeping(CPoemViewDlg& reader, const PoemRecord* first,
                            const PoemRecord* second) {
    QTextBrowser* viewer = FindViewer(nullptr);
    if (viewer == nullptr || reader.m_hwndHtml == nullptr) {
        return {};
    }
    std::vector<double> kept;
    std::vector<double> prose;
    for (int run = 0; run < 4 * kPageRuns; ++run) {
        const bool keep = (run / 2) % 2 == 0;
        ::SendMessage(reader.m_hwndHtml, DTM_KEEPVERSES, 0, keep ? 1 : 0);
        (keep ? kept : prose)
            .push_back(ShowPoemPage(reader, *viewer, run % 2 == 0 ? first : second));
    }
    ::SendMessage(reader.m_hwndHtml, DTM_KEEPVERSES, 0, 1);
    return {Median(kept), Median(prose)};
}

void BenchPoemPage(const std::string& programFolder) {
    CTestDriver driver;
    driver.SetProgramFolder(programFolder);
    g_strAppPath = CString::FromUtf8(programFolder);
    CPoemLibrary library(g_strAppPath);
    if (!library.Open() || library.Select(nullptr, SEL_ALL) < 2) {
        std::fprintf(stderr, "poem page: no library of two poems in %s\n", programFolder.c_str());
        return;
    }
    g_pLibrary = &library;
    const PoemRecord* records = library.GetResultBuffer();
    // Two poems of the form whose couplets are wider than a line: their verses must be kept.
    const std::vector<PoemRecord> couplets = library.Select(u"七言律诗", SEL_FORM) >= 2
                                                 ? std::vector<PoemRecord>(records, records + 2)
                                                 : std::vector<PoemRecord>();
    library.Select(nullptr, SEL_ALL);
    CPoemViewDlg reader(records, 2, 0);
    PageTimes times;
    VerseTimes verses;
    driver.Run([&] { reader.DoModal(); },
               [&](CScript& s) {
                   if (s.WaitForScreen(IDD_POEMVIEW)) {
                       s.Sync();
                       times = s.OnGui([&] { return TimePages(reader, &records[0], &records[1]); });
                       if (couplets.size() == 2) {
                           verses = s.OnGui([&] {
                               return TimeVerseKeeping(reader, &couplets[0], &couplets[1]);
                           });
                       }
                   }
                   s.CloseWindow();
               },
               std::chrono::seconds(120));
    g_pLibrary = nullptr;
    if (times.bare <= 0) {
        std::fprintf(stderr, "poem page: the reader showed no viewer\n");
        return;
    }
    const double ratio = times.reader / times.bare;
    PrintRow("Composing and showing one poem page", Format("%.2f ms", times.reader),
             Format("%.2f ms (bare QTextBrowser)", times.bare), ratio, "at most 1.5", ratio <= 1.5);
    if (times.turn <= 0) {
        std::fprintf(stderr, "turning a page: the key turned no page\n");
    } else {
        PrintRow("Turning the page: the d-pad's Right or Left to the next page painted",
                 Format("%.2f ms", times.turn),
                 Format("%.2f ms (composing one page)", times.reader), times.turn / times.reader,
                 "at most 30 ms", times.turn <= 30.0);
    }
    if (verses.prose <= 0) {
        std::fprintf(stderr, "poem page: the library holds no two 七言律诗\n");
        return;
    }
    const double versesRatio = verses.kept / verses.prose;
    PrintRow("One poem page (七言律诗) with its verses kept whole", Format("%.2f ms", verses.kept),
             Format("%.2f ms (the same broken as prose, in turns)", verses.prose), versesRatio,
             "at most 1.10", versesRatio <= 1.10);
}

// ---- the catalogue ----

// The catalogue with every tick of its fill timer timed: when it came and how long it took, and
// when the list became ready.
class CTimedCatalog : public CCatalogDlg {
public:
    using CCatalogDlg::CCatalogDlg;

    std::vector<Clock::time_point> m_tickTimes;
    std::vector<double> m_tickCosts;
    Clock::time_point m_ready{};

protected:
    const CMessageMap* GetMessageMap() const override {
        static const CMessageMapOf<CTimedCatalog> map(CCatalogDlg::GetMessageMap(),
                                                      {On::Timer(&CTimedCatalog::OnTimedTick)});
        return &map;
    }

    void OnTimedTick(UINT_PTR nIDEvent) {
        const bool filling = g_nCatalogRow < m_nRecordCount;
        const auto start = Clock::now();
        OnTimer(nIDEvent);
        if (filling) {
            m_tickTimes.push_back(start);
            m_tickCosts.push_back(Ms(Clock::now() - start));
        } else if (m_ready == Clock::time_point{}) {
            m_ready = Clock::now();
        }
    }
};

// Fills a catalogue of `rows` records by its own timer, up to the tick that makes it ready:
// the whole fill's time, and the worst and median work of a tick. The tick intervals against
// the period are checked at the first size.
void BenchCatalogueTicks(const PoemRecord* records, std::uint32_t rows, bool intervals) {
    CTestDriver driver;
    CTimedCatalog catalogue(records, rows);
    driver.Run([&] { catalogue.DoModal(); },
               [&](CScript& s) {
                   s.WaitForScreen(IDD_CATALOG);
                   s.WaitUntil([&] { return catalogue.m_ready != Clock::time_point{}; },
                               std::chrono::seconds(120));
                   s.CloseWindow();
               },
               std::chrono::seconds(180));
    const auto& times = catalogue.m_tickTimes;
    const std::uint32_t ticks = (rows + CatalogRowsPerTick(rows) - 1) / CatalogRowsPerTick(rows);
    if (times.size() < ticks || catalogue.m_ready == Clock::time_point{}) {
        std::fprintf(stderr, "catalogue: %zu ticks of %u\n", times.size(), ticks);
        return;
    }
    const std::string size = std::to_string(rows) + " rows";
    // From the opening of the screen (one period before the first tick) to the list's being ready.
    const double fill = Ms(catalogue.m_ready - times.front()) + kTickMs;
    const double plan = (ticks + 1) * kTickMs;
    PrintRow("Catalogue fill, " + size + " (" + std::to_string(CatalogRowsPerTick(rows)) +
                 " a tick): until the list is ready",
             Format("%.0f ms", fill), Format("%.0f ms planned", plan), fill / plan,
             "within 5% of the plan, at most about 20 s", fill / plan <= 1.05);
    const double worst =
        *std::max_element(catalogue.m_tickCosts.begin(), catalogue.m_tickCosts.end());
    PrintRow("Catalogue fill, " + size + ": worst work of one tick (median " +
                 Format("%.3f ms", Median(catalogue.m_tickCosts)) + ")",
             Format("%.3f ms", worst), "20 ms tick", worst / kTickMs, "at most half a tick",
             worst <= kTickMs / 2);
    if (!intervals) {
        return;
    }
    std::vector<double> gaps;
    double worstOff = 0;
    int late = 0;
    for (std::size_t i = 1; i < times.size(); ++i) {
        const double interval = Ms(times[i] - times[i - 1]);
        gaps.push_back(interval);
        const double off = std::abs(interval - kTickMs) / kTickMs;
        worstOff = std::max(worstOff, off);
        late += off > 0.05 ? 1 : 0;
    }
    PrintRow("Catalogue fill, " + size + ": median tick interval (worst off by " +
                 Format("%.1f%%", worstOff * 100) + ", " + std::to_string(late) +
                 " off by over 5%)",
             Format("%.2f ms", Median(gaps)), "20 ms per tick", Median(gaps) / kTickMs,
             "every tick within 5%", late == 0);
}

// Appends rows to the catalogue's list view as a tick does (number, title, author) and returns
// the microseconds per row at each size: the least of kAppendWindows windows of kAppendWindow
// rows just before it. On a machine that others share, whatever else runs only ever adds to a
// window, and a single window of a millisecond or so says more of that than of the list.
std::vector<double> TimeAppends(CListCtrl& list, const PoemRecord* records, std::uint32_t count,
                                const std::vector<int>& sizes) {
    std::vector<double> costs;
    int row = 0;
    auto append = [&] {
        const PoemRecord& record = records[static_cast<std::uint32_t>(row) % count];
        list.InsertItem(row, CString::Formatted(u"%d", row + 1));
        list.SetItemText(row, 1, CodePage::Decode(record.title, sizeof record.title));
        list.SetItemText(row, 2, CodePage::Decode(record.author, sizeof record.author));
        ++row;
    };
    for (int size : sizes) {
        while (row < size - kAppendWindows * kAppendWindow) {
            append();
        }
        std::vector<double> windows;
        while (row < size) {
            const auto start = Clock::now();
            for (int k = 0; k < kAppendWindow; ++k) {
                append();
            }
            windows.push_back(Ms(Clock::now() - start) * 1000.0 / kAppendWindow);
        }
        costs.push_back(*std::min_element(windows.begin(), windows.end()));
    }
    return costs;
}

// Has the heap keep a block of memory written once and freed, for the list's rows to take: on a
// virtual machine the first touch of a page can cost more than a row, and by how much drifts with
// the host, which would put the host into the list's cost at one size and not another.
void ReadyTheHeap(std::size_t bytes) {
    mallopt(M_MMAP_THRESHOLD, static_cast<int>(bytes) * 2); // from the heap, not a mapping
    mallopt(M_TRIM_THRESHOLD, static_cast<int>(bytes) * 2); // and kept there once freed
    auto* block = static_cast<volatile char*>(std::malloc(bytes));
    if (block != nullptr) {
        for (std::size_t at = 0; at < bytes; at += 4096) {
            block[at] = 1; // every page
        }
        std::free(const_cast<char*>(block));
    }
}

// The least cost per row at each size over several lists filled one after another: the
// machine's speed drifts over seconds, and one list alone may meet a slow spell at one size only.
// Spells of a shared machine running half as slow again (2.2 against 1.4 us a row) have lasted
// over all of three lists at one size; over nine, every size has met the machine at its speed.
void BenchListAppend(const PoemRecord* records, std::uint32_t count) {
    const std::vector<int> sizes = {10000, 100000, 300000};
    ReadyTheHeap(std::size_t{512} << 20);
    std::vector<double> costs(sizes.size(), HUGE_VAL);
    for (int list = 0; list < kAppendLists; ++list) {
        CTestDriver driver;
        CCatalogDlg catalogue(records, 0); // an empty catalogue: its list is filled here
        std::vector<double> these;
        driver.Run([&] { catalogue.DoModal(); },
                   [&](CScript& s) {
                       if (s.WaitForScreen(IDD_CATALOG)) {
                           these = s.OnGui([&] {
                               return TimeAppends(catalogue.m_listPoems, records, count, sizes);
                           });
                       }
                       s.CloseWindow();
                   },
                   std::chrono::seconds(300));
        if (these.size() != sizes.size()) {
            std::fprintf(stderr, "list view: the catalogue never opened\n");
            return;
        }
        for (std::size_t i = 0; i < sizes.size(); ++i) {
            costs[i] = std::min(costs[i], these[i]);
        }
    }
    for (std::size_t i = 1; i < sizes.size(); ++i) {
        const double ratio = costs[i] / costs[0];
        PrintRow("List view: appending a row at " + std::to_string(sizes[i]) + " rows",
                 Format("%.2f us", costs[i]), Format("%.2f us at 10000 rows", costs[0]), ratio,
                 "does not grow (at most 1.2)", ratio <= 1.2);
    }
}

// The library page with its 调入 timed from the tap to the box it shows, which a recording box
// service answers at once.
class CTimedLibraryPage : public CPageCiKu {
public:
    Clock::time_point m_tapped{};

protected:
    const CMessageMap* GetMessageMap() const override {
        static const CMessageMapOf<CTimedLibraryPage> map(
            CPageCiKu::GetMessageMap(),
            {On::Clicked(IDC_BTN_LOAD, &CTimedLibraryPage::OnTimedLoad)});
        return &map;
    }

private:
    void OnTimedLoad() {
        m_tapped = Clock::now();
        OnLoad();
    }
};

class CTimedBoxes : public IMessageBoxService {
public:
    int Show(const MessageBoxInfo& box) override {
        m_shown = Clock::now();
        m_text = box.text;
        return IDOK;
    }
    Clock::time_point m_shown{};
    CString m_text;
};

// The library page loading the large library (the only one in its folder), from the tap on
// 调入 to its success box: what switching to the largest library costs a reader. Each load
// replaces the library the one before installed.
void BenchLibrarySwitch() {
    constexpr int kRuns = 9;
    CTestDriver driver;
    CTimedBoxes boxes;
    ScopedService<IMessageBoxService> timedBoxes(boxes);
    CTimedLibraryPage page;
    std::vector<double> times;
    bool loaded = true;
    driver.Run(
        [&] {
            CKavroOption sheet(u"选项", nullptr, 0);
            sheet.AddPage(&page);
            sheet.DoModal();
        },
        [&](CScript& s) {
            if (!s.WaitForScreen(IDD_PAGE_LIBRARY)) {
                loaded = false;
                return;
            }
            s.Select(IDC_LIST_LIBRARIES_SHARED, 0);
            for (int run = 0; run < kRuns && loaded; ++run) {
                s.Click(IDC_BTN_LOAD);
                s.Sync();
                s.OnGui([&] {
                    loaded = boxes.m_text.Find(u"成功") >= 0;
                    times.push_back(Ms(boxes.m_shown - page.m_tapped));
                });
            }
            s.PressOk();
        },
        std::chrono::seconds(120));
    InstallLibrary(nullptr);
    if (!loaded || times.empty()) {
        std::fprintf(stderr, "library page: the large library did not load\n");
        return;
    }
    const double median = Median(times);
    PrintRow("Library page: switching to the large library, tap to its success box",
             Format("%.2f ms", median), "150 ms", median / 150.0, "at most 150 ms",
             median <= 150.0);
}

} // namespace

int main(int argc, char** argv) {
    const char* home = std::getenv("HOME");
    const std::string dir =
        (argc > 1 ? std::string(argv[1])
                  : std::string(home != nullptr ? home : ".") + "/.cache/lomeva-bench") +
        "/";
    // The screens run on this thread, under the application object the tests' environment
    // would otherwise make.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication application(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    CRecordingMessageBox boxes;
    ScopedService<IMessageBoxService> quietBoxes(boxes);
    CRecordingSound sound;
    ScopedService<ISoundService> quietSound(sound);

    BenchPoemPage(LOMEVA_PROGRAM_DIR "/");

    g_strAppPath = CString::FromUtf8(dir);
    CPoemLibrary large(g_strAppPath);
    large.SetFileNames(u"large.idx", u"large.dat");
    if (!large.Open() || large.Select(nullptr, SEL_ALL) < kCatalogueRows) {
        std::fprintf(stderr, "no large library in %s: run bench/make-large-library.sh\n",
                     dir.c_str());
        return 1;
    }
    // The list view's append first: after the catalogues, its first rows would take the memory
    // their rows left behind, already in place, and seem cheaper than the later ones, which take
    // new memory from the system as every row of a fresh list does.
    BenchListAppend(large.GetResultBuffer(), large.m_nCount);
    for (const std::uint32_t rows : {1000u, 10000u, large.m_nCount}) {
        BenchCatalogueTicks(large.GetResultBuffer(), rows, rows == 1000u);
    }
    BenchLibrarySwitch();
    return 0;
}
