// The favourites library: made at the first poem kept, a poem kept once with its notes, taken out
// by a new index renamed over the old, readable as an ordinary library all along, never in the
// way of the library that is open, and neither written over nor misread when damaged by hand.

#include "library/Favourites.h"
#include "library/PoemLibrary.h"
#include "platform/core/CodePage.h"
#include "tests/common/TestLibrary.h"
#include "tests/support/Printing.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <sys/stat.h>

using testing_support::TempFolder;
using testing_support::TestPoem;

namespace {

const PoemNotes kMoonNotes{{}, {u"床--井栏。", u"疑--好像。"}};
const PoemNotes kSongNotes{u"水调歌头·丙辰中秋，欢饮达旦，大醉，作此篇，兼怀子由",
                           {u"子由--苏辙。"}};

class FavouritesTest : public ::testing::Test {
protected:
    FavouritesTest() : m_favourites(CString::FromUtf8(m_folder.Folder())) {
        testing_support::WriteLibrary(
            m_folder, "kavro",
            {
                {"静夜思", "李白", "唐代", "五言绝句", "床前明月光，\r\n疑是地上霜。"},
                {"春晓", "孟浩然", "唐代", "五言绝句", "春眠不觉晓，\r\n处处闻啼鸟。"},
                {"水调歌头", "苏轼", "宋代", "水调歌头", "明月几时有？\r\n把酒问青天。"},
            });
        m_library.SetFileNames(u"kavro.idx", u"kavro.dat");
        EXPECT_TRUE(m_library.Open());
        EXPECT_EQ(m_library.Select(nullptr, SEL_ALL), 3u);
    }
    KeptPoem Poem(int number) { return KeptPoemOf(m_library, m_library.GetRecords()[number]); }
    // The first poem and the third have notes in their library, the third its whole title.
    void WriteSourceNotes() {
        CNotesWriter writer;
        for (const auto& [number, notes] : {std::pair(0, kMoonNotes), std::pair(2, kSongNotes)}) {
            const PoemRecord& record = m_library.GetRecords()[number];
            CString text;
            m_library.ReadText(&record, text);
            writer.Add(record, text, notes);
        }
        std::string error;
        ASSERT_TRUE(writer.Write(m_folder.File("kavro.notes"), error)) << error;
    }
    std::string NotesFile() const { return m_folder.File("收藏.notes"); }
    // The notes of each favourite as a reader of the favourites library finds them.
    std::vector<PoemNotes> NotesAsTheReaderFindsThem() {
        std::vector<PoemNotes> notes;
        PoemRecord* const result = g_pResult;
        if (const auto favourites = OpenFavourites(CString::FromUtf8(m_folder.Folder()))) {
            for (const PoemRecord& record : favourites->GetRecords()) {
                notes.push_back(FindPoemNotes(*favourites, record));
            }
        }
        g_pResult = result;
        return notes;
    }
    static std::string Title(const KeptPoem& poem) {
        return CodePage::Decode(poem.record.title, sizeof poem.record.title).ToUtf8();
    }
    std::vector<std::string> KeptTitles() const {
        std::vector<std::string> titles;
        for (const KeptPoem& poem : m_favourites.Poems()) {
            titles.push_back(Title(poem));
        }
        return titles;
    }
    // The favourites as any reader of libraries opens them.
    std::unique_ptr<CPoemLibrary> OpenAsALibrary() {
        auto library = std::make_unique<CPoemLibrary>(CString::FromUtf8(m_folder.Folder()));
        library->SetFileNames(u"收藏.idx", u"收藏.dat");
        return library->Open() ? std::move(library) : nullptr;
    }

