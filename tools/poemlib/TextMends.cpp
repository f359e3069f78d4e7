#include "tools/poemlib/TextMends.h"

#include "tools/poemlib/Verses.h"

#include <algorithm>

namespace poemlib {
namespace {

constexpr std::u16string_view kMarks = u"，。！？；：、";
constexpr std::u16string_view kStops = u"。！？";
constexpr std::u16string_view kClosingQuotes = u"”’」』";
constexpr std::u16string_view kSpaces = u" \t\r\u00A0\u3000";
constexpr std::u16string_view kNumerals = u"一二三四五六七八九十○〇";
// Parts of characters that never stand alone in a verse: "[纟习]" describes one character.
constexpr std::u16string_view kComponents = u"纟糹钅釒饣飠讠訁氵扌亻忄礻衤艹宀冫犭阝刂彳灬丬";

bool IsOneOf(char16_t ch, std::u16string_view set) {
    return set.find(ch) != std::u16string_view::npos;
}

bool IsIdeograph(char16_t ch) {
    return (ch >= 0x3400 && ch <= 0x4DBF) || (ch >= 0x4E00 && ch <= 0x9FFF) ||
           (ch >= 0xF900 && ch <= 0xFAFF) || (ch >= 0xD800 && ch <= 0xDFFF) || ch == u'□' ||
           ch == u'〇';
}

// Chinese text and its own marks: what ASCII punctuation beside it belongs to.
bool IsChinese(char16_t ch) {
    return IsIdeograph(ch) || (ch >= 0x3000 && ch <= 0x303F) || (ch >= 0xFF00 && ch <= 0xFFEF) ||
           (ch >= 0x2014 && ch <= 0x2026) || ch == 0x00B7;
}

bool IsAsciiAlnum(char16_t ch) {
    return (ch >= u'0' && ch <= u'9') || (ch >= u'A' && ch <= u'Z') || (ch >= u'a' && ch <= u'z');
}

bool IsAsciiLetter(char16_t ch) {
    return (ch >= u'A' && ch <= u'Z') || (ch >= u'a' && ch <= u'z');
}

bool IsBlank(std::u16string_view line) {
    return line.find_first_not_of(kSpaces) == std::u16string_view::npos;
}

std::u16string Trimmed(std::u16string_view text) {
    const auto first = text.find_first_not_of(kSpaces);
    if (first == std::u16string_view::npos) {
        return {};
    }
    return std::u16string(text.substr(first, text.find_last_not_of(kSpaces) - first + 1));
}

// The nearest character before `at` (or after it) that is not a space; 0 when there is none.
char16_t Before(std::u16string_view text, std::size_t at) {
    while (at > 0) {
        if (text[--at] != u' ') {
            return text[at];
        }
    }
    return 0;
}

char16_t After(std::u16string_view text, std::size_t at) {
    while (++at < text.size()) {
        if (text[at] != u' ') {
            return text[at];
        }
    }
    return 0;
}

// The full-width form of an ASCII mark that has one here; 0 for any other character.
char16_t FullWidth(char16_t ch) {
    constexpr std::u16string_view ascii = u",.?!:;()";
    constexpr std::u16string_view wide = u"，。？！：；（）";
    const std::size_t at = ascii.find(ch);
    return at != std::u16string_view::npos ? wide[at] : 0;
}

// A line a web page left: its headers, or bits of Latin with no Chinese ("ff。").
bool IsWebText(std::u16string_view line) {
    if (line.find(u"Content-Type=") != std::u16string_view::npos ||
        line.find(u"{Connection=") != std::u16string_view::npos) {
        return true;
    }
    const bool latin = std::any_of(line.begin(), line.end(), IsAsciiLetter);
    const bool chinese = std::any_of(line.begin(), line.end(), IsIdeograph);
    return latin && !chinese;
}

// "[A12N]", "[H。70x]": a web page's code for a character it could not show.
std::size_t PlaceholderEnd(std::u16string_view line, std::size_t open) {
    const std::size_t close = line.find(u']', open);
    if (close == std::u16string_view::npos || close - open > 12) {
        return std::u16string_view::npos;
    }
    const std::u16string_view inside = line.substr(open + 1, close - open - 1);
    // The source splits its lines at every "。", so a code may run over two.
    const bool coded = std::all_of(inside.begin(), inside.end(), [](char16_t ch) {
        return IsAsciiAlnum(ch) || ch == u'。' || ch == u'\n';
    });
    return coded && std::any_of(inside.begin(), inside.end(), IsAsciiLetter)
               ? close
               : std::u16string_view::npos;
}

// "A12N": a letter, digits, a letter, the way a web page wrote a character it had no glyph for.
bool IsGlyphCode(std::u16string_view code) {
    return code.size() >= 3 && IsAsciiLetter(code.front()) && IsAsciiLetter(code.back()) &&
           std::all_of(code.begin() + 1, code.end() - 1,
                       [](char16_t ch) { return ch >= u'0' && ch <= u'9'; });
}

// A web page's code for a missing character becomes □; other bits of its markup in brackets
// ("[H。70x]") stood for no character of the verse and go.
std::u16string PlaceholdersMended(std::u16string_view line, MendCounts& counts) {
    std::u16string mended;
    for (std::size_t i = 0; i < line.size(); ++i) {
        const std::size_t close = line[i] == u'[' ? PlaceholderEnd(line, i) : std::u16string::npos;
        if (close == std::u16string::npos) {
            mended += line[i];
        } else if (IsGlyphCode(line.substr(i + 1, close - i - 1))) {
            mended += u'□';
            ++counts.placeholders;
        } else {
            ++counts.webText;
        }
        i = close == std::u16string::npos ? i : close;
    }
    return mended;
}

std::size_t CodePoints(std::u16string_view text) {
    return static_cast<std::size_t>(std::count_if(
        text.begin(), text.end(), [](char16_t ch) { return ch < 0xDC00 || ch > 0xDFFF; }));
}

// The verse split after each stop (with the quotes that close it); the last piece may run on.
std::vector<std::u16string> SentencesOf(std::u16string_view verse) {
    std::vector<std::u16string> sentences;
    std::u16string sentence;
    for (std::size_t i = 0; i < verse.size(); ++i) {
        sentence += verse[i];
        if (IsOneOf(verse[i], kStops)) {
            while (i + 1 < verse.size() && IsOneOf(verse[i + 1], kClosingQuotes)) {
                sentence += verse[++i];
            }
            sentences.push_back(std::move(sentence));
            sentence.clear();
        }
    }
    if (!sentence.empty()) {
        sentences.push_back(std::move(sentence));
    }
    return sentences;
}

bool OpensRound(char16_t ch) {
    return ch == u'（' || ch == u'(';
}

bool ClosesRound(char16_t ch) {
    return ch == u'）' || ch == u')';
}

// Where the bracket opened at `open` closes, brackets inside counted; npos when it never does.
std::size_t MatchingClose(std::u16string_view text, std::size_t open) {
    const bool round = OpensRound(text[open]);
    int depth = 0;
    for (std::size_t i = open; i < text.size(); ++i) {
        const char16_t ch = text[i];
        if (round ? OpensRound(ch) : ch == u'〔') {
            ++depth;
        } else if ((round ? ClosesRound(ch) : ch == u'〕') && --depth == 0) {
            return i;
        }
    }
    return std::u16string_view::npos;
}

bool IsAllIdeographs(std::u16string_view text) {
    return !text.empty() && std::all_of(text.begin(), text.end(), IsIdeograph);
}

// A footnote's mark ("[一]", "[一○]"), or a description of one character ("[纟习]").
bool StaysBracketed(std::u16string_view inside) {
    const bool numeral =
        !inside.empty() && std::all_of(inside.begin(), inside.end(),
                                       [](char16_t ch) { return IsOneOf(ch, kNumerals); });
    const bool described = inside.size() == 2 && IsOneOf(inside[0], kComponents);
    return numeral || described;
}

// A reading that names its own words: "明明 一作：佼佼".
bool NamesItsWords(std::u16string_view note) {
    const auto space = note.find(u' ');
    return space != std::u16string_view::npos && space > 0 &&
           note.substr(space + 1).starts_with(u"一作");
}

// Whether a note's words go on with a reading: "一作：去", "通：惟".
bool StartsAReading(std::u16string_view rest) {
    return rest.starts_with(u"一作") || rest.starts_with(u"一本作") || rest.starts_with(u"通：");
}

// How many characters a reading ("一作「坟」", "一作摸") puts in place of the verse's: those
// it gives; 0 when the note is no reading.
std::size_t ReadingLength(std::u16string_view note) {
    for (const std::u16string_view lead : {u"一作", u"一本作"}) {
        if (note.starts_with(lead)) {
            const std::u16string_view reading = note.substr(lead.size());
            return static_cast<std::size_t>(
                std::count_if(reading.begin(), reading.end(), IsIdeograph));
        }
    }
    return 0;
}

// The last `count` characters of `words`, or all of them when they are fewer.
std::u16string LastCharacters(std::u16string_view words, std::size_t count) {
    std::size_t start = words.size();
    for (std::size_t taken = 0; taken < count && start > 0; ++taken) {
        start -= start >= 2 && words[start - 1] >= 0xDC00 && words[start - 1] <= 0xDFFF ? 2 : 1;
    }
    return std::u16string(words.substr(start));
}

// "[遇丰年]□□□": the editor's guess for the characters the source lacks, which then go.
std::size_t MissingFilled(std::u16string_view after, std::u16string_view guess) {
    const std::size_t count = CodePoints(guess);
    const std::size_t missing = after.find_first_not_of(u'□');
    const std::size_t run = missing == std::u16string_view::npos ? after.size() : missing;
    return run == count && guess.find(u'□') == std::u16string_view::npos ? count : 0;
}

// The text with an editor's brackets round its own characters opened ("[承]旨" is "承旨", and
// "[遇丰年]□□□" "遇丰年"), counted in `opened` when given; footnote marks ("[一]") and described
// characters stay, unless `withoutMarks`, when the marks go too (words that a note follows).
std::u16string EditorialBracketsOpened(std::u16string_view text, unsigned* opened,
                                       bool withoutMarks = false) {
    std::u16string result;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const std::size_t close = text[i] == u'[' ? text.find(u']', i) : std::u16string_view::npos;
        if (close != std::u16string_view::npos && close - i <= 9) {
            const std::u16string_view inside = text.substr(i + 1, close - i - 1);
            if (!StaysBracketed(inside) && IsAllIdeographs(inside)) {
                result += inside;
                if (opened != nullptr) {
                    ++*opened;
                }
                i = close + MissingFilled(text.substr(close + 1), inside);
                continue;
            }
            if (withoutMarks && !inside.empty() &&
                inside.find_first_not_of(kNumerals) == std::u16string_view::npos) {
                i = close;
                continue;
            }
        }
        if (withoutMarks && (text[i] == u'[' || text[i] == u']')) {
            continue; // a bracket whose other half a note took
        }
        result += text[i];
    }
    return result;
}

bool IsShortName(std::u16string_view note) {
    return CodePoints(note) <= 5 && IsAllIdeographs(note);
}

class CNoteMover {
public:
    CNoteMover(PoemText& poem, MendCounts& counts) : m_poem(poem), m_counts(counts) {}

