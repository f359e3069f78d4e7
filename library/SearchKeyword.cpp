#include "library/SearchKeyword.h"

#include "library/ByteSearch.h"
#include "platform/core/CodePage.h"

SearchKeyword::SearchKeyword(std::u16string_view text) : m_text(text) {}

const std::optional<std::string>& SearchKeyword::Bytes() const {
    if (!m_bConverted) {
        m_bytes = CodePage::SearchBytes(m_text);
        m_bConverted = true;
    }
    return m_bytes;
}

const std::string* SearchKeyword::Needle() const {
    const std::optional<std::string>& bytes = Bytes();
    if (!bytes || bytes->empty() || bytes->find('\0') != std::string::npos) {
        return nullptr;
    }
    return &*bytes;
}

// A keyword without a byte form (U+FFFD, which invalid bytes decode to as well, or a character
// the code page lacks) is searched in the decoded text.
bool SearchKeyword::IsIn(const char* bytes, std::size_t width) const {
    if (const std::optional<std::string>& needle = Bytes()) {
        return ByteSearch::ContainsAtCharacter(bytes, ByteSearch::TextLength(bytes, width),
                                               *needle);
    }
    m_decoded.clear();
    CodePage::DecodeAppend(bytes, width, m_decoded);
    return m_decoded.find(m_text) != std::u16string::npos;
}
