// The search index beside a library: made from the two files, kept up to date by appends, made
// again when stale, passed over when damaged or made from other files, and known again by its
// digests when the files were copied.

#include "tests/library/LibraryFixture.h"

#include "library/SearchIndex.h"
#include "library/SearchIndexBuilder.h"
#include "library/SearchIndexUpkeep.h"

#include <cstring>
#include <filesystem>
#include <fstream>

namespace {

using testing_support::Gbk;
using Numbers = std::vector<std::uint32_t>;

class SearchIndexTest : public LibraryTest {
protected:
    void SetUp() override {
        Write(ThreePoems());
        Build();
    }
    void Build() {
        ASSERT_TRUE(
            SearchIndexUpkeep::RebuildFor(m_folder.File("kavro.idx"), m_folder.File("kavro.dat")));
    }
    std::string Path(const std::string& name = "kavro.search") const { return m_folder.File(name); }
    CSearchIndex::Opened OpenIndex() {
        m_index.Close();
        m_data.Close();
        EXPECT_TRUE(m_index.Open(CString::FromUtf8(m_folder.File("kavro.idx")), CFile::modeRead));
        EXPECT_TRUE(m_data.Open(CString::FromUtf8(m_folder.File("kavro.dat")), CFile::modeRead));
        return CSearchIndex::Open(Path(), SearchIndexUpkeep::LibraryOf(m_index, m_data));
    }
    SearchIndexState State() { return OpenIndex().state; }
    SearchIndexHeader Header() {
        SearchIndexHeader header{};
        std::ifstream(Path(), std::ios::binary)
            .read(reinterpret_cast<char*>(&header), sizeof header);
        return header;
    }
    Numbers FullText(const char16_t* keyword) {
        std::vector<std::uint32_t> numbers;
        Open()->Select(keyword, SEL_FULLTEXT, &numbers);
        return numbers;
    }
    bool AppendText(const std::string& text) {
        PoemRecord record = testing_support::MakeRecord({"新", "a", "现代", "现代", ""});
        const std::string bytes = Gbk(text);
        return Open()->AppendPoem(record, bytes.data(), static_cast<unsigned>(bytes.size()));
    }
    void Corrupt(std::uint64_t at) {
        std::fstream file(Path(), std::ios::binary | std::ios::in | std::ios::out);
        char byte = 0;
        file.seekg(static_cast<std::streamoff>(at)).get(byte);
        file.seekp(static_cast<std::streamoff>(at)).put(static_cast<char>(byte ^ 0x5A));
    }

