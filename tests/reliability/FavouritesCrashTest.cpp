// Keeping a favourite and taking one out, killed before each write, flush, rename and removal they
// make: the favourites must then open as the library they were before or as the one they were
// becoming, every poem beside its own notes and none beside another's, and pass the command
// line's check but for notes that no record refers to, which the next change leaves out.

#include "library/Favourites.h"
#include "library/PoemLibrary.h"
#include "library/PoemNotes.h"
#include "platform/core/CodePage.h"
#include "tests/common/Process.h"
#include "tests/common/TestLibrary.h"

#include <csignal>
#include <filesystem>
#include <gtest/gtest.h>
#include <optional>
#include <sstream>

namespace {

using testing_support::ProcessOptions;
using testing_support::ProcessResult;
using testing_support::TempFolder;
using Kept = std::vector<std::string>;

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
        WriteSourceNotes();
        for (const char* number : {"0", "2", "1"}) {
            ASSERT_EQ(Tool("add", number).exitCode, 0);
        }
    }
    // Every poem but 春晓 has notes in its library, 水调歌头 its whole title too.
    void WriteSourceNotes() {
        CPoemLibrary library(CString::FromUtf8(m_folder.Folder()));
        ASSERT_TRUE(library.Open(LibraryAccess::readOnly));
        const std::vector<PoemNotes> notes{
            {{}, {u"床--井栏。"}},
            {},
            {u"水调歌头·丙辰中秋，欢饮达旦，大醉，作此篇，兼怀子由", {u"子由--苏辙。"}},
            {{}, {u"红豆--相思子。", u"发--一作“秋”。"}},
        };
        CNotesWriter writer;
        for (std::size_t i = 0; i < notes.size(); ++i) {
            const PoemRecord& record = library.GetRecords()[i];
            CString text;
            library.ReadText(&record, text);
            writer.Add(record, text, notes[i]);
        }
        std::string error;
        ASSERT_TRUE(writer.Write(m_folder.File("kavro.notes"), error)) << error;
    }
    ProcessResult Tool(const std::string& action, const std::string& number,
                       const ProcessOptions& options = {}) {
        return testing_support::RunProcess(
            FAVOURITES_TOOL_PATH, {m_folder.Folder(), "kavro", action, number}, "", options);
    }
    // Each favourite as a reader of libraries shows it: title, text and the notes found beside it.
    Kept Favourites() {
        Kept kept;
        const auto library = OpenFavourites(CString::FromUtf8(m_folder.Folder()));
        if (library == nullptr) {
            return kept;
        }
        for (const PoemRecord& record : library->GetRecords()) {
            CString text;
            library->ReadText(&record, text);
            std::string shown =
                CodePage::Decode(record.title, sizeof record.title).ToUtf8() + ":" + text.ToUtf8();
            for (const CString& line : FindPoemNotes(*library, record).Lines()) {
                shown += "|" + line.ToUtf8();
            }
            kept.push_back(shown);
        }
        return kept;
    }
    // What poemlib check finds wrong with the favourites, one a line.
    std::vector<std::string> CheckProblems() {
        const ProcessResult check =
            testing_support::RunProcess(POEMLIB_PATH, {"check", m_folder.File("收藏.idx")});
        std::vector<std::string> problems;
        std::istringstream lines(check.out + check.err);
        for (std::string line; std::getline(lines, line);) {
            problems.push_back(line);
        }
        EXPECT_EQ(check.exitCode, problems.empty() ? 0 : 1) << check.out << check.err;
        return problems;
    }
    void ExpectOneOf(const Kept& before, const Kept& after, const std::string& what) {
        const Kept now = Favourites();
        EXPECT_TRUE(now == before || now == after) << what << ": " << ::testing::PrintToString(now);
        for (const std::string& problem : CheckProblems()) {
            EXPECT_NE(problem.find("are no poem's"), std::string::npos) << what << ": " << problem;
        }
    }
    std::optional<std::string> Saved(const std::string& name) {
        const std::filesystem::path path = m_folder.Path() / std::filesystem::u8path(name);
        if (!std::filesystem::exists(path)) {
            return std::nullopt;
        }
        return testing_support::ReadFile(path.string());
    }
    void Restore(const std::string& name, const std::optional<std::string>& bytes) {
        const std::filesystem::path path = m_folder.Path() / std::filesystem::u8path(name);
        if (bytes) {
            testing_support::WriteFile(path.string(), *bytes);
        } else {
            std::filesystem::remove(path);
        }
    }
    // Runs the tool killed after 0, 1, 2 ... writes until it gets through; returns the kills.
    int KillAtEachWrite(const std::string& action, const std::string& number, const Kept& before,
                        const Kept& after) {
        EXPECT_EQ(Favourites(), before);
        std::vector<std::pair<std::string, std::optional<std::string>>> files;
        for (const char* name : {"收藏.idx", "收藏.dat", "收藏.notes"}) {
            files.emplace_back(name, Saved(name));
        }
        int kills = 0;
        for (int writes = 0; writes < 40; ++writes) {
            ProcessOptions options;
            options.environment = {"LD_PRELOAD=" KILL_AFTER_WRITES_PATH,
                                   "LOMEVA_KILL_AFTER_WRITES=" + std::to_string(writes)};
            const ProcessResult run = Tool(action, number, options);
            if (run.signal != SIGKILL) {
                EXPECT_EQ(run.exitCode, 0) << run.err;
                EXPECT_EQ(Favourites(), after);
                EXPECT_TRUE(CheckProblems().empty());
                return kills;
            }
            ++kills;
            ExpectOneOf(before, after, "killed after " + std::to_string(writes) + " writes");
            for (const auto& [name, bytes] : files) {
                Restore(name, bytes);
            }
        }
        ADD_FAILURE() << "never got through";
        return kills;
    }
    bool Exists(const char* name) const {
        return std::filesystem::exists(m_folder.Path() / std::filesystem::u8path(name));
    }

    TempFolder m_folder;
};

