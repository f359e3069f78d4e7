// Appending poems to the library files, completed and interrupted.

#include "tests/library/LibraryFixture.h"

#include "library/PoemEntry.h"
#include "platform/core/CodePage.h"

#include <cstring>
#include <sys/stat.h>

namespace {

using testing_support::Gbk;
using testing_support::RecordsOf;
using testing_support::TestPoem;

class AppendTest : public LibraryTest {
protected:
    // Appends through a freshly opened library, as the add-poem screen does.
    bool Append(const TestPoem& poem) {
        auto library = Open();
        CString refusal;
        auto entry = PrepareEntry(CString::FromUtf8(poem.title), CString::FromUtf8(poem.author),
                                  nullptr, CString::FromUtf8(poem.text), refusal);
        EXPECT_TRUE(entry.has_value());
        return library->AppendPoem(entry->record, entry->text.data(),
                                   static_cast<unsigned>(entry->text.size()));
    }
    // Every poem the library holds when opened afresh: title and text.
    std::vector<std::pair<std::u16string, std::u16string>> Poems() {
        auto library = Open();
        std::vector<std::pair<std::u16string, std::u16string>> poems;
        for (std::uint32_t i = 0; i < library->m_nCount; ++i) {
            CString text;
            library->ReadText(&library->GetRecords()[i], text);
            poems.emplace_back(CodePage::Decode(library->GetRecords()[i].title, 65).str(),
                               text.str());
        }
        return poems;
    }
};

TEST_F(AppendTest, FirstPoemOfAnEmptyLibrary) {
    Write({});
    ASSERT_TRUE(Append({"静夜思", "李白", "", "", "床前明月光"}));
    const std::string index = IndexBytes();
    ASSERT_EQ(index.size(), 292u + 124u);
    std::uint32_t count = 0;
    std::memcpy(&count, index.data() + 288, 4);
    EXPECT_EQ(count, 1u);
    const PoemRecord record = RecordsOf(index).at(0);
    EXPECT_EQ(record.offset, 0u);
    EXPECT_EQ(record.length, 2u * 5 + 1); // the whole buffer of twice the length, and a zero
    EXPECT_EQ(DataBytes(), Gbk("床前明月光") + '\0');
    EXPECT_STREQ(record.dynasty, "\xCF\xD6\xB4\xFA");
    EXPECT_STREQ(record.form, "\xCF\xD6\xB4\xFA");
}

TEST_F(AppendTest, NewPoemIsLastAndOnlyShowsAfterOpeningAgain) {
    Write(ThreePoems());
    auto library = Open();
    const std::size_t dataBefore = DataBytes().size();
    PoemRecord record{};
    std::strcpy(record.title, "abc");
    const char text[] = "hello\0\0\0\0\0"; // ASCII text in a buffer of twice its length
    ASSERT_TRUE(library->AppendPoem(record, text, 10));
    EXPECT_EQ(record.length, 11u);
    EXPECT_EQ(record.offset, dataBefore);
    EXPECT_EQ(DataBytes().size(), dataBefore + 11);
    EXPECT_EQ(library->m_nCount, 3u); // what is loaded does not change
    EXPECT_EQ(library->Select(u"abc", SEL_TITLE), 0u);
    const auto poems = Poems();
    ASSERT_EQ(poems.size(), 4u);
    EXPECT_EQ(poems.back(), (std::pair<std::u16string, std::u16string>{u"abc", u"hello"}));
}

TEST_F(AppendTest, HeaderIsWrittenBackByteForByte) {
    LibraryHeader header = testing_support::MakeHeader();
    for (std::size_t i = 0; i < sizeof header.reserved; ++i) {
        header.reserved[i] = static_cast<std::uint8_t>(i * 7 + 1);
    }
    header.magic[1] = 'x'; // a half signature is accepted and kept
    Write(ThreePoems(), header);
    const std::string before = IndexBytes();
    ASSERT_TRUE(Append({"t", "a", "", "", "x"}));
    const std::string after = IndexBytes();
    EXPECT_EQ(after.substr(0, 288), before.substr(0, 288));
    EXPECT_EQ(after.substr(292, before.size() - 292), before.substr(292));
}

TEST_F(AppendTest, SeveralInARowEachGoAfterTheLast) {
    Write(ThreePoems());
    ASSERT_TRUE(Append({"一", "a", "", "", "first"}));
    ASSERT_TRUE(Append({"二", "a", "", "", "second"}));
    ASSERT_TRUE(Append({"一", "a", "", "", "first"})); // the same poem again is another copy
    const auto poems = Poems();
    ASSERT_EQ(poems.size(), 6u);
    EXPECT_EQ(poems[3].second, u"first");
    EXPECT_EQ(poems[4].second, u"second");
    EXPECT_EQ(poems[5], poems[3]);
    const auto records = RecordsOf(IndexBytes());
    EXPECT_EQ(records[4].offset, records[3].offset + records[3].length);
}

TEST_F(AppendTest, ReadOnlyIndexFailsWithTheFileErrorAndChangesNothing) {
    Write(ThreePoems());
    m_folder.OpenToEveryone();
    ::chmod(m_folder.File("kavro.idx").c_str(), 0444);
    ::chmod(m_folder.File("kavro.dat").c_str(), 0666);
    const std::string index = IndexBytes();
    const std::string data = DataBytes();
    EXPECT_TRUE(testing_support::AsUnprivilegedUser([&] {
        const bool failed = !Append({"t", "a", "", "", "text"});
        return failed && Boxes().size() == 1 && LastMessage().Find(u"kavro.idx") != -1 &&
               LastMessage().Find(u"没有访问权限") != -1;
    }));
    EXPECT_EQ(IndexBytes(), index);
    EXPECT_EQ(DataBytes(), data);
}

TEST_F(AppendTest, DamagedOrForeignIndexIsRefused) {
    Write(ThreePoems());
    auto library = Open();
    const std::string index = IndexBytes();
    PoemRecord record{};

    SetIndexBytes("SC short");
    EXPECT_FALSE(library->AppendPoem(record, "x", 1));
    EXPECT_EQ(LastMessage(), u"不能读诗词索引文件.");

    std::string foreign = index;
    foreign[0] = 'X';
    foreign[1] = 'Y';
    SetIndexBytes(foreign);
    EXPECT_FALSE(library->AppendPoem(record, "x", 1));
    EXPECT_EQ(LastMessage(), u"不是诗词索引文件,不可用.");

    // Records missing behind the count: writing after them would count a hole as poems.
    SetIndexBytes(index.substr(0, 292 + 124));
    EXPECT_FALSE(library->AppendPoem(record, "x", 1));
    EXPECT_EQ(IndexBytes(), index.substr(0, 292 + 124));
}

TEST_F(AppendTest, StrayBytesAfterTheLastRecordDoNotMisalignTheNewOne) {
    Write(ThreePoems());
    SetIndexBytes(IndexBytes() + "half a record");
    ASSERT_TRUE(Append({"新", "a", "", "", "new text"}));
    const auto poems = Poems();
    ASSERT_EQ(poems.size(), 4u);
    EXPECT_EQ(poems[3], (std::pair<std::u16string, std::u16string>{u"新", u"new text"}));
}

// The machine stops after each write or flush in turn: the library must still open with every
// earlier poem intact, and a later append must still work. Once the new count is written the
// new poem is whole, even if the last flush never came back.
TEST_F(AppendTest, InterruptionAtEachWriteLeavesEveryEarlierPoem) {
    Write(ThreePoems());
    const auto before = Poems();
    FileFaults::SetWriteBudget(-1);
    ASSERT_TRUE(Append({"量", "a", "", "", "count the writes"}));
    const int writes = FileFaults::WritesMade();
    EXPECT_GE(writes, 3);
    for (int budget = 0; budget < writes; ++budget) {
        Write(ThreePoems());
        FileFaults::SetWriteBudget(budget);
        EXPECT_FALSE(Append({"断", "a", "", "", "interrupted"})) << budget;
        FileFaults::SetWriteBudget(-1);
        auto poems = Poems();
        if (poems.size() == before.size() + 1) {
            EXPECT_EQ(poems.back().second, u"interrupted") << budget;
            poems.pop_back();
        }
        EXPECT_EQ(poems, before) << "stopped after " << budget << " writes";
        const std::size_t kept = Poems().size();
        ASSERT_TRUE(Append({"续", "a", "", "", "after"})) << budget;
        const auto after = Poems();
        ASSERT_EQ(after.size(), kept + 1) << budget;
        EXPECT_EQ(after.back().second, u"after") << budget;
    }
}

TEST(PoemEntry, BuildsWhatTheAddPoemScreenStores) {
    CString refusal;
    auto entry = PrepareEntry(u"诗词标题", u"作者姓名", u"五言古诗", u"诗词内容", refusal);
    ASSERT_TRUE(entry);
    EXPECT_EQ(std::string(entry->record.title), Gbk("诗词标题"));
    EXPECT_EQ(std::string(entry->record.author), Gbk("作者姓名"));
    EXPECT_EQ(std::string(entry->record.form), Gbk("五言古诗"));
    EXPECT_EQ(std::string(entry->record.dynasty), Gbk("现代"));
    EXPECT_EQ(std::string(entry->text.begin(), entry->text.end()), Gbk("诗词内容"));
    EXPECT_EQ(entry->record.length, 0u);

    auto ascii = PrepareEntry(u"t", u"a", nullptr, u"abcdefghij", refusal);
    ASSERT_TRUE(ascii);
    EXPECT_EQ(std::string(ascii->text.begin(), ascii->text.end()),
              std::string("abcdefghij") + std::string(10, '\0'));
    EXPECT_EQ(std::string(ascii->record.form), Gbk("现代"));

    auto empty = PrepareEntry(u"t", u"a", nullptr, u"", refusal);
    ASSERT_TRUE(empty);
    EXPECT_TRUE(empty->text.empty());
}

TEST(PoemEntry, RefusesFieldsTooLongForTheRecord) {
    CString refusal;
    EXPECT_TRUE(PrepareEntry(CString(u'字', 32), CString(u'字', 8), u"减字木兰花", u"", refusal));
    EXPECT_FALSE(PrepareEntry(CString(u'字', 33), u"a", nullptr, u"", refusal));
    EXPECT_EQ(refusal, u"标题太长：最多 32 个汉字或 64 个英文字母。");
    EXPECT_FALSE(PrepareEntry(u"t", CString(u'a', 17), nullptr, u"", refusal));
    EXPECT_EQ(refusal, u"作者太长：最多 8 个汉字或 16 个英文字母。");
    EXPECT_FALSE(PrepareEntry(u"t", u"a", u"一二三四五六七八九", u"", refusal));
    EXPECT_NE(refusal.Find(u"格律"), -1);
}

} // namespace

