// The package's biographies and counts as the pages take them, from a small package of our own.

#include "tools/refpages/PackageConversion.h"
#include "tests/common/TestLibrary.h"
#include "tools/poemlib/Simplifier.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace {

namespace fs = std::filesystem;
using namespace refpages;
using testing_support::WriteFile;

class PackageConversionTest : public ::testing::Test {
protected:
    PackageConversionTest() {
        for (const char* folder : {"quantangshi", "songci", "rank/poet", "rank/ci"}) {
            fs::create_directories(m_dist.Path() / folder);
        }
    }
    void Write(const std::string& name, const std::string& json) {
        WriteFile((m_dist.Path() / name).string(), json);
    }
    PackageNotes Convert(const std::vector<LibrarySources>& libraries = {}) {
        PackageNotes notes;
        std::string error;
        EXPECT_TRUE(ConvertPackageNotes(m_dist.Folder(), libraries, m_simplifier, notes, error))
            << error;
        return notes;
    }

    testing_support::TempFolder m_dist;
    Simplifier m_simplifier;
};

TEST_F(PackageConversionTest, BiographiesAreSimplifiedAndNoneAreLeftOut) {
    ASSERT_TRUE(m_simplifier.IsReady());
    Write("quantangshi/authors.tang.json",
          R"([{"name": "張祜", "desc": "張祜，字承吉，清河人。"},
              {"name": "張祜", "desc": "張祜字承吉。"},
              {"name": "張祜", "desc": "張祜字承吉。"},
              {"name": "無名", "desc": "--"},
              {"name": "空白", "desc": "  "}])");
    Write("quantangshi/authors.song.json",
          "[{\"name\": \"楊時\", \"desc\": "
          "\"楊時（\uE00E～一一三五），字中立。\uE004楊時詩，以《龜山集》為底本。\"}]");
    Write(
        "songci/author.song.json",
        R"([{"name": "苏轼", "description": "苏轼：(1037-1101) 字子瞻。", "short_description": ""},
              {"name": "蔡", "description": "--", "short_description": ""},
              {"name": "曹", "description": "--字择可，号松山。", "short_description": ""}])");
    const PackageNotes notes = Convert();
    const auto& tang = notes.biographies.at("唐代");
    ASSERT_EQ(tang.count("张祜"), 1u);
    ASSERT_EQ(tang.at("张祜").size(), 2u); // two different texts, the repeated one once
    EXPECT_EQ(tang.at("张祜")[0].text, "张祜，字承吉，清河人。");
    EXPECT_EQ(tang.at("张祜")[0].source, "全唐诗");
    EXPECT_EQ(tang.count("无名"), 0u);
    EXPECT_EQ(tang.count("空白"), 0u);
    const auto& song = notes.biographies.at("宋代");
    EXPECT_EQ(song.at("杨时")[0].text,
              "杨时（？～一一三五），字中立。\n杨时诗，以《龟山集》为底本。");
    EXPECT_EQ(song.at("苏轼")[0].text, "(1037-1101) 字子瞻。");
    EXPECT_EQ(song.at("苏轼")[0].source, "全宋词");
    EXPECT_EQ(song.count("蔡"), 0u);
    EXPECT_EQ(song.at("曹")[0].text, "字择可，号松山。");
}

TEST_F(PackageConversionTest, CountsFollowTheLibrarysFilesAndKeys) {
    Write("rank/poet/poet.song.rank.0.json",
          R"([{"author": "楊時", "title": "臘月見桃花", "baidu": 30, "google": 9000},
              {"author": "楊時", "title": "句", "baidu": 99999},
              {"author": "向", "title": "春日", "baidu": 99999}])");
    Write("rank/poet/poet.song.rank.1000.json",
          R"([{"author": "楊時", "title": "臘月見桃花", "baidu": 70}])");
    Write("rank/ci/ci.song.rank.0.json",
          R"([{"author": "柳永", "rhythmic": "雨霖鈴", "baidu": 5}])");
    const PackageNotes notes =
        Convert({{"全宋诗", {"/x/quantangshi/poet.song.1000.json", "quantangshi/poet.song.0.json"}},
                 {"全宋词", {"songci/ci.song.0.json"}},
                 {"元曲", {"yuanqu/yuanqu.json"}}});
    const auto& shi = notes.ranks.at("全宋诗");
    EXPECT_EQ(shi.at(RankKey("杨时", "腊月见桃花")), (std::vector<long long>{70, 30}));
    EXPECT_EQ(shi.at(RankKey("杨时", "句")), std::vector<long long>{-1});
    EXPECT_EQ(shi.at(RankKey("向", "春日")), std::vector<long long>{-1});
    EXPECT_EQ(notes.ranks.at("全宋词").at(RankKey("柳永", "雨霖铃")), std::vector<long long>{5});
    EXPECT_EQ(notes.ranks.count("元曲"), 0u);
}

TEST_F(PackageConversionTest, AFileThatCannotBeReadIsAFailure) {
    Write("songci/author.song.json", "[{\"name\": ");
    PackageNotes notes;
    std::string error;
    EXPECT_FALSE(ConvertPackageNotes(m_dist.Folder(), {}, m_simplifier, notes, error));
    EXPECT_NE(error.find("author.song.json"), std::string::npos) << error;
}

TEST(Biography, APassageRepeatedAfterSpacesStandsOnce) {
    EXPECT_EQ(CleanBiography(
                  "韦应物", "韦应物，京兆长安人。少以三卫郎事明皇。          韦应物，京兆长安人。"),
              "韦应物，京兆长安人。少以三卫郎事明皇。");
    EXPECT_EQ(CleanBiography("甲", "甲：第一段。\n\n第二段。  第三段。"),
              "第一段。\n第二段。\n第三段。");
    EXPECT_EQ(CleanBiography("甲", " -- "), "");
}

TEST(SourceList, GroupsTheFilesOfEachLibraryInTheirOrder) {
    const auto libraries = ReadSourceList("全唐诗\ta.json\n全唐诗\tb.json\n曹操\tc.json\nbroken\n");
    ASSERT_EQ(libraries.size(), 2u);
    EXPECT_EQ(libraries[0].files, (std::vector<std::string>{"a.json", "b.json"}));
    EXPECT_EQ(libraries[1].stem, "曹操");
}

} // namespace
