// Selecting records into the result buffer.

#include "tests/library/LibraryFixture.h"

#include "platform/core/CodePage.h"

#include <cstring>

namespace {

using testing_support::TestPoem;

class SelectTest : public LibraryTest {
protected:
    void SetUp() override {
        Write({
            {"静夜思", "李白", "唐代", "五言绝句", "床前明月光，\r\n疑是地上霜。"},
            {"月下独酌", "李白", "唐代", "五言古诗", "花间一壶酒，\r\n独酌无相亲。"},
            {"春晓", "孟浩然", "唐代", "五言绝句", "春眠不觉晓，\r\n处处闻啼鸟。"},
            {"水调歌头", "苏轼", "宋代", "水调歌头", "明月几时有？\r\n把酒问青天。"},
            {"春晓", "无名氏", "", "Modern", "abc ABC"},
            {"月月", "李商隐", "唐代", "七言律诗", ""},
        });
        m_library = Open();
    }
    // Titles of the first `count` results.
    std::vector<std::u16string> TitlesOf(unsigned count) const {
        std::vector<std::u16string> titles;
        for (unsigned i = 0; i < count; ++i) {
            titles.push_back(CodePage::Decode(g_pResult[i].title, 65).str());
        }
        return titles;
    }
    bool RestIsZero(unsigned from) const {
        const PoemRecord zero{};
        for (unsigned i = from; i < m_library->m_nCount; ++i) {
            if (std::memcmp(&g_pResult[i], &zero, sizeof zero) != 0) {
                return false;
            }
        }
        return true;
    }
    unsigned Select(const char16_t* keyword, int field) {
        return m_library->Select(keyword, static_cast<SelectField>(field));
    }

    std::unique_ptr<CPoemLibrary> m_library;
};

using Titles = std::vector<std::u16string>;

TEST_F(SelectTest, AllCopiesEveryRecordInOrder) {
    ASSERT_EQ(Select(nullptr, SEL_ALL), 6u);
    EXPECT_EQ(m_library->GetResultBuffer(), g_pResult);
    EXPECT_EQ(std::memcmp(g_pResult, m_library->GetRecords().data(), 6 * sizeof(PoemRecord)), 0);
}

TEST_F(SelectTest, EachFieldFindsItsKeywordInLibraryOrder) {
    EXPECT_EQ(TitlesOf(Select(u"月", SEL_TITLE)), (Titles{u"月下独酌", u"月月"}));
    EXPECT_EQ(TitlesOf(Select(u"李", SEL_AUTHOR)), (Titles{u"静夜思", u"月下独酌", u"月月"}));
    EXPECT_EQ(TitlesOf(Select(u"宋", SEL_DYNASTY)), (Titles{u"水调歌头"}));
    EXPECT_EQ(TitlesOf(Select(u"绝句", SEL_FORM)), (Titles{u"静夜思", u"春晓"}));
    EXPECT_EQ(TitlesOf(Select(u"明月", SEL_FULLTEXT)), (Titles{u"静夜思", u"水调歌头"}));
    EXPECT_TRUE(RestIsZero(2));
}

TEST_F(SelectTest, MatchingIsAPlainCaseSensitiveSubstringSearch) {
    EXPECT_EQ(Select(u"modern", SEL_FORM), 0u);
    EXPECT_EQ(Select(u"Modern", SEL_FORM), 1u);
    EXPECT_EQ(TitlesOf(Select(u"ABC", SEL_FULLTEXT)), (Titles{u"春晓"}));
    EXPECT_EQ(Select(u"ａｂｃ", SEL_FULLTEXT), 0u); // no folding of full-width forms
    // Across a line break only when the keyword holds the break itself.
    EXPECT_EQ(Select(u"光，疑", SEL_FULLTEXT), 0u);
    EXPECT_EQ(TitlesOf(Select(u"光，\r\n疑", SEL_FULLTEXT)), (Titles{u"静夜思"}));
}

TEST_F(SelectTest, EmptyKeywordSelectsEveryRecordEvenEmptyFields) {
    EXPECT_EQ(Select(u"", SEL_TITLE), 6u);
    EXPECT_EQ(Select(u"", SEL_DYNASTY), 6u);  // one dynasty is empty
    EXPECT_EQ(Select(u"", SEL_FULLTEXT), 6u); // one text is empty
    EXPECT_EQ(Select(nullptr, SEL_AUTHOR), 6u);
}

TEST_F(SelectTest, DuplicatesAppearOnceEachAndRepeatedKeywordsOnce) {
    EXPECT_EQ(TitlesOf(Select(u"春晓", SEL_TITLE)), (Titles{u"春晓", u"春晓"}));
    EXPECT_EQ(TitlesOf(Select(u"月", SEL_TITLE)).size(), 2u); // 月月 holds it twice, listed once
}

TEST_F(SelectTest, NoMatchOrUnknownFieldLeavesTheBufferZero) {
    ASSERT_EQ(Select(nullptr, SEL_ALL), 6u);
    EXPECT_EQ(Select(u"杜甫", SEL_AUTHOR), 0u);
    EXPECT_TRUE(RestIsZero(0));
    ASSERT_EQ(Select(nullptr, SEL_ALL), 6u);
    EXPECT_EQ(Select(u"", 6), 0u);
    EXPECT_TRUE(RestIsZero(0));
    EXPECT_EQ(Select(u"", -1), 0u);
}

// Each selection leaves zero after its records, whatever the selections before it filled.
TEST_F(SelectTest, EverySelectionLeavesZeroAfterItsRecords) {
    const struct {
        const char16_t* keyword;
        int field;
    } steps[] = {{u"春晓", SEL_TITLE}, {nullptr, SEL_ALL}, {u"月", SEL_TITLE},
                 {u"春晓", SEL_TITLE}, {u"", SEL_TITLE},   {u"无此诗", SEL_FULLTEXT},
                 {u"春晓", SEL_TITLE}};
    for (const auto& step : steps) {
        const unsigned found = Select(step.keyword, step.field);
        EXPECT_TRUE(RestIsZero(found)) << found;
    }
}

TEST_F(SelectTest, FullTextSearchesWhatCanBeReadAndGoesOn) {
    // The first text points past the end of the data file: it reads empty, and the others are
    // still searched.
    std::string index = IndexBytes();
    const std::uint32_t past = 1u << 30;
    std::memcpy(index.data() + 292 + 120, &past, 4);
    SetIndexBytes(index);
    m_library = Open();
    EXPECT_EQ(TitlesOf(Select(u"明月", SEL_FULLTEXT)), (Titles{u"水调歌头"}));
}

} // namespace