    void Run() {
        std::u16string text;
        for (std::size_t i = 0; i < m_poem.lines.size(); ++i) {
            text += (i == 0 ? u"" : u"\n") + m_poem.lines[i];
        }
        for (std::size_t i = 0; i < text.size(); ++i) {
            i = Step(text, i);
        }
        m_out = EditorialBracketsOpened(m_out, &m_counts.editorialBrackets);
        KeepLinesWithVerse();
    }

private:
    // Handles the character at `i`; returns the last character it used.
    std::size_t Step(std::u16string_view text, std::size_t i) {
        const char16_t ch = text[i];
        if (ch == u'\n') {
            m_out += ch;
            m_phrase = m_line = m_out.size();
            return i;
        }
        if (OpensRound(ch) || ch == u'〔') {
            const std::size_t close = MatchingClose(text, i);
            if (close != std::u16string_view::npos) {
                std::u16string inside;
                for (std::size_t k = i + 1; k < close; ++k) {
                    if (text[k] != u'\n') {
                        inside += text[k];
                    } else if (StartsAReading(text.substr(k + 1, close - k - 1))) {
                        inside += u' '; // "(掛帆\n一作：去)": the line broke at the note's space
                    }
                }
                Bracketed(ch, Trimmed(inside));
                m_afterNote = true;
                return close;
            }
        }
        const bool doubled = m_afterNote && IsOneOf(ch, kMarks) && !m_out.empty() &&
                             m_out.size() > m_line && IsOneOf(m_out.back(), kMarks);
        m_afterNote = false;
        if (doubled) {
            ++m_counts.strayMarks; // "有所翳，（下缺）。": the verse has its mark already
            return i;
        }
        m_out += ch;
        if (IsOneOf(ch, kMarks)) {
            m_phrase = m_out.size();
        }
        return i;
    }