    TempFolder m_folder;
    CPoemLibrary m_library{CString::FromUtf8(m_folder.Folder())};
    CFavourites m_favourites;
};

using Titles = std::vector<std::string>;
using Outcome = CFavourites::Outcome;
using Notes = std::vector<PoemNotes>;

TEST_F(FavouritesTest, TheFirstPoemKeptMakesALibraryOfItsOwnThatAnyReaderOpens) {
    EXPECT_EQ(m_favourites.Count(), 0u);
    EXPECT_FALSE(std::filesystem::exists(m_folder.Path() / u8"收藏.idx"));
    EXPECT_EQ(m_favourites.Add(Poem(2)), Outcome::added);
    EXPECT_EQ(m_favourites.Add(Poem(0)), Outcome::added);
    PoemRecord* const result = g_pResult;
    const auto library = OpenAsALibrary();
    ASSERT_NE(library, nullptr);
    g_pResult = result; // this test opened a second library the ordinary way
    EXPECT_EQ(library->GetName(), CString(u"收藏"));
    ASSERT_EQ(library->GetRecords().size(), 2u);
    const PoemRecord& kept = library->GetRecords()[0];
    const PoemRecord& source = m_library.GetRecords()[2];
    EXPECT_STREQ(kept.title, source.title);
    EXPECT_STREQ(kept.author, source.author);
    EXPECT_STREQ(kept.dynasty, source.dynasty);
    EXPECT_STREQ(kept.form, source.form);
    CString text;
    library->ReadText(&kept, text);
    EXPECT_EQ(text, CString(u"明月几时有？\r\n把酒问青天。"));
    library->ReadText(&library->GetRecords()[1], text);
    EXPECT_EQ(text, CString(u"床前明月光，\r\n疑是地上霜。"));
}

TEST_F(FavouritesTest, APoemIsKeptOnceWhateverLibraryItComesFrom) {
    ASSERT_EQ(m_favourites.Add(Poem(0)), Outcome::added);
    EXPECT_EQ(m_favourites.Add(Poem(0)), Outcome::alreadyKept);
    // The same title, author and text from another library, of another form: the same poem.
    KeptPoem copy = Poem(0);
    std::snprintf(copy.record.form, sizeof copy.record.form, "%s",
                  testing_support::Gbk("乐府").c_str());
    EXPECT_TRUE(m_favourites.Contains(copy));
    EXPECT_EQ(m_favourites.Add(copy), Outcome::alreadyKept);
    // Another text under the same title and author is another poem.
    KeptPoem other = Poem(0);
    other.text += testing_support::Gbk("举头望明月。");
    EXPECT_FALSE(m_favourites.Contains(other));
    EXPECT_EQ(m_favourites.Add(other), Outcome::added);
    EXPECT_EQ(KeptTitles(), (Titles{"静夜思", "静夜思"}));
}

TEST_F(FavouritesTest, TakingOutLeavesTheOthersAsTheyWereAndEveryTextWhereItsRecordFindsIt) {
    for (int number : {0, 1, 2}) {
        ASSERT_EQ(m_favourites.Add(Poem(number)), Outcome::added);
    }
    const std::string data = testing_support::ReadFile(m_folder.File("收藏.dat"));
    EXPECT_EQ(m_favourites.Remove(Poem(1)), Outcome::removed);
    EXPECT_EQ(m_favourites.Remove(Poem(1)), Outcome::notKept);
    EXPECT_EQ(KeptTitles(), (Titles{"静夜思", "水调歌头"}));
    EXPECT_FALSE(std::filesystem::exists(m_folder.Path() / u8"收藏.idx.new"));
    // The texts left stay where they were: a reader showing one goes on reading it.
    EXPECT_EQ(testing_support::ReadFile(m_folder.File("收藏.dat")), data);
    const auto poems = m_favourites.Poems();
    ASSERT_EQ(poems.size(), 2u);
    EXPECT_TRUE(SameFavourite(poems[1], Poem(2)));
    // Kept again, it comes last.
    EXPECT_EQ(m_favourites.Add(Poem(1)), Outcome::added);
    EXPECT_EQ(KeptTitles(), (Titles{"静夜思", "水调歌头", "春晓"}));

    // The favourites open as the library while every poem is taken out: each record it holds
    // still reads its own text, and the poem read from it is kept again as it was.
    PoemRecord* const result = g_pResult;
    const auto open = OpenAsALibrary();
    ASSERT_NE(open, nullptr);
    g_pResult = result;
    const std::vector<PoemRecord> held(open->GetRecords().begin(), open->GetRecords().end());
    for (int number : {2, 0, 1}) {
        EXPECT_EQ(m_favourites.Remove(Poem(number)), Outcome::removed);
    }
    EXPECT_EQ(m_favourites.Count(), 0u);
    const auto empty = OpenAsALibrary();
    g_pResult = result;
    ASSERT_NE(empty, nullptr);
    EXPECT_EQ(empty->GetName(), CString(u"收藏"));
    EXPECT_EQ(m_favourites.Add(KeptPoemOf(*open, held[0])), Outcome::added);
    EXPECT_EQ(m_favourites.Add(Poem(2)), Outcome::added);
    for (std::size_t i = 0; i < held.size(); ++i) {
        EXPECT_EQ(KeptPoemOf(*open, held[i]).text, Poem(std::array{0, 2, 1}[i]).text) << i;
    }
    EXPECT_EQ(KeptTitles(), (Titles{"静夜思", "水调歌头"}));
    EXPECT_EQ(m_favourites.Poems()[0].text, Poem(0).text);
}

TEST_F(FavouritesTest, TheOpenLibrarysResultsStayItsOwn) {
    PoemRecord* const result = g_pResult;
    ASSERT_NE(result, nullptr);
    const PoemRecord first = result[0];
    ASSERT_EQ(m_favourites.Add(Poem(2)), Outcome::added);
    EXPECT_EQ(m_favourites.Count(), 1u);
    {
        const auto favourites = OpenFavourites(CString::FromUtf8(m_folder.Folder()));
        ASSERT_NE(favourites, nullptr);
        EXPECT_EQ(favourites->GetRecords().size(), 1u);
    }
    EXPECT_EQ(m_favourites.Remove(Poem(2)), Outcome::removed);
    EXPECT_EQ(g_pResult, result);
    EXPECT_EQ(std::memcmp(&g_pResult[0], &first, sizeof first), 0);
    EXPECT_EQ(m_library.Select(u"苏轼", SEL_AUTHOR), 1u);
}

TEST_F(FavouritesTest, AFolderThatCannotBeWrittenFailsWithTheReasonAndChangesNothing) {
    CFavourites nowhere(CString::FromUtf8(m_folder.File("missing") + "/"));
    EXPECT_EQ(nowhere.Add(Poem(0)), Outcome::failed);
    EXPECT_NE(nowhere.Error().Find(u"收藏.dat"), -1) << nowhere.Error().ToUtf8();
    EXPECT_NE(nowhere.Error().Find(u"文件不存在"), -1) << nowhere.Error().ToUtf8();
    EXPECT_EQ(nowhere.Count(), 0u);
    EXPECT_EQ(nowhere.Remove(Poem(0)), Outcome::notKept);

    // Favourites in a folder that has become read-only, their files still writable: neither
    // keeping nor taking out writes a byte anywhere.
    WriteSourceNotes();
    ASSERT_EQ(m_favourites.Add(Poem(0)), Outcome::added);
    m_folder.OpenToEveryone();
    for (const char* name : {"收藏.idx", "收藏.dat", "收藏.notes"}) {
        ::chmod(m_folder.File(name).c_str(), 0666);
    }
    ::chmod(m_folder.Path().c_str(), 0555);
    const std::string index = testing_support::ReadFile(m_folder.File("收藏.idx"));
    const std::string data = testing_support::ReadFile(m_folder.File("收藏.dat"));
    const std::string notes = testing_support::ReadFile(NotesFile());
    const KeptPoem second = Poem(1);
    const KeptPoem first = Poem(0);
    EXPECT_TRUE(testing_support::AsUnprivilegedUser([&] {
        const bool refused = m_favourites.Add(second) == Outcome::failed &&
                             m_favourites.Error().Find(u"收藏.idx") != -1 &&
                             m_favourites.Error().Find(u"没有访问权限") != -1;
        return refused && m_favourites.Remove(first) == Outcome::failed &&
               m_favourites.Error().Find(u"没有访问权限") != -1;
    }));
    ::chmod(m_folder.Path().c_str(), 0777);
    EXPECT_EQ(testing_support::ReadFile(m_folder.File("收藏.idx")), index);
    EXPECT_EQ(testing_support::ReadFile(m_folder.File("收藏.dat")), data);
    EXPECT_EQ(testing_support::ReadFile(NotesFile()), notes);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(m_folder.Path()), {}), 6)
        << "kavro's three files and the favourites' three, and nothing beside them";
}

