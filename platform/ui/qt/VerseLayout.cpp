#include "platform/ui/qt/VerseLayout.h"

#include <QTextBlock>
#include <QTextBoundaryFinder>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextLayout>

#include <optional>
#include <vector>

namespace {

// What a character is to a verse.
enum class Mark {
    Letter, // part of a verse
    Space,  // parts verses: spaces, line ends, pictures
    Stop,   // ends a verse and stays with it
    Closer, // a closing quote or bracket: stays with the verse before it
    Opener, // an opening quote or bracket: stays with the verse after it
};

Mark MarkOf(QChar c) {
    if (c.isSpace() || c == QChar::ObjectReplacementCharacter) {
        return Mark::Space;
    }
    switch (c.unicode()) {
    case u'，':
    case u'。':
    case u'、':
    case u'；':
    case u'：':
    case u'？':
    case u'！':
    case u'．':
    case u',':
    case u'.':
    case u';':
    case u':':
    case u'?':
    case u'!':
    case u'…':
    case u'—':
        return Mark::Stop;
    case u'”':
    case u'’':
    case u'」':
    case u'』':
    case u'）':
    case u'》':
    case u'〉':
    case u'】':
    case u'〕':
    case u'〗':
    case u'］':
    case u'｝':
    case u')':
    case u']':
    case u'}':
        return Mark::Closer;
    case u'“':
    case u'‘':
    case u'「':
    case u'『':
    case u'（':
    case u'《':
    case u'〈':
    case u'【':
    case u'〔':
    case u'〖':
    case u'［':
    case u'｛':
    case u'(':
    case u'[':
    case u'{':
        return Mark::Opener;
    default:
        return Mark::Letter;
    }
}

// Whether a line may never start with a character of `mark`.
bool HoldsToWhatComesBefore(Mark mark) {
    return mark == Mark::Stop || mark == Mark::Closer;
}

// Whether `c` is of Chinese text: a character, a full-width mark or a curly quotation mark.
bool IsChinese(QChar c) {
    return c.unicode() >= 0x2E80 || (c.unicode() >= 0x2018 && c.unicode() <= 0x201F);
}

// Whether `at` lies inside one character: between the halves of a surrogate pair, or before a
// mark that goes with the character before it (an accent, a variation selector).
bool InsideCharacter(const QString& text, int at) {
    return text[at].isLowSurrogate() || text[at].isMark();
}

// What goes between text[position - 1] and text[position] to keep the verses whole.
struct VerseMark {
    int position;
    QChar mark; // the joiner inside a verse; a zero-width space between two verses
};

// The marks of `text`, from the first. Between two verses the line may break: where the line
// breaker would not (it never breaks beside a quotation mark such as ” or “), a zero-width space
// lets it.
std::vector<VerseMark> VerseMarks(const QString& text) {
    std::vector<VerseMark> marks;
    std::optional<QTextBoundaryFinder> breaks; // made at the first verse that needs it
    bool ended = false; // the verse before ended with a stop (and the quotes that close it)
    for (int i = 1; i < text.size(); ++i) {
        const Mark before = MarkOf(text[i - 1]);
        const Mark after = MarkOf(text[i]);
        ended = before == Mark::Stop || (before == Mark::Closer && ended);
        if (before == Mark::Space || after == Mark::Space || InsideCharacter(text, i)) {
            continue;
        }
        if (HoldsToWhatComesBefore(after) || before == Mark::Opener || !ended) {
            marks.push_back({i, QChar(kVerseJoiner)});
            continue;
        }
        if (!IsChinese(text[i - 1]) && !IsChinese(text[i])) {
            continue; // Latin text ("3.5", "etc.,") breaks by its own rules
        }
        if (!breaks) {
            breaks.emplace(QTextBoundaryFinder::Line, text);
        }
        breaks->setPosition(i);
        if (!breaks->boundaryReasons().testFlag(QTextBoundaryFinder::BreakOpportunity)) {
            marks.push_back({i, QChar(kVerseBreak)});
        }
    }
    return marks;
}

// The format of a mark after a character of `format`: the same, but in the least size, so that
// the face that draws the mark (the reading faces have none of their own) does not make the
// line taller.
QTextCharFormat LeastFormat(QTextCharFormat format) {
    format.clearProperty(QTextFormat::FontPointSize);
    format.clearProperty(QTextFormat::FontSizeAdjustment);
    format.setProperty(QTextFormat::FontPixelSize, 1);
    return format;
}

void JoinBlock(QTextCursor& cursor, const QTextBlock& block, MarkSize size) {
    const std::vector<VerseMark> marks = VerseMarks(block.text());
    // From the last to the first, so that the positions still to come stay where they are. A
    // mark takes the format of the character before it, which is of its verse.
    for (auto mark = marks.rbegin(); mark != marks.rend(); ++mark) {
        cursor.setPosition(block.position() + mark->position);
        if (size == MarkSize::Least) {
            cursor.insertText(QString(mark->mark), LeastFormat(cursor.charFormat()));
        } else {
            cursor.insertText(QString(mark->mark));
        }
    }
}

qreal LineHeight(const QString& text, const QFont& font) {
    QTextLayout layout(text, font);
    layout.beginLayout();
    const QTextLine line = layout.createLine();
    layout.endLayout();
    return line.height();
}

bool IsJoiner(QChar c) {
    return c == QChar(kVerseJoiner);
}

// Whether a line that starts at `at` starts inside a verse.
bool BreaksVerse(const QString& text, int at) {
    return at > 0 && at < text.size() && (IsJoiner(text[at - 1]) || IsJoiner(text[at]));
}

// The joiners of the verse around `at` that bind letters to letters, from the last; the verse
// ends at `end`.
std::vector<int> LetterJoiners(const QString& text, int at, int& end) {
    int first = at;
    while (first > 0 && (IsJoiner(text[first - 1]) || IsJoiner(text[first]))) {
        --first;
    }
    end = at;
    while (end < text.size() && (IsJoiner(text[end]) || IsJoiner(text[end - 1]))) {
        ++end;
    }
    std::vector<int> joiners;
    for (int k = end - 2; k > first; --k) {
        if (IsJoiner(text[k]) && !HoldsToWhatComesBefore(MarkOf(text[k + 1])) &&
            MarkOf(text[k - 1]) != Mark::Opener) {
            joiners.push_back(k);
        }
    }
    return joiners;
}

bool LoosenBlock(QTextCursor& cursor, const QTextBlock& block) {
    const QTextLayout* layout = block.layout();
    if (layout == nullptr) {
        return false;
    }
    const QString text = block.text();
    std::vector<int> loose; // joiners to take out, from the last
    int done = 0;           // the end of the last verse loosened
    for (int i = 1; i < layout->lineCount(); ++i) {
        const int at = layout->lineAt(i).textStart();
        if (at < done || !BreaksVerse(text, at)) {
            continue;
        }
        std::vector<int> joiners = LetterJoiners(text, at, done);
        loose.insert(loose.begin(), joiners.begin(), joiners.end());
    }
    for (const int joiner : loose) {
        cursor.setPosition(block.position() + joiner);
        cursor.deleteChar();
    }
    return !loose.empty();
}

} // namespace

MarkSize MarkSizeFor(const QFont& font) {
    const QString plain = QStringLiteral("诗诗诗");
    const QString marked = QStringLiteral("诗") + QChar(kVerseJoiner) + QStringLiteral("诗") +
                           QChar(kVerseBreak) + QStringLiteral("诗");
    return LineHeight(marked, font) > LineHeight(plain, font) ? MarkSize::Least : MarkSize::AsText;
}

void JoinVerses(QTextDocument& document, MarkSize size) {
    QTextCursor cursor(&document);
    cursor.beginEditBlock();
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        JoinBlock(cursor, block, size);
    }
    cursor.endEditBlock();
}

bool LoosenLongVerses(QTextDocument& document) {
    QTextCursor cursor(&document);
    cursor.beginEditBlock();
    bool loosened = false;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        loosened = LoosenBlock(cursor, block) || loosened;
    }
    cursor.endEditBlock();
    return loosened;
}

QString WithoutJoiners(QString text) {
    return text.remove(QChar(kVerseJoiner)).remove(QChar(kVerseBreak));
}