    void Bracketed(char16_t open, const std::u16string& inside) {
        if (open == u'〔' && CodePoints(inside) <= 2 && IsAllIdeographs(inside)) {
            m_out += inside; // "自是清凉〔态〕": a character the editor supplied
            ++m_counts.editorialBrackets;
            return;
        }
        while (!m_out.empty() && m_out.size() > m_line && IsOneOf(m_out.back(), u" \u3000")) {
            m_out.pop_back();
        }
        m_phrase = std::min(m_phrase, m_out.size());
        if (!inside.empty()) {
            m_poem.notes.push_back(NoteText(inside));
            ++m_counts.notesMoved;
        }
        m_phrase = m_out.size();
    }

    // The note as the reader sees it below the poem: after the words it is about, when it
    // follows some, as the source has it ("阑风长雨（一作「东风细雨」）").
    std::u16string NoteText(const std::u16string& inside) const {
        if (NamesItsWords(inside)) {
            return inside;
        }
        const std::u16string words = EditorialBracketsOpened(
            Trimmed(std::u16string_view(m_out).substr(m_phrase)), nullptr, true);
        if (!words.empty()) {
            // A reading of one character names just the one it would replace: "妇（一作「父」）";
            // a longer one may be longer or shorter than what it replaces, and keeps the phrase.
            return (ReadingLength(inside) == 1 ? LastCharacters(words, 1) : words) + u"（" +
                   inside + u"）";
        }
        if (IsShortName(inside)) {
            // "（贾弇）" after the couplet a poet of a linked verse wrote.
            const std::u16string before = PreviousVerse();
            if (!before.empty()) {
                return before + u"（" + inside + u"）";
            }
        }
        return inside;
    }

