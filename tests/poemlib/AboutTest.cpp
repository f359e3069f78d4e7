// The pages of every poet and form made by refpages over a folder of our own, and poemlib about
// printing them, both run as built.

#include "tests/common/Process.h"
#include "tests/common/TestLibrary.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace {

namespace fs = std::filesystem;
using testing_support::ProcessResult;
using testing_support::ReadFile;
using testing_support::RunProcess;
using testing_support::TempFolder;
using testing_support::WriteFile;

const char* kPoets = R"({"李白": {"dynasty": "唐代", "years": "701—762", "about": "诗仙。"}})";
const char* kForms = R"({"五言绝句": {"kind": "近体诗", "about": "四句。"}})";
// What the libraries' build converts from the package: one biography and no counts.
const char* kPackageNotes =
    R"({"biographies": {"宋代": {"王维": [["全宋诗", "宋代的王维。"]]}}, "ranks": {}})";

class AboutTest : public ::testing::Test {
protected:
    AboutTest() { Fill(m_folder); }

    static void Fill(const TempFolder& folder) {
        testing_support::WriteLibrary(
            folder, "kavro",
            {{"静夜思", "李白", "唐代", "五言绝句",
              "床前明月光，疑是地上霜。\r\n举头望明月，低头思故乡。"},
             {"相思", "王维", "唐代", "五言绝句",
              "红豆生南国，春来发几枝。\r\n愿君多采撷，此物最相思。"},
             {"春日", "王维", "宋代", "七言绝句", "春日迟迟春草绿，野棠开尽飘香玉。"}});
        testing_support::WriteLibrary(folder, "唐",
                                      {{"送别", "王维", "唐代", "五言绝句", "山中相送罢"}});
        WriteFile(folder.File("poets.json"), kPoets);
        WriteFile(folder.File("forms.json"), kForms);
        WriteFile(folder.File(".collection-notes.json"), kPackageNotes);
    }
    static ProcessResult Pages(const TempFolder& folder) {
        return RunProcess(REFPAGES_PATH, {folder.Path().string(), folder.File("poets.json"),
                                          folder.File("forms.json"), "--summary"});
    }
    ProcessResult About(std::vector<std::string> args) {
        args.insert(args.begin(), {"about", m_folder.File("kavro.idx")});
        return RunProcess(POEMLIB_PATH, args);
    }
    // Every file under the folder with its bytes.
    static std::map<std::string, std::string> Contents(const TempFolder& folder) {
        std::map<std::string, std::string> files;
        for (const auto& entry : fs::recursive_directory_iterator(folder.Path())) {
            if (entry.is_regular_file()) {
                files[fs::relative(entry.path(), folder.Path()).string()] =
                    ReadFile(entry.path().string());
            }
        }
        return files;
    }

    TempFolder m_folder;
};

TEST_F(AboutTest, PagesOfEveryPoetAndFormOfEveryLibraryTheSameBytesEachTime) {
    const auto made = Pages(m_folder);
    ASSERT_EQ(made.exitCode, 0) << made.err;
    EXPECT_EQ(made.out, "poets: 1 ours, 1 the package's biography, 1 the libraries alone\n"
                        "forms: 1 ours, 1 the libraries alone\n");
    for (const char* page :
         {"poets/唐代/李白.htm", "poets/唐代/王维.htm", "poets/宋代/王维.htm", "forms/五言绝句.htm",
          "forms/七言绝句.htm", "authors.htm", "geti.htm"}) {
        EXPECT_TRUE(fs::is_regular_file(m_folder.Path() / page)) << page;
    }
    // authors.htm and geti.htm lead to the full pages.
    EXPECT_NE(ReadFile(m_folder.File("authors.htm")).find("href=\"poets/唐代/李白.htm\""),
              std::string::npos);
    EXPECT_NE(ReadFile(m_folder.File("geti.htm")).find("href=\"forms/五言绝句.htm\""),
              std::string::npos);

    const auto before = Contents(m_folder);
    const auto time = fs::last_write_time(m_folder.Path() / "poets/唐代/王维.htm");
    ASSERT_EQ(Pages(m_folder).exitCode, 0);
    EXPECT_EQ(Contents(m_folder), before);
    EXPECT_EQ(fs::last_write_time(m_folder.Path() / "poets/唐代/王维.htm"), time);
    TempFolder again;
    Fill(again);
    ASSERT_EQ(Pages(again).exitCode, 0);
    EXPECT_EQ(Contents(again), before);

    // A library taken away takes its poets' pages with it.
    fs::remove(m_folder.File("唐.idx"));
    fs::remove(m_folder.File("唐.dat"));
    ASSERT_EQ(Pages(m_folder).exitCode, 0);
    EXPECT_EQ(ReadFile(m_folder.File("poets/唐代/王维.htm")).find("送别"), std::string::npos);
    fs::remove(m_folder.File("kavro.idx"));
    ASSERT_EQ(Pages(m_folder).exitCode, 0);
    EXPECT_FALSE(fs::exists(m_folder.Path() / "poets"));
}

TEST_F(AboutTest, PrintsThePageAsTextOrAsItIsAndFailsWhenThereIsNone) {
    ASSERT_EQ(Pages(m_folder).exitCode, 0);
    const auto libai = About({"poet", "李白"});
    EXPECT_EQ(libai.exitCode, 0) << libai.err;
    EXPECT_EQ(libai.out, "李白\n\n唐代 · 701—762\n\n诗仙。\n\n"
                         "测试诗词 收录 1 首：《静夜思》\n\n体裁：五言绝句 1\n");
    EXPECT_EQ(About({"poet", "李白", "--html"}).out,
              ReadFile(m_folder.File("poets/唐代/李白.htm")));
    const auto form = About({"form", "五言绝句"});
    EXPECT_EQ(form.exitCode, 0);
    EXPECT_NE(form.out.find("例：《静夜思》 唐代·李白\n床前明月光，疑是地上霜。\n举头望明月"),
              std::string::npos)
        << form.out;

    // Two poets of one name: the dynasty chooses, and must when the library has both.
    const auto both = About({"poet", "王维"});
    EXPECT_EQ(both.exitCode, 2);
    EXPECT_NE(both.err.find("唐代, 宋代"), std::string::npos) << both.err;
    const auto song = About({"poet", "王维", "--dynasty", "宋代"});
    EXPECT_EQ(song.exitCode, 0);
    EXPECT_NE(song.out.find("宋代的王维。\n\n——《全宋诗》小传"), std::string::npos) << song.out;

    EXPECT_EQ(About({"poet", "杜甫"}).exitCode, 1);
    EXPECT_EQ(About({"poet", "李白", "--dynasty", "宋代"}).exitCode, 1);
    const auto none = About({"form", "菩萨蛮"});
    EXPECT_EQ(none.exitCode, 1);
    EXPECT_NE(none.err.find("forms/菩萨蛮.htm"), std::string::npos) << none.err;
    EXPECT_EQ(About({"form", "五言绝句", "--dynasty", "唐代"}).exitCode, 2);
    EXPECT_EQ(About({"tune", "五言绝句"}).exitCode, 2);
}

} // namespace
