#include "tools/poemlib/Prepare.h"

#include "library/NameTables.h"
#include "platform/core/CodePage.h"
#include "tools/poemlib/Cli.h"
#include "tools/poemlib/Verses.h"

#include <array>
#include <cstring>

namespace poemlib {
namespace {

constexpr char16_t kDot = u'\u00B7';

// The musical modes that open many a qu's title: "双调·水仙子".
constexpr std::array<std::u16string_view, 16> kModes = {
    u"仙吕",   u"中吕",   u"南吕", u"正宫",   u"双调", u"越调",   u"商调",   u"大石调",
    u"小石调", u"般涉调", u"黄钟", u"商角调", u"道宫", u"高平调", u"歇指调", u"宫调",
};

template <std::size_t N>
std::map<CString, CString> NamesOf(const std::array<const char16_t*, N>& table,
                                   const Simplifier& simplifier) {
    std::map<CString, CString> names;
    for (const char16_t* name : table) {
        if (name[0] != u'\0') {
            names.emplace(CString(name), CString(name));
        }
    }
    for (const char16_t* name : table) {
        if (name[0] != u'\0') {
            names.emplace(simplifier.Simplify(CString(name)), CString(name));
            names.emplace(simplifier.Simplify(simplifier.Traditional(CString(name))),
                          CString(name));
        }
    }
    return names;
}

std::u16string Joined(const std::vector<std::u16string>& lines) {
    std::u16string text;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        text += (i == 0 ? u"" : u"\r\n") + lines[i];
    }
    return text;
}

std::u16string DotsUnified(std::u16string text) {
    for (char16_t& ch : text) {
        if (ch == u'\u30FB' || ch == u'\uFF65') {
            ch = kDot;
        }
    }
    return text;
}

// A field of the collection is one line: the sources' tabs and line breaks inside a title become
// spaces, so that every list of the fields (the command line's among them) stays a poem a line.
CString OneLine(const CString& field) {
    std::u16string text(field.view());
    for (char16_t& ch : text) {
        if (ch == u'\t' || ch == u'\r' || ch == u'\n') {
            ch = u' ';
        }
    }
    return CString(std::move(text));
}

bool IsMode(std::u16string_view part) {
    for (const std::u16string_view mode : kModes) {
        if (part == mode) {
            return true;
        }
    }
    return false;
}

std::vector<std::u16string_view> SplitAtDots(std::u16string_view text) {
    std::vector<std::u16string_view> parts;
    std::size_t start = 0;
    for (std::size_t at; (at = text.find(kDot, start)) != std::u16string_view::npos;
         start = at + 1) {
        parts.push_back(text.substr(start, at - start));
    }
    parts.push_back(text.substr(start));
    return parts;
}

// The longest pick-list form that `text` starts with, or nothing.
std::optional<CString> LeadingPickListForm(std::u16string_view text,
                                           const std::map<CString, CString>& forms) {
    std::optional<CString> best;
    for (const auto& [spelling, name] : forms) {
        if (text.starts_with(spelling.view()) &&
            (!best || spelling.view().size() > best->view().size())) {
            best = name;
        }
    }
    return best;
}

} // namespace

std::optional<PoemKind> ParsePoemKind(const std::string& name) {
    if (name == "stored") {
        return PoemKind::kStored;
    }
    if (name == "shi") {
        return PoemKind::kShi;
    }
    if (name == "ci") {
        return PoemKind::kCi;
    }
    if (name == "qu") {
        return PoemKind::kQu;
    }
    return std::nullopt;
}

bool FitField(char* field, std::size_t width, const CString& value) {
    std::string bytes = CodePage::Encode(value.view());
    bool cut = false;
    if (bytes.size() >= width) {
        const std::string ellipsis = CodePage::Encode(u"…");
        const std::size_t room = width - 1 - ellipsis.size();
        std::size_t end = 0;
        while (end < bytes.size()) {
            const std::size_t next =
                end + CodePage::CharacterLength(bytes.data(), end, bytes.size());
            if (next > room) {
                break;
            }
            end = next;
        }
        bytes = bytes.substr(0, end) + ellipsis;
        cut = true;
    }
    std::memcpy(field, bytes.data(), bytes.size());
    return cut;
}