    // The line so far, or when the note starts a line, the line before it.
    std::u16string PreviousVerse() const {
        const std::u16string_view out(m_out);
        std::u16string line = Trimmed(out.substr(m_line));
        if (line.empty() && m_line > 0) {
            const std::size_t start = out.rfind(u'\n', m_line - 2);
            line = Trimmed(
                out.substr(start == std::u16string_view::npos ? 0 : start + 1,
                           m_line - 1 - (start == std::u16string_view::npos ? 0 : start + 1)));
        }
        return line;
    }

    // Lines that the notes have left with nothing but marks go; a stop they held goes to the
    // line before when that one has none.
    void KeepLinesWithVerse() {
        std::vector<std::u16string> lines;
        std::size_t start = 0;
        const std::u16string_view out(m_out);
        while (start <= out.size()) {
            const std::size_t end = std::min(out.find(u'\n', start), out.size());
            const std::u16string_view line = out.substr(start, end - start);
            if (SpokenLength(line) != 0 || line.empty()) {
                lines.emplace_back(line);
            } else {
                ++m_counts.strayMarks;
                const auto stop = line.find_first_of(kStops);
                if (stop != std::u16string_view::npos && !lines.empty() && !lines.back().empty() &&
                    !IsOneOf(lines.back().back(), kMarks) &&
                    !IsOneOf(lines.back().back(), kClosingQuotes)) {
                    lines.back() += line[stop];
                }
            }
            start = end + 1;
        }
        m_poem.lines = std::move(lines);
    }

    PoemText& m_poem;
    MendCounts& m_counts;
    std::u16string m_out;
    std::size_t m_line = 0;   // where the line being written starts in m_out
    std::size_t m_phrase = 0; // where the words that a note would follow start
    bool m_afterNote = false; // the last thing read was a note
};

} // namespace

unsigned MendCounts::Total() const {
    return asciiPunctuation + notesMoved + editorialBrackets + strayMarks + shiftedStops +
           versesFromTitles + webText + placeholders + blankLines + titlesMadeDistinct;
}

