// The collection's poems as libraries: `poemlib import` over files in the collection's layouts,
// and the script that builds every library of the package into a program folder.

#include "tests/common/Process.h"
#include "tests/common/TestLibrary.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <iterator>
#include <nlohmann/json.hpp>
#include <sstream>
#include <tuple>

namespace {

namespace fs = std::filesystem;
using testing_support::ProcessResult;
using testing_support::ReadFile;
using testing_support::RunProcess;
using testing_support::TempFolder;

const std::string kPackage = LOMEVA_SOURCE_DIR "/tests/poemlib/fixtures/collection/package";
const std::string kDist = kPackage + "/dist/";

class CollectionImportTest : public ::testing::Test {
protected:
    ProcessResult Poemlib(std::vector<std::string> args) { return RunProcess(POEMLIB_PATH, args); }
    std::string Lib() const { return m_folder.File("t.idx"); }
    void Create() {
        ASSERT_EQ(Poemlib({"create", Lib(), "--name", "测试", "--author", "chinese-poetry",
                           "--version", "2.0.1", "--date", "2026-08-11"})
                      .exitCode,
                  0);
    }
    std::string Show(int n) { return Poemlib({"show", Lib(), std::to_string(n)}).out; }

    TempFolder m_folder;
};

TEST_F(CollectionImportTest, ShiTakeTheirFormFromTheirShapeAndStandACoupletALine) {
    Create();
    const auto r = Poemlib({"import", Lib(), kDist + "quantangshi/poet.tang.0.json",
                            kDist + "quantangshi/poet.tang.1000.json", "--kind", "shi", "--dynasty",
                            "唐代", "--report", m_folder.File("report.json")});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    // The second 山居秋暝 is the first again, word for word: left out and counted. Nothing else is
    // dropped: the long title is cut (its whole is the poem's note), and characters the code page
    // lacks are replaced.
    EXPECT_EQ(r.out, "added 7 poems, 1 duplicates left out, 1 titles cut, 2 characters replaced, "
                     "1 poems with notes\n");
    EXPECT_EQ(Poemlib({"list", Lib()}).out,
              "1\t静夜思\t李白\t唐代\t五言绝句\n"
              "2\t山居秋暝\t王维\t唐代\t五言律诗\n"
              "3\t登岳阳楼\t杜甫\t唐代\t五言律诗\n"
              "4\t春日登陕州城楼俯眺原野回丹碧缀烟霞密翠斑红芳菲花柳即目…聊以命篇\t太宗皇帝\t"
              "唐代\t五言绝句\n"
              "5\t山行\t杜牧\t唐代\t七言绝句\n"
              "6\t残句\t杜甫\t唐代\t五言绝句\n"
              "7\t上邪\t无名氏\t唐代\t杂言\n");
    // 静夜思 is one sentence in its source; 後, 於 become 后, 于, and 乾坤 stays.
    EXPECT_EQ(Show(1), "床前看月光，疑是地上霜，\r\n举头望山月，低头思故乡。");
    EXPECT_NE(Show(2).find("空山新雨后"), std::string::npos);
    EXPECT_NE(Show(3).find("乾坤日夜浮"), std::string::npos);
    EXPECT_NE(Show(5).find("霜叶红于二月花"), std::string::npos);
    EXPECT_EQ(Show(6), "醉把青荷叶，狂遗白接篱。\r\n捞漉蛙□脚，莫遣生科斗。");
    EXPECT_EQ(Show(7), "上邪！我欲与君相知，长命无绝衰。");
    EXPECT_EQ(Poemlib({"check", Lib()}).exitCode, 0);

    const auto report = nlohmann::json::parse(ReadFile(m_folder.File("report.json")));
    EXPECT_EQ(report["poems"], 7);
    EXPECT_EQ(report["duplicates"], 1);
    EXPECT_EQ(report["titlesCut"], 1);
    EXPECT_EQ(report["dynasties"]["唐代"], 7);
    EXPECT_EQ(report["forms"][0], nlohmann::json::array({"五言绝句", 3}));
    EXPECT_EQ(report["replacements"].size(), 2u);
    EXPECT_EQ(report["charactersReplaced"], 2);
}

TEST_F(CollectionImportTest, CiAndQuTakeTheTuneAsTheirFormAndKeepTheirLines) {
    Create();
    ASSERT_EQ(
        Poemlib({"import", Lib(), kDist + "songci/ci.song.0.json",
                 kDist + "nalanxingde/纳兰性德诗集.json", "--kind", "ci", "--dynasty", "宋代"})
            .exitCode,
        0);
    ASSERT_EQ(Poemlib({"import", Lib(), kDist + "yuanqu/yuanqu.json", "--kind", "qu"}).exitCode, 0);
    EXPECT_EQ(Poemlib({"list", Lib()}).out,
              "1\t水调歌头\t苏轼\t宋代\t水调歌头\n"
              "2\t浣溪沙\t晏殊\t宋代\t浣溪沙\n"
              // a tune given with another name: the name the pick lists know, or the first
              "3\t添字浣溪沙·山花子\t贺铸\t宋代\t添字浣溪沙\n"
              "4\t转声虞美人·桃源忆故人\t无名氏\t宋代\t转声虞美人\n"
              "5\t长相思·山一程\t纳兰性德\t宋代\t长相思\n"
              // a poem of a ci collection with no tune is a shi; its lines have no stops
              "6\t柳枝词\t纳兰性德\t宋代\t七言绝句\n"
              "7\t天净沙·秋思\t马致远\t元代\t天净沙\n"
              // the pick lists spell this tune 乾荷叶, and a simplified 干荷叶 finds it too;
              // a title is text, simplified as the text is
              "8\t月明和尚度柳翠·干荷叶\t无名氏\t元代\t乾荷叶\n"
              "9\t罗李郎大闹相国寺·干荷叶\t无名氏\t元代\t乾荷叶\n"
              "10\t商调·梧叶儿春夜\t吴西逸\t元代\t商调·梧叶儿\n"
              "11\t诈妮子调风月·仙吕/点绛唇\t关汉卿\t元代\t点绛唇\n"
              // a southern play named with its poet: the play goes into the title
              "12\t蔡伯喈琵琶记·鹧鸪天\t高明\t元代\t鹧鸪天\n"
              "13\t荆钗记·一封书\t柯丹邱\t元代\t一封书\n");
    // A ci of lines of one length keeps its sentences; so does a shi whose lines have no stops.
    EXPECT_EQ(Show(2), "一曲新词酒一杯。\r\n去年天气旧亭台。\r\n夕阳西下几时回。\r\n"
                       "无可奈何花落去，似曾相识燕归来。\r\n小园香径独徘徊。");
    EXPECT_EQ(Show(6), "池上闲房碧树围\r\n帘纹如縠上斜晖\r\n自怜憔悴同杨柳\r\n长被东风作絮飞");
}

TEST_F(CollectionImportTest, DynastyOfAPoetAuthorOfAnUnsignedCollectionAndUsage) {
    Create();
    ASSERT_EQ(Poemlib({"import", Lib(), kDist + "chuci/chuci.json", "--kind", "shi", "--dynasty",
                       "战国", "--dynasty-of", "贾谊,东方朔=汉代"})
                  .exitCode,
              0);
    ASSERT_EQ(Poemlib({"import", Lib(), kDist + "caocaoshiji/caocao.json", "--kind", "shi",
                       "--dynasty", "汉代", "--author", "曹操"})
                  .exitCode,
              0);
    EXPECT_EQ(Poemlib({"list", Lib()}).out, "1\t橘颂\t屈原\t战国\t四言\n"
                                            "2\t惜誓\t贾谊\t汉代\t杂言\n"
                                            "3\t观沧海\t曹操\t汉代\t四言\n");
    EXPECT_EQ(Show(1), "后皇嘉树，橘徕服兮。\r\n受命不迁，生南国兮。");
    EXPECT_EQ(Poemlib({"import", Lib(), kDist + "chuci/chuci.json", "--kind", "fu"}).exitCode, 2);
    EXPECT_EQ(
        Poemlib({"import", Lib(), kDist + "chuci/chuci.json", "--dynasty-of", "贾谊"}).exitCode, 2);
    // A source that cannot be read adds nothing, not even the poems of the files before it.
    const auto r = Poemlib(
        {"import", Lib(), kDist + "caocaoshiji/caocao.json", m_folder.File("missing.json")});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("cannot read"), std::string::npos);
    EXPECT_NE(Poemlib({"info", Lib(), "--json"}).out.find("\"count\":3"), std::string::npos);
}

