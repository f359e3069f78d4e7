#include "platform/core/CString.h"

#include <gtest/gtest.h>

namespace {

CString Fmt(std::u16string_view format, auto... args) {
    return CString::Formatted(format, args...);
}

TEST(CStringFormat, ConversionsWidthsAndPadding) {
    EXPECT_EQ(Fmt(u"%s 诗词库", CString(u"唐诗")), u"唐诗 诗词库");
    EXPECT_EQ(Fmt(u"%d 首诗词", 300u), u"300 首诗词");
    EXPECT_EQ(Fmt(u"%d/%d", -5, 12), u"-5/12");
    EXPECT_EQ(Fmt(u"%04u-%02u-%02u", 2005u, 3u, 1u), u"2005-03-01");
    EXPECT_EQ(Fmt(u"%04u-%02u-%02u", 0u, 0u, 0u), u"0000-00-00");
    EXPECT_EQ(Fmt(u"%0u.%0u.%0u", 1u, 0u, 10u),
              u"1.0.10"); // a zero flag without width pads nothing
    EXPECT_EQ(Fmt(u"%02x%02x%02x", 0x12, 0xAB, 0x0), u"12ab00");
    EXPECT_EQ(Fmt(u"%X", 255), u"FF");
    EXPECT_EQ(Fmt(u"[%5d][%-5d][%05d]", 42, 42, -42), u"[   42][42   ][-0042]");
    EXPECT_EQ(Fmt(u"[%4s][%-4s]", u"ab", u"ab"), u"[  ab][ab  ]");
    EXPECT_EQ(Fmt(u"%s%u%s", u"bgpic", 38u, u".jpg"), u"bgpic38.jpg");
    EXPECT_EQ(Fmt(u"100%% %s", u"好"), u"100% 好");
}

TEST(CStringFormat, SurvivesWrongOrMissingArguments) {
    EXPECT_EQ(Fmt(u"%s and %d", u"one"), u"one and ");
    EXPECT_EQ(Fmt(u"trailing %"), u"trailing %");
    EXPECT_EQ(Fmt(u"%q", 1), u"%q");
    EXPECT_EQ(Fmt(u"%s", 7), u"7"); // a number where text is expected prints the number
    const char16_t* none = nullptr;
    EXPECT_EQ(Fmt(u"[%s]", none), u"[]");
}

TEST(CStringText, FindsAndCuts) {
    const CString path = u"/opt/诗词/lomeva";
    EXPECT_EQ(path.ReverseFind(u'/'), 7);
    EXPECT_EQ(path.Left(path.ReverseFind(u'/') + 1), u"/opt/诗词/");
    EXPECT_EQ(path.Find(u"诗词"), 5);
    EXPECT_EQ(path.Find(u"诗词", 6), -1);
    EXPECT_EQ(path.Find(u"", 3), 3); // the empty keyword occurs everywhere
    EXPECT_EQ(path.Find(u'x', 100), -1);
    EXPECT_EQ(path.Mid(5, 2), u"诗词");
    EXPECT_EQ(path.Mid(50), u"");
    EXPECT_EQ(path.Right(6), u"lomeva");
    EXPECT_EQ(CString(u"ff00aa").MakeUpper(), u"FF00AA");
}

TEST(CStringUtf8, RoundTripsAndReplacesInvalidBytes) {
    const std::string text = "李白 · 静夜思 𠀀 abc";
    EXPECT_EQ(CString::FromUtf8(text).ToUtf8(), text);
    EXPECT_EQ(CString::FromUtf8("a\xFF"
                                "b")
                  .view(),
              u"a\uFFFDb");
    EXPECT_EQ(CString::FromUtf8("\xE6\x9D").view(), u"\uFFFD");       // cut short
    EXPECT_EQ(CString::FromUtf8("\xC0\xAF").view(), u"\uFFFD\uFFFD"); // overlong
    EXPECT_EQ(CString::FromUtf8("\xED\xA0\x80").view(), u"\uFFFD");   // a surrogate
    const char16_t lone[] = {u'a', 0xD800, u'b', 0};
    EXPECT_EQ(CString(lone).ToUtf8(), "a\xEF\xBF\xBD"
                                      "b");
}

} // namespace
