// Libraries from strangers: whatever markup a poem carries, the reader shows text, runs nothing,
// reads no file outside the program folder, fetches nothing and follows no link out of it.

#include "reading/PoemViewDlg.h"
#include "resources/ResourceIds.h"
#include "tests/reading/ReaderFixture.h"

#include <string>
#include <utility>

using testing_support::CScript;
using UiTesting::HtmlViewState;

namespace {

class HostileContentTest : public ReaderTest {
protected:
    // Opens the reader on the library's poem `poem` and runs `check` once the page is shown,
    // waiting up to `patience` for the page and for the end, and `whole` for all of it.
    void Read(const std::function<void(CScript&, CPoemViewDlg&)>& check, int poem = 0,
              std::chrono::seconds patience = std::chrono::seconds(60),
              std::chrono::seconds whole = std::chrono::seconds(120)) {
        CPoemViewDlg reader(Record(poem));
        m_driver.Run([&] { reader.DoModal(); },
                     [&](CScript& s) {
                         ASSERT_TRUE(s.WaitForScreen(IDD_POEMVIEW));
                         ASSERT_TRUE(s.WaitUntil(
                             [&reader] {
                                 return reader.m_hwndHtml != nullptr &&
                                        !reader.m_strPage.IsEmpty() &&
                                        UiTesting::HtmlView(reader.m_hwndHtml).page ==
                                            reader.m_strPage;
                             },
                             patience));
                         check(s, reader);
                         s.PressOk();
                         ASSERT_TRUE(s.WaitForProgramEnd(patience));
                     },
                     whole);
    }
    static HtmlViewState ViewOf(CScript& s, const CPoemViewDlg& reader) {
        return s.OnGui([&reader] {
            UiTesting::FlushHtmlView(reader.m_hwndHtml);
            return UiTesting::HtmlView(reader.m_hwndHtml);
        });
    }
    // Taps the link and tells whether the viewer left the poem for another page. Read in the
    // same call as the tap: the reader puts its poem back at its next paint.
    static bool Follows(CScript& s, const CPoemViewDlg& reader, const CString& href) {
        const auto [tapped, file] = s.OnGui([&] {
            const bool found = UiTesting::ClickHtmlLink(reader.m_hwndHtml, href);
            return std::make_pair(found, UiTesting::HtmlView(reader.m_hwndHtml).file);
        });
        EXPECT_TRUE(tapped) << href.ToUtf8();
        return !file.IsEmpty();
    }
};

TEST_F(HostileContentTest, LinksAndFramesLeadNowhereOutsideTheProgramFolder) {
    CListeningSocket server;
    testing_support::TempFolder elsewhere;
    testing_support::WriteFile(
        elsewhere.File("外页.htm"),
        "<html><head><meta charset=\"utf-8\"></head><body>外面的页</body></html>");
    testing_support::WriteFile(elsewhere.File("secret.txt"), "机密");
    testing_support::WriteFile(
        m_folder.File("里页.htm"),
        "<html><head><meta charset=\"utf-8\"></head><body>程序的页</body></html>");
    const std::string outsidePage = "file://" + elsewhere.File("外页.htm");
    const std::string frame = "<iframe src=\"" + server.Url("/f.htm") + "\">框</iframe>";
    const std::string text = frame + "<iframe src=\"file://" + elsewhere.File("secret.txt") +
                             "\"></iframe>" + "<img src=\"file://" + elsewhere.File("secret.txt") +
                             "\">" + "<img src=\"../" +
                             std::filesystem::path(elsewhere.Path()).filename().string() +
                             "/secret.txt\">" + "<a href=\"file:///etc/passwd\">口令</a><br>" +
                             "<a href=\"javascript:document.write('脚本运行了')\">脚本</a><br>" +
                             "<a href=\"" + outsidePage + "\">外页</a><br>" + "<a href=\"" +
                             elsewhere.File("外页.htm") + "\">外页二</a><br>" + "<a href=\"../" +
                             std::filesystem::path(elsewhere.Path()).filename().string() +
                             "/外页.htm\">外页三</a><br>" + "<a href=\"里页.htm\">里页</a>第一句";
    OpenLibrary({{"<iframe src=\"file:///etc/passwd\">", "<i>某人</i>", "唐代", "<iframe>", text}});
    Read([&](CScript& s, CPoemViewDlg& reader) {
        s.SaveScreenshot(std::string(LOMEVA_SCREENSHOT_DIR) +
                         "/hostile-links.png"); // lays out and paints
        const HtmlViewState state = ViewOf(s, reader);
        EXPECT_NE(state.text.Find(u"第一句"), -1);
        EXPECT_NE(state.text.Find(u"口令"), -1);
        EXPECT_EQ(state.text.Find(u"机密"), -1);
        EXPECT_EQ(state.text.Find(u"root"), -1);
        EXPECT_EQ(state.text.Find(u"脚本运行了"), -1);
        // The two pictures of a file elsewhere were asked for and refused.
        EXPECT_GE(state.refusedRequests, 2);
        for (const char16_t* href :
             {u"file:///etc/passwd", u"javascript:document.write('脚本运行了')"}) {
            EXPECT_FALSE(Follows(s, reader, href)) << CString(href).ToUtf8();
        }
        for (const std::string& href :
             {outsidePage, elsewhere.File("外页.htm"),
              "../" + std::filesystem::path(elsewhere.Path()).filename().string() + "/外页.htm"}) {
            EXPECT_FALSE(Follows(s, reader, CString::FromUtf8(href))) << href;
        }
        const HtmlViewState after = ViewOf(s, reader);
        EXPECT_EQ(after.page, reader.m_strPage);
        EXPECT_EQ(after.text.Find(u"外面的页"), -1);
        EXPECT_EQ(after.text.Find(u"脚本运行了"), -1);
        // The program's own pages still open: the refusal is about where a link leads.
        EXPECT_TRUE(Follows(s, reader, u"里页.htm"));
    });
    EXPECT_FALSE(server.WasContacted());
}

TEST_F(HostileContentTest, TenThousandNestedTagsAndATenMegabyteTextAreShown) {
    const char* const tags[] = {"div", "span", "b", "i", "font", "blockquote", "u", "p"};
    std::string open;
    std::string close;
    for (int i = 0; i < 10000; ++i) {
        const std::string tag = tags[i % std::size(tags)];
        open += "<" + tag + ">";
        close = "</" + tag + ">" + close;
    }
    std::string huge;
    const std::string line = "床前明月光，疑是地上霜。举头望明月，低头思故乡。\r\n";
    while (huge.size() < 10u * 1024 * 1024) {
        huge += line;
    }
    huge += "最后一句";
    OpenLibrary({{"深", "某人", "唐代", "五言绝句", open + "深处的字" + close},
                 {"长", "某人", "唐代", "五言绝句", huge}});
    Read([&](CScript& s, CPoemViewDlg& reader) {
        s.SaveScreenshot(std::string(LOMEVA_SCREENSHOT_DIR) + "/hostile-nested.png");
        EXPECT_NE(ViewOf(s, reader).text.Find(u"深处的字"), -1);
    });
    Read(
        [&](CScript& s, CPoemViewDlg& reader) {
            const HtmlViewState state = ViewOf(s, reader);
            EXPECT_NE(state.text.Find(u"最后一句"), -1);
            EXPECT_GT(state.text.GetLength(), 3 * 1024 * 1024);
            // Still answering: Read then presses a key, and the screen closes.
        },
        1, std::chrono::seconds(100), std::chrono::seconds(240));
}

} // namespace
