// The names the search index keeps of its records: the records' own fields decoded, read in any
// order, found out when damaged or cut short, and passed over for records it does not describe.

#include "tests/library/LibraryFixture.h"

#include "library/ContentDigest.h"
#include "library/SearchIndex.h"
#include "library/SearchIndexNames.h"
#include "library/SearchIndexUpkeep.h"
#include "platform/core/CodePage.h"

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <optional>
#include <span>

namespace {

using testing_support::TestPoem;

std::string Utf8Field(const char* field, std::size_t width) {
    std::string out;
    CodePage::DecodeAppendUtf8(field, width, out);
    return out;
}

// The names of `numbers` as WriteNames writes them, "title\tbyline" each, or nothing when one
// is damaged; the room around them is marked, to see that nothing is written before it and the
// borrowed byte is put back.
std::optional<std::vector<std::string>> Written(const CSearchIndexNames& names,
                                                std::span<const std::uint32_t> numbers) {
    std::vector<std::string> written;
    std::string room(2 + CSearchIndexNames::kNamesRoom, '#');
    for (const std::uint32_t number : numbers) {
        char* const end = names.WriteNames(number, room.data() + 2);
        EXPECT_EQ(room.substr(0, 2), "##") << number;
        if (end == nullptr) {
            return std::nullopt;
        }
        written.emplace_back(room.data() + 2, end);
    }
    return written;
}

// Poems whose bylines are many and of every sort: empty fields, fields and titles as long as
// a record holds, bytes that are no character, and more bylines than one byte numbers.
std::vector<TestPoem> VariedPoems() {
    std::vector<TestPoem> poems = ThreePoems();
    poems.push_back({"", "", "", "", "无名无题"});
    poems.push_back(
        {std::string(64, 'T'), "八个字的作者名字", "八个字的朝代名字", "八个字的体裁名字", "长"});
    for (int i = 0; i < 300; ++i) {
        poems.push_back({"题" + std::to_string(i), "作者" + std::to_string(i % 150), "唐",
                         i % 2 == 0 ? "五言绝句" : "", "明月" + std::to_string(i)});
    }
    return poems;
}

// An entry's check: any byte of it changed, two of its bytes traded, or another record's number
// gives another check, at every length an entry may have.
TEST(ShortDigest, TellsAChangedByteTradedBytesAndAnotherKey) {
    std::string bytes;
    for (std::size_t size = 1; size <= 40; ++size) {
        bytes.push_back(static_cast<char>('A' + size % 26));
        const std::uint32_t check = ShortDigestOf(7, bytes);
        EXPECT_NE(ShortDigestOf(8, bytes), check) << size;
        for (std::size_t i = 0; i < size; ++i) {
            std::string changed = bytes;
            changed[i] = static_cast<char>(changed[i] ^ 0x40);
            EXPECT_NE(ShortDigestOf(7, changed), check) << size << " " << i;
            if (i + 1 < size && bytes[i] != bytes[i + 1]) {
                std::string traded = bytes;
                std::swap(traded[i], traded[i + 1]);
                EXPECT_NE(ShortDigestOf(7, traded), check) << size << " " << i;
            }
        }
    }
    EXPECT_NE(ShortDigestOf(0, ""), ShortDigestOf(1, ""));
}

class SearchIndexNamesTest : public LibraryTest {
protected:
    void SetUp() override {
        Write(VariedPoems());
        // A byte that is no character, in a title and in a poet's name.
        std::string index = IndexBytes();
        index[RecordPosition(1) + offsetof(PoemRecord, title) + 1] = '\xFF';
        index[RecordPosition(2) + offsetof(PoemRecord, author)] = '\x80';
        SetIndexBytes(index);
        Build();
    }
    void Build() {
        ASSERT_TRUE(
            SearchIndexUpkeep::RebuildFor(m_folder.File("kavro.idx"), m_folder.File("kavro.dat")));
    }
    std::string Path() const { return m_folder.File("kavro.search"); }
    std::unique_ptr<CSearchIndex> OpenIndex() {
        m_index.Close();
        m_data.Close();
        EXPECT_TRUE(m_index.Open(CString::FromUtf8(m_folder.File("kavro.idx")), CFile::modeRead));
        EXPECT_TRUE(m_data.Open(CString::FromUtf8(m_folder.File("kavro.dat")), CFile::modeRead));
        CSearchIndex::Opened opened =
            CSearchIndex::Open(Path(), SearchIndexUpkeep::LibraryOf(m_index, m_data));
        EXPECT_EQ(opened.state, SearchIndexState::current);
        return std::move(opened.index);
    }
    SearchIndexHeader Header() {
        SearchIndexHeader header{};
        std::ifstream(Path(), std::ios::binary)
            .read(reinterpret_cast<char*>(&header), sizeof header);
        return header;
    }
    void Corrupt(std::uint64_t at) {
        std::fstream file(Path(), std::ios::binary | std::ios::in | std::ios::out);
        char byte = 0;
        file.seekg(static_cast<std::streamoff>(at)).get(byte);
        file.seekp(static_cast<std::streamoff>(at)).put(static_cast<char>(byte ^ 0x5A));
    }
    // Where the entry places start, and where record `record`'s entry does.
    std::uint64_t EntryOffsetsAt() {
        const SearchIndexHeader header = Header();
        SearchIndexNamesHeader names{};
        std::ifstream(Path(), std::ios::binary)
            .seekg(static_cast<std::streamoff>(header.namesAt))
            .read(reinterpret_cast<char*>(&names), sizeof names);
        return header.namesAt + SearchIndexNamesParts{names}.EntryOffsetsAt();
    }
    std::uint64_t EntryAt(std::uint32_t record) {
        const std::uint64_t offsetsAt = EntryOffsetsAt();
        const std::uint32_t records = static_cast<std::uint32_t>(VariedPoems().size());
        std::uint32_t offset = 0;
        std::ifstream(Path(), std::ios::binary)
            .seekg(static_cast<std::streamoff>(offsetsAt + 4 * std::uint64_t{record}))
            .read(reinterpret_cast<char*>(&offset), sizeof offset);
        return offsetsAt + 4 * (std::uint64_t{records} + 1) + offset;
    }
    std::vector<std::uint32_t> All() const {
        std::vector<std::uint32_t> numbers(VariedPoems().size());
        for (std::uint32_t k = 0; k < numbers.size(); ++k) {
            numbers[k] = k;
        }
        return numbers;
    }

