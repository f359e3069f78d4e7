// poemlib end to end: the built program run in a temporary folder.

#include "library/SearchIndexFormat.h"
#include "platform/core/ProgramFiles.h"
#include "tests/common/Process.h"
#include "tests/common/TestLibrary.h"

#include <algorithm>
#include <cstring>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace {

using testing_support::Gbk;
using testing_support::ProcessResult;
using testing_support::ReadFile;
using testing_support::TempFolder;

class PoemlibTest : public ::testing::Test {
protected:
    ProcessResult Run(std::vector<std::string> args, const std::string& input = "") {
        return testing_support::RunProcess(POEMLIB_PATH, args, input);
    }
    std::string Lib(const std::string& name = "t") const { return m_folder.File(name + ".idx"); }
    void Create(const std::string& name = "t") {
        const auto r = Run({"create", Lib(name), "--name", "测试诗词", "--author", "编者",
                            "--version", "1.2.3", "--date", "2005-03-01"});
        ASSERT_EQ(r.exitCode, 0) << r.err;
    }
    void Add(const std::string& title, const std::string& author, const std::string& text,
             const std::string& form = "") {
        std::vector<std::string> args{"add", Lib(), "--title", title, "--author", author};
        if (!form.empty()) {
            args.insert(args.end(), {"--form", form});
        }
        const auto r = Run(args, text);
        ASSERT_EQ(r.exitCode, 0) << r.err;
    }

    TempFolder m_folder;
};

TEST_F(PoemlibTest, CreateAddAndReadBack) {
    Create();
    EXPECT_EQ(Run({"info", Lib()}).out,
              "测试诗词 诗词库\n1.2.3 版本  \n编者 作者  \n2005-03-01 时间  \n0 首诗词\n");
    Add("静夜思", "李白", "床前明月光\n疑是地上霜\n", "五言绝句");
    Add("无题", "佚名", "");
    EXPECT_EQ(Run({"info", Lib(), "--json"}).out,
              "{\"name\":\"测试诗词\",\"author\":\"编者\",\"version\":\"1.2.3\","
              "\"date\":\"2005-03-01\",\"count\":2}\n");
    EXPECT_EQ(Run({"list", Lib()}).out,
              "1\t静夜思\t李白\t现代\t五言绝句\n2\t无题\t佚名\t现代\t现代\n");
    // Line feeds from the terminal are stored as CR LF, as the add-poem screen stores them.
    EXPECT_EQ(Run({"show", Lib(), "1"}).out, "床前明月光\r\n疑是地上霜\r\n");
    EXPECT_EQ(Run({"show", Lib(), "2"}).out, "");
    const auto json = Run({"list", Lib(), "--json"}).out;
    EXPECT_NE(json.find("{\"n\":2,\"title\":\"无题\",\"author\":\"佚名\",\"dynasty\":\"现代\","
                        "\"form\":\"现代\",\"length\":1,\"offset\":"),
              std::string::npos)
        << json;
    const auto check = Run({"check", Lib()});
    EXPECT_EQ(check.exitCode, 0) << check.out;
    EXPECT_EQ(check.out, "");

    // The reader's page, with the start-up settings and LIB's folder as the program folder.
    const auto page = Run({"page", Lib(), "1"}).out;
    EXPECT_TRUE(page.starts_with("<html><head>")) << page;
    EXPECT_TRUE(page.ends_with("</table></body></html>")) << page;
    EXPECT_NE(page.find("background=\"file://" + m_folder.Folder() +
                        BackgroundPictureName(kDefaultBackgroundPicture) + "\" >"),
              std::string::npos);
    EXPECT_NE(page.find("床前明月光\r<br>疑是地上霜\r<br></font>"), std::string::npos);
}

