// What `poemlib import` mends in the collection's texts, kind by kind, over small sources of our
// own in its layouts; and the notes file that import writes, export and import carry, show and
// page print, and check validates.

#include "tests/common/Process.h"
#include "tests/common/TestLibrary.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

namespace {

namespace fs = std::filesystem;
using testing_support::ProcessResult;
using testing_support::ReadFile;
using testing_support::RunProcess;
using testing_support::TempFolder;
using testing_support::WriteFile;

const std::string kFixtures = LOMEVA_SOURCE_DIR "/tests/poemlib/fixtures/mends/";

class ImportMendsTest : public ::testing::Test {
protected:
    ProcessResult Poemlib(std::vector<std::string> args) { return RunProcess(POEMLIB_PATH, args); }
    std::string Lib(const std::string& name = "t") const { return m_folder.File(name + ".idx"); }
    // Imports one fixture into a new library and returns the import's report.
    nlohmann::json Import(const std::string& fixture, const std::string& kind,
                          const std::string& name = "t") {
        EXPECT_EQ(Poemlib({"create", Lib(name), "--name", "测试", "--author", "t", "--version",
                           "1.0.0", "--date", "2026-01-01"})
                      .exitCode,
                  0);
        const std::string report = m_folder.File(name + ".report.json");
        const auto r = Poemlib({"import", Lib(name), kFixtures + fixture, "--kind", kind,
                                "--dynasty", "唐代", "--report", report});
        EXPECT_EQ(r.exitCode, 0) << r.err;
        EXPECT_EQ(Poemlib({"check", Lib(name)}).out, "");
        return nlohmann::json::parse(ReadFile(report));
    }
    std::string Show(int n, const std::string& name = "t") {
        return Poemlib({"show", Lib(name), std::to_string(n)}).out;
    }
    std::string List(const std::string& name = "t") { return Poemlib({"list", Lib(name)}).out; }

