// The reader: its viewer, the page it hands over at every paint, and the music.

#include "platform/ui/testing/FrontScreen.h"
#include "reading/PoemViewDlg.h"
#include "reading/page/PoemPage.h"
#include "resources/ResourceIds.h"
#include "tests/reading/ReaderFixture.h"

using testing_support::CScript;
using UiTesting::HtmlViewState;

namespace {

constexpr DWORD kPlayFlags = SND_FILENAME | SND_ASYNC | SND_LOOP | SND_NOSTOP;
constexpr DWORD kStopFlags = SND_FILENAME | SND_ASYNC | SND_LOOP | SND_NOWAIT;

class PoemViewTest : public ReaderTest {
protected:
    PoemViewTest() {
        OpenLibrary({
            {"静夜思", "李白", "唐代", "五言绝句", "床前明月光，\r\n疑是地上霜。"},
            {"春晓", "孟浩然", "唐代", "五言绝句", "春眠不觉晓，\r\n处处闻啼鸟。"},
        });
    }

    // Waits until the viewer shows the page the reader composed last.
    static bool WaitForPage(CScript& s, CPoemViewDlg& reader) {
        return s.WaitUntil([&reader] {
            return reader.m_hwndHtml != nullptr && !reader.m_strPage.IsEmpty() &&
                   UiTesting::HtmlView(reader.m_hwndHtml).page == reader.m_strPage;
        });
    }
    static HtmlViewState ViewOf(CScript& s, const CPoemViewDlg& reader) {
        return s.OnGui([&reader] {
            UiTesting::FlushHtmlView(reader.m_hwndHtml);
            return UiTesting::HtmlView(reader.m_hwndHtml);
        });
    }
};

TEST_F(PoemViewTest, TheViewerFillsTheWindowAndGetsAFreshPageAtEveryPaint) {
    CPoemViewDlg reader(Record(0));
    m_driver.Run(
        [&] { reader.DoModal(); },
        [&](CScript& s) {
            ASSERT_TRUE(s.WaitForScreen(IDD_POEMVIEW));
            ASSERT_TRUE(WaitForPage(s, reader));
            const HWND viewer = reader.m_hwndHtml;
            const HtmlViewState state = ViewOf(s, reader);
            EXPECT_EQ(state.rect, CRect(1, 1, 239, 293)); // the client area less a pixel
            EXPECT_EQ(state.style, WS_CHILD | WS_VISIBLE | WS_BORDER);
            EXPECT_EQ(state.zoomLevel, 2);
            EXPECT_TRUE(state.scripting);
            EXPECT_FALSE(state.shrink);
            EXPECT_NE(state.text.Find(u"疑是地上霜"), -1);
            // Showing the page does not paint the reader again and again.
            const auto pagesSent = [&] { return MessagesOf(viewer, DTM_ADDTEXTW).size(); };
            const size_t sent = s.OnGui(pagesSent);
            s.Pause(std::chrono::milliseconds(300));
            EXPECT_EQ(s.OnGui(pagesSent), sent);
            // The 480-pixel table is narrowed to the viewer: nothing scrolls sideways.
            EXPECT_FALSE(state.horizontalScrolling);
            EXPECT_LE(state.widestTable, state.viewportWidth);

            // A colour changed while the reader is open shows at the next paint.
            s.OnGui([&] {
                g_strTitleColor = u"FF0000";
                reader.Invalidate();
            });
            ASSERT_TRUE(
                s.WaitUntil([&] { return reader.m_strPage.Find(u"color=#FF0000>静夜思") != -1; }));
            ASSERT_TRUE(WaitForPage(s, reader));

            const auto messages = s.OnGui([&] { return MessagesOf(viewer, 0); });
            ASSERT_GE(messages.size(), 8u);
            // Set up once, right after the viewer was made ...
            EXPECT_EQ(messages[0].message, DTM_ENABLESCRIPTING);
            EXPECT_EQ(messages[0].lParam, 1);
            EXPECT_EQ(messages[1].message, DTM_ZOOMLEVEL);
            EXPECT_EQ(messages[1].lParam, 2);
            EXPECT_EQ(messages[2].message, DTM_ENABLESHRINK);
            EXPECT_EQ(messages[2].lParam, 0);
            EXPECT_EQ(messages[3].message, DTM_KEEPVERSES);
            EXPECT_EQ(messages[3].lParam, 1);
            // ... then a whole page and its end at every paint, nothing else.
            for (size_t i = 4; i < messages.size(); i += 2) {
                ASSERT_EQ(messages[i].message, DTM_ADDTEXTW) << i;
                ASSERT_LT(i + 1, messages.size());
                EXPECT_EQ(messages[i + 1].message, DTM_ENDOFSOURCE) << i + 1;
            }
            for (const auto& m : messages) {
                EXPECT_EQ(m.wParam, 0u);
            }
            EXPECT_EQ(messages[4].text.Find(u"color=#FF0000"), -1);
            const CString last = messages[messages.size() - 2].text;
            EXPECT_EQ(last, reader.m_strPage);
            EXPECT_EQ(last, ComposePoemPage(*g_pLibrary, *Record(0), CurrentPageSettings()));
            s.PressOk();
        });
}

// The testing face finds what is in front: the reader itself and its viewer, and neither while
// a box stands over the reader.
TEST_F(PoemViewTest, TheTestingFaceFindsTheReaderAndItsViewerOnlyWhileTheyAreInFront) {
    CPoemViewDlg reader(Record(0));
    m_driver.Run([&] { reader.DoModal(); },
                 [&](CScript& s) {
                     ASSERT_TRUE(s.WaitForScreen(IDD_POEMVIEW));
                     ASSERT_TRUE(WaitForPage(s, reader));
                     const auto front = [&] {
                         return std::pair(UiTesting::FrontWindowObject(),
                                          UiTesting::FrontHtmlView());
                     };
                     const std::pair<CWindowObject*, HWND> shown(&reader, reader.m_hwndHtml);
                     EXPECT_EQ(s.OnGui(front), shown);
                     s.Do([] { AfxMessageBox(u"盒子"); });
                     ASSERT_TRUE(s.WaitForBox());
                     EXPECT_EQ(s.OnGui(front), (std::pair<CWindowObject*, HWND>(nullptr, nullptr)));
                     EXPECT_EQ(s.FrontBox()->text, CString(u"盒子"));
                     s.AnswerBox();
                     ASSERT_TRUE(s.WaitForScreen(IDD_POEMVIEW));
                     EXPECT_EQ(s.OnGui(front), shown);
                     s.PressOk();
                 });
}

TEST_F(PoemViewTest, OkStopsTheMusicAndCancelLeavesItForTheNextReaderToStop) {
    std::vector<CRecordingSound::Call> afterCancel;
    m_driver.Run(
        [&] {
            CPoemViewDlg first(Record(0));
            first.DoModal();
            afterCancel = m_sound.m_calls;
            g_strBackMusic = u"sound5.wav"; // a later choice does not interrupt the music
            CPoemViewDlg second(Record(1));
            second.DoModal();
        },
        [&](CScript& s) {
            ASSERT_TRUE(s.WaitForScreen(IDD_POEMVIEW));
            s.PressEscape();
            ASSERT_TRUE(s.WaitUntil([&] { return m_sound.m_calls.size() == 2; }));
            ASSERT_TRUE(s.WaitForScreen(IDD_POEMVIEW));
            EXPECT_EQ(s.OnGui([&] { return m_sound.m_strPlaying; }), g_strAppPath + u"sound1.wav");
            s.PressOk();
        });
    const CString music = CString::FromUtf8(m_folder.Folder()) + u"sound1.wav";
    ASSERT_EQ(afterCancel.size(), 1u);
    EXPECT_EQ(afterCancel[0].name, music);
    EXPECT_EQ(afterCancel[0].flags, kPlayFlags);
    EXPECT_EQ(kPlayFlags, 0x20019u);
    ASSERT_EQ(m_sound.m_calls.size(), 3u);
    EXPECT_EQ(m_sound.m_calls[1].name, CString::FromUtf8(m_folder.Folder()) + u"sound5.wav");
    EXPECT_EQ(m_sound.m_calls[1].flags, kPlayFlags);
    EXPECT_TRUE(m_sound.m_calls[2].stop);
    EXPECT_EQ(m_sound.m_calls[2].flags, kStopFlags);
    EXPECT_EQ(kStopFlags, 0x22009u);
    EXPECT_TRUE(m_sound.m_strPlaying.IsEmpty());
}

TEST_F(PoemViewTest, WithoutAViewerTheWindowStaysEmptyWhileTheMusicPlays) {
    for (const auto failure :
         {UiTesting::HtmlViewFailure::Init, UiTesting::HtmlViewFailure::Create}) {
        SCOPED_TRACE(static_cast<int>(failure));
        UiTesting::SetHtmlViewFailure(failure);
        m_sound.m_calls.clear();
        CPoemViewDlg reader(Record(1));
        m_driver.Run([&] { reader.DoModal(); },
                     [&](CScript& s) {
                         ASSERT_TRUE(s.WaitForScreen(IDD_POEMVIEW));
                         s.Paint();
                         // Painting still composes the page; there is nobody to give it to.
                         EXPECT_TRUE(s.WaitUntil([&] { return !reader.m_strPage.IsEmpty(); }));
                         EXPECT_EQ(s.OnGui([&] { return reader.m_hwndHtml; }), nullptr);
                         EXPECT_FALSE(s.Exists(0));
                         EXPECT_EQ(s.OnGui([&] { return m_sound.m_strPlaying; }),
                                   g_strAppPath + u"sound1.wav");
                         s.PressOk();
                     });
        EXPECT_TRUE(m_messages.empty());
        EXPECT_TRUE(m_sound.m_strPlaying.IsEmpty());
    }
}

TEST_F(PoemViewTest, MarkupInAPoemRunsNoScriptAndFetchesNothing) {
    CListeningSocket server;
    InstallLibrary(nullptr);
    const std::string image = "<img src=\"" + server.Url("/picture.png") + "\">";
    const std::string script = "<script>document.write('脚本运行了')</script>";
    const std::string link = "<a href=\"" + server.Url("/page.htm") + "\">外面</a>";
    OpenLibrary({{"标记" + image, "某人", "唐代", "五言绝句", script + "第一句" + link}});
    CPoemViewDlg reader(Record(0));
    m_driver.Run([&] { reader.DoModal(); },
                 [&](CScript& s) {
                     ASSERT_TRUE(s.WaitForScreen(IDD_POEMVIEW));
                     ASSERT_TRUE(WaitForPage(s, reader));
                     s.SaveScreenshot(Screenshot("reader-markup.png")); // lays out and paints
                     const HtmlViewState state = ViewOf(s, reader);
                     EXPECT_NE(state.text.Find(u"第一句"), -1);
                     EXPECT_EQ(state.text.Find(u"脚本运行了"), -1);
                     EXPECT_EQ(state.text.Find(u"document.write"), -1);
                     EXPECT_GE(state.refusedRequests, 1); // the picture was asked for, not fetched
                     // A link off the machine is ignored: the poem stays.
                     EXPECT_TRUE(s.OnGui([&] {
                         return UiTesting::ClickHtmlLink(
                             reader.m_hwndHtml, CString::FromUtf8(server.Url("/page.htm")));
                     }));
                     s.Sync();
                     const HtmlViewState after = ViewOf(s, reader);
                     EXPECT_EQ(after.page, reader.m_strPage);
                     EXPECT_TRUE(after.file.IsEmpty());
                     s.PressOk();
                 });
    EXPECT_FALSE(server.WasContacted());
}

TEST_F(PoemViewTest, ThePageShowsOverTheChosenBackgroundPicture) {
    CopyFromProgramFolder("bgpic27.jpg");
    CopyFromProgramFolder("bgpic8.jpg");
    std::vector<COLORREF> corners;
    for (const std::string picture : {"bgpic27", "bgpic8"}) {
        g_strBackPicture = CString::FromUtf8(picture + ".jpg");
        CPoemViewDlg reader(Record(0));
        m_driver.Run([&] { reader.DoModal(); },
                     [&](CScript& s) {
                         ASSERT_TRUE(s.WaitForScreen(IDD_POEMVIEW));
                         ASSERT_TRUE(WaitForPage(s, reader));
                         EXPECT_TRUE(ViewOf(s, reader).hasBackgroundPicture);
                         EXPECT_TRUE(s.SaveScreenshot(Screenshot("reader-" + picture + ".png")));
                         // Well below the short poem: the picture covers the whole viewer.
                         corners.push_back(s.ClientPixel(200, 280));
                         s.PressOk();
                     });
    }
    ASSERT_EQ(corners.size(), 2u);
    EXPECT_NE(corners[0], corners[1]);
    for (const COLORREF corner : corners) {
        EXPECT_NE(corner, RGB(255, 255, 255)); // not the viewer's own white
    }
}

} // namespace