CString QuTune(const CString& title, const std::map<CString, CString>& pickListForms) {
    const std::u16string unified = DotsUnified(std::u16string(title.view()));
    const std::vector<std::u16string_view> parts = SplitAtDots(unified);
    std::u16string_view tune = parts.front();
    if (parts.size() >= 2 && IsMode(parts[0])) {
        // "商调·梧叶儿春夜": the pick list may name the mode with the tune.
        const std::u16string_view rest(unified.data() + parts[0].size() + 1,
                                       unified.size() - parts[0].size() - 1);
        const std::u16string withMode = std::u16string(parts[0]) + kDot + std::u16string(parts[1]);
        if (auto form = LeadingPickListForm(withMode, pickListForms)) {
            return *form;
        }
        tune = parts[1];
        if (auto form = LeadingPickListForm(rest, pickListForms)) {
            return *form;
        }
    } else if (parts.size() >= 2) {
        // A play's name is long and a tune's short: "诈妮子调风月·点绛唇", "天净沙·秋思".
        tune = parts[0].size() <= 5 ? parts[0] : parts.back();
    }
    // "仙吕/点绛唇": the mode before the tune.
    if (const auto slash = tune.find(u'/'); slash != std::u16string_view::npos) {
        tune = tune.substr(slash + 1);
    }
    const auto it = pickListForms.find(CString(tune));
    return it != pickListForms.end() ? it->second : CString(tune);
}

PoemPreparer::PoemPreparer(PoemKind kind, const Simplifier& simplifier, CharacterCodes codes,
                           const CKnownPoets* poets)
    : m_kind(kind), m_simplifier(simplifier), m_codes(std::move(codes)), m_poets(poets),
      m_authors(NamesOf(g_authorNames, simplifier)),
      m_dynasties(NamesOf(g_dynastyNames, simplifier)),
      m_forms(NamesOf(g_searchFormNames, simplifier)) {}

CString PoemPreparer::Converted(const std::string& utf8, ConversionLog& log) const {
    return m_simplifier.Simplify(Utf16(utf8), &log);
}

CString PoemPreparer::Converted(const std::u16string& text, ConversionLog& log) const {
    return m_simplifier.Simplify(CString(text), &log);
}

// A name that is one of a pick list's keeps the list's spelling (乾荷叶 stays); any other is
// converted like the text, and takes the list's spelling if that is what it converts to.
CString PoemPreparer::AsPickListSpells(const std::string& utf8,
                                       const std::map<CString, CString>& names,
                                       ConversionLog& log) const {
    const CString source(DotsUnified(Utf16(utf8).str()));
    if (const auto it = names.find(source); it != names.end()) {
        return it->second;
    }
    // What the conversion changed counts only where the converted name is what gets stored.
    ConversionLog changed;
    const CString converted = Converted(utf8, changed);
    if (const auto it = names.find(converted); it != names.end()) {
        return it->second;
    }
    log.Add(changed);
    return converted;
}

// A tune given with another of its names, "添字浣溪沙·山花子": the name the pick lists know,
// otherwise the first.
CString PoemPreparer::OneTune(const CString& tunes) const {
    const std::vector<std::u16string_view> names = SplitAtDots(tunes.view());
    for (const std::u16string_view name : names) {
        if (const auto it = m_forms.find(CString(name)); it != m_forms.end()) {
            return it->second;
        }
    }
    return CString(names.front());
}

CString PoemPreparer::Form(const SourcePoem& source, const CString& title, const CString& text,
                           ConversionLog& log) const {
    if (!source.form.empty()) {
        const CString form = AsPickListSpells(source.form, m_forms, log);
        switch (m_kind) {
        case PoemKind::kCi:
            return OneTune(form);
        case PoemKind::kQu:
            return QuTune(form, m_forms);
        default:
            return form;
        }
    }
    switch (KindOf(source, title)) {
    case PoemKind::kShi:
        return CString(FormByShape(SplitVerses(text.view())));
    case PoemKind::kCi:
        return OneTune(CString(title.view().substr(0, title.view().find(kDot))));
    case PoemKind::kQu:
        return QuTune(title, m_forms);
    case PoemKind::kStored:
        break;
    }
    return CString();
}

// A collection of ci may hold a few shi: a poem with no tune, neither its own nor in its title
// ("长相思·山一程"), is read as a shi.
PoemKind PoemPreparer::KindOf(const SourcePoem& source, const CString& title) const {
    if (m_kind == PoemKind::kCi && source.form.empty() &&
        title.view().find(kDot) == std::u16string_view::npos) {
        return PoemKind::kShi;
    }
    return m_kind;
}

