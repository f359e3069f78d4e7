#pragma once
// Makes a poem of the collection ready for a library: simplified text the code page holds, its
// form and dynasty as the pick lists spell them, its lines laid out by its kind, and every field
// cut to its width rather than refused.

#include "library/LibraryFormat.h"
#include "library/PoemNotes.h"
#include "tools/poemlib/KnownPoets.h"
#include "tools/poemlib/PoetNames.h"
#include "tools/poemlib/Simplifier.h"
#include "tools/poemlib/SourcePoems.h"
#include "tools/poemlib/TextMends.h"

#include <map>
#include <optional>
#include <string>

namespace poemlib {

// How the source's lines and forms are read:
// - kStored: as given (a library's own export);
// - kShi: the form comes from the shape when the source names none, and a shi whose verses all
//   have one length stands one couplet a line, however the source punctuates it;
// - kCi: the tune is the form (`rhythmic`, or the title's part before "·"); lines as given; a
//   poem with neither is a shi;
// - kQu: the tune is taken from the title ("宫调·曲牌" or "剧名·曲牌"); lines as given.
enum class PoemKind { kStored, kShi, kCi, kQu };
std::optional<PoemKind> ParsePoemKind(const std::string& name);

// The notes an import gave its poems.
struct NoteCounts {
    unsigned poems = 0;      // poems that have notes
    unsigned fromSource = 0; // the source's own notes (花间集's `notes`)
    unsigned fromVerses = 0; // notes and readings that were inside the verses
    unsigned fullTitles = 0; // whole titles of poems whose record holds them cut
};

// What an import did, for its summary line and report.
struct ImportStats {
    unsigned added = 0;
    unsigned duplicates = 0;
    unsigned textless = 0; // records with no verse at all: no poem, left out
    unsigned titlesCut = 0;
    unsigned authorsCut = 0;
    unsigned formsCut = 0;
    unsigned dynastiesFromPoets = 0; // dynasties the other libraries gave, not the source
    ConversionLog converted;
    ReplacementLog poetNames; // names the editors' marks were taken from, as they were and became
    MendCounts mended;
    NoteCounts notes;
    std::map<std::string, unsigned> dynasties;
    std::map<std::string, unsigned> forms;
};

// A poem ready for a library but for its title, which the import cuts to fit once it knows the
// library's other titles.
struct PreparedPoem {
    PoemRecord record{}; // author, dynasty and form
    CString title;       // whole
    std::string text;    // code page bytes, lines joined with CR LF
    std::vector<CString> notes;
    unsigned sourceNotes = 0; // how many of the notes are the source's own; the rest were in verses
    MendCounts mended;        // what was mended in it
    bool hasVerse = true;     // false for a record with no verse at all, which is no poem
};

class PoemPreparer {
public:
    // `poets`, when given, says the dynasty of each poem by what the other libraries hold of its
    // poet; it must outlive the preparer.
    PoemPreparer(PoemKind kind, const Simplifier& simplifier, CharacterCodes codes = {},
                 const CKnownPoets* poets = nullptr);

    PreparedPoem Prepare(const SourcePoem& source, ImportStats& stats) const;

private:
    CString Converted(const std::string& utf8, ConversionLog& log) const;
    CString Converted(const std::u16string& text, ConversionLog& log) const;
    PoemText Mended(const SourcePoem& source, MendCounts& counts) const;
    CString AsPickListSpells(const std::string& utf8, const std::map<CString, CString>& names,
                             ConversionLog& log) const;
    CString Form(const SourcePoem& source, const CString& title, const CString& text,
                 ConversionLog& log) const;
    CString OneTune(const CString& tunes) const;
    PoemKind KindOf(const SourcePoem& source, const CString& title) const;
    std::string LaidOut(PoemKind kind, const CString& text, MendCounts& counts) const;

    PoemKind m_kind;
    const Simplifier& m_simplifier;
    CharacterCodes m_codes;
    const CKnownPoets* m_poets;
    // Each pick list's names, keyed by themselves and by the spellings a conversion gives them
    // (干荷叶 finds 乾荷叶, 朱庆馀 finds 朱庆余).
    std::map<CString, CString> m_authors;
    std::map<CString, CString> m_dynasties;
    std::map<CString, CString> m_forms;
};

// Writes `value` into a zero-filled field of `width` bytes, keeping its zero byte inside. A value
// that does not fit is cut at a character boundary and ends with "…"; returns whether it was cut.
bool FitField(char* field, std::size_t width, const CString& value);

// The tune of a qu from its title: "商调·梧叶儿春夜" is 商调·梧叶儿 when the pick list has that,
// "诈妮子调风月·仙吕/点绛唇" is 点绛唇, "天净沙·秋思" is 天净沙.
CString QuTune(const CString& title, const std::map<CString, CString>& pickListForms);

} // namespace poemlib
