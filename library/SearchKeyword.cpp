#include "library/SearchKeyword.h"

#include "library/ByteSearch.h"
#include "platform/core/CodePage.h"

SearchKeyword::SearchKeyword(std::u16string_view text)
    : m_text(text), m_bytes(CodePage::SearchBytes(text)) {}

const std::string* SearchKeyword::Needle() const {
    if (!m_bytes || m_bytes->empty() || m_bytes->find('\0') != std::string::npos) {
        return nullptr;
    }
    return &*m_bytes;
}

// A keyword without a byte form (U+FFFD, which invalid bytes decode to as well, or a character
// the code page lacks) is searched in the decoded text.
bool SearchKeyword::IsIn(const char* bytes, std::size_t width) const {
    if (m_bytes) {
        return ByteSearch::ContainsAtCharacter(bytes, ByteSearch::TextLength(bytes, width),
                                               *m_bytes);
    }
    m_decoded.clear();
    CodePage::DecodeAppend(bytes, width, m_decoded);
    return m_decoded.find(m_text) != std::u16string::npos;
}
