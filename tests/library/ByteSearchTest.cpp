// The byte search against the obvious one: every occurrence, at every length and alignment the
// wide scan and its tail meet.

#include "library/ByteSearch.h"

#include <gtest/gtest.h>
#include <random>
#include <string>
#include <vector>

namespace {

std::vector<std::uint64_t> Naive(const std::string& text, const std::string& needle) {
    std::vector<std::uint64_t> positions;
    for (std::size_t at = 0; at + needle.size() <= text.size(); ++at) {
        if (text.compare(at, needle.size(), needle) == 0) {
            positions.push_back(at);
        }
    }
    return positions;
}

TEST(ByteSearchTest, FindAllReportsEveryOccurrenceOverlappingOnesToo) {
    std::mt19937 random(15);
    // Few distinct bytes, so that matches and near misses are frequent.
    const std::string alphabet = "\xC3\xF7\xD4\xC2\xA1"
                                 "a";
    for (int round = 0; round < 3000; ++round) {
        std::string text(random() % 300, ' ');
        for (char& c : text) {
            c = alphabet[random() % alphabet.size()];
        }
        std::string needle(1 + random() % 5, ' ');
        for (char& c : needle) {
            c = alphabet[random() % alphabet.size()];
        }
        std::vector<std::uint64_t> found;
        ByteSearch::FindAll(text, needle, found);
        ASSERT_EQ(found, Naive(text, needle)) << "round " << round;
    }
    std::vector<std::uint64_t> found;
    ByteSearch::FindAll(std::string(200, 'a'), "aa", found);
    EXPECT_EQ(found.size(), 199u);
    found.clear();
    ByteSearch::FindAll("ab", "", found);
    ByteSearch::FindAll("ab", "abc", found);
    EXPECT_TRUE(found.empty());
}

TEST(ByteSearchTest, AMatchCountsOnlyWhereACharacterStarts) {
    // 明月 is C3F7 D4C2; "\xF7\xD4" sits across the two characters.
    const std::string text = "\xC3\xF7\xD4\xC2";
    EXPECT_TRUE(ByteSearch::ContainsAtCharacter(text.data(), text.size(), "\xD4\xC2"));
    EXPECT_FALSE(ByteSearch::ContainsAtCharacter(text.data(), text.size(), "\xF7\xD4"));
    EXPECT_TRUE(ByteSearch::ContainsAtCharacter(text.data(), text.size(), ""));
    EXPECT_EQ(ByteSearch::TextLength("ab\0cd", 5), 2u);
    EXPECT_EQ(ByteSearch::TextLength("abcd", 3), 3u);
}

} // namespace
