#pragma once
// A keyword as the selections look for it, converted once: its UTF-16 text and, when it has one,
// the one byte string that every occurrence of it has in the code page, so that fields and texts
// are searched as stored, without decoding them. The bytes are had at their first use: a search
// through the search index needs none.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

class SearchKeyword {
public:
    explicit SearchKeyword(std::u16string_view text);

    std::u16string_view Text() const { return m_text; }

    // The bytes to look for all at once in many fields or texts: set when the keyword has a byte
    // form that is not empty and holds no zero byte (which would end any field), null otherwise.
    const std::string* Needle() const;

    // True when the field or text bytes[0, width), read up to its first zero byte as the decoder
    // reads it, holds the keyword. An empty keyword is in every field.
    bool IsIn(const char* bytes, std::size_t width) const;

private:
    const std::optional<std::string>& Bytes() const;

    std::u16string m_text;
    mutable std::optional<std::string> m_bytes;
    mutable bool m_bConverted = false;
    mutable std::u16string m_decoded; // the text being searched, for keywords without bytes
};
