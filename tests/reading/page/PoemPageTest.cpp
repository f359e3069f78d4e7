#include "reading/page/PoemPage.h"
#include "tests/library/LibraryFixture.h"

namespace {

using testing_support::TestPoem;

class PoemPageTest : public LibraryTest {
protected:
    CString Page(const TestPoem& poem) {
        Write({poem});
        auto library = Open();
        return ComposePoemPage(*library, library->GetRecords()[0], CurrentPageSettings());
    }
    static int Count(const CString& page, std::u16string_view piece) {
        int count = 0;
        for (int at = page.Find(piece); at != -1; at = page.Find(piece, at + 1)) {
            ++count;
        }
        return count;
    }
};

TEST_F(PoemPageTest, WholeDocumentPieceForPiece) {
    const CString page =
        Page({"静夜思", "李白", "唐代", "五言绝句", "床前明月光，\r\n疑是地上霜。"});
    const CString expected =
        CString(u"<html><head><meta http-equiv=\"Content-Type\" content=\"text/html; "
                u"charset=GB2312\"><title>Qinvara</title></head><body background=\"file://") +
        g_strAppPath +
        u"bgpic27.jpg\" ><table align=left border=0 width=480 ><tr><td align=left><table "
        u"border=0 align=left><tr><td align=left height=9 ><font size=3 "
        u"color=#FFFFFF>五言绝句</font><br></td></tr><tr><td align=center ><b><font size=5 "
        u"color=#FFFFFF>静夜思</font></b><br></td></tr><tr><td align=right height=9 ><font "
        u"size=3 color=#FFFFFF>唐代·李白</font><br></td></tr><tr><td align=right height=9 "
        u">&nbsp;&nbsp;</td></tr></table></td></tr><tr><td align=left valign=top><font size=4 "
        u"color=#FFFFFF>床前明月光，\r<br>疑是地上霜。</font><br></td></tr></table></body></html>";
    EXPECT_EQ(page, expected);
    EXPECT_EQ(g_strAppPath.Right(1), u"/"); // folder and picture meet with nothing between
}

TEST(TextToHtml, LineFeedsBreakTabsVanishTheRestStays) {
    EXPECT_EQ(TextToHtml(u"a\r\nb"), u"a\r<br>b");
    EXPECT_EQ(TextToHtml(u"a\tb"), u"ab");
    EXPECT_EQ(TextToHtml(u"\n\n"), u"<br><br>");
    EXPECT_EQ(TextToHtml(u"<b>&amp;</b>"), u"<b>&amp;</b>");
    EXPECT_EQ(TextToHtml(u""), u"");
}

TEST_F(PoemPageTest, EmptyTextAndUnescapedFields) {
    const CString page = Page({"<春 & 晓>", "a&b", "", "", ""});
    EXPECT_NE(page.Find(u"<font size=4 color=#FFFFFF></font><br>"), -1);
    EXPECT_NE(page.Find(u"color=#FFFFFF><春 & 晓></font></b>"), -1);
    EXPECT_NE(page.Find(u"color=#FFFFFF>·a&b</font>"), -1);
    EXPECT_EQ(Count(page, u"color=#FFFFFF"), 4);
}

TEST_F(PoemPageTest, EachSettingChangesOnlyItsOwnPiece) {
    const TestPoem poem{"春晓", "孟浩然", "唐代", "五言绝句", "春眠不觉晓"};
    const CString before = Page(poem);
    EXPECT_EQ(Page(poem), before); // composing again gives the same page

    g_strTitleColor = u"ff0000";
    const CString titled = Page(poem);
    EXPECT_NE(titled.Find(u"<b><font size=5 color=#ff0000>春晓"), -1);
    EXPECT_EQ(Count(titled, u"color=#FFFFFF"), 3);
    EXPECT_EQ(titled.GetLength(), before.GetLength());

    g_strTextColor = u"123456";
    g_strAuthorColor = u"abcdef";
    g_strFormColor = u"000000";
    g_strBackPicture = u"bgpic5.jpg";
    const CString all = Page(poem);
    EXPECT_NE(all.Find(u"<font size=4 color=#123456>春眠不觉晓"), -1);
    EXPECT_NE(all.Find(u"<font size=3 color=#abcdef>唐代·孟浩然"), -1);
    EXPECT_NE(all.Find(u"<font size=3 color=#000000>五言绝句"), -1);
    EXPECT_NE(all.Find((g_strAppPath + u"bgpic5.jpg\" >").view()), -1);
}

// The page is made of the value it is given, whatever the shared settings say.
TEST_F(PoemPageTest, ThePageTakesTheSettingsItIsGivenNotTheSharedOnes) {
    Write({{"春晓", "孟浩然", "唐代", "五言绝句", "春眠不觉晓"}});
    auto library = Open();
    PageSettings settings;
    settings.programFolder = u"/elsewhere/";
    settings.backPicture = u"bgpic3.jpg";
    settings.titleColor = u"00ff00";
    settings.textColor = u"0000ff";
    const CString page = ComposePoemPage(*library, library->GetRecords()[0], settings);
    EXPECT_NE(page.Find(u"background=\"file:///elsewhere/bgpic3.jpg\" >"), -1);
    EXPECT_NE(page.Find(u"<b><font size=5 color=#00ff00>春晓"), -1);
    EXPECT_NE(page.Find(u"<font size=4 color=#0000ff>春眠不觉晓"), -1);
    EXPECT_EQ(page.Find(g_strAppPath.view()), -1);
    EXPECT_EQ(Count(page, u"color=#FFFFFF"), 2); // the form and the author line, as they start
}

// A new value holds what every start begins with, and the shared settings start from it.
TEST(PageSettingsTest, TheSharedSettingsStartAsANewValueAndAreReadAsTheyAreNow) {
    ResetSettings();
    EXPECT_EQ(CurrentPageSettings(), PageSettings{});
    EXPECT_EQ(PageSettings{}.backPicture, g_strBackPicture);
    g_strAppPath = u"/opt/lomeva/";
    g_strAuthorColor = u"abcdef";
    const PageSettings now = CurrentPageSettings();
    EXPECT_EQ(now.programFolder, CString(u"/opt/lomeva/"));
    EXPECT_EQ(now.authorColor, CString(u"abcdef"));
    EXPECT_EQ(now.titleColor, PageSettings{}.titleColor);
    ResetSettings();
}

} // namespace

