#include "platform/core/CodePage.h"

#include <gtest/gtest.h>
#include <iconv.h>

#include <algorithm>
#include <array>
#include <optional>
#include <random>
#include <string>

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

TEST(CodePage, DecodingToUtf8GivesWhatDecodingAndConvertingGive) {
    // Random bytes, many of them lead bytes, trail bytes and zeros, at every width.
    std::mt19937 random(936);
    const std::string alphabet("\x81\xA1\xA4\xBE\xB2\xD2\xB9\xFE\xFF\x80\x7F\x40"
                               "a\0",
                               14);
    for (int round = 0; round < 5000; ++round) {
        std::string bytes(random() % 24, ' ');
        for (char& c : bytes) {
            c = alphabet[random() % alphabet.size()];
        }
        const size_t width = random() % (bytes.size() + 1);
        std::string utf8 = "kept:";
        CodePage::DecodeAppendUtf8(bytes.data(), width, utf8);
        ASSERT_EQ(utf8, "kept:" + CodePage::Decode(bytes.data(), width).ToUtf8())
            << "round " << round;
        // Written in place, within the room it asks for and not a byte past it.
        std::string room(CodePage::kMostUtf8PerByte * width + 4, '#');
        char* end = CodePage::DecodeUtf8(bytes.data(), width, room.data());
        ASSERT_EQ(std::string(room.data(), end), utf8.substr(5)) << "round " << round;
        ASSERT_EQ(room.substr(room.size() - 4), "####") << "round " << round;
    }
    std::string none;
    CodePage::DecodeAppendUtf8(nullptr, 5, none);
    EXPECT_EQ(none, "");
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

// The whole code page against iconv, asked once per byte sequence and per code unit: the
// tables are built from whole rows of pairs and encoding is their inverse, and both must give
// exactly what iconv gives one character at a time.
class Iconv {
public:
    Iconv(const char* to, const char* from) : m_cd(iconv_open(to, from)) {}
    ~Iconv() {
        if (IsOpen()) {
            iconv_close(m_cd);
        }
    }
    Iconv(const Iconv&) = delete;
    Iconv& operator=(const Iconv&) = delete;

    bool IsOpen() const { return m_cd != reinterpret_cast<iconv_t>(-1); }

    // The output of one complete input, or nothing when iconv refuses any of it.
    std::optional<std::string> Convert(std::string in) {
        char out[16] = {};
        char* inPtr = in.data();
        char* outPtr = out;
        size_t inLeft = in.size(), outLeft = sizeof out;
        iconv(m_cd, nullptr, nullptr, nullptr, nullptr);
        if (iconv(m_cd, &inPtr, &inLeft, &outPtr, &outLeft) == static_cast<size_t>(-1) ||
            inLeft != 0) {
            return std::nullopt;
        }
        return std::string(out, sizeof out - outLeft);
    }

private:
    iconv_t m_cd;
};

// iconv's reading of a byte sequence as one character, or nothing when it gives anything else.
std::optional<char16_t> IconvCharacter(Iconv& toUtf16, const std::string& bytes) {
    const std::optional<std::string> out = toUtf16.Convert(bytes);
    if (!out || out->size() != 2) {
        return std::nullopt;
    }
    return static_cast<char16_t>(static_cast<unsigned char>((*out)[0]) |
                                 static_cast<unsigned char>((*out)[1]) << 8);
}

std::string IconvEncode(Iconv& fromUtf16, char16_t unit) {
    const std::string in{static_cast<char>(unit & 0xFF), static_cast<char>(unit >> 8)};
    return fromUtf16.Convert(in).value_or("?");
}

bool IsSurrogate(unsigned unit) {
    return unit >= 0xD800 && unit <= 0xDFFF;
}

// How many single bytes and pairs iconv decodes to each code unit (two meaning two or more).
std::array<int, 0x10000> IconvDecodingCounts() {
    Iconv toUtf16("UTF-16LE", "CP936");
    std::array<int, 0x10000> counts{};
    auto count = [&](const std::string& bytes) {
        if (const auto unit = IconvCharacter(toUtf16, bytes); unit && *unit != 0) {
            counts[*unit] = std::min(counts[*unit] + 1, 2);
        }
    };
    for (unsigned b = 1; b < 0x100; ++b) {
        count(std::string(1, static_cast<char>(b)));
    }
    for (unsigned lead = 0x81; lead <= 0xFE; ++lead) {
        for (unsigned trail = 0x40; trail <= 0xFE; ++trail) {
            count({static_cast<char>(lead), static_cast<char>(trail)});
        }
    }
    return counts;
}

TEST(CodePageAgainstIconv, DecodesEverySingleByteAndPairAsIconvDoes) {
    Iconv toUtf16("UTF-16LE", "CP936");
    ASSERT_TRUE(toUtf16.IsOpen());
    // A lone byte that iconv refuses is U+FFFD; U+20AC is the single byte 0x80.
    std::array<char16_t, 0x100> single{};
    for (unsigned b = 1; b < 0x100; ++b) {
        const std::string bytes(1, static_cast<char>(b));
        single[b] = IconvCharacter(toUtf16, bytes).value_or(CodePage::kReplacement);
        ASSERT_EQ(Decode(bytes), std::u16string(1, single[b])) << std::hex << b;
    }
    EXPECT_EQ(single[0x80], u'\u20AC');
    // A pair that iconv refuses is U+FFFD for its lead byte, and decoding goes on at its trail.
    int characters = 0;
    for (unsigned lead = 0x81; lead <= 0xFE; ++lead) {
        for (unsigned trail = 0x40; trail <= 0xFE; ++trail) {
            const std::string bytes{static_cast<char>(lead), static_cast<char>(trail)};
            const std::optional<char16_t> ch = IconvCharacter(toUtf16, bytes);
            const std::u16string expected =
                ch ? std::u16string(1, *ch) : std::u16string{CodePage::kReplacement, single[trail]};
            ASSERT_EQ(Decode(bytes), expected) << std::hex << lead << "," << trail;
            ASSERT_EQ(CodePage::CharacterLength(bytes.data(), 0, 2), ch ? 2u : 1u);
            characters += ch ? 1 : 0;
        }
    }
    EXPECT_GT(characters, 21000); // code page 936 has 21886 two-byte characters
}

TEST(CodePageAgainstIconv, EncodesEveryCodeUnitAsIconvDoes) {
    Iconv fromUtf16("CP936", "UTF-16LE");
    ASSERT_TRUE(fromUtf16.IsOpen());
    for (unsigned unit = 1; unit < 0x10000; ++unit) {
        if (IsSurrogate(unit)) {
            continue;
        }
        const char16_t ch = static_cast<char16_t>(unit);
        ASSERT_EQ(CodePage::Encode(std::u16string_view(&ch, 1)), IconvEncode(fromUtf16, ch))
            << std::hex << unit;
    }
}

// A byte search is offered exactly for the characters that one byte sequence decodes to (and
// not U+FFFD, which invalid bytes decode to as well), and searches for iconv's encoding.
TEST(CodePageAgainstIconv, SearchesBytesOnlyForCharactersWithOneDecoding) {
    Iconv fromUtf16("CP936", "UTF-16LE");
    ASSERT_TRUE(fromUtf16.IsOpen());
    const std::array<int, 0x10000> decodings = IconvDecodingCounts();
    int searchable = 0;
    for (unsigned unit = 1; unit < 0x10000; ++unit) {
        if (IsSurrogate(unit)) {
            continue;
        }
        const char16_t ch = static_cast<char16_t>(unit);
        const std::optional<std::string> bytes = CodePage::SearchBytes(std::u16string_view(&ch, 1));
        if (decodings[unit] != 1 || ch == CodePage::kReplacement) {
            ASSERT_FALSE(bytes.has_value()) << std::hex << unit;
            continue;
        }
        ASSERT_TRUE(bytes.has_value()) << std::hex << unit;
        ASSERT_EQ(*bytes, IconvEncode(fromUtf16, ch)) << std::hex << unit;
        ++searchable;
    }
    EXPECT_GT(searchable, 21000);
}

} // namespace