TEST_F(PoemlibTest, SearchNumbersResultsByTheirPlaceInTheLibrary) {
    Create();
    Add("春晓", "孟浩然", "春眠不觉晓");
    Add("静夜思", "李白", "床前明月光");
    Add("春晓", "无名氏", "春眠不觉晓");
    EXPECT_EQ(Run({"search", Lib(), "title", "春"}).out,
              "1\t春晓\t孟浩然\t现代\t现代\n3\t春晓\t无名氏\t现代\t现代\n");
    EXPECT_EQ(Run({"search", Lib(), "text", "明月"}).out, "2\t静夜思\t李白\t现代\t现代\n");
    EXPECT_EQ(Run({"search", Lib(), "author", "杜甫"}).out, "");
    EXPECT_EQ(Run({"show", Lib(), "0"}).exitCode, 2);
    EXPECT_EQ(Run({"show", Lib(), "4"}).exitCode, 2);
    EXPECT_EQ(Run({"search", Lib(), "dynasty", ""}).out.size(), Run({"list", Lib()}).out.size());
    const auto wrong = Run({"search", Lib(), "poet", "x"});
    EXPECT_EQ(wrong.exitCode, 2);
    EXPECT_NE(wrong.err.find("usage: poemlib search"), std::string::npos);
}

TEST_F(PoemlibTest, RefusesWhatCannotBeStoredAndWritesNothing) {
    Create();
    const std::string index = ReadFile(Lib());
    const auto longTitle = Run({"add", Lib(), "--title", std::string(65, 'x'), "--author", "a"});
    EXPECT_EQ(longTitle.exitCode, 1);
    EXPECT_EQ(longTitle.err, "标题太长：最多 32 个汉字或 64 个英文字母。\n");
    const auto longAuthor = Run({"add", Lib(), "--title", "t", "--author", "九个字的作者名字啊"});
    EXPECT_EQ(longAuthor.exitCode, 1);
    EXPECT_NE(longAuthor.err.find("作者"), std::string::npos);
    EXPECT_EQ(ReadFile(Lib()), index);
    EXPECT_EQ(ReadFile(m_folder.File("t.dat")), "");

    const auto again = Run({"create", Lib(), "--name", "n", "--author", "a", "--version", "1.0.0",
                            "--date", "2024-01-01"});
    EXPECT_EQ(again.exitCode, 1);
    EXPECT_EQ(ReadFile(Lib()), index);
}

TEST_F(PoemlibTest, MessagesOnceAndExitCodes) {
    // The library's own message, once, and no second line from the tool.
    const auto missing = Run({"info", Lib("missing")});
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_EQ(missing.err, "无法访问文件“" + Lib("missing") + "”：文件不存在。\n");

    // A failure without a message of its own gets one line from the tool.
    Create();
    Add("a", "b", "c");
    std::string index = ReadFile(Lib());
    index.resize(index.size() - 1);
    testing_support::WriteFile(Lib(), index);
    const auto shortRead = Run({"list", Lib()});
    EXPECT_EQ(shortRead.exitCode, 1);
    EXPECT_EQ(std::count(shortRead.err.begin(), shortRead.err.end(), '\n'), 1);
    EXPECT_NE(shortRead.err.find("fewer records"), std::string::npos);

    EXPECT_EQ(Run({}).exitCode, 2);
    EXPECT_EQ(Run({"frobnicate"}).exitCode, 2);
    EXPECT_EQ(Run({"info"}).exitCode, 2);
    EXPECT_EQ(Run({"info", m_folder.File("t.txt")}).exitCode, 2);
    EXPECT_EQ(Run({"create", Lib("u"), "--name", "n", "--author", "a", "--version", "1.100.0",
                   "--date", "2024-01-01"})
                  .exitCode,
              2);
    const auto help = Run({"--help"});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_NE(help.out.find("poemlib check LIB"), std::string::npos);
    for (const char* command :
         {"info", "list", "search", "show", "page", "add", "create", "check", "import", "export"}) {
        const auto r = Run({command, "--help"});
        EXPECT_EQ(r.exitCode, 0) << command;
        EXPECT_NE(r.out.find(std::string("usage: poemlib ") + command), std::string::npos);
    }
}

