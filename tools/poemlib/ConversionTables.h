#pragma once
// The import's own tables, kept as text in tools/poemlib/data and built into poemlib: variant
// forms with the standard form each is written in, and the phrases that OpenCC's phrase tables
// simplify wrongly in classical verse with how each is written. The files say where every line
// comes from.

#include <bitset>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

struct MendedPhrase {
    std::u16string phrase;  // as the source writes it once its variants are standard
    std::u16string written; // as many characters as `phrase`
    std::size_t characters = 0;
    bool atClauseStart = false; // only at the start of the text or after a non-Chinese character
};

class ConversionTables {
public:
    // The tables of tools/poemlib/data.
    static const ConversionTables& BuiltIn();
    // Tables from text in the layout of those files; a line that cannot be read is left out and
    // named in Errors().
    static ConversionTables Parse(std::string_view variants, std::string_view phrases);

    // The standard form of a variant, or null.
    const std::u16string* StandardOf(std::u16string_view character) const;
    // The phrases that begin with this character, the longest first, or null.
    const std::vector<MendedPhrase>* PhrasesStartingWith(std::u16string_view character) const;
    // Quick tests on a character's first UTF-16 unit before the lookups above.
    bool MayBeVariant(char16_t unit) const { return m_variantUnits.test(unit); }
    bool MayStartPhrase(char16_t unit) const { return m_phraseUnits.test(unit); }

    const std::vector<std::string>& Errors() const { return m_errors; }
    std::size_t VariantCount() const { return m_standard.size(); }
    std::size_t PhraseCount() const;

private:
    void AddVariant(const std::vector<std::u16string>& fields, const std::string& line);
    void AddPhrase(const std::vector<std::u16string>& fields, const std::string& line);

    std::unordered_map<std::u16string, std::u16string> m_standard;
    std::unordered_map<std::u16string, std::vector<MendedPhrase>> m_phrases;
    std::bitset<0x10000> m_variantUnits;
    std::bitset<0x10000> m_phraseUnits;
    std::vector<std::string> m_errors;
};

// The text of the two data files, built into the program.
extern const std::string_view kVariantTable;
extern const std::string_view kMendedPhraseTable;