    CFile m_index;
    CFile m_data;
};

TEST_F(SearchIndexNamesTest, TheNamesAreTheRecordsFieldsDecodedInTheOrderAsked) {
    const auto index = OpenIndex();
    ASSERT_TRUE(index);
    const CSearchIndexNames* names = index->Names();
    ASSERT_NE(names, nullptr);
    EXPECT_EQ(names->Records(), VariedPoems().size());
    const std::vector<PoemRecord> records = testing_support::RecordsOf(IndexBytes());
    std::vector<std::uint32_t> numbers = All();
    std::reverse(numbers.begin(), numbers.end());
    numbers.push_back(0); // asked twice
    RecordNames read;
    ASSERT_TRUE(names->Read(numbers, read));
    ASSERT_EQ(read.Size(), numbers.size());
    for (std::size_t k = 0; k < numbers.size(); ++k) {
        const PoemRecord& record = records[numbers[k]];
        EXPECT_EQ(read.Title(k), Utf8Field(record.title, sizeof record.title)) << numbers[k];
        EXPECT_EQ(read.Byline(k), Utf8Field(record.author, sizeof record.author) + "\t" +
                                      Utf8Field(record.dynasty, sizeof record.dynasty) + "\t" +
                                      Utf8Field(record.form, sizeof record.form))
            << numbers[k];
    }
    // Written where a line's go, they are the same.
    const auto written = Written(*names, numbers);
    ASSERT_TRUE(written);
    for (std::size_t k = 0; k < numbers.size(); ++k) {
        EXPECT_EQ((*written)[k], std::string(read.Title(k)) + "\t" + std::string(read.Byline(k)));
    }
    ASSERT_TRUE(names->Read({}, read));
    EXPECT_EQ(read.Size(), 0u);
    // Records it does not describe have no names.
    const std::uint32_t beyond[] = {2, names->Records()};
    EXPECT_FALSE(names->Read(beyond, read));
    EXPECT_FALSE(Written(*names, beyond));
    EXPECT_TRUE(index->CheckWhole());
}

TEST_F(SearchIndexNamesTest, ADamagedEntryIsFoundOutAndTheOthersStillRead) {
    // A byte of the last title: the entry still reads as one, and only its check tells.
    Corrupt(EntryAt(static_cast<std::uint32_t>(VariedPoems().size()) - 1) + 2);
    const auto index = OpenIndex();
    ASSERT_TRUE(index);
    const CSearchIndexNames* names = index->Names();
    ASSERT_NE(names, nullptr);
    RecordNames read;
    const std::uint32_t last[] = {names->Records() - 1};
    EXPECT_FALSE(names->Read(last, read));
    EXPECT_FALSE(Written(*names, last));
    const std::uint32_t first[] = {0, 1};
    EXPECT_TRUE(names->Read(first, read));
    EXPECT_TRUE(Written(*names, first));
    EXPECT_FALSE(index->CheckWhole());
    EXPECT_TRUE(index->Find(u"明月")); // the lists are not the names
}

TEST_F(SearchIndexNamesTest, DamagedBylinesOrEntryPlacesGiveNoNames) {
    Corrupt(Header().namesAt + sizeof(SearchIndexNamesHeader) + 8); // among the byline offsets
    auto index = OpenIndex();
    ASSERT_TRUE(index);
    EXPECT_EQ(index->Names(), nullptr);
    EXPECT_FALSE(index->CheckWhole());

    // An entry's place pointing at its neighbour's entry: that one's check names another record.
    Build();
    const std::uint64_t offsetsAt = EntryOffsetsAt();
    std::string file = testing_support::ReadFile(Path());
    std::memcpy(file.data() + offsetsAt + 4 * 3, file.data() + offsetsAt + 4 * 2, 8);
    testing_support::WriteFile(Path(), file);
    index = OpenIndex();
    ASSERT_TRUE(index && index->Names());
    RecordNames read;
    const std::uint32_t shifted[] = {3};
    EXPECT_FALSE(index->Names()->Read(shifted, read));
    EXPECT_FALSE(Written(*index->Names(), shifted));
    const std::uint32_t before[] = {1};
    EXPECT_TRUE(index->Names()->Read(before, read));
    EXPECT_TRUE(Written(*index->Names(), before));
}

// The entries are mapped: a file cut short under the reading reads as zeros there, which no
// entry's check allows.
TEST_F(SearchIndexNamesTest, AnIndexCutShortAfterTheNamesWereReadGivesNoneOfTheLostOnes) {
    const auto index = OpenIndex();
    ASSERT_TRUE(index && index->Names());
    std::filesystem::resize_file(Path(), Header().namesAt + 64);
    RecordNames read;
    const std::vector<std::uint32_t> numbers = All();
    EXPECT_FALSE(index->Names()->Read(numbers, read));
    EXPECT_FALSE(Written(*index->Names(), numbers));
    const std::uint32_t last[] = {index->Names()->Records() - 1};
    EXPECT_FALSE(index->Names()->Read(last, read));
    EXPECT_FALSE(Written(*index->Names(), last));
}

// The bylines are checked when the names are opened, and read from the file's pages after: a
// byline's place changed in the file since (here all of them zeroed) gives no names, never a line
// with a byline from elsewhere.
TEST_F(SearchIndexNamesTest, BylinePlacesChangedAfterOpeningGiveNoNames) {
    const auto index = OpenIndex();
    ASSERT_TRUE(index && index->Names());
    RecordNames read;
    const std::uint32_t first[] = {0};
    ASSERT_TRUE(index->Names()->Read(first, read));
    const SearchIndexHeader header = Header();
    SearchIndexNamesHeader names{};
    std::ifstream(Path(), std::ios::binary)
        .seekg(static_cast<std::streamoff>(header.namesAt))
        .read(reinterpret_cast<char*>(&names), sizeof names);
    const SearchIndexNamesParts parts{names};
    {
        std::fstream file(Path(), std::ios::binary | std::ios::in | std::ios::out);
        file.seekp(static_cast<std::streamoff>(header.namesAt + parts.BylineOffsetsAt()));
        const std::string zeros(4 * (std::size_t{names.bylines} + 1), '\0');
        file.write(zeros.data(), static_cast<std::streamsize>(zeros.size()));
    }
    EXPECT_FALSE(index->Names()->Read(first, read));
    EXPECT_FALSE(index->Names()->Read(All(), read));
    EXPECT_FALSE(Written(*index->Names(), first));
    EXPECT_FALSE(Written(*index->Names(), All()));
}

// The library serves names only while its search index describes it and the records asked.
TEST_F(SearchIndexNamesTest, TheLibraryGivesNamesOnlyOfTheRecordsItsIndexDescribes) {
    auto library = Open();
    RecordNames read;
    const std::uint32_t some[] = {0, 3};
    ASSERT_NE(library->SearchNames(), nullptr);
    ASSERT_TRUE(library->SearchNames()->Read(some, read));
    EXPECT_EQ(read.Title(0), "静夜思");
    EXPECT_EQ(read.Byline(0), "李白\t唐代\t五言绝句");
    EXPECT_EQ(read.Title(1), "");
    EXPECT_EQ(read.Byline(1), "\t\t");

    PoemRecord record = testing_support::MakeRecord({"新", "a", "现代", "现代", ""});
    const std::string text = testing_support::Gbk("明月");
    ASSERT_TRUE(library->AppendPoem(record, text.data(), static_cast<unsigned>(text.size())));
    library = Open();
    // The appended record is searched one by one, and read from the records.
    ASSERT_NE(library->SearchNames(), nullptr);
    EXPECT_EQ(library->SearchNames()->Records(), VariedPoems().size());
    EXPECT_EQ(library->m_nCount, VariedPoems().size() + 1);
    const std::uint32_t appended[] = {0, static_cast<std::uint32_t>(VariedPoems().size())};
    EXPECT_FALSE(library->SearchNames()->Read(appended, read));
    EXPECT_TRUE(library->SearchNames()->Read(some, read));

    SearchIndexUpkeep::Remove(Path());
    library = Open();
    EXPECT_EQ(library->SearchNames(), nullptr);
}

} // namespace