MendCounts& MendCounts::operator+=(const MendCounts& other) {
    asciiPunctuation += other.asciiPunctuation;
    notesMoved += other.notesMoved;
    editorialBrackets += other.editorialBrackets;
    strayMarks += other.strayMarks;
    shiftedStops += other.shiftedStops;
    versesFromTitles += other.versesFromTitles;
    webText += other.webText;
    placeholders += other.placeholders;
    blankLines += other.blankLines;
    titlesMadeDistinct += other.titlesMadeDistinct;
    return *this;
}

void MendJunk(PoemText& poem, MendCounts& counts) {
    std::u16string text; // the lines that are no web page's, one a line of it
    bool first = true;
    for (const std::u16string& line : poem.lines) {
        if (IsWebText(line)) {
            ++counts.webText;
        } else {
            text += (first ? u"" : u"\n") + line;
            first = false;
        }
    }
    std::vector<std::u16string> lines;
    if (!first) {
        text = PlaceholdersMended(text, counts);
        for (std::size_t start = 0; start <= text.size();) {
            const std::size_t end = std::min(text.find(u'\n', start), text.size());
            lines.push_back(text.substr(start, end - start));
            start = end + 1;
        }
    }
    while (!lines.empty() && IsBlank(lines.back())) {
        lines.pop_back();
        ++counts.blankLines;
    }
    while (!lines.empty() && IsBlank(lines.front())) {
        lines.erase(lines.begin());
        ++counts.blankLines;
    }
    for (std::u16string& line : lines) {
        if (!line.empty() && IsBlank(line)) {
            line.clear(); // a stanza's end, without the space a web page put there
            ++counts.blankLines;
        }
    }
    poem.lines = std::move(lines);
}

std::u16string FullWidthPunctuation(std::u16string_view text, unsigned& count) {
    std::u16string mended(text);
    for (std::size_t i = 0; i < mended.size(); ++i) {
        const char16_t wide = FullWidth(mended[i]);
        if (wide == 0) {
            continue;
        }
        const char16_t before = Before(mended, i);
        const char16_t after = After(mended, i);
        bool beside = false;
        if (mended[i] == u'(') {
            beside = IsChinese(after) && !IsAsciiAlnum(before);
        } else if (mended[i] == u'.') {
            beside = IsChinese(before) && after != u'.' && !IsAsciiAlnum(after);
        } else {
            beside = IsChinese(before) && !IsAsciiAlnum(after);
        }
        if (beside) {
            mended[i] = wide;
            ++count;
        }
    }
    return mended;
}

void MendVerseInTitle(PoemText& poem, MendCounts& counts) {
    const std::u16string_view title(poem.title);
    const std::size_t dot = title.find_first_of(u"・·･");
    // A title may lack its tune ("・觉来时满眼青山，…") when it holds the whole verse.
    if (dot == std::u16string_view::npos || (dot == 0 && !poem.lines.empty())) {
        return;
    }
    const std::u16string_view tune = title.substr(0, dot);
    const std::u16string_view verse = title.substr(dot + 1);
    const std::size_t length = CodePoints(title);
    // The source made such titles of the tune and the verse's first 32 or so characters.
    const bool wholeVerse = poem.lines.empty() || length == 32 || length == 33;
    if (verse.find_first_of(u"，。！？；") == std::u16string_view::npos || CodePoints(verse) < 6 ||
        !wholeVerse) {
        return;
    }
    std::vector<std::u16string> lines = SentencesOf(verse);
    if (!IsOneOf(lines.back().back(), kStops) && !IsOneOf(lines.back().back(), kClosingQuotes) &&
        !poem.lines.empty()) {
        poem.lines.front() = lines.back() + poem.lines.front(); // the verse runs on there
        lines.pop_back();
    }
    lines.insert(lines.end(), poem.lines.begin(), poem.lines.end());
    poem.lines = std::move(lines);
    const std::size_t firstWords = verse.find_first_of(u"，。！？；：、");
    poem.title = std::u16string(tune) + title[dot] + std::u16string(verse.substr(0, firstWords));
    ++counts.versesFromTitles;
}

void MoveNotesOutOfVerses(PoemText& poem, MendCounts& counts) {
    CNoteMover(poem, counts).Run();
}

bool HasVerse(const std::vector<std::u16string>& lines) {
    return std::any_of(lines.begin(), lines.end(),
                       [](const std::u16string& line) { return SpokenLength(line) != 0; });
}

} // namespace poemlib
