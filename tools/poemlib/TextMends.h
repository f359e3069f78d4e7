#pragma once
// What the import mends in the collection's texts before it converts them: the junk of the web
// pages the texts were taken from, ASCII punctuation among Chinese, verses that stand in a
// title, and the editors' notes and brackets inside the verses of a shi, which leave the verse
// and become the poem's notes.

#include <string>
#include <vector>

namespace poemlib {

// How often each mend was made, for the import's report.
struct MendCounts {
    unsigned asciiPunctuation = 0;   // ASCII marks among Chinese made full-width
    unsigned notesMoved = 0;         // notes and readings taken out of verses
    unsigned editorialBrackets = 0;  // an editor's brackets around the text itself ("[承]旨")
    unsigned strayMarks = 0;         // lines of nothing but marks ("）。") left out
    unsigned shiftedStops = 0;       // shi whose stops stood a verse off
    unsigned versesFromTitles = 0;   // qu whose verse stood in the title
    unsigned webText = 0;            // lines of a web page's text left out
    unsigned placeholders = 0;       // a web page's codes for a missing character, now □
    unsigned blankLines = 0;         // lines of nothing but spaces
    unsigned titlesMadeDistinct = 0; // cut titles that keep more of their end to stay distinct

    unsigned Total() const;
    MendCounts& operator+=(const MendCounts& other);
};

// A poem's lines and title as one works on them, in UTF-16.
struct PoemText {
    std::u16string title;
    std::vector<std::u16string> lines;
    std::vector<std::u16string> notes;
};

// Lines that a web page left (its headers, "ff。") and bits of its markup ("[H。70x]"), a web
// page's codes for characters it could not show ("[A12N]", now □), and lines of nothing but
// spaces: blank at the start or the end they go, between stanzas they stay empty.
void MendJunk(PoemText& poem, MendCounts& counts);

// ASCII , . ? ! : ; ( ) beside Chinese become ，。？！：；（）, as the source's own marks are.
std::u16string FullWidthPunctuation(std::u16string_view text, unsigned& count);

// A qu whose title the source made of its tune and the first words of its verse
// ("幺・柔肠脉脉，新愁千万叠。…", the verse going on in the text, or with no text at all): the
// verse goes back to the text, and the title is the tune and the verse's first words.
void MendVerseInTitle(PoemText& poem, MendCounts& counts);

// The notes inside a shi's verses leave them for the poem's notes: readings ("(明明 一作：佼佼)",
// "（一作「坟」）"), the editors' remarks and sources in brackets, and labels ("〔圜钟为宫〕").
// A note that follows words of the verse names them ("阑风长雨（一作「东风细雨」）"). An editor's
// brackets around characters of the text itself ("[承]旨", "〔态〕") go, the characters stay;
// footnote marks ("[一]") and described characters stay as they are. Lines left with nothing
// but marks ("）。") go too.
void MoveNotesOutOfVerses(PoemText& poem, MendCounts& counts);

// Whether the text has any character read aloud: one without is no poem.
bool HasVerse(const std::vector<std::u16string>& lines);

} // namespace poemlib
