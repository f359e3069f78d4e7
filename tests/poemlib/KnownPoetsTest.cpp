// What the other libraries say of an anthology's poets: the dynasty of a poem from its poet and
// first verse, and a poet's name its source cut short.

#include "tools/poemlib/KnownPoets.h"
#include "settings/Settings.h"
#include "tests/common/TestLibrary.h"

#include <gtest/gtest.h>

namespace {

using poemlib::CKnownPoets;
using testing_support::TempFolder;

class KnownPoetsTest : public ::testing::Test {
protected:
    KnownPoetsTest() {
        // 全唐诗 gives 偶来松树下 to 太上隐君, 全宋诗 to 太上隐者; two poets begin with 张.
        Add("唐", {{"早春", "韩愈", "唐代", "七言绝句", "天街小雨润如酥，草色遥看近却无。"},
                   {"答人", "太上隐君", "唐代", "五言绝句", "偶来松树下，高枕石头眠。"},
                   {"甲", "王建", "唐代", "五言绝句", "三日入厨下，洗手作羹汤。"}});
        Add("宋", {{"山居书事", "太上隐者", "宋代", "五言绝句", "偶来松树下，高枕石头眠。"},
                   {"满庭芳", "张镃", "宋代", "满庭芳", "月洗高梧，露溥幽草"},
                   {"一", "张先", "宋代", "天仙子", "水调数声持酒听"},
                   {"二", "张炎", "宋代", "甘州", "水调数声持酒听"},
                   {"乙", "王建", "宋代", "五言绝句", "别有一首诗，不在唐人集。"},
                   {"丙", "王建", "宋代", "五言绝句", "又有一首诗，不在唐人集。"}});
    }
    ~KnownPoetsTest() override { ResetSettings(); }

    void Add(const std::string& name, const std::vector<testing_support::TestPoem>& poems) {
        testing_support::WriteLibrary(m_folder, name, poems);
        CPoemLibrary library(CString::FromUtf8(m_folder.Folder()));
        library.SetFileNames(CString::FromUtf8(name + ".idx"), CString::FromUtf8(name + ".dat"));
        ASSERT_TRUE(library.Open(LibraryAccess::readOnly));
        m_poets.Add(library);
    }
    std::string DynastyOf(const char16_t* author, const char16_t* text, const char16_t* given,
                          bool& fromPoets) const {
        return m_poets.DynastyOf(CString(author), CString(text), CString(given), fromPoets)
            .ToUtf8();
    }

    TempFolder m_folder;
    CKnownPoets m_poets;
};

TEST_F(KnownPoetsTest, APoemsDynastyIsItsPoetsWhereTheAnthologysIsNoneTheLibrariesHoldItUnder) {
    bool fromPoets = false;
    // （宋）韩愈: his poem is of 唐代 only.
    EXPECT_EQ(DynastyOf(u"韩愈", u"天街小雨润如酥，草色遥看近却无。", u"宋代", fromPoets), "唐代");
    EXPECT_TRUE(fromPoets);
    // （唐）太上隐者: 全宋诗 has the poem under his name, but 全唐诗 holds it too, by another.
    EXPECT_EQ(DynastyOf(u"太上隐者", u"偶来松树下，高枕石头眠。", u"唐代", fromPoets), "唐代");
    EXPECT_FALSE(fromPoets);
    // A poem the libraries do not hold keeps what its source says, whatever the poet's others.
    EXPECT_EQ(DynastyOf(u"王建", u"未谙姑食性，先遣小姑尝。", u"唐代", fromPoets), "唐代");
    EXPECT_FALSE(fromPoets);
    // Where the source says nothing: the poem's, else most of the poet's poems, else nothing.
    EXPECT_EQ(DynastyOf(u"王建", u"三日入厨下，洗手作羹汤。", u"", fromPoets), "唐代");
    EXPECT_TRUE(fromPoets);
    EXPECT_EQ(DynastyOf(u"王建", u"未谙姑食性，先遣小姑尝。", u"", fromPoets), "宋代");
    EXPECT_TRUE(fromPoets);
    EXPECT_EQ(DynastyOf(u"明世宗", u"大将南征胆气豪。", u"", fromPoets), "");
    EXPECT_FALSE(fromPoets);
    // A fragment's first verse ("句") is too short to know a poem by.
    EXPECT_EQ(DynastyOf(u"韩愈", u"天街。", u"宋代", fromPoets), "宋代");
}

TEST_F(KnownPoetsTest, ANameCutShortIsWholeOnlyWhereOnePoetCanBeMeant) {
    EXPECT_EQ(m_poets.WholeName(CString(u"张"), CString(u"月洗高梧，露溥幽草")), u"张镃");
    // 张先 and 张炎 both begin a poem so: which one is not known.
    EXPECT_EQ(m_poets.WholeName(CString(u"张"), CString(u"水调数声持酒听")), u"张");
    // The poem under the anthology's own name, or not held at all: the name stands.
    EXPECT_EQ(m_poets.WholeName(CString(u"王建"), CString(u"三日入厨下，洗手作羹汤。")), u"王建");
    EXPECT_EQ(m_poets.WholeName(CString(u"韩"), CString(u"频听银签，重燃绛蜡")), u"韩");
    EXPECT_EQ(poemlib::FirstVerseKey(u"「天街小雨润如酥」，草色"), u"天街小雨润如酥");
}

} // namespace