    TempFolder m_folder;
};

TEST_F(ImportMendsTest, NotesAndReadingsLeaveTheVersesOfAShiAndItsShapeIsRead) {
    const auto report = Import("shi.json", "shi");
    EXPECT_EQ(List(), "1\t短歌行\t曹操\t唐代\t四言\n"
                      "2\t秋雨叹\t杜甫\t唐代\t七言律诗\n"
                      "3\t游南雁荡\t路应\t唐代\t七言绝句\n"
                      "4\t过白起墓\t曹邺\t唐代\t五言绝句\n"
                      "5\t联句\t浙东众诗人\t唐代\t五言绝句\n"
                      "6\t杂诗\t无名氏\t唐代\t五言绝句\n"
                      "7\t重酬前寄\t刘禹锡\t唐代\t七言律诗\n"
                      "8\t琉璃瓶歌\t张耒\t唐代\t七言古诗\n"
                      "9\t小星\t无名氏\t唐代\t四言\n"
                      "10\t鹿柴\t王维\t唐代\t五言绝句\n"
                      "11\t大寒早行\t石介\t唐代\t五言古诗\n"
                      "12\t分柑子歌\t无名氏\t唐代\t七言古诗\n");
    // A reading that names its words, at the end of a line: the verse without it.
    EXPECT_EQ(Show(1), "明明如月，何时可掇？\r\n忧从中来，不可断绝。\r\n越陌度阡，枉用相存。\r\n"
                       "契阔谈讌，心念旧恩。\n\n明明 一作：佼佼\n");
    // Readings inside a verse name the characters they would replace.
    EXPECT_EQ(Show(2), "阑风长雨秋纷纷，四海八荒同一云。\r\n去马来牛不复辨，浊泾清渭何当分。\r\n"
                       "禾头生耳黍穗黑，农夫田妇无消息。\r\n城中斗米换衾裯，相许宁论两相直。\n\n"
                       "阑风长雨（一作「东风细雨」）\n妇（一作「父」）\n");
    // Editors' notes, one across two lines; the line left with "）。" goes.
    EXPECT_EQ(Show(3), "雁荡峰高岂易梯，筇鞋极处与天齐。\r\n蟾宫隐隐步将到，日驾亭亭手可提。\n\n"
                       "见《南雁荡山志》\n按：路应诗及小传皆承张靖同志录示。\n");
    // The editor's characters are the text's; a guess for a missing character takes its place.
    EXPECT_EQ(Show(4), "夷陵火焰灭，长平生气低。\r\n将军临老病，赐剑见眦西。");
    // The poets of a linked verse, with the couplet each wrote.
    EXPECT_EQ(Show(5), "常愿山水游，灵奇赏皆遍。\r\n云端访潭洞，林下征茂彦。\n\n"
                       "常愿山水游，灵奇赏皆遍。（贾弇）\n云端访潭洞，林下征茂彦。（严维）\n");
    // A bit of a web page's markup, split by the source at its "。", stood for nothing.
    EXPECT_EQ(Show(11), "几处炉爣炭，何人坐有毡。");
    EXPECT_EQ(report["mended"]["webText"], 1);
    // A footnote's mark stays and a described character counts once.
    EXPECT_EQ(Show(6), "宁知猗[一]梧凤，亦欲此栖宿。\r\n疲{艹/尔}竟何人，洒涕巴东峡。");
    // Notes in a row after a verse's comma, and the stop after them that the verse has no use for.
    EXPECT_EQ(Show(12), "今朝楼下柑初熟，摘得一筐分不足。\r\n就中小女有所翳，\n\n"
                        "今朝楼下柑（甘）\n就中小女有所翳，（下缺）\n同上《歌行》\n");
    EXPECT_EQ(report["notes"]["fromVerses"], 10);
    EXPECT_EQ(report["mended"]["notesMoved"], 10);
    EXPECT_EQ(report["mended"]["editorialBrackets"], 3);
    EXPECT_EQ(report["mended"]["strayMarks"], 3);
    // A record of nothing but a stop, and one of nothing but an editor's note, are no poems.
    EXPECT_EQ(report["leftOut"]["textless"], 2);
    EXPECT_EQ(report["notes"]["poems"], 5);
}

TEST_F(ImportMendsTest, CoupletsArePairedByTheSourcesSentences) {
    const auto report = Import("shi.json", "shi");
    // Stops that stand a verse off are moved onto the verses they belong to.
    EXPECT_EQ(Show(7), "边烽寂寂尽收兵，宫树苍苍静掩扃。\r\n戎羯归心如内地，天狼无角比凡星。\r\n"
                       "新成丽句开缄后，便入清歌满坐听。\r\n吴苑晋祠遥望处，可怜南北太相形。");
    EXPECT_EQ(report["mended"]["shiftedStops"], 1);
    // An odd verse stands alone, and the couplets after it stay couplets.
    EXPECT_EQ(Show(8), "长彗下扫千里惊，浅洲一席块为城。\r\n蛮儿夷女奇弁缨。\r\n"
                       "大舶映天日百程，怒帆吼风战飞鹏。");
    // A stanza's end ends a line; its odd sentence stands alone in it.
    EXPECT_EQ(Show(9), "嘒彼小星，三五在东。\r\n肃肃宵征，夙夜在公。\r\n寔命不同！\r\n"
                       "嘒彼小星，维参与昴。\r\n肃肃宵征，抱衾与裯。\r\n寔命不犹！");
    // ASCII punctuation among Chinese is made full-width first.
    EXPECT_EQ(Show(10), "空山不见人，但闻人语响，\r\n返景入深林，复照青苔上。");
    EXPECT_EQ(report["mended"]["asciiPunctuation"], 4);
}

TEST_F(ImportMendsTest, JunkGoesAndAQusVerseComesOutOfItsTitle) {
    const auto report = Import("qu.json", "qu");
    EXPECT_EQ(List(), "1\t幺·柔肠脉脉\t无名氏\t唐代\t幺\n"
                      "2\t尾·展放征旗任谁走\t关汉卿\t唐代\t尾\n"
                      "3\t双调·蟾宫曲\t刘秉忠\t唐代\t蟾宫曲\n"
                      "4\t后庭花\t王大学士\t唐代\t后庭花\n");
    // The source cut the title at 32 characters and went on in the text.
    EXPECT_EQ(Show(1), "柔肠脉脉，新愁千万叠。\r\n偶记年前人乍别，秦台玉箫声断绝。\r\n"
                       "雁底关河，马头明月。");
    EXPECT_EQ(Show(2), "展放征旗任谁走，庙算神谟必应口。\r\n一管笔在手，敢搦孙吴兵斗。");
    // A web page's headers, and its code for a character it could not show.
    EXPECT_EQ(Show(3), "冬景寂寥，浩然踏雪，散诞逍遥。");
    EXPECT_EQ(Show(4), "一个瓦□衮罢合掂，（云）泥窝窝破合添。");
    EXPECT_EQ(report["mended"]["versesFromTitles"], 2);
    EXPECT_EQ(report["mended"]["webText"], 1);
    EXPECT_EQ(report["mended"]["placeholders"], 1);
    EXPECT_EQ(report["mended"]["asciiPunctuation"], 2);
    EXPECT_EQ(report["leftOut"]["textless"], 1); // a tune's name, and nothing else
}

TEST_F(ImportMendsTest, ACisBlankLinesAndASCIIMarksAreMendedAndItsNotesKept) {
    const auto report = Import("ci.json", "ci");
    // The blank last line (a no-break space) goes; the stanza's end stays, empty.
    EXPECT_EQ(Show(1),
              "出郭寻春春已阑（陈维崧），东风吹面不成寒（秦松龄）\r\n\r\n谁家今夜扁舟子？");
    EXPECT_EQ(Show(2),
              "小山重叠金明灭，鬓云欲度香腮雪。\n\n1.小山--眉式。\n2.香腮雪--洁白，如雪的香腮。\n");
    EXPECT_EQ(report["mended"]["blankLines"], 2);
    EXPECT_EQ(report["mended"]["asciiPunctuation"], 6);
    EXPECT_EQ(report["notes"]["fromSource"], 2);
    // The page the reader composes is followed by the notes, as the reader hands them over.
    const std::string page = Poemlib({"page", Lib(), "2"}).out;
    const auto notes = page.find("</html><table align=left border=0 width=480 >");
    ASSERT_NE(notes, std::string::npos) << page;
    EXPECT_NE(page.find("<font size=3 color=#FFFFFF>1.小山--眉式。<br>", notes), std::string::npos);
    EXPECT_EQ(Poemlib({"page", Lib(), "1"}).out.find("</html><"), std::string::npos);
}

TEST_F(ImportMendsTest, CutTitlesKeepTheirEndAndStayDistinctTheWholeTitleInTheNotes) {
    const auto report = Import("titles.json", "shi");
    EXPECT_EQ(List(),
              "1\t竹溪直院盛称起予草堂诗之善暇日览之多有可恨者因效颦作十首… 其一\t刘克庄\t唐代\t"
              "五言古诗\n"
              "2\t竹溪直院盛称起予草堂诗之善暇日览之多有可恨者因效颦作十首… 其二\t刘克庄\t唐代\t"
              "五言绝句\n"
              "3\t熙宁壬子八月于洛阳妙觉寺考试举人及还道出嵩少之间至许昌…之作游记\t王安石\t唐代\t"
              "五言古诗\n"
              // the same last words: more of the end is kept
              "4\t熙宁壬子八月于洛阳妙觉寺考试举人及还道出嵩少之间至许…乙之作游记\t王安石\t唐代\t"
              "五言古诗\n");
    EXPECT_EQ(Show(1), "山中人自正，路险心亦平。\n\n原题：竹溪直院盛称起予草堂诗之善暇日览之多有"
                       "可恨者因效颦作十首亦前人 其一\n");
    EXPECT_EQ(report["titlesCut"], 4);
    EXPECT_EQ(report["notes"]["fullTitles"], 4);
    EXPECT_EQ(report["mended"]["titlesMadeDistinct"], 1);
    // The same text under another whole title is no duplicate, under the same one it is.
    const auto again = Poemlib({"import", Lib(), kFixtures + "titles.json", "--kind", "shi"});
    EXPECT_EQ(again.out, "added 0 poems, 4 duplicates left out\n") << again.err;
    EXPECT_EQ(report["leftOut"]["duplicates"], 0);
}

TEST_F(ImportMendsTest, ExportAndImportCarryTheNotesAndTheWholeTitles) {
    Import("shi.json", "shi");
    Poemlib({"import", Lib(), kFixtures + "titles.json", "--kind", "shi"});
    const auto exported = Poemlib({"export", Lib()});
    ASSERT_EQ(exported.exitCode, 0);
    const auto poems = nlohmann::json::parse(exported.out);
    EXPECT_EQ(poems[1]["notes"],
              nlohmann::json::array({"阑风长雨（一作「东风细雨」）", "妇（一作「父」）"}));
    EXPECT_FALSE(poems[3].contains("notes"));
    EXPECT_EQ(poems[12]["title"],
              "竹溪直院盛称起予草堂诗之善暇日览之多有可恨者因效颦作十首亦前人 其一");
    WriteFile(m_folder.File("export.json"), exported.out);
    ASSERT_EQ(Poemlib({"create", Lib("copy"), "--name", "测试", "--author", "t", "--version",
                       "1.0.0", "--date", "2026-01-01"})
                  .exitCode,
              0);
    ASSERT_EQ(Poemlib({"import", Lib("copy"), m_folder.File("export.json")}).exitCode, 0);
    // The same library, and the same notes file, byte for byte.
    for (const char* extension : {".idx", ".dat", ".notes"}) {
        EXPECT_EQ(ReadFile(m_folder.File(std::string("copy") + extension)),
                  ReadFile(m_folder.File(std::string("t") + extension)))
            << extension;
    }
    EXPECT_EQ(Poemlib({"export", Lib("copy")}).out, exported.out);
    // The text export shows the notes below each poem.
    EXPECT_NE(Poemlib({"export", Lib(), "--format", "text"})
                  .out.find("契阔谈讌，心念旧恩。\n\n明明 一作：佼佼\n\n"),
              std::string::npos);
}

TEST_F(ImportMendsTest, CheckFindsDamagedAndStaleNotesAndAPoemAddedLaterHasNone) {
    Import("ci.json", "ci");
    // A poem added later has no notes, and the notes of the others stand.
    ASSERT_EQ(RunProcess(POEMLIB_PATH, {"add", Lib(), "--title", "新", "--author", "某"}, "一行\n")
                  .exitCode,
              0);
    EXPECT_EQ(Poemlib({"check", Lib()}).exitCode, 0);
    EXPECT_EQ(Show(3), "一行\r\n");
    EXPECT_NE(Show(2).find("1.小山--眉式。"), std::string::npos);

    const std::string notesFile = m_folder.File("t.notes");
    const std::string sound = ReadFile(notesFile);
    WriteFile(notesFile, sound.substr(0, sound.size() - 2));
    auto r = Poemlib({"check", Lib()});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.out.find("t.notes: the notes of the text at"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("are damaged"), std::string::npos) << r.out;
    EXPECT_EQ(Show(2), "小山重叠金明灭，鬓云欲度香腮雪。"); // damaged notes are none

    // The poem's text changed under its notes: they are no poem's now.
    WriteFile(notesFile, sound);
    const std::string soundData = ReadFile(m_folder.File("t.dat"));
    std::string data = soundData;
    const auto at = data.find(testing_support::Gbk("小山"));
    data.replace(at, 4, testing_support::Gbk("大山"));
    WriteFile(m_folder.File("t.dat"), data);
    r = Poemlib({"check", Lib(), "--json"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.out.find("are no poem's"), std::string::npos) << r.out;
    EXPECT_EQ(Show(2), "大山重叠金明灭，鬓云欲度香腮雪。");

    // No notes file at all is no problem (the text back as it was, so that the search index
    // beside it describes it again).
    WriteFile(m_folder.File("t.dat"), soundData);
    fs::remove(notesFile);
    EXPECT_EQ(Poemlib({"check", Lib()}).exitCode, 0);
}

} // namespace