    CFile m_index;
    CFile m_data;
};

TEST(SearchIndexPairs, EachPairOfUnitsOnceAndTheLastUnitBeforeTheEnd) {
    std::vector<std::uint32_t> pairs;
    SearchIndexBuilder::PairsOf(u"明月明月", pairs);
    const std::uint32_t ming = u'明', yue = u'月';
    EXPECT_EQ(pairs, (std::vector<std::uint32_t>{ming << 16 | yue, yue << 16 | ming,
                                                 yue << 16 | kTextEnd}));
    SearchIndexBuilder::PairsOf(u"", pairs);
    EXPECT_TRUE(pairs.empty());
    EXPECT_EQ(SearchIndexPath("/a/b/kavro.idx"), "/a/b/kavro.search");
    EXPECT_EQ(SearchIndexPath("/a/b/odd"), "/a/b/odd.search");
}

TEST_F(SearchIndexTest, AFreshIndexIsCurrentAndNamesThePoemsOfAPairExactly) {
    const CSearchIndex::Opened opened = OpenIndex();
    ASSERT_EQ(opened.state, SearchIndexState::current);
    EXPECT_EQ(opened.index->Records(), 3u);
    EXPECT_TRUE(opened.index->Header().indexStamp.trusted); // taken after the files settled
    const auto pair = opened.index->Find(u"明月");
    ASSERT_TRUE(pair);
    EXPECT_TRUE(pair->exact);
    EXPECT_EQ(pair->records, (Numbers{0, 2}));
    const auto unit = opened.index->Find(u"。"); // last in every text
    ASSERT_TRUE(unit);
    EXPECT_EQ(unit->records, (Numbers{0, 1, 2}));
    const auto longer = opened.index->Find(u"明月几时");
    ASSERT_TRUE(longer);
    EXPECT_FALSE(longer->exact); // to be searched in the texts it names
    EXPECT_EQ(longer->records, Numbers{2});
    EXPECT_EQ(opened.index->Find(u"月\uFFFF")->records, Numbers{}); // no text holds U+FFFF
    EXPECT_TRUE(opened.index->CheckWhole());
}

TEST_F(SearchIndexTest, AppendsKeepItAndThePoemsAppendedAreFound) {
    ASSERT_TRUE(AppendText("明月照高楼"));
    EXPECT_EQ(State(), SearchIndexState::current);
    EXPECT_EQ(std::uint32_t{Header().records}, 3u); // the new poem is searched one by one
    EXPECT_EQ(FullText(u"明月"), (Numbers{0, 2, 3}));
    EXPECT_EQ(FullText(u"高楼"), Numbers{3});

    // Too many poems so searched, and the whole is made again.
    auto library = Open();
    std::vector<PoemRecord> records(SearchIndexUpkeep::kUnindexedTail);
    std::vector<PoemToAppend> poems;
    const std::string text = Gbk("春风又绿江南岸");
    for (PoemRecord& record : records) {
        poems.push_back({&record, text.data(), static_cast<unsigned>(text.size())});
    }
    ASSERT_TRUE(library->AppendPoems(poems));
    EXPECT_EQ(State(), SearchIndexState::current);
    EXPECT_EQ(std::uint32_t{Header().records}, 4u + SearchIndexUpkeep::kUnindexedTail);
    EXPECT_EQ(FullText(u"高楼"), Numbers{3});
    EXPECT_EQ(FullText(u"江南").size(), SearchIndexUpkeep::kUnindexedTail);
}

// A data file written anew, even of the same size and at once, is not the one described.
TEST_F(SearchIndexTest, FilesChangedOtherwiseMakeItStaleAndTheNextAppendMakesItAgain) {
    std::string data = DataBytes();
    const std::string moon = Gbk("明月");
    data.replace(data.find(moon), moon.size(), Gbk("白日"));
    testing_support::WriteFile(m_folder.File("kavro.dat"), data);
    EXPECT_EQ(State(), SearchIndexState::stale);
    EXPECT_EQ(FullText(u"明月"), Numbers{2}); // the files, not the index
    EXPECT_EQ(FullText(u"白日"), Numbers{0});
    ASSERT_TRUE(AppendText("白日依山尽"));
    EXPECT_EQ(State(), SearchIndexState::current);
    EXPECT_EQ(std::uint32_t{Header().records}, 4u);
    EXPECT_EQ(FullText(u"白日"), (Numbers{0, 3}));
}

TEST_F(SearchIndexTest, ADamagedIndexIsFoundOutAndPassedOver) {
    // Every list damaged: each bucket read fails its digest, and the texts are searched.
    const SearchIndexHeader header = Header();
    for (std::uint64_t at = header.postingsAt; at < header.tablesAt; ++at) {
        Corrupt(at);
    }
    const CSearchIndex::Opened opened = OpenIndex();
    ASSERT_EQ(opened.state, SearchIndexState::current); // its header still holds
    EXPECT_FALSE(opened.index->CheckWhole());
    EXPECT_FALSE(opened.index->Find(u"明月"));
    EXPECT_EQ(FullText(u"明月"), (Numbers{0, 2}));
    EXPECT_EQ(FullText(u"处处"), Numbers{1});
    EXPECT_EQ(FullText(u"。"), (Numbers{0, 1, 2}));

    Build();
    Corrupt(20); // the header
    EXPECT_EQ(State(), SearchIndexState::damaged);
    Build();
    std::filesystem::resize_file(Path(), std::filesystem::file_size(Path()) - 1);
    EXPECT_EQ(State(), SearchIndexState::damaged);
    testing_support::WriteFile(Path(), "not an index");
    EXPECT_EQ(State(), SearchIndexState::damaged);
    EXPECT_EQ(FullText(u"明月"), (Numbers{0, 2}));
    ASSERT_TRUE(AppendText("明月"));
    EXPECT_EQ(State(), SearchIndexState::current); // made again by the append
}

TEST_F(SearchIndexTest, AnIndexMadeFromOtherFilesIsNeverTrusted) {
    testing_support::WriteLibrary(m_folder, "other",
                                  {{"a", "b", "c", "d", "明月明月"},
                                   {"e", "f", "g", "h", "x"},
                                   {"i", "j", "k", "l", "明月"}});
    ASSERT_TRUE(
        SearchIndexUpkeep::RebuildFor(m_folder.File("other.idx"), m_folder.File("other.dat")));
    std::filesystem::copy_file(Path("other.search"), Path(),
                               std::filesystem::copy_options::overwrite_existing);
    EXPECT_EQ(State(), SearchIndexState::stale);
    EXPECT_EQ(FullText(u"春眠"), Numbers{1});
}

// A copy takes new times: the digests know the files again, and the stamps are renewed so
// that the next look needs no digest.
TEST_F(SearchIndexTest, ACopiedLibraryIsKnownByItsDigestsAndItsStampsRenewed) {
    testing_support::TempFolder copy;
    for (const char* name : {"kavro.idx", "kavro.dat", "kavro.search"}) {
        std::filesystem::copy_file(m_folder.File(name), copy.File(name));
    }
    const SearchIndexHeader before = Header();
    std::filesystem::last_write_time(copy.File("kavro.dat"),
                                     std::filesystem::last_write_time(copy.File("kavro.dat")) +
                                         std::chrono::seconds(5));
    SearchedLibrary library;
    CFile index, data;
    ASSERT_TRUE(index.Open(CString::FromUtf8(copy.File("kavro.idx")), CFile::modeRead));
    ASSERT_TRUE(data.Open(CString::FromUtf8(copy.File("kavro.dat")), CFile::modeRead));
    EXPECT_EQ(SearchIndexUpkeep::StateOf(copy.File("kavro.search"), index, data),
              SearchIndexState::current);
    SearchIndexHeader after{};
    std::ifstream(copy.File("kavro.search"), std::ios::binary)
        .read(reinterpret_cast<char*>(&after), sizeof after);
    EXPECT_FALSE(SameFile(after.dataStamp, before.dataStamp));
    EXPECT_TRUE(SameFile(after.dataStamp, StampOf(data.GetHandle())));
    EXPECT_EQ(std::uint64_t{after.recordsDigest}, std::uint64_t{before.recordsDigest});
}

// Through the index, the records found are read from the index file Open checked: one cut short
// since fails the search as the reading of all the records does.
TEST_F(SearchIndexTest, AnIndexFileCutShortAfterOpenFailsTheSearchOnce) {
    auto library = Open();
    SetIndexBytes(IndexBytes().substr(0, 292 + 124)); // poem 3 of 明月 is gone
    EXPECT_EQ(library->Select(u"明月", SEL_FULLTEXT), 0u);
    EXPECT_FALSE(library->IsUsable());
    ASSERT_EQ(Boxes().size(), 1u);
    EXPECT_EQ(LastMessage(), u"不能读诗词索引文件.");
}

TEST_F(SearchIndexTest, ALibraryWithoutAnIndexStaysWithoutOne) {
    SearchIndexUpkeep::Remove(Path());
    ASSERT_TRUE(AppendText("明月"));
    EXPECT_EQ(State(), SearchIndexState::missing);
    EXPECT_EQ(FullText(u"明月"), (Numbers{0, 2, 3}));
}

} // namespace
