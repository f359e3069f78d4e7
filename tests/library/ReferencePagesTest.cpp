#include "library/ReferencePages.h"

#include <gtest/gtest.h>

namespace {

TEST(ReferencePages, APoetsPageLiesInTheFolderOfTheDynasty) {
    EXPECT_EQ(PoetPageName(u"李白", u"唐代"), u"poets/唐代/李白.htm");
    // Two poets of one name are two pages.
    EXPECT_NE(PoetPageName(u"王禹偁", u"宋代"), PoetPageName(u"王禹偁", u"唐代"));
    EXPECT_EQ(FormPageName(u"商调·梧叶儿"), u"forms/商调·梧叶儿.htm");
    EXPECT_EQ(PoetPageName(u"无名氏", u""), u"poets/未详/无名氏.htm");
}

TEST(ReferencePages, ANameNeverLeadsOutOfItsFolderNorReadsAsAnAnchor) {
    EXPECT_EQ(PageFileStem(u"../x"), u"%2E.%2Fx");
    EXPECT_EQ(PageFileStem(u"a\\b#c%d"), u"a%5Cb%23c%25d");
    EXPECT_EQ(FormPageName(u"仙吕/点绛唇"), u"forms/仙吕%2F点绛唇.htm");
    // An escaped name cannot meet a name that was written so: '%' is escaped too.
    EXPECT_NE(PageFileStem(u"a%2Fb"), PageFileStem(u"a/b"));
    EXPECT_TRUE(PoetPageName(u"", u"唐代").IsEmpty());
    EXPECT_TRUE(FormPageName(u"").IsEmpty());
}

} // namespace
