#include "tools/poemlib/Titles.h"

#include "platform/core/CodePage.h"

namespace poemlib {
namespace {

constexpr std::size_t kShortEnd = 10; // characters: "其一百二十" and the like
constexpr std::size_t kLastWords = 4;

bool IsLowSurrogate(char16_t ch) {
    return ch >= 0xDC00 && ch <= 0xDFFF;
}

// The start of the character before `at`.
std::size_t PreviousCharacter(std::u16string_view text, std::size_t at) {
    return at >= 2 && IsLowSurrogate(text[at - 1]) ? at - 2 : at - 1;
}

// The longest head of `text` whose code page bytes fit in `room`.
std::string HeadBytes(std::u16string_view text, std::size_t room) {
    const std::string bytes = CodePage::Encode(text);
    std::size_t end = 0;
    while (end < bytes.size()) {
        const std::size_t next = end + CodePage::CharacterLength(bytes.data(), end, bytes.size());
        if (next > room) {
            break;
        }
        end = next;
    }
    return bytes.substr(0, end);
}

} // namespace

std::u16string_view DistinguishingEnd(std::u16string_view title) {
    const auto space = title.find_last_of(u" \u3000");
    if (space != std::u16string_view::npos && space + 1 < title.size() &&
        title.size() - space - 1 <= kShortEnd) {
        return title.substr(space);
    }
    std::size_t start = title.size();
    for (std::size_t i = 0; i < kLastWords && start > 0; ++i) {
        start = PreviousCharacter(title, start);
    }
    return title.substr(start);
}

void CTitleCutter::Reserve(const std::string& stored, const CString& whole) {
    m_stored.insert(stored);
    m_cuts.emplace(whole, stored);
}

std::string CTitleCutter::Fit(const CString& whole, std::size_t width, bool& cut,
                              bool& lengthened) {
    const std::string bytes = CodePage::Encode(whole.view());
    cut = bytes.size() >= width;
    lengthened = false;
    if (!cut) {
        m_stored.insert(bytes);
        return bytes;
    }
    if (const auto known = m_cuts.find(whole); known != m_cuts.end()) {
        return known->second; // the same whole title, the same cut
    }
    const std::u16string_view title = whole.view();
    const std::string ellipsis = CodePage::Encode(u"…");
    const std::size_t room = width - 1 - ellipsis.size();
    std::size_t endStart = title.size() - DistinguishingEnd(title).size();
    std::string result;
    while (true) {
        const std::string end = CodePage::Encode(title.substr(endStart));
        if (end.size() + 2 > room) {
            result = HeadBytes(title, room) + ellipsis; // an end as long as that is no end
            break;
        }
        result = HeadBytes(title.substr(0, endStart), room - end.size()) + ellipsis + end;
        if (m_stored.count(result) == 0 || endStart == 0) {
            break;
        }
        endStart = PreviousCharacter(title, endStart);
        lengthened = true;
    }
    m_stored.insert(result);
    m_cuts.emplace(whole, result);
    return result;
}

} // namespace poemlib
