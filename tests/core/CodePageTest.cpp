#include "platform/core/CodePage.h"

#include <gtest/gtest.h>
#include <iconv.h>

namespace {

std::u16string Decode(const std::string& bytes, size_t width) {
    return CodePage::Decode(bytes.data(), width).str();
}
std::u16string Decode(const std::string& bytes) {
    return Decode(bytes, bytes.size());
}

// Every character of GB2312 (rows 0xA1-0xF7, cells 0xA1-0xFE) that iconv's GB2312 knows,
// decoded by iconv itself: our conversion must agree with it both ways. Code page 936 reads two
// punctuation marks differently from the standard's own table, as the handheld did: A1A4 is the
// middle dot U+00B7 (the dot in 商调·梧叶儿), not U+30FB, and A1AA is U+2014, not U+2015.
TEST(CodePage, RoundTripsEveryGb2312Character) {
    iconv_t gb2312 = iconv_open("UTF-16LE", "GB2312");
    ASSERT_NE(gb2312, reinterpret_cast<iconv_t>(-1));
    int checked = 0;
    for (unsigned row = 0xA1; row <= 0xF7; ++row) {
        for (unsigned cell = 0xA1; cell <= 0xFE; ++cell) {
            char in[2] = {static_cast<char>(row), static_cast<char>(cell)};
            char16_t out[2] = {};
            char* inPtr = in;
            char* outPtr = reinterpret_cast<char*>(out);
            size_t inLeft = 2, outLeft = sizeof out;
            iconv(gb2312, nullptr, nullptr, nullptr, nullptr);
            if (iconv(gb2312, &inPtr, &inLeft, &outPtr, &outLeft) == static_cast<size_t>(-1)) {
                continue; // an unassigned cell of GB2312
            }
            const std::string bytes(in, 2);
            if (row == 0xA1 && (cell == 0xA4 || cell == 0xAA)) {
                out[0] = cell == 0xA4 ? u'\u00B7' : u'\u2014';
            }
            ASSERT_EQ(Decode(bytes), std::u16string(1, out[0])) << row << "," << cell;
            ASSERT_EQ(CodePage::Encode(std::u16string_view(out, 1)), bytes) << row << "," << cell;
            ++checked;
        }
    }
    iconv_close(gb2312);
    EXPECT_GT(checked, 7000); // GB2312 has 7445 characters
    EXPECT_EQ(Decode("\xBE\xB2\xD2\xB9\xCB\xBC"), u"静夜思");
    EXPECT_EQ(Decode("a1\r\n"), u"a1\r\n");
}

TEST(CodePage, InvalidBytesBecomeReplacementAndDecodingGoesOn) {
    EXPECT_EQ(Decode("\xFF"
                     "A"),
              u"\uFFFDA");
    EXPECT_EQ(Decode("\x81 A"), u"\uFFFD A");               // a lead byte before a blank
    EXPECT_EQ(Decode("\xBE\xB2\xD2"), u"静\uFFFD");         // cut off in the middle
    EXPECT_EQ(Decode("\xD2\x7F\xCB\xBC"), u"\uFFFD\x7F思"); // 0x7F is no trail byte
}

TEST(CodePage, DecodingStopsAtZeroOrWidth) {
    const std::string field = std::string("\xBE\xB2\xD2\xB9", 4) + '\0' + "junk";
    EXPECT_EQ(Decode(field), u"静夜");
    EXPECT_EQ(Decode("\xBE\xB2\xD2\xB9\xCB\xBC", 4), u"静夜");
    EXPECT_EQ(Decode("\xBE\xB2\xD2\xB9\xCB\xBC", 3), u"静\uFFFD"); // the width cuts a character
    EXPECT_EQ(Decode("abc", 0), u"");
    EXPECT_EQ(CodePage::Decode(nullptr, 5).str(), u"");
}

TEST(CodePage, EncodingKeepsWithinTheBufferAndMarksWhatItCannotHold) {
    char buffer[5] = {'x', 'x', 'x', 'x', 'x'};
    EXPECT_EQ(CodePage::Encode(u"静夜思", buffer, 5), 4u); // never half a character
    EXPECT_EQ(std::string(buffer, 5), "\xBE\xB2\xD2\xB9x");
    EXPECT_EQ(CodePage::Encode(u"ab", buffer, 0), 0u);
    size_t missing = 0;
    // U+1F600 needs a surrogate pair: one character, one '?'; U+0E01 (Thai) is not in the page.
    EXPECT_EQ(CodePage::Encode(u"a\U0001F600b\u0E01", &missing), "a?b?");
    EXPECT_EQ(missing, 2u);
    const char16_t lone[] = {0xDC00, u'z', 0};
    EXPECT_EQ(CodePage::Encode(lone), "?z");
    EXPECT_EQ(CodePage::Encode(u"·"), "\xA1\xA4"); // the middle dot of the form names
}

TEST(CodePage, ValidPrefixFindsTheFirstBadByte) {
    EXPECT_EQ(CodePage::ValidPrefix("\xBE\xB2"
                                    "ab",
                                    4),
              4u);
    EXPECT_EQ(CodePage::ValidPrefix("ab\xFF"
                                    "c",
                                    4),
              2u);
    EXPECT_EQ(CodePage::ValidPrefix("a\xBE", 2), 1u);
    EXPECT_EQ(CodePage::ValidPrefix(std::string("a\0b", 3).data(), 3), 3u);
}

} // namespace
