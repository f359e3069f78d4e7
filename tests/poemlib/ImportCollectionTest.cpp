// The collection's poems as libraries: `poemlib import` over files in the collection's layouts,
// and the script that builds every library of the package into a program folder.

#include "tests/common/Process.h"
#include "tests/common/TestLibrary.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <iterator>
#include <nlohmann/json.hpp>
#include <sstream>

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
    for (const char* name :
         {"全唐诗", "全宋诗", "全宋词", "元曲", "诗经楚辞", "五代词", "纳兰性德", "曹操"}) {
        EXPECT_EQ(RunProcess(POEMLIB_PATH, {"check", program + "/" + name + ".idx"}).exitCode, 0)
            << name;
        EXPECT_NE(first.out.find(name), std::string::npos) << first.out;
    }
    // The table: 全唐诗 has 7 poems of 唐代 (one duplicate left out), 2 characters replaced and
    // one title cut, whose whole title is its poem's note; nothing mended or left out. The preface
    // of 花间集 is not a poem.
    EXPECT_EQ(TableRow(first.out, "全唐诗"),
              (std::vector<std::string>{"全唐诗", "7", "唐代", "2", "1", "1", "0", "0"}))
        << first.out;
    EXPECT_EQ(RunProcess(POEMLIB_PATH, {"list", program + "/五代词.idx"}).out,
              "1\t菩萨蛮 其一\t温庭筠\t五代十国\t菩萨蛮\n"
              "2\t虞美人·春花秋月何时了\t李煜\t五代十国\t虞美人\n");
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
