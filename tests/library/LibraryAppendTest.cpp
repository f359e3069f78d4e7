// Appending on its own, to files opened here: the 32-bit limits of the formats, and a data file
// that cannot be written. Either way both files stay exactly as they were.

#include "library/LibraryAppend.h"
#include "platform/core/Services.h"
#include "tests/common/TestLibrary.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

namespace {

class LibraryAppendTest : public ::testing::Test {
protected:
    LibraryAppendTest() : m_boxes(m_recorder) {
        testing_support::WriteLibrary(m_folder, "kavro", {{"t", "a", "d", "f", "text"}});
    }
    CString IndexPath() const { return CString::FromUtf8(m_folder.File("kavro.idx")); }
    std::string DataPath() const { return m_folder.File("kavro.dat"); }
    bool Append(unsigned mode = CFile::modeReadWrite) {
        CFile data;
        EXPECT_TRUE(data.Open(CString::FromUtf8(DataPath()), mode));
        m_record = testing_support::MakeRecord({"新", "a", "d", "f", ""});
        const PoemToAppend poem{&m_record, "new", 3};
        return LibraryAppend::Append(IndexPath(), data, {&poem, 1});
    }
    std::string Index() const { return testing_support::ReadFile(m_folder.File("kavro.idx")); }
    CString LastMessage() const {
        return m_recorder.m_boxes.empty() ? CString() : m_recorder.m_boxes.back().text;
    }

    testing_support::TempFolder m_folder;
    CRecordingMessageBox m_recorder;
    ScopedService<IMessageBoxService> m_boxes;
    PoemRecord m_record{};
};

TEST_F(LibraryAppendTest, AppendsAtTheEndOfBothFiles) {
    const std::string index = Index();
    const auto dataSize = std::filesystem::file_size(DataPath());
    ASSERT_TRUE(Append());
    EXPECT_EQ(m_record.offset, dataSize);
    EXPECT_EQ(m_record.length, 4u);
    const std::string after = Index();
    ASSERT_EQ(after.size(), index.size() + kRecordSize);
    EXPECT_EQ(std::memcmp(after.data() + index.size(), &m_record, kRecordSize), 0);
    EXPECT_EQ(testing_support::RecordsOf(after).size(), 2u);
    EXPECT_EQ(testing_support::ReadFile(DataPath()).substr(dataSize), std::string("new\0", 4));
}

// Offsets and lengths are 32 bits: a text that would end past 4 GiB could never be found again.
TEST_F(LibraryAppendTest, ADataFileOfFourGigabytesTakesNoMore) {
    std::filesystem::resize_file(DataPath(), 0xFFFFFFFCull); // sparse: takes no room on disk
    const std::string index = Index();
    EXPECT_FALSE(Append());
    EXPECT_EQ(LastMessage(), u"诗词数据文件已满,不能再加入诗词.");
    EXPECT_EQ(Index(), index);
    EXPECT_EQ(std::filesystem::file_size(DataPath()), 0xFFFFFFFCull);
}

TEST_F(LibraryAppendTest, ACountThatWouldOverflowIsRefused) {
    std::string index = Index();
    const std::uint32_t full = 0xFFFFFFFFu;
    std::memcpy(index.data() + 288, &full, 4);
    testing_support::WriteFile(m_folder.File("kavro.idx"), index);
    std::filesystem::resize_file(m_folder.File("kavro.idx"), RecordPosition(full)); // sparse
    const std::string data = testing_support::ReadFile(DataPath());
    EXPECT_FALSE(Append());
    EXPECT_EQ(LastMessage(), u"诗词数据文件已满,不能再加入诗词.");
    EXPECT_EQ(std::filesystem::file_size(m_folder.File("kavro.idx")), RecordPosition(full));
    EXPECT_EQ(testing_support::ReadFile(DataPath()), data);
}

// The texts go first: when they cannot be written, no record or count points at them.
TEST_F(LibraryAppendTest, ADataFileThatCannotBeWrittenLeavesTheIndexAlone) {
    const std::string index = Index();
    const std::string data = testing_support::ReadFile(DataPath());
    EXPECT_FALSE(Append(CFile::modeRead));
    EXPECT_NE(LastMessage().Find(u"kavro.dat"), -1);
    EXPECT_EQ(Index(), index);
    EXPECT_EQ(testing_support::ReadFile(DataPath()), data);
}

} // namespace
