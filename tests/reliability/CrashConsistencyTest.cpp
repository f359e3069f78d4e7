// poemlib add and import killed after each write and flush they make, and writing onto a full
// disk: the library must still open with every earlier poem byte for byte as it was, and the
// check may find nothing worse than a record or text that was never completed.

#include "tests/common/Process.h"
#include "tests/common/TestLibrary.h"

#include <csignal>
#include <gtest/gtest.h>

namespace {

using testing_support::ProcessOptions;
using testing_support::ProcessResult;
using testing_support::TempFolder;

class CrashTest : public ::testing::Test {
protected:
    void SetUp() override {
#ifdef LOMEVA_SANITIZED
        GTEST_SKIP() << "the sanitizers' runtime must come first; the plain build runs this";
#endif
        ASSERT_EQ(Poemlib({"create", Lib(), "--name", "n", "--author", "a", "--version", "1.0.0",
                           "--date", "2026-12-07"})
                      .exitCode,
                  0);
        for (const char* title : {"一", "二", "三"}) {
            ASSERT_EQ(
                Poemlib({"add", Lib(), "--title", title, "--author", "甲"}, "明月光\n").exitCode,
                0);
        }
    }
    ProcessResult Poemlib(const std::vector<std::string>& args, const std::string& input = "",
                          const ProcessOptions& options = {}) {
        return testing_support::RunProcess(POEMLIB_PATH, args, input, options);
    }
    std::string Lib() const {
        return m_folder.File("t.idx");
    }
    // The poems as export prints them, one JSON line each.
    std::vector<std::string> Poems() {
        const ProcessResult exported = Poemlib({"export", Lib()});
        EXPECT_EQ(exported.exitCode, 0) << exported.err;
        std::vector<std::string> lines;
        std::size_t start = 0;
        for (std::size_t end; (end = exported.out.find('\n', start)) != std::string::npos;
             start = end + 1) {
            const std::string line = exported.out.substr(start, end - start);
            if (line != "[" && line != "]") {
                lines.push_back(line.back() == ',' ? line.substr(0, line.size() - 1) : line);
            }
        }
        return lines;
    }
    // After an interruption: opens, keeps `before` as it was, and shows no worse damage than
    // stray bytes after the last record.
    void ExpectIntact(const std::vector<std::string>& before, const std::string& what) {
        const std::vector<std::string> after = Poems();
        ASSERT_GE(after.size(), before.size()) << what;
        EXPECT_EQ(std::vector<std::string>(after.begin(), after.begin() + before.size()), before)
            << what;
        const ProcessResult check = Poemlib({"check", Lib()});
        if (check.exitCode != 0) {
            EXPECT_NE(check.out.find("stray bytes follow the last record"), std::string::npos)
                << what << ": " << check.out;
            EXPECT_EQ(std::count(check.out.begin(), check.out.end(), '\n'), 1) << check.out;
        }
    }
    // Runs `args` killed after 0, 1, 2 ... writes until it gets through; returns the kills.
    int KillAtEachWrite(const std::vector<std::string>& args, const std::string& input,
                        const std::function<void()>& restore) {
        int kills = 0;
        for (int writes = 0; writes < 50; ++writes) {
            const std::vector<std::string> before = Poems();
            ProcessOptions options;
            options.environment = {"LD_PRELOAD=" KILL_AFTER_WRITES_PATH,
                                   "LOMEVA_KILL_AFTER_WRITES=" + std::to_string(writes)};
            const ProcessResult run = Poemlib(args, input, options);
            if (run.signal != SIGKILL) {
                EXPECT_EQ(run.exitCode, 0) << run.err;
                return kills;
            }
            ++kills;
            ExpectIntact(before, "killed after " + std::to_string(writes) + " writes");
            restore();
        }
        ADD_FAILURE() << "never got through";
        return kills;
    }

    TempFolder m_folder;
};

TEST_F(CrashTest, AddKilledAtEachWrite) {
    const std::string index = testing_support::ReadFile(Lib());
    const std::string data = testing_support::ReadFile(m_folder.File("t.dat"));
    const int kills =
        KillAtEachWrite({"add", Lib(), "--title", "四", "--author", "乙"}, "床前明月光\n", [&] {
            testing_support::WriteFile(Lib(), index);
            testing_support::WriteFile(m_folder.File("t.dat"), data);
        });
    EXPECT_GE(kills, 5); // text, its flush, the record, its flush, the header, its flush
    EXPECT_EQ(Poems().size(), 4u);
}

TEST_F(CrashTest, ImportKilledAtEachWrite) {
    testing_support::WriteFile(m_folder.File("more.json"),
                               R"([{"title":"春晓","author":"孟浩然","paragraphs":["春眠不觉晓"]},
                                   {"title":"相思","author":"王维","paragraphs":["红豆生南国"]}])");
    const int kills = KillAtEachWrite({"import", Lib(), m_folder.File("more.json")}, "", [] {});
    EXPECT_GE(kills, 5);
    EXPECT_GE(Poems().size(), 5u);
}

TEST_F(CrashTest, FullDiskFailsWithAMessageAndKeepsEveryPoem) {
    // The limit holds for every file the program writes, its messages too: a long poem makes
    // the data file larger than any message.
    ASSERT_EQ(
        Poemlib({"add", Lib(), "--title", "长", "--author", "甲"}, std::string(3000, 'x')).exitCode,
        0);
    const std::vector<std::string> before = Poems();
    const std::string index = testing_support::ReadFile(Lib());
    ProcessOptions full;
    full.fileSizeLimit =
        static_cast<long>(testing_support::ReadFile(m_folder.File("t.dat")).size());
    const ProcessResult run =
        Poemlib({"add", Lib(), "--title", "满", "--author", "乙"}, "写不下了\n", full);
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.err.find("存储空间已满"), std::string::npos) << run.err;
    EXPECT_EQ(testing_support::ReadFile(Lib()), index);
    EXPECT_EQ(Poems(), before);
    EXPECT_EQ(Poemlib({"check", Lib()}).exitCode, 0);
}

} // namespace