// Poets' names lose the editors' marks: 耿[湋] and 耿湋 are one poet, a description code becomes
// its character where the codes know it, else □; the pick lists' spelling holds whatever the
// source wrote (朱慶餘 is the list's 朱庆余, though 餘 is written 馀 elsewhere). The report counts
// every change of every kind.
TEST_F(CollectionImportTest, PoetsNamesAndTheConversionsAreCleanedAndCounted) {
    Create();
    const std::string poems = m_folder.File("poet.tang.0.json");
    testing_support::WriteFile(
        poems,
        R"([{"author": "耿[湋]", "title": "秋日", "paragraphs": ["返照入閭巷，憂來誰共語。"]},
            {"author": "耿湋", "title": "秋夜", "paragraphs": ["乾符初得位，餘霞隠髙城。"]},
            {"author": "史{隽乃=冏}之", "title": "甲", "paragraphs": ["一二三四五。"]},
            {"author": "魏{氵雩}", "title": "乙", "paragraphs": ["一二三四五。"]},
            {"author": "道鏡　善導", "title": "丙", "paragraphs": ["一二三四五。"]},
            {"author": "朱慶餘", "title": "近試上張籍水部", "paragraphs": ["洞房昨夜停紅燭。"]}])");
    const std::string codes = m_folder.File("codes.json");
    testing_support::WriteFile(codes, R"({"{隽乃=冏}": [{"font": "冏", "unicode": "\\U518F"}],
                                          "{氵雩}": []})");
    const auto r = Poemlib({"import", Lib(), poems, "--kind", "shi", "--dynasty", "唐代", "--codes",
                            codes, "--report", m_folder.File("report.json")});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, "added 6 poems, 2 characters normalised, 2 phrases mended, 4 poets' names "
                     "cleaned\n");
    EXPECT_EQ(Poemlib({"search", Lib(), "author", "耿湋"}).out,
              "1\t秋日\t耿湋\t唐代\t五言古诗\n2\t秋夜\t耿湋\t唐代\t五言古诗\n");
    EXPECT_EQ(Show(2), "乾符初得位，馀霞隐高城。");
    const auto authors = [this] {
        std::string names;
        std::istringstream lines(Poemlib({"list", Lib()}).out);
        for (std::string line; std::getline(lines, line);) {
            std::istringstream fields(line);
            std::string number, title, author;
            std::getline(fields, number, '\t');
            std::getline(fields, title, '\t');
            std::getline(fields, author, '\t');
            names += author + " ";
        }
        return names;
    };
    EXPECT_EQ(authors(), "耿湋 耿湋 史冏之 魏□ 道镜、善导 朱庆余 ");

    const auto report = nlohmann::json::parse(ReadFile(m_folder.File("report.json")));
    EXPECT_EQ(report["charactersNormalised"], 2);
    EXPECT_EQ(report["phrasesMended"], 2);
    EXPECT_EQ(report["poetNamesCleaned"], 4);
    EXPECT_EQ(report["normalisations"][0],
              nlohmann::json({{"from", "隠"}, {"to", "隱"}, {"count", 1}}));
    EXPECT_EQ(report["mends"], nlohmann::json::parse(R"([{"from": "乾符", "to": "乾符", "count": 1},
                                                         {"from": "餘", "to": "馀", "count": 1}])"));
    EXPECT_EQ(report["poetNames"][0],
              nlohmann::json({{"from", "史{隽乃=冏}之"}, {"to", "史冏之"}, {"count", 1}}));

    // Without the codes a description code is □; codes that cannot be read add nothing.
    EXPECT_EQ(
        Poemlib({"import", Lib(), poems, "--kind", "shi", "--codes", m_folder.File("missing.json")})
            .exitCode,
        1);
    EXPECT_NE(Poemlib({"info", Lib(), "--json"}).out.find("\"count\":6"), std::string::npos);
}