const std::string kFirst = "静夜思:床前明月光，\r\n疑是地上霜。|床--井栏。";
const std::string kSecond = "春晓:春眠不觉晓，\r\n处处闻啼鸟。";
const std::string kThird =
    "水调歌头:明月几时有？\r\n把酒问青天。"
    "|原题：水调歌头·丙辰中秋，欢饮达旦，大醉，作此篇，兼怀子由|子由--苏辙。";
const std::string kFourth = "相思:红豆生南国，\r\n春来发几枝。|红豆--相思子。|发--一作“秋”。";

TEST_F(FavouritesCrashTest, TakingOneOutKilledAtEachWriteLeavesTheOldOrTheNew) {
    // The index, its flush, its rename, the folder's flush; the notes, their flush, their rename.
    EXPECT_GE(KillAtEachWrite("remove", "2", {kFirst, kThird, kSecond}, {kFirst, kSecond}), 7);
    // The last poem with notes: the notes file goes with it.
    EXPECT_EQ(Tool("remove", "1").exitCode, 0);
    EXPECT_GE(KillAtEachWrite("remove", "0", {kFirst}, {}), 5);
    EXPECT_FALSE(Exists("收藏.notes"));
    EXPECT_FALSE(Exists("收藏.idx.new"));
    EXPECT_FALSE(Exists("收藏.notes.new"));
}

TEST_F(FavouritesCrashTest, KeepingOneKilledAtEachWriteLeavesTheOldOrTheNew) {
    // The index and the notes beside the old ones and their flushes, the text and its flush,
    // the notes' rename, the folder's flush, the index's rename.
    EXPECT_GE(
        KillAtEachWrite("add", "3", {kFirst, kThird, kSecond}, {kFirst, kThird, kSecond, kFourth}),
        9);
    // New files that a kill left half written beside the old ones are no part of the favourites,
    // and the next change writes them afresh.
    testing_support::WriteFile(m_folder.File("收藏.idx.new"), "SC half");
    testing_support::WriteFile(m_folder.File("收藏.notes.new"), "SCNOTES");
    EXPECT_EQ(Tool("remove", "0").exitCode, 0);
    EXPECT_EQ(Favourites(), (Kept{kThird, kSecond, kFourth}));
    EXPECT_TRUE(CheckProblems().empty());
    EXPECT_FALSE(Exists("收藏.idx.new"));
    EXPECT_FALSE(Exists("收藏.notes.new"));
}

TEST_F(FavouritesCrashTest, TheFirstOneKilledAtEachWriteLeavesNoLibraryOrAWholeOne) {
    const char* const files[] = {"收藏.idx", "收藏.dat", "收藏.notes"};
    for (const char* name : files) {
        std::filesystem::remove(m_folder.Path() / std::filesystem::u8path(name));
    }
    for (int writes = 0; writes < 40; ++writes) {
        ProcessOptions options;
        options.environment = {"LD_PRELOAD=" KILL_AFTER_WRITES_PATH,
                               "LOMEVA_KILL_AFTER_WRITES=" + std::to_string(writes)};
        const ProcessResult run = Tool("add", "3", options);
        if (run.signal != SIGKILL) {
            EXPECT_EQ(run.exitCode, 0) << run.err;
            EXPECT_EQ(Favourites(), (Kept{kFourth}));
            EXPECT_TRUE(CheckProblems().empty());
            return;
        }
        if (Exists("收藏.idx")) {
            ExpectOneOf({}, {kFourth}, "killed after " + std::to_string(writes) + " writes");
        }
        for (const char* name : files) {
            std::filesystem::remove(m_folder.Path() / std::filesystem::u8path(name));
        }
    }
    ADD_FAILURE() << "never got through";
}

} // namespace
