// The space between the lines of the reading surfaces, measured on the pixels of the rendered
// pages at every zoom of the screen: a gap of at least 30% of a line's height, whatever face
// or style draws them.

#include "platform/ui/ScreenGeometry.h"
#include "platform/ui/testing/ScreenWidgets.h"
#include "reading/PoemViewDlg.h"
#include "reading/RefPageDlg.h"
#include "resources/ResourceIds.h"
#include "tests/reading/ReaderFixture.h"
#include "tests/support/LineGaps.h"

#include <QRegularExpression>
#include <QScrollBar>
#include <QTextBrowser>
#include <QTextCursor>

using testing_support::CScript;
using testing_support::LineGaps;

namespace {

constexpr double kLeastGapShare = 0.30;

// The viewer's rectangle in the window's pixels, inside its border and clear of the scroll bar.
QRect ViewerArea(int zoom) {
    constexpr int kScrollBarRoom = 24;
    return {3 * zoom, (kBarHeight + 3) * zoom, (kClientWidth - 6 - kScrollBarRoom) * zoom,
            (kClientHeight - 6) * zoom};
}

LineGaps MeasureWindow(CScript& s, int zoom) {
    const QImage image = s.OnGui([] { return UiTesting::ScreenWindow()->grab().toImage(); });
    EXPECT_EQ(image.size(), QSize(kScreenWidth * zoom, kScreenHeight * zoom));
    return testing_support::MeasureLineGaps(testing_support::InkRuns(image, ViewerArea(zoom)));
}

class LeadingTest : public ReaderTest, public ::testing::WithParamInterface<int> {
protected:
    LeadingTest() {
        UseDarkTextOnWhite();
        m_driver.SetZoom(GetParam());
    }

    // authors.htm as the build writes it, with its picture and light colours taken out.
    void WritePlainPoetsPage() {
        ASSERT_TRUE(testing_support::WritePlainPage(std::filesystem::path(LOMEVA_PROGRAM_DIR) /
                                                        "authors.htm",
                                                    m_folder.Path() / "authors.htm"));
    }
};

TEST_P(LeadingTest, TheLinesOfAPoemPageStandApart) {
    const int zoom = GetParam();
    OpenLibrary({{"春晓", "孟浩然", "唐代", "五言绝句",
                  "春眠不觉晓，\n处处闻啼鸟。\n夜来风雨声，\n花落知多少。"}});
    CPoemViewDlg reader(Record(0));
    LineGaps gaps;
    m_driver.Run([&] { reader.DoModal(); },
                 [&](CScript& s) {
                     ASSERT_TRUE(WaitForPoemPage(s, reader));
                     s.Sync();
                     gaps = MeasureWindow(s, zoom);
                     s.PressOk();
                 });
    // The form, the title, the dynasty and author, and the four lines of the poem, each apart.
    EXPECT_EQ(gaps.lines, 7) << "zoom " << zoom;
    EXPECT_GE(gaps.smallestShare, kLeastGapShare)
        << "zoom " << zoom << ": a gap of " << gaps.smallestGap << " px";
    EXPECT_GE(gaps.lineHeight, 12 * zoom); // lines of text were measured, not specks
}

TEST_P(LeadingTest, TheLinesOfAReferencePageStandApart) {
    const int zoom = GetParam();
    WritePlainPoetsPage();
    CRefPageDlg window;
    window.m_strUrl = u"file://" + g_strAppPath + u"authors.htm#李白";
    LineGaps gaps;
    m_driver.Run([&] { window.DoModal(); },
                 [&](CScript& s) {
                     ASSERT_TRUE(s.WaitForScreen(IDD_REFPAGE));
                     ASSERT_TRUE(s.WaitUntil(
                         [&window] { return UiTesting::HtmlView(window.m_hwndHtml).scrollY > 0; }));
                     s.Sync();
                     gaps = MeasureWindow(s, zoom);
                     s.PressOk();
                 });
    // The poet's paragraph fills the screen with wrapped lines.
    EXPECT_GE(gaps.lines, 8) << "zoom " << zoom;
    EXPECT_GE(gaps.smallestShare, kLeastGapShare)
        << "zoom " << zoom << ": a gap of " << gaps.smallestGap << " px";
}

TEST_P(LeadingTest, APoemLongerThanTheScreenStillScrollsToItsEnd) {
    std::string text;
    for (int line = 0; line < 24; ++line) {
        text += "床前明月光，疑是地上霜。\n";
    }
    OpenLibrary({{"长诗", "某人", "唐代", "五言古诗", text + "末句在此。"}});
    CPoemViewDlg reader(Record(0));
    m_driver.Run([&] { reader.DoModal(); },
                 [&](CScript& s) {
                     ASSERT_TRUE(WaitForPoemPage(s, reader));
                     const auto viewer = [] {
                         return UiTesting::ScreenSurface()->findChild<QTextBrowser*>();
                     };
                     // The scroll bar takes its range once the page is laid out.
                     ASSERT_TRUE(s.WaitUntil([&] {
                         UiTesting::FlushHtmlView(reader.m_hwndHtml);
                         return viewer()->verticalScrollBar()->maximum() > 0;
                     }));
                     s.OnGui([&] {
                         QTextBrowser* view = viewer();
                         QScrollBar* bar = view->verticalScrollBar();
                         bar->setValue(bar->maximum());
                         // The last line shows whole at the bottom, above the viewer's edge.
                         // Invisible format characters may hold the verse's characters together.
                         const QTextCursor end = view->document()->find(QRegularExpression(
                             QStringLiteral("末\\p{Cf}*句\\p{Cf}*在\\p{Cf}*此")));
                         ASSERT_FALSE(end.isNull());
                         const QRect last = view->cursorRect(end);
                         EXPECT_GE(last.top(), 0);
                         EXPECT_LE(last.bottom(), view->viewport()->height());
                     });
                     EXPECT_FALSE(s.OnGui([&reader] {
                                       return UiTesting::HtmlView(reader.m_hwndHtml);
                                   }).horizontalScrolling);
                     s.PressOk();
                 });
}

INSTANTIATE_TEST_SUITE_P(Zooms, LeadingTest, ::testing::Values(1, 2, 3),
                         [](const ::testing::TestParamInfo<int>& zoom) {
                             return "Zoom" + std::to_string(zoom.param);
                         });

} // namespace