namespace {

TEST(NotesToHtml, TheNotesFollowInTheTextColourEscapedOneALine) {
    EXPECT_TRUE(NotesToHtml(PoemNotes(), u"FFFFFF").IsEmpty());
    const CString html =
        NotesToHtml(PoemNotes{u"长题<全>", {u"1.a&b--甲", u"2.<i>乙</i>"}}, u"F3EBDD");
    EXPECT_EQ(html,
              CString(u"<table align=left border=0 width=480 ><tr><td align=left "
                      u"valign=top><font size=3 color=#F3EBDD>原题：长题&lt;全&gt;<br>"
                      u"1.a&amp;b--甲<br>2.&lt;i&gt;乙&lt;/i&gt;<br></font></td></tr></table>"));
}

TEST_F(PoemPageTest, APoemsNotesComeFromTheNotesFileAndItsPageStaysTheSame) {
    const testing_support::TestPoem poem{"静夜思", "李白", "唐代", "五言绝句", "床前明月光"};
    const CString bare = Page(poem);
    auto library = Open();
    const PoemRecord& record = library->GetRecords()[0];
    EXPECT_TRUE(ComposePoemNotes(*library, record, CurrentPageSettings()).IsEmpty());
    CNotesWriter writer;
    writer.Add(record, CString(u"床前明月光"), PoemNotes{{}, {u"床--井栏。"}});
    std::string error;
    ASSERT_TRUE(writer.Write(m_folder.File("kavro.notes"), error)) << error;
    EXPECT_EQ(ComposePoemPage(*library, record, CurrentPageSettings()), bare);
    EXPECT_EQ(ComposePoemNotes(*library, record, CurrentPageSettings()),
              NotesToHtml(PoemNotes{{}, {u"床--井栏。"}}, g_strTextColor));
}

} // namespace
