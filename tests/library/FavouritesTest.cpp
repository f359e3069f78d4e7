// The favourites library: made at the first poem kept, a poem kept once, taken out by a new
// index renamed over the old, readable as an ordinary library all along, and never in the way
// of the library that is open.

#include "library/Favourites.h"
#include "library/PoemLibrary.h"
#include "platform/core/CodePage.h"
#include "tests/common/TestLibrary.h"
#include "tests/support/Printing.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <filesystem>

using testing_support::TempFolder;
using testing_support::TestPoem;

namespace {

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

TEST_F(FavouritesTest, TakingOutLeavesTheOthersAsTheyWereAndTheLastOneEmptiesTheData) {
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
    for (int number : {2, 0, 1}) {
        EXPECT_EQ(m_favourites.Remove(Poem(number)), Outcome::removed);
    }
    EXPECT_EQ(m_favourites.Count(), 0u);
    EXPECT_EQ(std::filesystem::file_size(m_folder.Path() / u8"收藏.dat"), 0u);
    PoemRecord* const result = g_pResult;
    const auto empty = OpenAsALibrary();
    g_pResult = result;
    ASSERT_NE(empty, nullptr);
    EXPECT_EQ(empty->GetName(), CString(u"收藏"));
    EXPECT_EQ(m_favourites.Add(Poem(2)), Outcome::added);
    EXPECT_EQ(KeptTitles(), (Titles{"水调歌头"}));
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

TEST_F(FavouritesTest, AFolderThatCannotBeWrittenFailsWithTheReason) {
    CFavourites nowhere(CString::FromUtf8(m_folder.File("missing") + "/"));
    EXPECT_EQ(nowhere.Add(Poem(0)), Outcome::failed);
    EXPECT_NE(nowhere.Error().Find(u"收藏.dat"), -1) << nowhere.Error().ToUtf8();
    EXPECT_EQ(nowhere.Count(), 0u);
    EXPECT_EQ(nowhere.Remove(Poem(0)), Outcome::notKept);
}

} // namespace
