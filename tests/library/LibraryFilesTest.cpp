// Reading the two files on their own, without a library object: the header's checks, the
// records mapped or copied, and a text's bytes as far as the data file goes.

#include "library/LibraryFiles.h"
#include "tests/common/TestLibrary.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

using testing_support::TempFolder;

class LibraryFilesTest : public ::testing::Test {
protected:
    void SetUp() override { testing_support::WriteLibrary(m_folder, "kavro", Poems()); }

    static std::vector<testing_support::TestPoem> Poems() {
        return {{"静夜思", "李白", "唐代", "五言绝句", "床前明月光"},
                {"春晓", "孟浩然", "唐代", "五言绝句", "春眠不觉晓"}};
    }
    void OpenIndex(CFile& index) {
        ASSERT_TRUE(index.Open(CString::FromUtf8(m_folder.File("kavro.idx")), CFile::modeRead));
    }
    std::string Index() const { return testing_support::ReadFile(m_folder.File("kavro.idx")); }
    void SetIndex(const std::string& bytes) {
        testing_support::WriteFile(m_folder.File("kavro.idx"), bytes);
    }

    TempFolder m_folder;
};

TEST_F(LibraryFilesTest, TheHeaderIsReadAndItsSignatureChecked) {
    LibraryHeader header{};
    CFile index;
    OpenIndex(index);
    ASSERT_EQ(LibraryFiles::ReadHeader(index, header), OpenFailure::none);
    EXPECT_EQ(std::memcmp(&header, Index().data(), kHeaderSize), 0);
    EXPECT_EQ(header.count, 2u);

    std::string bytes = Index();
    bytes[0] = 'C';
    bytes[1] = 'S';
    SetIndex(bytes);
    CFile foreign;
    OpenIndex(foreign);
    EXPECT_EQ(LibraryFiles::ReadHeader(foreign, header), OpenFailure::notAnIndex);
    EXPECT_EQ(header.magic[0], 'C'); // the rejected bytes stay for what shows them

    SetIndex(bytes.substr(0, kHeaderSize - 1));
    CFile cut;
    OpenIndex(cut);
    EXPECT_EQ(LibraryFiles::ReadHeader(cut, header), OpenFailure::headerShort);
}

TEST_F(LibraryFilesTest, RecordsAreThoseOfTheFileMappedOrCopied) {
    const std::vector<PoemRecord> expected = testing_support::RecordsOf(Index());
    // Only a few mapped indexes are kept readable at a time: past them the records are copied
    // into the room the caller made.
    std::vector<RecordArray> kept;
    bool copied = false;
    for (int i = 0; i < 12; ++i) {
        CFile index;
        OpenIndex(index);
        RecordArray records = RecordArray::Allocate(2);
        PoemRecord* room = records.get();
        ASSERT_TRUE(LibraryFiles::ReadRecords(index, 2, records));
        ASSERT_EQ(std::memcmp(records.get(), expected.data(), 2 * kRecordSize), 0) << i;
        copied = copied || records.get() == room;
        kept.push_back(std::move(records));
    }
    EXPECT_TRUE(copied);
}

TEST_F(LibraryFilesTest, AnIndexWithoutEveryCountedRecordIsRefused) {
    SetIndex(Index().substr(0, RecordPosition(2) - 1));
    CFile index;
    OpenIndex(index);
    EXPECT_FALSE(LibraryFiles::HoldsRecords(index, 2));
    EXPECT_TRUE(LibraryFiles::HoldsRecords(index, 1));
    RecordArray records = RecordArray::Allocate(2);
    EXPECT_FALSE(LibraryFiles::ReadRecords(index, 2, records));
}

// The bytes as stored, zero bytes and all: the decoder, not the reading, stops at the first zero.
TEST_F(LibraryFilesTest, ATextsBytesGoAsFarAsTheDataFile) {
    testing_support::WriteFile(m_folder.File("kavro.dat"), std::string("ab\0cd", 5));
    CFile data;
    ASSERT_TRUE(data.Open(CString::FromUtf8(m_folder.File("kavro.dat")), CFile::modeRead));
    PoemRecord record{};
    std::string bytes = "old";
    record.offset = 0;
    record.length = 5;
    LibraryFiles::ReadTextBytes(data, record, bytes);
    EXPECT_EQ(bytes, std::string("ab\0cd", 5));
    record.offset = 3;
    record.length = 0xFFFFFFFFu;
    LibraryFiles::ReadTextBytes(data, record, bytes);
    EXPECT_EQ(bytes, "cd");
    record.offset = 5;
    LibraryFiles::ReadTextBytes(data, record, bytes);
    EXPECT_EQ(bytes, "");
}

} // namespace
