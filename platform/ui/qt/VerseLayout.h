#pragma once
// Whole verses on a page. A verse is what lies between two punctuation marks (，。、；：？！ and
// their ASCII forms): a closing quote or bracket belongs to the verse it closes, an opening one
// to the verse it opens, and spaces and line ends part verses too. The characters of a verse
// are bound with U+2060 WORD JOINER, beside which the line breaker never breaks and which
// takes no room, so a line breaks only between verses. A verse longer than a whole line cannot
// stay whole: it breaks as Chinese text breaks, never before its punctuation.
//
// Between two verses a zero-width space lets the line break where the line breaker would not of
// its own accord, as beside the quotation marks “ and ”.
//
// The joiners live in the laid-out document only: the page's text is what the viewer was given,
// and text taken from the document (copied, or read by the tests) leaves them out.

#include <QString>

class QFont;
class QTextDocument;

inline constexpr char16_t kVerseJoiner = u'\u2060';
inline constexpr char16_t kVerseBreak = u'\u200B';

// How the marks are set. The reading faces have no joiner of their own: another face draws it,
// as nothing, and its line may be taller than the reading face's.
enum class MarkSize {
    AsText, // in the size of the text around them: the quickest
    Least,  // in the least size, where the face that draws them would make lines taller
};
MarkSize MarkSizeFor(const QFont& font);

// Binds the characters of every verse of `document`. Cheapest before the document is laid out.
void JoinVerses(QTextDocument& document, MarkSize size);

// Unbinds the verses that the layout of `document` had to break because a whole line cannot
// hold them, keeping only their punctuation bound; true when there was one (the document is laid
// out again then).
bool LoosenLongVerses(QTextDocument& document);

// `text` without the joiners and breaks between verses.
QString WithoutJoiners(QString text);
