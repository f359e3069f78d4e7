// list, show and page over a library whose index is cut short after it was opened: the records
// cannot be read, so each command fails with the library's one message and prints nothing.

#include "platform/core/Services.h"
#include "settings/Settings.h"
#include "tests/common/TestLibrary.h"
#include "tools/poemlib/Cli.h"
#include "tools/poemlib/Commands.h"

#include <functional>
#include <gtest/gtest.h>

namespace {

using testing_support::ReadFile;
using testing_support::TempFolder;
using testing_support::WriteFile;

class ShortenedIndexTest : public ::testing::Test {
protected:
    ShortenedIndexTest() { WriteTwoPoems(); }
    ~ShortenedIndexTest() override { ResetSettings(); }

    void WriteTwoPoems() {
        testing_support::WriteLibrary(m_folder, "t",
                                      {{"静夜思", "李白", "唐代", "五言绝句", "床前明月光"},
                                       {"春晓", "孟浩然", "唐代", "五言绝句", "春眠不觉晓"}});
    }

    // Opens the library, cuts its index after the first record, runs `command` on it and
    // returns what it printed; `exitCode` is what it returned.
    std::string RunCut(const std::function<int(CPoemLibrary&)>& command, int& exitCode) {
        WriteTwoPoems();
        const std::string lib = m_folder.File("t.idx");
        auto library = poemlib::OpenLibrary(lib, poemlib::Records::unread);
        EXPECT_NE(library, nullptr);
        if (library == nullptr) {
            return {};
        }
        WriteFile(lib, ReadFile(lib).substr(0, 292 + 124));
        testing::internal::CaptureStdout();
        exitCode = command(*library);
        return testing::internal::GetCapturedStdout();
    }

    TempFolder m_folder;
    CRecordingMessageBox m_recorder;
    ScopedService<IMessageBoxService> m_boxes{m_recorder};
};

TEST_F(ShortenedIndexTest, ListShowAndPageFailWithTheLibrarysMessageAndPrintNothing) {
    const std::function<int(CPoemLibrary&)> commands[] = {
        [](CPoemLibrary& library) { return poemlib::ListLibrary(library, false); },
        [](CPoemLibrary& library) { return poemlib::ListLibrary(library, true); },
        [](CPoemLibrary& library) { return poemlib::ShowText(library, "1"); },
        [](CPoemLibrary& library) { return poemlib::ShowPage(library, "2"); },
    };
    for (std::size_t i = 0; i < std::size(commands); ++i) {
        SCOPED_TRACE(i);
        m_recorder.m_boxes.clear();
        int exitCode = -1;
        EXPECT_EQ(RunCut(commands[i], exitCode), "");
        EXPECT_EQ(exitCode, 1);
        ASSERT_EQ(m_recorder.m_boxes.size(), 1u);
        EXPECT_EQ(m_recorder.m_boxes[0].text, CString(u"不能读诗词索引文件."));
    }
}

TEST_F(ShortenedIndexTest, AnIndexLeftWholeListsAndShowsAsBefore) {
    const std::string lib = m_folder.File("t.idx");
    auto library = poemlib::OpenLibrary(lib, poemlib::Records::unread);
    ASSERT_NE(library, nullptr);
    testing::internal::CaptureStdout();
    EXPECT_EQ(poemlib::ListLibrary(*library, false), 0);
    EXPECT_EQ(poemlib::ShowText(*library, "2"), 0);
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "1\t静夜思\t李白\t唐代\t五言绝句\n2\t春晓\t孟浩然\t唐代\t五言绝句\n春眠不觉晓");
    EXPECT_TRUE(m_recorder.m_boxes.empty());
}

} // namespace
