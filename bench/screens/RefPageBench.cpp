// The reference window opening a page, in process and headless, end to end: from constructing
// the window to the first paint of its viewer showing the page (the viewer reads the file, lays
// it out and scrolls to the anchor before that paint). Measured for the largest page of a poet
// and of a form in the program folder, and for 杨时 of 全宋诗, each against opening today's
// authors.htm at 李白 in the same run. Each figure is the median of several openings.
//   refpage_bench [PROGRAM_DIR]   (default the build's program folder, with the collection's
//                                  libraries built by scripts/build-libraries.sh)

#include "bench/Measure.h"
#include "platform/core/Services.h"
#include "platform/core/Sound.h"
#include "reading/RefPageDlg.h"
#include "resources/ResourceIds.h"
#include "settings/Settings.h"
#include "tests/support/TestDriver.h"

#include <QApplication>
#include <QEvent>
#include <QTextBrowser>
#include <QTextDocument>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace fs = std::filesystem;
using testing_support::CScript;
using testing_support::CTestDriver;
using Clock = std::chrono::steady_clock;

namespace {

constexpr int kRuns = 15;
constexpr double kTargetMs = 100.0;

// Notes when a viewer showing a page has been painted: its viewport's paint event is being
// delivered, and the queued call runs once that paint and the rest of the update are done.
class CPaintWatch : public QObject {
public:
    CPaintWatch() { qApp->installEventFilter(this); }
    ~CPaintWatch() override { qApp->removeEventFilter(this); }

    void Reset() {
        m_pending = false;
        m_painted.reset();
    }
    std::optional<Clock::time_point> Painted() const { return m_painted; }

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (m_pending || event->type() != QEvent::Paint) {
            return false;
        }
        auto* widget = qobject_cast<QWidget*>(watched);
        auto* viewer =
            widget != nullptr ? qobject_cast<QTextBrowser*>(widget->parentWidget()) : nullptr;
        if (viewer != nullptr && viewer->viewport() == widget && !viewer->document()->isEmpty()) {
            m_pending = true;
            QMetaObject::invokeMethod(
                this, [this] { m_painted = Clock::now(); }, Qt::QueuedConnection);
        }
        return false;
    }

private:
    bool m_pending = false;
    std::optional<Clock::time_point> m_painted;
};

// The median time from constructing the window at `page` to its first painted page; nothing
// when the page never showed.
std::optional<double> TimeOpening(const std::string& page) {
    CTestDriver driver;
    CPaintWatch watch;
    std::vector<double> times;
    for (int run = 0; run < kRuns; ++run) {
        Clock::time_point start;
        bool shown = false;
        watch.Reset();
        driver.Run(
            [&] {
                start = Clock::now();
                CRefPageDlg window;
                window.m_strUrl = u"file://" + g_strAppPath + CString::FromUtf8(page);
                window.DoModal();
            },
            [&](CScript& s) {
                if (s.WaitForScreen(IDD_REFPAGE)) {
                    for (int wait = 0; wait < 200 && !shown; ++wait) {
                        s.Sync();
                        shown = s.OnGui([&] { return watch.Painted().has_value(); });
                        if (!shown) {
                            s.Pause(std::chrono::milliseconds(5));
                        }
                    }
                }
                s.PressOk();
            });
        if (!shown) {
            return std::nullopt;
        }
        times.push_back(
            std::chrono::duration<double, std::milli>(*watch.Painted() - start).count());
    }
    return Bench::Median(times);
}

// The largest page under one of the page folders, as a name relative to the program folder.
std::string LargestPage(const fs::path& folder, const std::string& pages) {
    std::string largest;
    std::uintmax_t size = 0;
    std::error_code error;
    for (auto it = fs::recursive_directory_iterator(folder / pages, error);
         !error && it != fs::recursive_directory_iterator(); it.increment(error)) {
        std::error_code status;
        if (it->is_regular_file(status) && it->file_size(status) > size) {
            size = it->file_size(status);
            largest = fs::relative(it->path(), folder).string();
        }
    }
    return largest;
}

void PrintRow(const std::string& page, double ours, double reference) {
    std::printf("| Reference window: %s, built to painted | %.2f ms | %.2f ms | %.2f | at most "
                "%.0f ms%s |\n",
                page.c_str(), ours, reference, ours / reference, kTargetMs,
                ours <= kTargetMs ? "" : " — missed");
    std::fflush(stdout);
}

} // namespace

int main(int argc, char** argv) {
    const fs::path folder = argc > 1 ? fs::path(argv[1]) : fs::path(LOMEVA_PROGRAM_DIR);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication application(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    CRecordingMessageBox boxes;
    ScopedService<IMessageBoxService> quietBoxes(boxes);
    CRecordingSound sound;
    ScopedService<ISoundService> quietSound(sound);
    g_strAppPath = CString::FromUtf8(fs::absolute(folder).string() + "/");

    const std::vector<std::string> pages = {LargestPage(folder, "poets"),
                                            LargestPage(folder, "forms"), "poets/宋代/杨时.htm"};
    int status = 0;
    for (const std::string& page : pages) {
        if (page.empty() || !fs::exists(folder / page)) {
            std::fprintf(stderr, "refpage_bench: %s has no page %s: build the libraries first\n",
                         folder.c_str(), page.c_str());
            status = 1;
            continue;
        }
        // The reference is opened beside each page, so that both see the machine alike.
        const auto reference = TimeOpening("authors.htm#李白");
        const auto ours = TimeOpening(page);
        if (!reference || !ours) {
            std::fprintf(stderr, "refpage_bench: the window never showed %s\n", page.c_str());
            status = 1;
            continue;
        }
        PrintRow(page + " (" + std::to_string(fs::file_size(folder / page)) + " bytes)", *ours,
                 *reference);
    }
    return status;
}