// Long output goes out past the C library's buffer, short output through it: both keep their
// order, and output that cannot be written (a full disk) fails, said once, whichever way it went.
TEST_F(PoemlibTest, OutputKeepsItsOrderAndOutputThatCannotBeWrittenFails) {
    std::vector<testing_support::TestPoem> poems;
    for (int i = 0; i < 3000; ++i) {
        poems.push_back({"题" + std::to_string(i), "李白", "唐代", "五言绝句", "床前明月光"});
    }
    testing_support::WriteLibrary(m_folder, "a",
                                  {{"题甲", "杜甫", "唐代", "五言律诗", "国破山河在"}});
    testing_support::WriteLibrary(m_folder, "t", poems);
    // The first library's one line waits in the buffer when the second's pieces go out.
    const auto found = Run({"search", m_folder.Path().string(), "title", "题"});
    ASSERT_EQ(found.exitCode, 0) << found.err;
    EXPECT_GT(found.out.size(), 64u * 1024);
    EXPECT_EQ(std::count(found.out.begin(), found.out.end(), '\n'), 3001);
    EXPECT_NE(found.out.substr(0, found.out.find('\n')).find("\t1\t题甲\t杜甫"), std::string::npos);
    EXPECT_NE(found.out.find("\t2999\t题2998\t"), std::string::npos);
    const std::string last = found.out.substr(found.out.rfind('\n', found.out.size() - 2) + 1);
    EXPECT_NE(last.find("\t3000\t题2999\t李白"), std::string::npos) << last;

    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"list", Lib()}, {"info", Lib()}, {"--help"}}) {
        std::vector<std::string> shell{"-c", "exec \"$0\" \"$@\" >/dev/full", POEMLIB_PATH};
        shell.insert(shell.end(), args.begin(), args.end());
        const auto full = testing_support::RunProcess("/bin/sh", shell);
        EXPECT_EQ(full.exitCode, 1) << args[0];
        EXPECT_EQ(full.err, "poemlib: cannot write the output: No space left on device\n")
            << args[0];
    }
}

// Many lines come from the names the search index keeps: the same lines the records give, and
// where an entry of theirs is damaged, its piece comes from the records after all.
TEST_F(PoemlibTest, ManyLinesFromTheIndexsNamesAreTheRecordsLinesEvenWhereAnEntryIsDamaged) {
    std::vector<testing_support::TestPoem> poems;
    for (int i = 0; i < 5000; ++i) {
        poems.push_back({"题" + std::to_string(i), i % 3 == 0 ? "李白" : "杜甫", "唐代",
                         i % 2 == 0 ? "五言绝句" : "", "床前明月光"});
    }
    testing_support::WriteLibrary(m_folder, "t", poems);
    const auto fromRecords = Run({"search", Lib(), "title", "题"});
    ASSERT_EQ(fromRecords.exitCode, 0) << fromRecords.err;
    EXPECT_EQ(std::count(fromRecords.out.begin(), fromRecords.out.end(), '\n'), 5000);
    ASSERT_EQ(Run({"index", Lib()}).exitCode, 0);
    EXPECT_EQ(Run({"search", Lib(), "title", "题"}).out, fromRecords.out);

    // A byte of an entry in the second piece of lines.
    const std::string path = m_folder.File("t.search");
    std::string file = ReadFile(path);
    SearchIndexHeader header{};
    std::memcpy(&header, file.data(), sizeof header);
    SearchIndexNamesHeader names{};
    std::memcpy(&names, file.data() + header.namesAt, sizeof names);
    const std::uint64_t entries = header.namesAt + SearchIndexNamesParts{names}.EntriesAt();
    file[entries + names.entryBytes * 3 / 5] ^= 0x20;
    testing_support::WriteFile(path, file);
    const auto damaged = Run({"search", Lib(), "title", "题"});
    EXPECT_EQ(damaged.exitCode, 0) << damaged.err;
    EXPECT_EQ(damaged.out, fromRecords.out);
}

