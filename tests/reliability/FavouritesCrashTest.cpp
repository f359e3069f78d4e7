// Keeping a favourite and taking one out, killed after each write and flush they make: the
// favourites must then open as the library they were before or as the one they were becoming,
// never a mix, and pass the command line's check.

#include "library/Favourites.h"
#include "library/PoemLibrary.h"
#include "platform/core/CodePage.h"
#include "tests/common/Process.h"
#include "tests/common/TestLibrary.h"

#include <csignal>
#include <filesystem>
#include <gtest/gtest.h>

namespace {

using testing_support::ProcessOptions;
using testing_support::ProcessResult;
using testing_support::TempFolder;
using Titles = std::vector<std::string>;

class FavouritesCrashTest : public ::testing::Test {
protected:
    void SetUp() override {
#ifdef LOMEVA_SANITIZED
        GTEST_SKIP() << "the sanitizers' runtime must come first; the plain build runs this";
#endif
        testing_support::WriteLibrary(
            m_folder, "kavro",
            {
                {"静夜思", "李白", "唐代", "五言绝句", "床前明月光，\r\n疑是地上霜。"},
                {"春晓", "孟浩然", "唐代", "五言绝句", "春眠不觉晓，\r\n处处闻啼鸟。"},
                {"水调歌头", "苏轼", "宋代", "水调歌头", "明月几时有？\r\n把酒问青天。"},
                {"相思", "王维", "唐代", "五言绝句", "红豆生南国，\r\n春来发几枝。"},
            });
        for (const char* number : {"0", "1", "2"}) {
            ASSERT_EQ(Tool("add", number).exitCode, 0);
        }
    }
    ProcessResult Tool(const std::string& action, const std::string& number,
                       const ProcessOptions& options = {}) {
        return testing_support::RunProcess(
            FAVOURITES_TOOL_PATH, {m_folder.Folder(), "kavro", action, number}, "", options);
    }
    // The favourites' titles with their texts, as a reader of libraries finds them.
    Titles Kept() {
        CFavourites favourites(CString::FromUtf8(m_folder.Folder()));
        Titles kept;
        for (const KeptPoem& poem : favourites.Poems()) {
            kept.push_back(CodePage::Decode(poem.record.title, sizeof poem.record.title).ToUtf8() +
                           ":" + CodePage::Decode(poem.text.data(), poem.text.size()).ToUtf8());
        }
        return kept;
    }
    void ExpectOneOf(const Titles& before, const Titles& after, const std::string& what) {
        const Titles now = Kept();
        EXPECT_TRUE(now == before || now == after) << what << ": " << ::testing::PrintToString(now);
        const ProcessResult check =
            testing_support::RunProcess(POEMLIB_PATH, {"check", m_folder.File("收藏.idx")});
        EXPECT_EQ(check.exitCode, 0) << what << ": " << check.out << check.err;
    }
    // Runs the tool killed after 0, 1, 2 ... writes until it gets through; returns the kills.
    int KillAtEachWrite(const std::string& action, const std::string& number, const Titles& before,
                        const Titles& after) {
        const std::string index = testing_support::ReadFile(m_folder.File("收藏.idx"));
        const std::string data = testing_support::ReadFile(m_folder.File("收藏.dat"));
        int kills = 0;
        for (int writes = 0; writes < 30; ++writes) {
            ProcessOptions options;
            options.environment = {"LD_PRELOAD=" KILL_AFTER_WRITES_PATH,
                                   "LOMEVA_KILL_AFTER_WRITES=" + std::to_string(writes)};
            const ProcessResult run = Tool(action, number, options);
            if (run.signal != SIGKILL) {
                EXPECT_EQ(run.exitCode, 0) << run.err;
                EXPECT_EQ(Kept(), after);
                return kills;
            }
            ++kills;
            ExpectOneOf(before, after, "killed after " + std::to_string(writes) + " writes");
            testing_support::WriteFile(m_folder.File("收藏.idx"), index);
            testing_support::WriteFile(m_folder.File("收藏.dat"), data);
        }
        ADD_FAILURE() << "never got through";
        return kills;
    }

    TempFolder m_folder;
};

const std::string kFirst = "静夜思:床前明月光，\r\n疑是地上霜。";
const std::string kSecond = "春晓:春眠不觉晓，\r\n处处闻啼鸟。";
const std::string kThird = "水调歌头:明月几时有？\r\n把酒问青天。";
const std::string kFourth = "相思:红豆生南国，\r\n春来发几枝。";

TEST_F(FavouritesCrashTest, TakingOneOutKilledAtEachWriteLeavesTheOldOrTheNew) {
    ASSERT_EQ(Kept(), (Titles{kFirst, kSecond, kThird}));
    const int kills = KillAtEachWrite("remove", "1", {kFirst, kSecond, kThird}, {kFirst, kThird});
    EXPECT_GE(kills, 2); // the new index, its flush
    // A new index that a kill left half written beside the old one is no library, and the next
    // removal writes it afresh.
    EXPECT_EQ(Tool("remove", "0").exitCode, 0);
    EXPECT_EQ(Kept(), (Titles{kThird}));
    EXPECT_FALSE(std::filesystem::exists(m_folder.Path() / u8"收藏.idx.new"));
}

TEST_F(FavouritesCrashTest, KeepingOneKilledAtEachWriteLeavesTheOldOrTheNew) {
    const int kills =
        KillAtEachWrite("add", "3", {kFirst, kSecond, kThird}, {kFirst, kSecond, kThird, kFourth});
    EXPECT_GE(kills, 5); // text, its flush, the record, its flush, the header, its flush
}

TEST_F(FavouritesCrashTest, TheFirstOneKilledAtEachWriteLeavesNoLibraryOrAWholeOne) {
    for (const char* name : {"收藏.idx", "收藏.dat"}) {
        std::filesystem::remove(m_folder.Path() / std::filesystem::u8path(name));
    }
    for (int writes = 0; writes < 30; ++writes) {
        ProcessOptions options;
        options.environment = {"LD_PRELOAD=" KILL_AFTER_WRITES_PATH,
                               "LOMEVA_KILL_AFTER_WRITES=" + std::to_string(writes)};
        const ProcessResult run = Tool("add", "3", options);
        const bool library = std::filesystem::exists(m_folder.Path() / u8"收藏.idx");
        if (run.signal != SIGKILL) {
            EXPECT_EQ(run.exitCode, 0) << run.err;
            EXPECT_EQ(Kept(), (Titles{kFourth}));
            return;
        }
        if (library) {
            ExpectOneOf({}, {kFourth}, "killed after " + std::to_string(writes) + " writes");
        }
        for (const char* name : {"收藏.idx", "收藏.dat"}) {
            std::filesystem::remove(m_folder.Path() / std::filesystem::u8path(name));
        }
    }
    ADD_FAILURE() << "never got through";
}

} // namespace
