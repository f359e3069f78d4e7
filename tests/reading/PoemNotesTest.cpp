// The reader with a poem's notes: they follow the page as a piece of their own, and the page
// itself stays what it was.

#include "library/PoemNotes.h"
#include "reading/PoemViewDlg.h"
#include "reading/page/PoemPage.h"
#include "resources/ResourceIds.h"
#include "tests/reading/ReaderFixture.h"

#include <string>

using testing_support::CScript;

namespace {

const testing_support::TestPoem kPusaman{
    "菩萨蛮 其一", "温庭筠", "五代十国", "菩萨蛮",
    "小山重叠金明灭，鬓云欲度香腮雪。\r\n懒起画蛾眉，弄妆梳洗迟。\r\n"
    "照花前后镜，花面交相映。\r\n新帖绣罗襦，双双金鹧鸪。"};

PoemNotes PusamanNotes() {
    return {{},
            {u"1.小山--写女子的隔夜残妆。小山：女子画眉的式样之一。",
             u"2.鬓云欲度--鬓发撩乱如云，低垂下来。香腮雪：洁白如雪的香腮。",
             u"3.照花--对镜簪花。用前镜、后镜对照以瞻顾后影。",
             u"4.双双--罗襦上用金线绣的成双的鹧鸪鸟。反衬自身孤独。"}};
}

class PoemNotesViewTest : public ReaderTest {
protected:
    // Writes the notes of the library's records, the first poem's first.
    void WriteNotes(const std::vector<PoemNotes>& notes) {
        CNotesWriter writer;
        for (std::size_t i = 0; i < notes.size(); ++i) {
            const PoemRecord& record = *Record(static_cast<int>(i));
            CString text;
            g_pLibrary->ReadText(&record, text);
            writer.Add(record, text, notes[i]);
        }
        std::string error;
        ASSERT_TRUE(writer.Write(m_folder.Path() / "kavro.notes", error)) << error;
    }

    static bool WaitForShown(CScript& s, CPoemViewDlg& reader, const CString& shown) {
        return s.WaitUntil([&] {
            return reader.m_hwndHtml != nullptr &&
                   UiTesting::HtmlView(reader.m_hwndHtml).page == shown;
        });
    }
};

TEST_F(PoemNotesViewTest, NotesFollowThePageInTheTextColourAndThePageStaysAsItWas) {
    OpenLibrary({kPusaman, {"春晓", "孟浩然", "唐代", "五言绝句", "春眠不觉晓，处处闻啼鸟。"}});
    WriteNotes({PusamanNotes(), {}});
    g_strTextColor = u"F3EBDD";
    CopyFromProgramFolder("bgpic27.jpg");
    for (const int zoom : {1, 2}) {
        CPoemViewDlg reader(Record(0));
        m_driver.SetZoom(zoom);
        m_driver.Run([&] { reader.DoModal(); },
                     [&](CScript& s) {
                         ASSERT_TRUE(s.WaitForScreen(IDD_POEMVIEW));
                         const CString notes = NotesToHtml(PusamanNotes(), u"F3EBDD");
                         ASSERT_TRUE(s.WaitUntil([&] { return !reader.m_strPage.IsEmpty(); }));
                         ASSERT_TRUE(WaitForShown(s, reader, reader.m_strPage + notes));
                         // The page is the one the reader composes for any poem, notes or none.
                         EXPECT_EQ(reader.m_strPage,
                                   ComposePoemPage(*g_pLibrary, *Record(0), CurrentPageSettings()));
                         EXPECT_EQ(reader.m_strPage.Find(u"小山--"), -1);
                         EXPECT_NE(notes.Find(u"<font size=3 color=#F3EBDD>1.小山--"), -1);
                         const auto text = s.OnGui([&] {
                             UiTesting::FlushHtmlView(reader.m_hwndHtml);
                             return UiTesting::HtmlView(reader.m_hwndHtml).text;
                         });
                         // Below the poem, in the source's order.
                         const int poem = text.Find(u"双双金鹧鸪");
                         const int first = text.Find(u"1.小山--写女子的隔夜残妆");
                         const int last = text.Find(u"4.双双--罗襦上用金线绣");
                         EXPECT_NE(poem, -1);
                         EXPECT_LT(poem, first);
                         EXPECT_LT(first, last);
                         EXPECT_TRUE(s.SaveScreenshot(
                             Screenshot("reader-notes-z" + std::to_string(zoom) + ".png")));
                         s.PressOk();
                     });
    }
    // A poem without notes gets the page alone: one piece, then its end. (A new viewer may have
    // the handle of one before it, so the messages counted are this reader's alone.)
    m_messages.clear();
    CPoemViewDlg reader(Record(1));
    m_driver.Run([&] { reader.DoModal(); },
                 [&](CScript& s) {
                     ASSERT_TRUE(s.WaitForScreen(IDD_POEMVIEW));
                     ASSERT_TRUE(s.WaitUntil([&] { return !reader.m_strPage.IsEmpty(); }));
                     ASSERT_TRUE(WaitForShown(s, reader, reader.m_strPage));
                     const auto messages = s.OnGui(
                         [&] { return MessagesOf(reader.m_hwndHtml, DTM_ADDTEXTW).size(); });
                     const auto ends = s.OnGui(
                         [&] { return MessagesOf(reader.m_hwndHtml, DTM_ENDOFSOURCE).size(); });
                     EXPECT_EQ(messages, ends);
                     s.PressOk();
                 });
}

TEST_F(PoemNotesViewTest, TheNotesBreakAsProseWhileThePoemKeepsItsVerses) {
    // A short clause and one that would fit a line alone, but not beside it: kept as verses they
    // would stand on two lines; as prose the first line is filled through the second clause.
    const CString note = u"甲乙丙丁：春眠不觉晓处处闻啼鸟夜来风雨声";
    OpenLibrary({kPusaman});
    WriteNotes({{{}, {note}}});
    UseDarkTextOnWhite();
    for (const int zoom : {1, 2}) {
        CPoemViewDlg reader(Record(0));
        m_driver.SetZoom(zoom);
        m_driver.Run(
            [&] { reader.DoModal(); },
            [&](CScript& s) {
                ASSERT_TRUE(s.WaitForScreen(IDD_POEMVIEW));
                ASSERT_TRUE(s.WaitUntil([&] { return !reader.m_strPage.IsEmpty(); }));
                ASSERT_TRUE(WaitForShown(
                    s, reader, reader.m_strPage + NotesToHtml({{}, {note}}, g_strTextColor)));
                const auto state = s.OnGui([&] {
                    UiTesting::FlushHtmlView(reader.m_hwndHtml);
                    return UiTesting::HtmlView(reader.m_hwndHtml);
                });
                EXPECT_TRUE(state.keepVerses);
                bool poemKept = false;
                bool noteFound = false;
                for (const auto& line : state.lines) {
                    poemKept = poemKept || line.text.Find(u"照花前后镜，花面交相映。") == 0;
                    if (line.text.Find(u"甲乙丙丁：") == 0) {
                        noteFound = true;
                        EXPECT_GT(line.text.GetLength(), 5) << line.text.ToUtf8();
                    }
                }
                EXPECT_TRUE(poemKept);
                EXPECT_TRUE(noteFound);
                s.PressOk();
            });
    }
}

} // namespace