// A library one may not write (an installed one, say) can still be read by every command that
// only reads; adding to it fails with the file's own error.
TEST_F(PoemlibTest, ReadsALibraryItMayNotWrite) {
    Create();
    Add("静夜思", "李白", "床前明月光\n");
    m_folder.OpenToEveryone();
    for (const char* file : {"t.idx", "t.dat"}) {
        ::chmod(m_folder.File(file).c_str(), 0444);
    }
    EXPECT_TRUE(testing_support::AsUnprivilegedUser([&] {
        const bool read = Run({"info", Lib()}).exitCode == 0 &&
                          Run({"list", Lib()}).out == "1\t静夜思\t李白\t现代\t现代\n" &&
                          Run({"show", Lib(), "1"}).out == "床前明月光\r\n" &&
                          Run({"search", Lib(), "text", "明月"}).exitCode == 0 &&
                          Run({"page", Lib(), "1"}).exitCode == 0 &&
                          Run({"export", Lib()}).exitCode == 0 &&
                          Run({"check", Lib()}).exitCode == 0;
        const auto add = Run({"add", Lib(), "--title", "春晓", "--author", "孟浩然"}, "春眠");
        return read && add.exitCode == 1 && add.err.find("没有访问权限") != std::string::npos;
    }));
}

TEST_F(PoemlibTest, CheckReportsEveryProblem) {
    Create();
    Add("静夜思", "李白", "床前明月光");
    Add("春晓", "孟浩然", "春眠不觉晓");
    std::string index = ReadFile(Lib());
    std::memset(index.data() + 292, 'T', 65); // record 1: title without its zero
    index[292 + 124 + 65] = '\xFF';           // record 2: author not valid
    const std::uint32_t past = 1000;
    std::memcpy(index.data() + 292 + 124 + 120, &past, 4); // record 2: text outside the file
    testing_support::WriteFile(Lib(), index + "xx");       // stray bytes after the last record
    std::string data = ReadFile(m_folder.File("t.dat"));
    data[0] = '\xFF'; // record 1: text not valid
    testing_support::WriteFile(m_folder.File("t.dat"), data);

    const auto check = Run({"check", Lib()});
    EXPECT_EQ(check.exitCode, 1);
    EXPECT_EQ(check.out, "2 stray bytes follow the last record\n"
                         "record 1: title has no zero byte inside its 65 bytes\n"
                         "record 1: text holds bytes that are not valid code page 936 at byte 0\n"
                         "record 2: author holds bytes that are not valid code page 936 at byte 0\n"
                         "record 2: text at 1000 of 11 bytes runs past the end of the data file "
                         "(22 bytes)\n");
    const auto json = Run({"check", Lib(), "--json"});
    EXPECT_NE(
        json.out.find("{\"record\":null,\"problem\":\"2 stray bytes follow the last record\"}"),
        std::string::npos);

    testing_support::WriteFile(Lib(), "XY" + index.substr(2));
    EXPECT_EQ(Run({"check", Lib()}).out,
              "the index file does not start with the signature \"SC\"\n");
}

} // namespace

namespace {

class ImportTest : public PoemlibTest {
protected:
    std::string JsonFile(const std::string& name, const std::string& json) {
        testing_support::WriteFile(m_folder.File(name), json);
        return m_folder.File(name);
    }
};

TEST_F(ImportTest, ReadsBothLayoutsAndMakesTextFitTheCodePage) {
    Create();
    const auto poems = JsonFile("a.json", R"([
        {"title": "靜夜思", "author": "李白", "paragraphs": ["床前明月光，", "疑是地上霜。"]},
        {"rhythmic": "水調歌頭", "author": "蘇軾", "paragraphs": ["明月幾時有"]},
        {"title": "商調・梧葉兒", "author": "无名氏", "form": "乾荷叶", "dynasty": "元代",
         "paragraphs": []}
    ])");
    const auto anthology = JsonFile("b.json", R"({"title": "千家诗", "content": [
        {"type": "五言绝句", "content": [
            {"chapter": "春晓", "author": "孟浩然", "paragraphs": ["春眠不觉晓"]}]}]})");
    const auto r = Run({"import", Lib(), poems, anthology, "--dynasty", "唐代"});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, "added 4 poems\n");
    // Traditional characters outside GB2312 are simplified, GB2312's own 乾 is kept, the
    // katakana middle dot becomes U+00B7, a tune is the form of its ci, and --dynasty fills in
    // only where a poem has none.
    EXPECT_EQ(Run({"list", Lib()}).out, "1\t静夜思\t李白\t唐代\t\n"
                                        "2\t水调歌头\t苏轼\t唐代\t水调歌头\n"
                                        "3\t商调·梧叶儿\t无名氏\t元代\t乾荷叶\n"
                                        "4\t春晓\t孟浩然\t唐代\t五言绝句\n");
    EXPECT_EQ(Run({"show", Lib(), "1"}).out, "床前明月光，\r\n疑是地上霜。");
    EXPECT_EQ(Run({"show", Lib(), "3"}).out, "");
    EXPECT_EQ(Run({"check", Lib()}).exitCode, 0);
}