TEST_F(FavouritesTest, APoemKeptKeepsItsNotesAndWholeTitleAndTheOthersKeepTheirsWhenOneGoes) {
    WriteSourceNotes();
    ASSERT_EQ(Poem(2).notes, kSongNotes);
    EXPECT_EQ(m_favourites.Add(Poem(1)), Outcome::added);
    EXPECT_FALSE(std::filesystem::exists(NotesFile())) << "a poem without notes leaves none";
    EXPECT_EQ(m_favourites.Add(Poem(2)), Outcome::added);
    EXPECT_EQ(m_favourites.Add(Poem(0)), Outcome::added);
    EXPECT_EQ(NotesAsTheReaderFindsThem(), (Notes{{}, kSongNotes, kMoonNotes}));
    const auto poems = m_favourites.Poems();
    ASSERT_EQ(poems.size(), 3u);
    EXPECT_EQ(poems[1].notes, kSongNotes);
    const NotesFileContents file = ReadNotesFile(CString::FromUtf8(NotesFile()));
    EXPECT_TRUE(file.problems.empty()) << file.problems.front();
    EXPECT_EQ(file.entries.size(), 2u);

    // A poem kept again from the favourites themselves is already there, notes and all.
    PoemRecord* const result = g_pResult;
    const auto favourites = OpenFavourites(CString::FromUtf8(m_folder.Folder()));
    g_pResult = result;
    ASSERT_NE(favourites, nullptr);
    const KeptPoem again = KeptPoemOf(*favourites, favourites->GetRecords()[1]);
    EXPECT_EQ(again.notes, kSongNotes);
    EXPECT_EQ(m_favourites.Add(again), Outcome::alreadyKept);

    EXPECT_EQ(m_favourites.Remove(Poem(1)), Outcome::removed);
    EXPECT_EQ(NotesAsTheReaderFindsThem(), (Notes{kSongNotes, kMoonNotes}));
    EXPECT_EQ(m_favourites.Remove(Poem(2)), Outcome::removed);
    EXPECT_EQ(NotesAsTheReaderFindsThem(), (Notes{kMoonNotes}));
    EXPECT_EQ(ReadNotesFile(CString::FromUtf8(NotesFile())).entries.size(), 1u);
    EXPECT_EQ(m_favourites.Remove(Poem(0)), Outcome::removed);
    EXPECT_FALSE(std::filesystem::exists(NotesFile())) << "no notes are left to keep";
    EXPECT_FALSE(std::filesystem::exists(NotesFile() + ".new"));
}

