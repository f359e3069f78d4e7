#include "library/NameTables.h"
#include "platform/core/CodePage.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

// The names a list shows: the table walked up to the first name shorter than two characters.
template <std::size_t N>
std::vector<std::u16string> Listed(const std::array<const char16_t*, N>& t) {
    std::vector<std::u16string> names;
    for (const char16_t* name : t) {
        if (std::u16string_view(name).size() < 2) {
            break;
        }
        names.emplace_back(name);
    }
    return names;
}

template <class T> int CountOf(const std::vector<std::u16string>& names, const T& name) {
    return static_cast<int>(std::count(names.begin(), names.end(), std::u16string(name)));
}

TEST(NameTables, ListsHoldTheirNamesInOrderWithTheirDuplicates) {
    const auto authors = Listed(g_authorNames);
    const auto dynasties = Listed(g_dynastyNames);
    const auto entryForms = Listed(g_entryFormNames);
    const auto searchForms = Listed(g_searchFormNames);
    ASSERT_EQ(authors.size(), 135u);
    ASSERT_EQ(dynasties.size(), 14u);
    ASSERT_EQ(entryForms.size(), 31u);
    ASSERT_EQ(searchForms.size(), 87u);
    EXPECT_EQ(authors.front(), u"屈原");
    EXPECT_EQ(authors[59], u"无名氏");
    EXPECT_EQ(authors[125], u"无名氏");
    EXPECT_EQ(authors.back(), u"珠帘秀");
    EXPECT_EQ(dynasties[8], u"五代十国");
    EXPECT_EQ(entryForms.front(), u"五言古诗");
    EXPECT_EQ(entryForms.back(), u"现代");
    EXPECT_EQ(searchForms.back(), u"醉中平");
    for (const char16_t* twice : {u"南乡子", u"蝶恋花", u"临江仙"}) {
        EXPECT_EQ(CountOf(searchForms, twice), 2) << CString(twice).ToUtf8();
    }
    EXPECT_EQ(CountOf(authors, u"无名氏"), 2);
    EXPECT_EQ(searchForms[61], u"商调\u00B7梧叶儿"); // the dot is U+00B7
}

// The poets are spelt as the collection spells them, so that a pick finds their poems in its
// libraries too; 眘 and 偁 lie outside GB2312 but inside the code page, so a search for them has
// its bytes.
TEST(NameTables, PoetsAreSpeltAsTheCollectionSpellsThem) {
    const auto authors = Listed(g_authorNames);
    for (const char16_t* name :
         {u"卢纶", u"刘眘虚", u"丘为", u"沈佺期", u"张籍", u"王禹偁", u"刘秉忠", u"张可久"}) {
        EXPECT_EQ(CountOf(authors, name), 1) << CString(name).ToUtf8();
        EXPECT_TRUE(CodePage::SearchBytes(name).has_value()) << CString(name).ToUtf8();
    }
    for (const char16_t* misspelt :
         {u"卢伦", u"刘脊虚", u"邱为", u"沈全期", u"张藉", u"王禹称", u"刘秉中", u"张可九"}) {
        EXPECT_EQ(CountOf(authors, misspelt), 0) << CString(misspelt).ToUtf8();
    }
    EXPECT_EQ(authors[33], u"刘眘虚"); // in the row of the name it replaces
}

TEST(NameTables, SearchFormsBeginWithTheEntryFormsThemselves) {
    for (std::size_t i = 0; i < 31; ++i) {
        EXPECT_EQ(g_searchFormNames[i], g_entryFormNames[i]) << i; // one copy, not two
    }
    EXPECT_EQ(std::u16string_view(g_entryFormNames[31]), u"");
    EXPECT_EQ(std::u16string_view(g_searchFormNames[87]), u"");
}

// Every name is text the code page holds; the forms a poem is entered in also fit the record's
// 16-byte form field. (One tune of the search list, 中吕·快活三过朝天子四换头, is longer than any
// form field can hold.)
TEST(NameTables, EveryNameEncodesAndEveryEntryFormFitsItsField) {
    auto encoded = [](const char16_t* name) {
        size_t missing = 0;
        const std::string bytes = CodePage::Encode(name, &missing);
        EXPECT_EQ(missing, 0u) << CString(name).ToUtf8();
        return bytes;
    };
    for (const char16_t* name : g_authorNames) {
        EXPECT_LE(encoded(name).size(), 16u);
    }
    for (const char16_t* name : g_dynastyNames) {
        EXPECT_LE(encoded(name).size(), 16u);
    }
    for (const char16_t* name : g_entryFormNames) {
        EXPECT_LE(encoded(name).size(), 16u);
    }
    int tooLong = 0;
    for (const char16_t* name : g_searchFormNames) {
        tooLong += encoded(name).size() > 16 ? 1 : 0;
    }
    EXPECT_EQ(tooLong, 1);
}

} // namespace