// The anthologies, each in its own layout: their own order, the forms their sections give, the
// poets' dynasties from the libraries beside them, and the readings inside their verses in the
// notes.
class AnthologyImportTest : public CollectionImportTest {
protected:
    // 全唐诗, 全宋诗 and 全宋词 of the small package, beside the anthology.
    void SetUp() override {
        for (const auto& [name, kind, dynasty, files] : std::vector<
                 std::tuple<std::string, std::string, std::string, std::vector<std::string>>>{
                 {"全唐诗",
                  "shi",
                  "唐代",
                  {"quantangshi/poet.tang.0.json", "quantangshi/poet.tang.1000.json"}},
                 {"全宋诗", "shi", "宋代", {"quantangshi/poet.song.0.json"}},
                 {"全宋词", "ci", "宋代", {"songci/ci.song.0.json"}}}) {
            const std::string lib = m_folder.File(name + ".idx");
            ASSERT_EQ(Poemlib({"create", lib, "--name", name, "--author", "chinese-poetry",
                               "--version", "2.0.1", "--date", "2026-08-11"})
                          .exitCode,
                      0);
            std::vector<std::string> args = {"import", lib};
            for (const std::string& file : files) {
                args.push_back(kDist + file);
            }
            args.insert(args.end(), {"--kind", kind, "--dynasty", dynasty});
            ASSERT_EQ(Poemlib(args).exitCode, 0) << name;
        }
        Create();
    }
    ProcessResult Import(const std::string& file, std::vector<std::string> options) {
        std::vector<std::string> args = {"import", Lib(), kDist + file, "--report",
                                         m_folder.File("report.json")};
        args.insert(args.end(), options.begin(), options.end());
        return Poemlib(args);
    }
    nlohmann::json Report() const {
        return nlohmann::json::parse(ReadFile(m_folder.File("report.json")));
    }
    std::string List() { return Poemlib({"list", Lib()}).out; }
};