// A shi of one verse length stands a couplet a line; everything else keeps the source's lines.
std::string PoemPreparer::LaidOut(PoemKind kind, const CString& text, MendCounts& counts) const {
    if (kind == PoemKind::kShi) {
        const CoupletLayout couplets = CoupletLines(text.view());
        if (!couplets.lines.empty()) {
            counts.shiftedStops += couplets.shifted ? 1 : 0;
            return CodePage::Encode(Joined(couplets.lines));
        }
    }
    return CodePage::Encode(text.view());
}

// The source's title, lines and notes as UTF-16, mended as the collection's texts need (a
// library's own export comes back as it is).
PoemText PoemPreparer::Mended(const SourcePoem& source, MendCounts& counts) const {
    PoemText poem;
    poem.title = Utf16(source.title).str();
    for (const std::string& line : source.paragraphs) {
        poem.lines.push_back(Utf16(line).str());
    }
    for (const std::string& note : source.notes) {
        poem.notes.push_back(Utf16(note).str());
    }
    if (m_kind == PoemKind::kStored) {
        return poem;
    }
    if (m_kind == PoemKind::kQu) {
        MendVerseInTitle(poem, counts);
    }
    MendJunk(poem, counts);
    for (std::u16string* text : {&poem.title}) {
        *text = FullWidthPunctuation(*text, counts.asciiPunctuation);
    }
    for (auto* texts : {&poem.lines, &poem.notes}) {
        for (std::u16string& text : *texts) {
            text = FullWidthPunctuation(text, counts.asciiPunctuation);
        }
    }
    return poem;
}

// Songs of the southern plays name their play with the poet, "高明《蔡伯喈琵琶记》": the play goes
// into the title as it does for the northern plays ("蔡伯喈琵琶记·鹧鸪天"), the poet stays a name.
SourcePoem PlayMovedToTitle(const SourcePoem& source) {
    const auto open = source.author.find("《");
    const auto close = source.author.rfind("》");
    if (open == std::string::npos || close == std::string::npos || close < open) {
        return source;
    }
    SourcePoem moved = source;
    const std::size_t playStart = open + std::string_view("《").size();
    moved.author = source.author.substr(0, open);
    moved.title = source.author.substr(playStart, close - playStart) + "・" + source.title;
    if (moved.form.empty()) {
        moved.form = source.title; // the song's own title is its tune
    }
    return moved;
}

PreparedPoem PoemPreparer::Prepare(const SourcePoem& given, ImportStats& stats) const {
    const SourcePoem source = m_kind == PoemKind::kQu ? PlayMovedToTitle(given) : given;
    ConversionLog& log = stats.converted;
    PreparedPoem poem;
    PoemText mended = Mended(source, poem.mended);
    // A library's own export comes back as it was; the collection's fields are made one line.
    const auto field = [this](const CString& value) {
        return m_kind == PoemKind::kStored ? value : OneLine(value);
    };
    poem.title = field(Converted(mended.title, log));
    const PoemKind kind = KindOf(source, poem.title);
    poem.sourceNotes = static_cast<unsigned>(mended.notes.size());
    if (kind == PoemKind::kShi) {
        MoveNotesOutOfVerses(mended, poem.mended);
    }
    poem.hasVerse = m_kind == PoemKind::kStored || HasVerse(mended.lines);
    const std::string poet =
        m_kind == PoemKind::kStored ? source.author : CleanPoetName(source.author, m_codes);
    const CString text = Converted(Joined(mended.lines), log);
    const CString named = field(AsPickListSpells(poet, m_authors, log));
    const CString author = m_poets != nullptr ? m_poets->WholeName(named, text) : named;
    CString dynasty = field(AsPickListSpells(source.dynasty, m_dynasties, log));
    if (m_poets != nullptr) {
        bool fromPoets = false;
        dynasty = m_poets->DynastyOf(author, text, dynasty, fromPoets);
        stats.dynastiesFromPoets += fromPoets ? 1 : 0;
    }
    if (poet != source.author || author != named) {
        stats.poetNames.Note(Utf16(source.author).str(), std::u16string(author.view()));
    }
    const CString form = field(Form(source, poem.title, text, log));
    for (const std::u16string& note : mended.notes) {
        poem.notes.push_back(field(Converted(note, log)));
    }

    PoemRecord& r = poem.record;
    stats.authorsCut += FitField(r.author, sizeof r.author, author) ? 1 : 0;
    FitField(r.dynasty, sizeof r.dynasty, dynasty);
    stats.formsCut += FitField(r.form, sizeof r.form, form) ? 1 : 0;
    poem.text = LaidOut(kind, text, poem.mended);
    return poem;
}

} // namespace poemlib
