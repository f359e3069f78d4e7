// poemlib and the search index, end to end: create, add and import keep it, check says what is
// wrong with it, and search goes through one library, several, or a folder of them.

#include "tests/common/Process.h"
#include "tests/common/TestLibrary.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace {

using testing_support::ProcessResult;
using testing_support::TempFolder;

class SearchCommandTest : public ::testing::Test {
protected:
    ProcessResult Run(std::vector<std::string> args, const std::string& input = "") {
        return testing_support::RunProcess(POEMLIB_PATH, args, input);
    }
    std::string Lib(const std::string& name) const { return m_folder.File(name + ".idx"); }
    std::string Search(const std::string& name) const { return m_folder.File(name + ".search"); }
    void Create(const std::string& name, const std::string& title) {
        const auto r = Run({"create", Lib(name), "--name", title, "--author", "编者", "--version",
                            "1.0.0", "--date", "2005-03-01"});
        ASSERT_EQ(r.exitCode, 0) << r.err;
    }
    void Add(const std::string& name, const std::string& title, const std::string& text) {
        const auto r = Run({"add", Lib(name), "--title", title, "--author", "佚名"}, text);
        ASSERT_EQ(r.exitCode, 0) << r.err;
    }
    std::string Check(const std::string& name) {
        const auto r = Run({"check", Lib(name)});
        return std::to_string(r.exitCode) + " " + r.out;
    }

    TempFolder m_folder;
};

TEST_F(SearchCommandTest, TheCommandsThatWriteALibraryKeepItsSearchIndex) {
    Create("shi", "诗");
    EXPECT_TRUE(std::filesystem::exists(Search("shi")));
    Add("shi", "静夜思", "床前明月光");
    Add("shi", "春晓", "春眠不觉晓");
    EXPECT_EQ(Check("shi"), "0 ");
    EXPECT_EQ(Run({"search", Lib("shi"), "text", "明月"}).out, "1\t静夜思\t佚名\t现代\t现代\n");

    // Made again, it describes both poems; written by other means, the files are no longer
    // what it describes: it is said to be stale, passed over, and made again.
    EXPECT_EQ(Run({"index", Lib("shi")}).exitCode, 0);
    std::string data = testing_support::ReadFile(m_folder.File("shi.dat"));
    data.replace(data.find(testing_support::Gbk("明月")), 4, testing_support::Gbk("白日"));
    testing_support::WriteFile(m_folder.File("shi.dat"), data);
    EXPECT_EQ(Check("shi"), "1 the search index " + Search("shi") +
                                " was made from other files than the library's: poemlib index "
                                "makes it again\n");
    EXPECT_EQ(Run({"search", Lib("shi"), "text", "明月"}).out, "");
    EXPECT_EQ(Run({"search", Lib("shi"), "text", "白日"}).out, "1\t静夜思\t佚名\t现代\t现代\n");
    EXPECT_EQ(Run({"index", Lib("shi")}).exitCode, 0);
    EXPECT_EQ(Check("shi"), "0 ");

    testing_support::WriteFile(Search("shi"), "damaged");
    EXPECT_EQ(Check("shi"), "1 the search index " + Search("shi") +
                                " is damaged: poemlib index makes it again\n");
    EXPECT_EQ(Run({"search", Lib("shi"), "text", "春眠"}).out, "2\t春晓\t佚名\t现代\t现代\n");
    Add("shi", "登鹳雀楼", "白日依山尽"); // an append makes a damaged index again
    EXPECT_EQ(Check("shi"), "0 ");

    // A library without one is fine, and stays without one.
    std::filesystem::remove(Search("shi"));
    EXPECT_EQ(Check("shi"), "0 ");
    Add("shi", "无题", "白日");
    EXPECT_FALSE(std::filesystem::exists(Search("shi")));
    EXPECT_EQ(Run({"search", Lib("shi"), "text", "白日"}).out.size(),
              Run({"search", Lib("shi"), "title", ""}).out.size() -
                  std::string("2\t春晓\t佚名\t现代\t现代\n").size());
}

TEST_F(SearchCommandTest, ImportMakesTheIndexOnceAtItsEnd) {
    Create("shi", "诗");
    testing_support::WriteFile(m_folder.File("poems.json"),
                               R"([{"title":"静夜思","author":"李白","paragraphs":["床前明月光"]},
                                   {"title":"水调歌头","author":"苏轼","paragraphs":["明月几时有"]}])");
    const auto r = Run({"import", Lib("shi"), m_folder.File("poems.json")});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(Check("shi"), "0 ");
    EXPECT_EQ(Run({"search", Lib("shi"), "text", "明月几时"}).out, "2\t水调歌头\t苏轼\t\t\n");
}

