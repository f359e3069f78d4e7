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

// The characters of a verse that are read aloud: punctuation, quotes, spaces, the editors' notes
// in brackets ("（一作…）") and their footnote marks ("[一]") do not count; a character that the
// source can only describe ("{艹/尔}") counts once.
std::size_t SpokenLength(std::u16string_view verse);

// The form a shi's shape names, not its tonal rules: 4 verses of 5 characters 五言绝句, 8 of 5
// 五言律诗, 4 of 7 七言绝句, 8 of 7 七言律诗, any other number of verses of 5 or 7 五言古诗 or
// 七言古诗, of 4 四言, of 6 六言, of 3 三言, and 杂言 for verses of mixed lengths.
std::u16string FormByShape(const std::vector<std::u16string>& verses);

// The lines of a shi whose verses all have one length and each end with their punctuation, one
// couplet a line, paired within the source's sentences: a sentence runs to a stop (。！？；) or to
// the end of a source line that does not end on a comma, so a stanza's end always ends a line. Two
// sentences of one verse each ("借问酒家何处有？牧童遥指杏花村。") make one couplet, and so do an
// odd sentence that ends with "？" or "！" inside its line and the next; any other sentence of an
// odd number of verses keeps its last three on one line, and a lone verse stands alone. A source
// whose stops stand a verse off (a first and a last sentence of one verse, every other of two) is
// paired again with each mark moved onto the verse it belongs to, and `shifted` says so. Anything
// else (mixed lengths, verses that only a line break ends) has no lines: keep the source's.
struct CoupletLayout {
    std::vector<std::u16string> lines;
    bool shifted = false;
};
CoupletLayout CoupletLines(std::u16string_view text);

} // namespace poemlib
