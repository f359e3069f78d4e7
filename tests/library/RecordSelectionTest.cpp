// Choosing records on their own, over records in memory and a data file: the keyword converted
// once, matches only on a character and inside the field, keywords without a byte form searched
// in the decoded text, and the texts read as the data file is at each search.

#include "library/RecordSelection.h"
#include "tests/common/TestLibrary.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

using testing_support::Gbk;
using Numbers = std::vector<std::uint32_t>;

PoemRecord Record(const std::string& title, const std::string& author, std::uint32_t offset = 0,
                  std::uint32_t length = 0) {
    PoemRecord record{};
    std::memcpy(record.title, title.data(), std::min(title.size(), sizeof record.title));
    std::memcpy(record.author, author.data(), std::min(author.size(), sizeof record.author));
    record.offset = offset;
    record.length = length;
    return record;
}

TEST(SearchKeywordTest, AKeywordHasBytesToLookForOnlyWhenTheyFindExactlyIt) {
    EXPECT_EQ(*SearchKeyword(u"明月").Needle(), Gbk("明月"));
    EXPECT_EQ(*SearchKeyword(u"a\r\n").Needle(), "a\r\n");
    EXPECT_EQ(SearchKeyword(u"").Needle(), nullptr);       // found everywhere, no search
    EXPECT_EQ(SearchKeyword(u"\uFFFD").Needle(), nullptr); // invalid bytes decode to it too
    EXPECT_EQ(SearchKeyword(u"ᚠ").Needle(), nullptr);      // not in the code page
    EXPECT_EQ(SearchKeyword(u"明月").Text(), u"明月");
}

TEST(SearchKeywordTest, AKeywordIsInAFieldOnACharacterAndBeforeItsZeroByte) {
    const std::string moon = Gbk("明月"); // C3F7 D4C2: "\xF7\xD4" is 髟, across the two
    EXPECT_TRUE(SearchKeyword(u"月").IsIn(moon.data(), moon.size()));
    EXPECT_FALSE(SearchKeyword(u"髟").IsIn(moon.data(), moon.size()));
    const std::string cut = Gbk("春") + '\0' + Gbk("月");
    EXPECT_FALSE(SearchKeyword(u"月").IsIn(cut.data(), cut.size()));
    EXPECT_TRUE(SearchKeyword(u"").IsIn(cut.data(), 0));
    const std::string invalid = "a\xFF"
                                "b";
    EXPECT_TRUE(SearchKeyword(u"a\uFFFDb").IsIn(invalid.data(), invalid.size()));
    EXPECT_FALSE(SearchKeyword(u"\uFFFD").IsIn(moon.data(), moon.size()));
}

class RecordSelectionTest : public ::testing::Test {
protected:
    void SetUp() override { WriteData(Gbk("床前明月光") + '\0' + Gbk("明月几时有") + '\0'); }
    void WriteData(const std::string& bytes) {
        testing_support::WriteFile(m_folder.File("texts.dat"), bytes);
        m_data.Close();
        ASSERT_TRUE(m_data.Open(CString::FromUtf8(m_folder.File("texts.dat")), CFile::modeRead));
    }
    Numbers Find(const char16_t* keyword, SelectField field) {
        return RecordSelection::Find(m_records, m_data, SearchKeyword(keyword), field);
    }

    testing_support::TempFolder m_folder;
    CFile m_data;
    std::vector<PoemRecord> m_records = {
        Record(Gbk("静夜思"), Gbk("李白"), 0, 11), Record(Gbk("明月"), Gbk("月光"), 11, 11),
        Record(Gbk("月下独酌"), Gbk("李白"), 100, 5), // its text lies past the data file's end
    };
};

TEST_F(RecordSelectionTest, EachFieldIsSearchedInLibraryOrder) {
    EXPECT_EQ(Find(u"月", SEL_TITLE), (Numbers{1, 2}));
    EXPECT_EQ(Find(u"李白", SEL_AUTHOR), (Numbers{0, 2}));
    EXPECT_EQ(Find(u"明月", SEL_FULLTEXT), (Numbers{0, 1}));
    EXPECT_EQ(Find(u"", SEL_FULLTEXT), (Numbers{0, 1, 2}));
    EXPECT_EQ(Find(u"髟", SEL_TITLE), Numbers{});
    EXPECT_EQ(Find(u"髟", SEL_FULLTEXT), Numbers{});
    // SEL_ALL takes every record without a search; other codes are no field at all.
    EXPECT_EQ(Find(u"", SEL_ALL), Numbers{});
    EXPECT_EQ(Find(u"", static_cast<SelectField>(6)), Numbers{});
}

TEST_F(RecordSelectionTest, BytesAcrossTwoFieldsAreNoMatch) {
    // The title fills its 65 bytes with no zero: it ends at its width, not in the author.
    std::memset(m_records[0].title, 'T', sizeof m_records[0].title);
    std::memcpy(m_records[0].author, "U", 2);
    EXPECT_EQ(Find(u"TU", SEL_TITLE), Numbers{});
    EXPECT_EQ(Find(std::u16string(65, u'T').c_str(), SEL_TITLE), Numbers{0});
}

TEST_F(RecordSelectionTest, TextsAreReadAsTheDataFileIsAtEachSearch) {
    EXPECT_EQ(Find(u"几时", SEL_FULLTEXT), Numbers{1});
    WriteData(Gbk("床前明月光") + '\0' + Gbk("明月几何有") + '\0');
    EXPECT_EQ(Find(u"几时", SEL_FULLTEXT), Numbers{});
    EXPECT_EQ(Find(u"几何", SEL_FULLTEXT), Numbers{1});
    // An empty data file cannot be mapped: the texts are read one by one and are all empty.
    WriteData("");
    EXPECT_EQ(Find(u"明月", SEL_FULLTEXT), Numbers{});
    EXPECT_EQ(Find(u"", SEL_FULLTEXT), (Numbers{0, 1, 2}));
}

TEST_F(RecordSelectionTest, AKeywordWithoutBytesIsFoundInTheDecodedText) {
    WriteData(std::string("a\xFF"
                          "b\0ab\0",
                          7));
    m_records[0].offset = 0;
    m_records[0].length = 4;
    m_records[1].offset = 4;
    m_records[1].length = 3;
    std::memcpy(m_records[2].title, "\x81", 2); // a lead byte with no trail
    EXPECT_EQ(Find(u"\uFFFD", SEL_FULLTEXT), Numbers{0});
    EXPECT_EQ(Find(u"a\uFFFDb", SEL_FULLTEXT), Numbers{0});
    EXPECT_EQ(Find(u"\uFFFD", SEL_TITLE), Numbers{2});
    EXPECT_EQ(Find(u"ᚠ", SEL_FULLTEXT), Numbers{});
}

} // namespace
