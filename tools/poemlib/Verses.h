#pragma once
// The shape of a poem's text: its verses (the runs that end at a clause's punctuation), the
// form its shape names, and its lines laid out one couplet a line.

#include <string>
#include <string_view>
#include <vector>

namespace poemlib {

// The verses of `text`, each with the punctuation that ends it and any closing quotes after it.
// A line break ends a verse that has no punctuation of its own; text after the last
// punctuation is a verse of its own. Line breaks are dropped.
std::vector<std::u16string> SplitVerses(std::u16string_view text);

// The characters of a verse that are read aloud: punctuation, quotes, spaces and the editors'
// notes in brackets ("（一作…）") do not count.
std::size_t SpokenLength(std::u16string_view verse);

// The form a shi's shape names, not its tonal rules: 4 verses of 5 characters 五言绝句, 8 of 5
// 五言律诗, 4 of 7 七言绝句, 8 of 7 七言律诗, any other number of verses of 5 or 7 五言古诗 or
// 七言古诗, of 4 四言, of 6 六言, of 3 三言, and 杂言 for verses of mixed lengths.
std::u16string FormByShape(const std::vector<std::u16string>& verses);

// Verses of one length, an even number of them, each ended by its punctuation: one couplet a
// line. Anything else (mixed lengths, an odd verse out, verses that only a line break ends) is
// returned as an empty list: keep the source's lines.
std::vector<std::u16string> CoupletLines(const std::vector<std::u16string>& verses);

} // namespace poemlib