TEST_F(AnthologyImportTest,
       TangPoemsKeepTheAnthologysOrderFormsAndTitlesAndTheirReadingsGoToNotes) {
    const auto r =
        Import("mengxue/tangshisanbaishou.json",
               {"--kind", "shi", "--dynasty", "唐代", "--dynasties-from", "全唐诗,全宋诗,全宋词"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    // The sections in their order and the poems in theirs; the form is the section's, 乐府 too.
    // A title cut short is whole where the subchapter or one of the titles it names goes on from
    // it; a subchapter that names the set a poem is one of (杂诗三首·其二) is no title.
    EXPECT_EQ(List(), "1\t静夜思\t李白\t唐代\t五言绝句\n"
                      "2\t山中送别\t王维\t唐代\t五言绝句\n"
                      "3\t杂诗\t王维\t唐代\t五言绝句\n"
                      "4\t夜泊牛渚怀古\t李白\t唐代\t五言律诗\n"
                      "5\t至德二载甫自京金光门出间道归凤翔\t杜甫\t唐代\t五言律诗\n"
                      "6\t走马川行奉送封大夫出师西征\t岑参\t唐代\t乐府\n"
                      "7\t渭城曲\t王维\t唐代\t乐府\n");
    // A reading leaves the verse for the notes, even one the source broke over two lines at its
    // space ("(掛帆", "一作：去)").
    const std::string text = Poemlib({"export", Lib(), "--format", "text"}).out;
    EXPECT_NE(text.find("春草明年绿，王孙归不归？\n\n明年 一作：年年\n"), std::string::npos)
        << text;
    EXPECT_NE(text.find("明朝挂帆席，枫叶落纷纷。\n\n挂帆 一作：去\n"), std::string::npos) << text;
    // 馀 is the source's 餘 (remaining) but where it wrote 餘 for 余 (I).
    EXPECT_NE(text.find("\n余亦能高咏，斯人不可闻。\n"), std::string::npos) << text;
    EXPECT_NE(
        text.find("客舍青青柳色新。\n劝君更尽一杯酒，西出阳关无故人。\n\n一作：客舍依依杨柳春\n"),
        std::string::npos)
        << text;
    const auto report = Report();
    EXPECT_EQ(report["notes"]["fromVerses"], 3);
    EXPECT_EQ(report["mended"]["notesMoved"], 3);
    EXPECT_EQ(report["dynasties"]["唐代"], 7);
    EXPECT_EQ(report["dynastiesFromPoets"], 0);
    EXPECT_EQ(report["forms"],
              nlohmann::json::parse(R"([["五言绝句", 3], ["乐府", 2], ["五言律诗", 2]])"));
    EXPECT_EQ(Poemlib({"check", Lib()}).exitCode, 0);
}

// 千家诗 names the dynasty before the poet, now and then one the poet is not of; a chapter may
// hold a set of poems.
TEST_F(AnthologyImportTest, ThePoetsDynastiesComeFromTheirPoemsInTheOtherLibraries) {
    ASSERT_EQ(Import("mengxue/qianjiashi.json", {"--kind", "shi"}).exitCode, 0);
    // Without the other libraries, the anthology's word stands.
    EXPECT_EQ(List(), "1\t山行\t杜牧\t唐代\t七言绝句\n"
                      "2\t题西林壁\t苏轼\t唐代\t七言绝句\n"
                      "3\t送天师\t朱权\t明代\t七言绝句\n"
                      "4\t秋兴八首·其一\t杜甫\t唐代\t七言律诗\n"
                      "5\t秋兴八首·其二\t杜甫\t唐代\t七言律诗\n"
                      "6\t上邪\t无名氏\t\t七言律诗\n");
    ASSERT_EQ(RunProcess("/bin/rm", {Lib(), m_folder.File("t.dat")}).exitCode, 0);
    Create();
    const auto r = Import("mengxue/qianjiashi.json",
                          {"--kind", "shi", "--dynasties-from", "全唐诗,全宋诗,全宋词"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, "added 6 poems, 2 dynasties from the poets' other poems\n");
    // 苏轼's poem is in 全宋诗 and nowhere of 唐代; no library is of 明代, and none holds 朱权's
    // poem; 无名氏's poem, of no dynasty in the anthology, is in 全唐诗.
    EXPECT_EQ(List(), "1\t山行\t杜牧\t唐代\t七言绝句\n"
                      "2\t题西林壁\t苏轼\t宋代\t七言绝句\n"
                      "3\t送天师\t朱权\t明代\t七言绝句\n"
                      "4\t秋兴八首·其一\t杜甫\t唐代\t七言律诗\n"
                      "5\t秋兴八首·其二\t杜甫\t唐代\t七言律诗\n"
                      "6\t上邪\t无名氏\t唐代\t七言律诗\n");
    EXPECT_EQ(Show(5), "夔府孤城落日斜，每依北斗望京华。\r\n听猿实下三声泪，奉使虚随八月槎。\r\n"
                       "画省香炉违伏枕，山楼粉堞隐悲笳。\r\n请看石上藤萝月，已映洲前芦荻花。");
    EXPECT_EQ(Report()["dynastiesFromPoets"], 2);

    // A library that cannot be read adds nothing.
    const auto missing = Import("mengxue/qianjiashi.json", {"--dynasties-from", "全元诗"});
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_NE(missing.err.find("cannot read the library"), std::string::npos) << missing.err;
    EXPECT_NE(Poemlib({"info", Lib(), "--json"}).out.find("\"count\":6"), std::string::npos);
}

// 宋词三百首 is a list of ci in its own order; a poet's name its source cut short is whole where
// the other libraries hold the poem under one longer name.
TEST_F(AnthologyImportTest, SongCiTakeTheTuneAndAPoetsNameCutShortIsMadeWhole) {
    const auto r = Import("songci/宋词三百首.json", {"--kind", "ci", "--dynasty", "宋代",
                                                     "--dynasties-from", "全唐诗,全宋诗,全宋词"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(List(), "1\t浣溪沙\t晏殊\t宋代\t浣溪沙\n"
                      "2\t添字浣溪沙\t贺铸\t宋代\t添字浣溪沙\n"
                      "3\t水调歌头\t苏轼\t宋代\t水调歌头\n"
                      "4\t木兰花·玉楼春\t钱惟演\t宋代\t木兰花\n");
    EXPECT_EQ(Report()["poetNames"],
              nlohmann::json::parse(R"([{"from": "贺", "to": "贺铸", "count": 1}])"));
}

// The build script over a small package in the collection's layout, made here with tar.
class BuildLibrariesTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_packageFile = m_work.File("chinese-poetry-2.0.1.tgz");
        ASSERT_EQ(RunProcess("/bin/tar", {"-czf", m_packageFile, "-C", kPackage + "/..", "package"})
                      .exitCode,
                  0);
    }
    ProcessResult Build(const std::string& program, const std::string& package) {
        testing_support::ProcessOptions options;
        options.environment = {"LOMEVA_POETRY_PACKAGE=" + package,
                               "XDG_CACHE_HOME=" + m_work.File("cache")};
        return RunProcess("/bin/bash",
                          {LOMEVA_SOURCE_DIR "/scripts/build-libraries.sh", program, POEMLIB_PATH},
                          "", options);
    }
    // The words of the closing table's line for one library.
    static std::vector<std::string> TableRow(const std::string& table, const std::string& name) {
        std::istringstream lines(table);
        for (std::string line; std::getline(lines, line);) {
            if (line.starts_with(name + " ") || line.starts_with(name + "\t")) {
                std::istringstream words(line);
                return {std::istream_iterator<std::string>(words),
                        std::istream_iterator<std::string>()};
            }
        }
        return {};
    }
    // Every file of the folder with its bytes.
    static std::map<std::string, std::string> Contents(const std::string& folder) {
        std::map<std::string, std::string> files;
        for (const auto& entry : fs::directory_iterator(folder)) {
            files[entry.path().filename().string()] =
                entry.is_regular_file() ? ReadFile(entry.path().string()) : "<folder>";
        }
        return files;
    }

    TempFolder m_work;
    std::string m_packageFile;
};

TEST_F(BuildLibrariesTest, BuildsEveryLibraryOnceAndTheSameBytesEachTime) {
    const std::string program = m_work.File("lomeva");
    const auto first = Build(program, m_packageFile);
    ASSERT_EQ(first.exitCode, 0) << first.err;
    for (const char* name : {"全唐诗", "全宋诗", "全宋词", "元曲", "诗经楚辞", "五代词", "纳兰性德",
                             "曹操", "唐诗三百首", "宋词三百首", "千家诗"}) {
        EXPECT_EQ(RunProcess(POEMLIB_PATH, {"check", program + "/" + name + ".idx"}).exitCode, 0)
            << name;
        EXPECT_NE(first.out.find(name), std::string::npos) << first.out;
    }
    // The table: 全唐诗 has 7 poems of 唐代 (one duplicate left out), 2 characters replaced, one
    // title cut, whose whole title is its poem's note, no variant normalised and no phrase
    // mended; nothing mended or left out. The preface of 花间集 is not a poem.
    EXPECT_EQ(TableRow(first.out, "全唐诗"),
              (std::vector<std::string>{"全唐诗", "7", "唐代", "2", "1", "0", "0", "1", "0", "0"}))
        << first.out;
    EXPECT_EQ(RunProcess(POEMLIB_PATH, {"list", program + "/五代词.idx"}).out,
              "1\t菩萨蛮 其一\t温庭筠\t五代十国\t菩萨蛮\n"
              "2\t虞美人·春花秋月何时了\t李煜\t五代十国\t虞美人\n");
    // The anthologies, built after the libraries their poets' dynasties come from: 千家诗 says
    // (唐) 苏轼, whose poem 全宋诗 holds; its poet's page is of 宋代 with the library's others.
    EXPECT_EQ(TableRow(first.out, "千家诗"),
              (std::vector<std::string>{"千家诗", "6", "唐代、明代、宋代", "0", "0", "0", "0", "0",
                                        "0", "0"}))
        << first.out;
    EXPECT_EQ(TableRow(first.out, "唐诗三百首")[7], "3"); // poems with notes
    const std::string list = RunProcess(POEMLIB_PATH, {"list", program + "/千家诗.idx"}).out;
    EXPECT_NE(list.find("2\t题西林壁\t苏轼\t宋代\t七言绝句\n"), std::string::npos) << list;
    EXPECT_TRUE(fs::exists(program + "/poets/宋代/苏轼.htm"));
    EXPECT_FALSE(fs::exists(program + "/poets/唐代/苏轼.htm"));
    EXPECT_NE(ReadFile(program + "/poets/宋代/苏轼.htm").find("千家诗"), std::string::npos);
    EXPECT_TRUE(fs::exists(program + "/forms/乐府.htm"));
    EXPECT_EQ(RunProcess(POEMLIB_PATH, {"info", program + "/全宋词.idx", "--json"}).out,
              "{\"name\":\"全宋词\",\"author\":\"chinese-poetry\",\"version\":\"2.0.1\","
              "\"date\":\"2026-08-11\",\"count\":5}\n");

    const auto before = Contents(program);
    const auto second = Build(program, m_packageFile);
    EXPECT_EQ(second.exitCode, 0);
    EXPECT_EQ(second.out, "The collection's libraries in " + program + " are up to date.\n");
    EXPECT_EQ(Contents(program), before);

    const std::string again = m_work.File("again");
    ASSERT_EQ(Build(again, m_packageFile).exitCode, 0);
    EXPECT_EQ(Contents(again), before);
}

// The collection's files are read by their numbers, not in the order a folder lists them or in
// byte order (where poet.tang.10000 comes before poet.tang.2000): two packages whose folders were
// filled in opposite orders, under a path with dots and digits of its own, give the same bytes.
TEST_F(BuildLibrariesTest, ReadsTheFilesInTheCollectionsOrderOnAnyFileSystem) {
    const auto packageFilledIn = [this](const std::string& folder,
                                        const std::vector<int>& numbers) {
        const std::string root = m_work.File(folder);
        fs::create_directories(root + "/package");
        fs::copy(kPackage, root + "/package", fs::copy_options::recursive);
        for (const int number : numbers) {
            testing_support::WriteFile(
                root + "/package/dist/quantangshi/poet.tang." + std::to_string(number) + ".json",
                "[{\"author\": \"作者" + std::to_string(number) +
                    "\", \"paragraphs\": [\"一二三四五，上山下山行。\"], \"title\": \"第" +
                    std::to_string(number) + "\"}]");
        }
        const std::string file = root + ".tgz";
        EXPECT_EQ(RunProcess("/bin/tar", {"-czf", file, "-C", root, "package"}).exitCode, 0);
        return file;
    };
    const std::string forwards = packageFilledIn("v1.2.3", {2000, 10000, 3000});
    const std::string backwards = packageFilledIn("v4.5.6", {3000, 10000, 2000});
    const std::string first = m_work.File("lomeva.1.0");
    const std::string second = m_work.File("lomeva.2.0");
    ASSERT_EQ(Build(first, forwards).exitCode, 0);
    ASSERT_EQ(Build(second, backwards).exitCode, 0);

    std::vector<std::string> titles;
    std::istringstream lines(RunProcess(POEMLIB_PATH, {"list", first + "/全唐诗.idx"}).out);
    for (std::string number, title, rest; std::getline(lines, number, '\t') &&
                                          std::getline(lines, title, '\t') &&
                                          std::getline(lines, rest);) {
        titles.push_back(title);
    }
    // poet.tang.0 (4 poems), poet.tang.1000 (3 left after its duplicate), then 2000, 3000, 10000.
    ASSERT_EQ(titles.size(), 10u);
    EXPECT_EQ(titles[0], "静夜思");
    EXPECT_EQ(titles[4], "山行");
    EXPECT_EQ(std::vector<std::string>(titles.begin() + 7, titles.end()),
              (std::vector<std::string>{"第2000", "第3000", "第10000"}));
    // The libraries' own bytes; the record of what they were built from names its package.
    auto libraries = [](std::map<std::string, std::string> files) {
        files.erase(".collection-libraries");
        return files;
    };
    EXPECT_EQ(libraries(Contents(second)), libraries(Contents(first)));
}

TEST_F(BuildLibrariesTest, AFailedBuildLeavesTheLibrariesInPlaceAsTheyWere) {
    const std::string program = m_work.File("lomeva");
    ASSERT_EQ(Build(program, m_packageFile).exitCode, 0);
    const auto before = Contents(program);

    // A package cut short: tar cannot read it.
    const std::string damaged = m_work.File("damaged.tgz");
    const std::string bytes = ReadFile(m_packageFile);
    testing_support::WriteFile(damaged, bytes.substr(0, bytes.size() / 2));
    const auto r = Build(program, damaged);
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("is damaged"), std::string::npos) << r.err;
    EXPECT_EQ(Contents(program), before);

    // A package whose later library cannot be read: the libraries built before it in the same
    // run are not moved in either, and nothing is left half made.
    const std::string broken = m_work.File("broken");
    fs::create_directories(broken + "/package");
    fs::copy(kPackage, broken + "/package", fs::copy_options::recursive);
    testing_support::WriteFile(broken + "/package/dist/caocaoshiji/caocao.json", "[{\"title\": ");
    const std::string brokenFile = m_work.File("broken.tgz");
    ASSERT_EQ(RunProcess("/bin/tar", {"-czf", brokenFile, "-C", broken, "package"}).exitCode, 0);
    const std::string fresh = m_work.File("fresh");
    const auto failed = Build(fresh, brokenFile);
    EXPECT_EQ(failed.exitCode, 1);
    EXPECT_NE(failed.err.find("building 曹操 failed"), std::string::npos) << failed.err;
    EXPECT_TRUE(Contents(fresh).empty());
    EXPECT_EQ(Build(program, brokenFile).exitCode, 1);
    EXPECT_EQ(Contents(program), before);
}

TEST_F(BuildLibrariesTest, AnInterruptedBuildLeavesNothingBehind) {
    // A poemlib whose imports hang until the build is stopped.
    const std::string slow = m_work.File("slow-poemlib");
    testing_support::WriteFile(slow, "#!/bin/sh\n[ \"$1\" = import ] && sleep 60\nexec " +
                                         std::string(POEMLIB_PATH) + " \"$@\"\n");
    fs::permissions(slow, fs::perms::owner_all);
    const std::string program = m_work.File("lomeva");
    const auto r =
        RunProcess("/bin/bash",
                   {"-c",
                    "setsid bash \"$0\" \"$1\" \"$2\" & pid=$!; sleep 1; kill -TERM -- -$pid; "
                    "wait $pid; echo $?",
                    LOMEVA_SOURCE_DIR "/scripts/build-libraries.sh", program, slow},
                   "", {.environment = {"LOMEVA_POETRY_PACKAGE=" + m_packageFile}});
    EXPECT_EQ(r.out, "143\n") << r.err;
    EXPECT_TRUE(Contents(program).empty());
}

TEST_F(BuildLibrariesTest, TheFavouritesLibrarySurvivesABuildAndARebuild) {
    const std::string program = m_work.File("lomeva");
    fs::create_directories(program);
    const std::string favourites = program + "/收藏.idx";
    ASSERT_EQ(RunProcess(POEMLIB_PATH, {"create", favourites, "--name", "收藏", "--author", "读者",
                                        "--version", "1.0.0", "--date", "2026-12-07"})
                  .exitCode,
              0);
    ASSERT_EQ(RunProcess(POEMLIB_PATH, {"add", favourites, "--title", "静夜思", "--author", "李白"},
                         "床前明月光\n")
                  .exitCode,
              0);
    const std::string index = ReadFile(favourites);
    const std::string data = ReadFile(program + "/收藏.dat");
    const std::string notes = "the favourites' notes, as the build must leave them";
    testing_support::WriteFile(program + "/收藏.notes", notes);
    ASSERT_EQ(Build(program, m_packageFile).exitCode, 0);
    fs::remove(program + "/.collection-libraries"); // the next run builds everything again
    const auto again = Build(program, m_packageFile);
    ASSERT_EQ(again.exitCode, 0) << again.err;
    EXPECT_NE(again.out.find("全唐诗"), std::string::npos) << again.out;
    EXPECT_EQ(ReadFile(favourites), index);
    EXPECT_EQ(ReadFile(program + "/收藏.dat"), data);
    EXPECT_EQ(ReadFile(program + "/收藏.notes"), notes);
}

} // namespace