TEST_F(SearchCommandTest, SeveralLibrariesOrAFolderSayWhichLibraryEachLineIsOf) {
    Create("a", "甲集");
    Add("a", "静夜思", "床前明月光");
    Create("b", "乙集");
    Add("b", "春晓", "春眠不觉晓");
    Add("b", "水调歌头", "明月几时有");
    const std::string lines = "甲集\t1\t静夜思\t佚名\t现代\t现代\n"
                              "乙集\t2\t水调歌头\t佚名\t现代\t现代\n";
    EXPECT_EQ(Run({"search", Lib("a"), Lib("b"), "text", "明月"}).out, lines);
    EXPECT_EQ(Run({"search", m_folder.Path().string(), "text", "明月"}).out, lines);
    EXPECT_EQ(Run({"search", Lib("b"), "text", "明月"}).out, "2\t水调歌头\t佚名\t现代\t现代\n");
    const auto json = Run({"search", m_folder.Path().string(), "title", "春", "--json"}).out;
    EXPECT_EQ(json, "{\"library\":\"乙集\",\"lib\":\"" + Lib("b") +
                        "\",\"n\":1,\"title\":\"春晓\",\"author\":\"佚名\",\"dynasty\":\"现代\","
                        "\"form\":\"现代\",\"length\":11,\"offset\":0}\n");

    // A library that cannot be searched is said, the others are searched, and the exit is 1.
    const auto missing = Run({"search", Lib("a"), Lib("none"), Lib("b"), "text", "明月"});
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_EQ(missing.out, lines);
    EXPECT_NE(missing.err.find(Lib("none")), std::string::npos);
    testing_support::TempFolder empty;
    const auto none = Run({"search", empty.Path().string(), "text", "明月"});
    EXPECT_EQ(none.exitCode, 1);
    EXPECT_EQ(none.err, "poemlib: the folder " + empty.Path().string() + " holds no library\n");
    EXPECT_EQ(Run({"search", m_folder.File("a.txt"), "text", "明月"}).exitCode, 2);
    EXPECT_EQ(Run({"search", "text", "明月"}).exitCode, 2);
}

// Thousands of lines come from the names the search index keeps: the very lines the records
// give, for the poems it describes and for one appended after it, alone or beside another
// library.
TEST_F(SearchCommandTest, ManyLinesFromTheIndexNamesAreTheLinesOfTheRecords) {
    std::vector<testing_support::TestPoem> poems;
    std::string expected;
    for (int i = 0; i < 5000; ++i) {
        poems.push_back({"题" + std::to_string(i), "作者" + std::to_string(i % 300),
                         i % 3 == 0 ? "" : "唐代", i % 7 == 0 ? "" : "五言绝句",
                         i % 5 == 0 ? "春风" : "明月" + std::to_string(i)});
        if (i % 5 != 0) {
            expected += std::to_string(i + 1) + "\t" + poems.back().title + "\t" +
                        poems.back().author + "\t" + poems.back().dynasty + "\t" +
                        poems.back().form + "\n";
        }
    }
    testing_support::WriteLibrary(m_folder, "many", poems);
    ASSERT_EQ(Run({"index", Lib("many")}).exitCode, 0);
    EXPECT_EQ(Check("many"), "0 ");
    EXPECT_EQ(Run({"search", Lib("many"), "text", "月"}).out, expected);

    Add("many", "新月", "月出");
    expected += "5001\t新月\t佚名\t现代\t现代\n";
    const std::string indexed = Run({"search", Lib("many"), "text", "月"}).out;
    EXPECT_EQ(indexed, expected);
    Create("few", "少");
    const std::string labelled = Run({"search", m_folder.Path().string(), "text", "月"}).out;

    std::filesystem::remove(Search("many"));
    EXPECT_EQ(Run({"search", Lib("many"), "text", "月"}).out, indexed);
    EXPECT_EQ(Run({"search", m_folder.Path().string(), "text", "月"}).out, labelled);
    EXPECT_EQ(labelled.substr(0, labelled.find('\n')), "测试诗词\t2\t题1\t作者1\t唐代\t五言绝句");
}

} // namespace
