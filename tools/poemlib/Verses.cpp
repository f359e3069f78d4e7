#include "tools/poemlib/Verses.h"

namespace poemlib {
namespace {

constexpr std::u16string_view kVerseEnds = u"，。！？；：、,.!?;:";
constexpr std::u16string_view kSentenceEnds = u"。！？；.!?;";
constexpr std::u16string_view kContinuing = u"，、：,:";
constexpr std::u16string_view kClosingQuotes = u"”’」』";
constexpr std::u16string_view kNotSpoken = u"，。！？；：、,.!?;:“”‘’「」『』《》·—…　 \r\n\t\"'";

bool IsOneOf(char16_t ch, std::u16string_view set) {
    return set.find(ch) != std::u16string_view::npos;
}

bool IsLowSurrogate(char16_t ch) {
    return ch >= 0xDC00 && ch <= 0xDFFF;
}

bool OpensNote(char16_t ch) {
    return ch == u'（' || ch == u'(' || ch == u'[' || ch == u'〔';
}

bool ClosesNote(char16_t ch) {
    return ch == u'）' || ch == u')' || ch == u']' || ch == u'〕';
}

} // namespace

std::vector<std::u16string> SplitVerses(std::u16string_view text) {
    std::vector<std::u16string> verses;
    std::u16string verse;
    int notes = 0; // a note in brackets may hold punctuation of its own
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char16_t ch = text[i];
        if (ch == u'\r' || ch == u'\n') {
            // A source line without a stop still ends its verse (纳兰性德's lines have none).
            if (notes == 0 && SpokenLength(verse) != 0) {
                verses.push_back(std::move(verse));
                verse.clear();
            }
            continue;
        }
        verse += ch;
        if (OpensNote(ch)) {
            ++notes;
        } else if (ClosesNote(ch) && notes > 0) {
            --notes;
        } else if (notes == 0 && IsOneOf(ch, kVerseEnds)) {
            while (i + 1 < text.size() && IsOneOf(text[i + 1], kClosingQuotes)) {
                verse += text[++i];
            }
            if (SpokenLength(verse) == 0 && !verses.empty()) {
                verses.back() += verse; // a stray mark belongs to the verse before it
            } else {
                verses.push_back(std::move(verse));
            }
            verse.clear();
        }
    }
    if (SpokenLength(verse) != 0) {
        verses.push_back(std::move(verse));
    } else if (!verse.empty() && !verses.empty()) {
        verses.back() += verse; // a stray closing mark belongs to the verse before it
    }
    return verses;
}

std::size_t SpokenLength(std::u16string_view verse) {
    std::size_t length = 0;
    int notes = 0;
    bool described = false; // inside "{…}", which stands for one character
    for (const char16_t ch : verse) {
        if (described) {
            described = ch != u'}';
        } else if (OpensNote(ch)) {
            ++notes;
        } else if (ClosesNote(ch)) {
            notes = notes > 0 ? notes - 1 : 0;
        } else if (notes == 0 && ch == u'{') {
            described = true;
            ++length;
        } else if (notes == 0 && !IsOneOf(ch, kNotSpoken) && !IsLowSurrogate(ch)) {
            ++length;
        }
    }
    return length;
}

namespace {

// The one length every verse has, or 0 when they differ or there are none.
std::size_t CommonLength(const std::vector<std::u16string>& verses) {
    if (verses.empty()) {
        return 0;
    }
    const std::size_t length = SpokenLength(verses.front());
    for (const std::u16string& verse : verses) {
        if (SpokenLength(verse) != length) {
            return 0;
        }
    }
    return length;
}

} // namespace

std::u16string FormByShape(const std::vector<std::u16string>& verses) {
    const std::size_t count = verses.size();
    switch (CommonLength(verses)) {
    case 5:
        return count == 4 ? u"五言绝句" : count == 8 ? u"五言律诗" : u"五言古诗";
    case 7:
        return count == 4 ? u"七言绝句" : count == 8 ? u"七言律诗" : u"七言古诗";
    case 3:
        return u"三言";
    case 4:
        return u"四言";
    case 6:
        return u"六言";
    default:
        return u"杂言";
    }
}

