#pragma once

#include "platform/core/CString.h"

#include <cstddef>
#include <map>
#include <string>
#include <utility>

// What a conversion had to replace because the code page lacks it: each character, what it
// became (a variant the code page holds, or □) and how often.
class ReplacementLog {
public:
    void Note(const std::u16string& from, const std::u16string& to) {
        auto& entry = m_entries[from];
        entry.first = to;
        ++entry.second;
        ++m_total;
    }
    std::size_t Total() const { return m_total; }
    // character -> (what it became, count)
    const std::map<std::u16string, std::pair<std::u16string, std::size_t>>& Entries() const {
        return m_entries;
    }

private:
    std::map<std::u16string, std::pair<std::u16string, std::size_t>> m_entries;
    std::size_t m_total = 0;
};

// Makes imported text simplified Chinese that the code page holds:
// - stand-ins for the middle dot become U+00B7;
// - traditional characters become simplified with OpenCC's phrase tables over the whole text,
//   so that 乾坤 stays and 乾燥 becomes 干燥;
// - where the simplified form lies outside the code page but the original inside it (many new
//   simplified forms live only in Unicode's extensions, such as 𫗦 for 餔), the original stays;
// - any other character the code page lacks becomes a variant it holds where OpenCC or our
//   own table knows one, otherwise □, the usual mark for a missing character. Never '?'.
class Simplifier {
public:
    Simplifier();
    ~Simplifier();
    Simplifier(const Simplifier&) = delete;
    Simplifier& operator=(const Simplifier&) = delete;

    bool IsReady() const { return m_toSimplified != nullptr; }
    CString Simplify(const CString& text, ReplacementLog* log = nullptr) const;

private:
    std::u16string Convert(void* converter, std::u16string_view text) const;
    std::u16string PerCharacter(std::u16string_view text) const;
    std::u16string VariantOf(std::u16string_view original, std::u16string_view simplified) const;

    void* m_toSimplified = nullptr;
    void* m_toTraditional = nullptr;
};