TEST_F(FavouritesTest, APoemIsKnownByItsWholeTitleWhateverItsRecordHoldsOfIt) {
    WriteSourceNotes();
    const KeptPoem song = Poem(2);
    ASSERT_EQ(m_favourites.Add(song), Outcome::added);
    // Another poem whose record's title is cut the same, of the same poet and text: two
    // favourites, each taken out on its own.
    KeptPoem other = song;
    other.notes.fullTitle = u"水调歌头·中秋";
    EXPECT_FALSE(m_favourites.Contains(other));
    EXPECT_EQ(m_favourites.Add(other), Outcome::added);
    EXPECT_EQ(m_favourites.Count(), 2u);
    // The same whole title cut another way by another library: the same poem.
    KeptPoem cutOtherwise = song;
    std::snprintf(cutOtherwise.record.title, sizeof cutOtherwise.record.title, "%s",
                  testing_support::Gbk("水调歌头·丙辰").c_str());
    EXPECT_EQ(m_favourites.Add(cutOtherwise), Outcome::alreadyKept);
    // A copy read without its notes is known by its record's title.
    KeptPoem bare = song;
    bare.notes = {};
    EXPECT_TRUE(m_favourites.Contains(bare));
    EXPECT_EQ(m_favourites.Remove(other), Outcome::removed);
    EXPECT_EQ(NotesAsTheReaderFindsThem(), (Notes{kSongNotes}));
    EXPECT_TRUE(m_favourites.Contains(song));
    EXPECT_FALSE(m_favourites.Contains(other));
}

