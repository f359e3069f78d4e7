#pragma once

#include "platform/core/CString.h"
#include "tools/poemlib/ConversionTables.h"

#include <cstddef>
#include <map>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

// What a conversion changed of one kind: each character or phrase, what it became, how often.
class ReplacementLog {
public:
    void Note(const std::u16string& from, const std::u16string& to) {
        auto& entry = m_entries[from];
        entry.first = to;
        ++entry.second;
        ++m_total;
    }
    void Add(const ReplacementLog& other) {
        for (const auto& [from, entry] : other.m_entries) {
            auto& mine = m_entries[from];
            mine.first = entry.first;
            mine.second += entry.second;
        }
        m_total += other.m_total;
    }
    std::size_t Total() const { return m_total; }
    // character or phrase -> (what it became, count)
    const std::map<std::u16string, std::pair<std::u16string, std::size_t>>& Entries() const {
        return m_entries;
    }

private:
    std::map<std::u16string, std::pair<std::u16string, std::size_t>> m_entries;
    std::size_t m_total = 0;
};

// What one conversion did, by kind; each log says what became what, and how often.
struct ConversionLog {
    ReplacementLog replaced;   // characters the code page lacks: a variant it holds, or □
    ReplacementLog normalised; // variant forms written in their standard form
    ReplacementLog mended;     // phrases the phrase tables simplify wrongly, as they are written

    void Add(const ConversionLog& other) {
        replaced.Add(other.replaced);
        normalised.Add(other.normalised);
        mended.Add(other.mended);
    }
};

// Makes imported text simplified Chinese that the code page holds:
// - stand-ins for the middle dot become U+00B7;
// - variant forms become their standard forms: those of our own table (劒 → 劍, 髙 → 高), and
//   Japanese forms (隠 → 隱, 効 → 效) through OpenCC's jp2t where t2s leaves a character outside
//   GB2312 as it is;
// - traditional characters become simplified with OpenCC's phrase tables over the whole text,
//   so that 乾坤 stays and 乾燥 becomes 干燥; the phrases those tables get wrong in classical
//   verse are written as our own table says (乾符, 宫徵, 藉甚, 於铄), and 餘 is written 馀;
// - where the simplified form lies outside the code page but the original inside it (many new
//   simplified forms live only in Unicode's extensions, such as 𫗦 for 餔), the original stays;
// - any other character the code page lacks becomes a variant it holds where OpenCC or our
//   own table knows one, otherwise □, the usual mark for a missing character. Never '?'.
// One Simplifier serves one thread: it remembers what OpenCC said of each character.
class Simplifier {
public:
    explicit Simplifier(const ConversionTables& tables = ConversionTables::BuiltIn());
    ~Simplifier();
    Simplifier(const Simplifier&) = delete;
    Simplifier& operator=(const Simplifier&) = delete;

    bool IsReady() const { return m_toSimplified != nullptr; }
    CString Simplify(const CString& text, ConversionLog* log = nullptr) const;
    // The text in traditional characters (OpenCC's s2t), for finding names in the pick lists'
    // spelling whatever the source wrote (朱庆余 from 朱慶餘).
    CString Traditional(const CString& text) const;

private:
    std::u16string Convert(void* converter, std::u16string_view text) const;
    std::u16string PerCharacter(std::u16string_view text) const;
    std::u16string VariantOf(std::u16string_view original, std::u16string_view simplified) const;
    std::u16string Normalised(std::u16string_view text, ReplacementLog* log) const;
    const std::u16string* StandardFormOf(std::u16string_view character) const;
    const std::u16string* JapaneseStandardOf(std::u16string_view character) const;
    const MendedPhrase* PhraseAt(std::u16string_view source,
                                 const std::vector<std::u16string_view>& characters,
                                 std::size_t i) const;
    std::u16string Mended(std::u16string_view source, std::u16string simplified,
                          ReplacementLog* log) const;

    const ConversionTables& m_tables;
    void* m_toSimplified = nullptr;
    void* m_toTraditional = nullptr;
    void* m_fromJapanese = nullptr;
    // character -> its standard form through jp2t, empty where there is none
    mutable std::unordered_map<std::u16string, std::u16string> m_japaneseForms;
};
