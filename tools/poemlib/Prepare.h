#pragma once
// Makes a poem of the collection ready for a library: simplified text the code page holds, its
// form and dynasty as the pick lists spell them, its lines laid out by its kind, and every field
// cut to its width rather than refused.

#include "library/LibraryFormat.h"
#include "tools/poemlib/PoetNames.h"
#include "tools/poemlib/Simplifier.h"
#include "tools/poemlib/SourcePoems.h"

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

// What an import did, for its summary line and report.
struct ImportStats {
    unsigned added = 0;
    unsigned duplicates = 0;
    unsigned titlesCut = 0;
    unsigned authorsCut = 0;
    unsigned formsCut = 0;
    ConversionLog converted;
    ReplacementLog poetNames; // names the editors' marks were taken from, as they were and became
    std::map<std::string, unsigned> dynasties;
    std::map<std::string, unsigned> forms;
};

struct PreparedPoem {
    PoemRecord record{};
    std::string text; // code page bytes, lines joined with CR LF
};

class PoemPreparer {
public:
    PoemPreparer(PoemKind kind, const Simplifier& simplifier, CharacterCodes codes = {});

    PreparedPoem Prepare(const SourcePoem& source, ImportStats& stats) const;

private:
    CString Converted(const std::string& utf8, ConversionLog& log) const;
    CString AsPickListSpells(const std::string& utf8, const std::map<CString, CString>& names,
                             ConversionLog& log) const;
    CString Form(const SourcePoem& source, const CString& title, const CString& text,
                 ConversionLog& log) const;
    CString OneTune(const CString& tunes) const;
    PoemKind KindOf(const SourcePoem& source, const CString& title) const;
    std::string LaidOut(PoemKind kind, const CString& text) const;

    PoemKind m_kind;
    const Simplifier& m_simplifier;
    CharacterCodes m_codes;
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