TEST_F(FavouritesTest, FavouritesDamagedByHandAreNeitherWrittenOverNorMisread) {
    WriteSourceNotes();
    ASSERT_EQ(m_favourites.Add(Poem(0)), Outcome::added);
    ASSERT_EQ(m_favourites.Add(Poem(1)), Outcome::added);
    const std::string data = testing_support::ReadFile(m_folder.File("收藏.dat"));
    // The data file cut short: the second record claims bytes it no longer has. A poem kept now
    // goes after them, so that the second never reads the newcomer's text.
    testing_support::WriteFile(m_folder.File("收藏.dat"), data.substr(0, data.size() - 3));
    ASSERT_EQ(m_favourites.Add(Poem(2)), Outcome::added);
    const auto poems = m_favourites.Poems();
    ASSERT_EQ(poems.size(), 3u);
    EXPECT_EQ(poems[0].text, Poem(0).text);
    EXPECT_EQ(poems[0].notes, kMoonNotes);
    EXPECT_EQ(poems[1].text, Poem(1).text.substr(0, Poem(1).text.size() - 2)); // without its 。
    EXPECT_EQ(poems[2].text, Poem(2).text);
    EXPECT_EQ(poems[2].notes, kSongNotes);

    // A notes file damaged by hand reads as no notes, and the next change writes a sound one.
    std::string notes = testing_support::ReadFile(NotesFile());
    notes.back() = 'x';
    testing_support::WriteFile(NotesFile(), notes);
    ASSERT_EQ(m_favourites.Remove(poems[1]), Outcome::removed);
    const NotesFileContents file = ReadNotesFile(CString::FromUtf8(NotesFile()));
    EXPECT_TRUE(file.problems.empty()) << file.problems.front();
    EXPECT_EQ(NotesAsTheReaderFindsThem(), (Notes{kMoonNotes, {}}));

    // An index that is no index any more: nothing is kept over it, and the user is told.
    std::string index = testing_support::ReadFile(m_folder.File("收藏.idx"));
    index[0] = 'X';
    index[1] = 'Y';
    testing_support::WriteFile(m_folder.File("收藏.idx"), index);
    const std::string before = testing_support::ReadFile(m_folder.File("收藏.dat"));
    EXPECT_EQ(m_favourites.Add(Poem(1)), Outcome::failed);
    EXPECT_NE(m_favourites.Error().Find(u"收藏的诗词库打不开"), -1)
        << m_favourites.Error().ToUtf8();
    EXPECT_EQ(m_favourites.Remove(Poem(0)), Outcome::failed);
    EXPECT_EQ(testing_support::ReadFile(m_folder.File("收藏.idx")), index);
    EXPECT_EQ(testing_support::ReadFile(m_folder.File("收藏.dat")), before);
}

} // namespace