namespace {

// Where a verse's own mark is: before the closing quotes that follow it; npos without one.
std::size_t MarkAt(std::u16string_view verse) {
    const auto last = verse.find_last_not_of(kClosingQuotes);
    return last != std::u16string_view::npos && IsOneOf(verse[last], kVerseEnds)
               ? last
               : std::u16string_view::npos;
}

// Whether every verse but the last ends with its punctuation: verses that a line break alone
// ends cannot share a line.
bool EveryVerseIsPunctuated(const std::vector<std::u16string>& verses) {
    for (std::size_t i = 0; i + 1 < verses.size(); ++i) {
        if (MarkAt(verses[i]) == std::u16string_view::npos) {
            return false;
        }
    }
    return true;
}

// The source's sentences, each a run of verses (by their place in `verses`).
struct Sentence {
    std::size_t first;
    std::size_t count;
    bool questionGoesOn = false; // it ends with "？" or "！" inside a source line
};

// A verse ends its sentence at a stop, or at the end of its source line unless it ends on a comma.
std::vector<Sentence> Sentences(const std::vector<std::u16string>& verses,
                                const std::vector<bool>& endsLine) {
    std::vector<Sentence> sentences;
    std::size_t first = 0;
    for (std::size_t i = 0; i < verses.size(); ++i) {
        const std::size_t mark = MarkAt(verses[i]);
        const char16_t ch = mark == std::u16string_view::npos ? u'\0' : verses[i][mark];
        if (i + 1 == verses.size() || IsOneOf(ch, kSentenceEnds) ||
            (endsLine[i] && !IsOneOf(ch, kContinuing))) {
            const bool question = IsOneOf(ch, u"？！?!") && !endsLine[i];
            sentences.push_back({first, i + 1 - first, question});
            first = i + 1;
        }
    }
    return sentences;
}

// A question or a cry with the verse that answers it makes a couplet: two sentences of one verse
// in a row ("借问酒家何处有？牧童遥指杏花村。"), or an odd one that ends with "？" or "！" inside
// its line and the next ("…言抽其棘，自昔何为？我蓺黍稷。").
std::vector<Sentence> Groups(const std::vector<Sentence>& sentences) {
    std::vector<Sentence> groups;
    for (std::size_t i = 0; i < sentences.size(); ++i) {
        Sentence group = sentences[i];
        while (group.count % 2 != 0 && i + 1 < sentences.size() &&
               (sentences[i].questionGoesOn || (group.count == 1 && sentences[i + 1].count == 1))) {
            group.count += sentences[++i].count;
        }
        groups.push_back(group);
    }
    return groups;
}

// A lone first verse, couplets, a lone last verse: the stops stand a verse off.
bool StandsAVerseOff(const std::vector<Sentence>& groups, std::size_t verses) {
    if (groups.size() < 3 || verses % 2 != 0 || groups.front().count != 1 ||
        groups.back().count != 1) {
        return false;
    }
    for (std::size_t i = 1; i + 1 < groups.size(); ++i) {
        if (groups[i].count != 2) {
            return false;
        }
    }
    return true;
}

// Each verse takes the mark of the verse before it; the first, a comma.
std::vector<std::u16string> MarksMovedOn(const std::vector<std::u16string>& verses) {
    std::vector<std::u16string> moved = verses;
    char16_t previous = u'，';
    for (std::u16string& verse : moved) {
        const std::size_t mark = MarkAt(verse);
        if (mark != std::u16string_view::npos) {
            std::swap(verse[mark], previous);
        }
    }
    return moved;
}

void AddLines(const std::vector<std::u16string>& verses, Sentence group,
              std::vector<std::u16string>& lines) {
    std::size_t i = group.first;
    const std::size_t end = group.first + group.count;
    while (i < end) {
        const std::size_t take = end - i == 3 ? 3 : std::min<std::size_t>(2, end - i);
        std::u16string line;
        for (std::size_t k = 0; k < take; ++k) {
            line += verses[i + k];
        }
        lines.push_back(std::move(line));
        i += take;
    }
}

} // namespace

CoupletLayout CoupletLines(std::u16string_view text) {
    std::vector<std::u16string> verses;
    std::vector<bool> endsLine;
    for (std::size_t start = 0; start <= text.size();) {
        const std::size_t end = std::min(text.find(u'\n', start), text.size());
        for (std::u16string& verse : SplitVerses(text.substr(start, end - start))) {
            verses.push_back(std::move(verse));
            endsLine.push_back(false);
        }
        if (!endsLine.empty()) {
            endsLine.back() = true;
        }
        start = end + 1;
    }
    CoupletLayout layout;
    if (verses.size() < 2 || CommonLength(verses) == 0 || !EveryVerseIsPunctuated(verses)) {
        return layout;
    }
    const std::vector<Sentence> groups = Groups(Sentences(verses, endsLine));
    if (StandsAVerseOff(groups, verses.size())) {
        layout.shifted = true;
        AddLines(MarksMovedOn(verses), {0, verses.size()}, layout.lines);
        return layout;
    }
    for (const Sentence& group : groups) {
        AddLines(verses, group, layout.lines);
    }
    return layout;
}

} // namespace poemlib