namespace {

TEST_F(AppendTest, BatchLeavesTheFilesExactlyAsAppendsOneByOne) {
    const std::vector<std::pair<std::string, std::string>> poems = {
        {"一", "first text"}, {"二", ""}, {"三", "床前明月光，\r\n疑是地上霜。"}};
    auto build = [&](bool batch) {
        Write(ThreePoems());
        auto library = Open();
        std::vector<PoemRecord> records(poems.size());
        std::vector<std::string> texts;
        std::vector<PoemToAppend> batchPoems;
        for (std::size_t i = 0; i < poems.size(); ++i) {
            records[i] = testing_support::MakeRecord({poems[i].first, "a", "d", "f", ""});
            texts.push_back(Gbk(poems[i].second));
        }
        for (std::size_t i = 0; i < poems.size(); ++i) {
            batchPoems.push_back({&records[i], texts[i].data(), unsigned(texts[i].size())});
            if (!batch) {
                EXPECT_TRUE(
                    library->AppendPoem(records[i], texts[i].data(), unsigned(texts[i].size())));
            }
        }
        if (batch) {
            EXPECT_TRUE(library->AppendPoems(batchPoems));
        }
        return std::make_pair(IndexBytes(), DataBytes());
    };
    const auto oneByOne = build(false);
    const auto together = build(true);
    EXPECT_EQ(together.first, oneByOne.first);
    EXPECT_EQ(together.second, oneByOne.second);
    EXPECT_EQ(RecordsOf(together.first).size(), 6u);
}

} // namespace