TEST_F(ImportTest, StoresEveryPoemAndRefusesAllWhenASourceCannotBeRead) {
    Create();
    const auto poems = JsonFile("a.json", R"([
        {"title": "好", "author": "甲", "paragraphs": ["一"]},
        {"title": "符文", "author": "乙", "paragraphs": ["ᚠᚢ"]},
        {"title": ")" + std::string(70, 'x') + R"(", "author": "丙", "paragraphs": ["二"]},
        {"title": "长名", "author": "一二三四五六七八九", "paragraphs": ["三"]}
    ])");
    // No poem is dropped for its fields: a long field is cut with "…" (a title keeps its end,
    // and its whole is the poem's note), and a character the code page lacks becomes □.
    const auto r = Run({"import", Lib(), poems});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, "added 4 poems, 1 titles cut, 1 authors cut, 2 characters replaced, 1 poems "
                     "with notes\n");
    EXPECT_EQ(Run({"list", Lib()}).out, "1\t好\t甲\t\t\n"
                                        "2\t符文\t乙\t\t\n"
                                        "3\t" +
                                            std::string(58, 'x') +
                                            "…xxxx\t丙\t\t\n"
                                            "4\t长名\t一二三四五六七…\t\t\n");
    EXPECT_EQ(Run({"show", Lib(), "2"}).out, "□□");
    EXPECT_EQ(Run({"check", Lib()}).exitCode, 0);

    // A file that is not JSON: nothing of the import is added, not even the files before it.
    const auto broken = JsonFile("c.json", "[{\"title\": ");
    const auto refused = Run({"import", Lib(), poems, broken});
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_EQ(refused.out, "added 0 poems: a source could not be read\n");
    EXPECT_NE(refused.err.find("c.json is not valid JSON"), std::string::npos);
    EXPECT_EQ(Run({"info", Lib(), "--json"}).out.find("\"count\":4") != std::string::npos, true);
}

TEST_F(ImportTest, ExportThenImportGivesAnEqualLibrary) {
    Create();
    Add("静夜思", "李白", "床前明月光\n疑是地上霜\n", "五言绝句");
    Add("空", "佚名", "");
    Add("a\tb", "\"q\"", "line\\one\r\n");
    const auto exported = Run({"export", Lib()});
    ASSERT_EQ(exported.exitCode, 0);
    Create("copy");
    const auto json = JsonFile("e.json", exported.out);
    ASSERT_EQ(Run({"import", Lib("copy"), json}).exitCode, 0);
    EXPECT_EQ(Run({"export", Lib("copy")}).out, exported.out);
    EXPECT_EQ(Run({"list", Lib("copy")}).out, Run({"list", Lib()}).out);
    for (const char* n : {"1", "2", "3"}) {
        EXPECT_EQ(Run({"show", Lib("copy"), n}).out, Run({"show", Lib(), n}).out) << n;
    }
    const auto text = Run({"export", Lib(), "--format", "text"}).out;
    EXPECT_TRUE(text.starts_with("静夜思\n现代 · 李白 · 五言绝句\n\n床前明月光\n疑是地上霜\n\n"))
        << text;
    EXPECT_EQ(Run({"export", Lib(), "--format", "xml"}).exitCode, 2);
}

} // namespace

namespace {

TEST_F(ImportTest, KeepsATraditionalCharacterWhoseSimplifiedFormTheCodePageLacks) {
    Create();
    // 餔 is in the code page; its simplified form 𫗦 is not.
    const auto file = JsonFile("a.json", R"([{"title":"渔父","author":"屈原",
                                              "paragraphs":["何不餔其糟而歠其酾"]}])");
    const auto r = Run({"import", Lib(), file});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(Run({"show", Lib(), "1"}).out, "何不餔其糟而歠其酾");
}

} // namespace
