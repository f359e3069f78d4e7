#include "tools/poemlib/Simplifier.h"

#include "platform/core/CodePage.h"

#include <opencc.h>

namespace {

bool IsMiddleDotStandIn(char16_t ch) {
    switch (ch) {
    case u'\u30FB': // katakana middle dot
    case u'\uFF65': // its half-width form
    case u'\u2027': // hyphenation point
    case u'\u2022': // bullet
    case u'\u2219': // bullet operator
    case u'\u22C5': // dot operator
    case u'\u0387': // Greek ano teleia
        return true;
    default:
        return false;
    }
}

bool InGb2312(std::u16string_view character) {
    const std::string bytes = CodePage::Encode(character);
    if (bytes.size() == 1) {
        return bytes[0] != '?' || character == u"?";
    }
    const auto lead = static_cast<unsigned char>(bytes[0]);
    const auto trail = static_cast<unsigned char>(bytes[1]);
    return lead >= 0xA1 && lead <= 0xF7 && trail >= 0xA1 && trail <= 0xFE;
}

} // namespace

// OpenCC's tables take a while to load: one converter serves the whole process (it is still
// reachable at exit, so nothing leaks).
Simplifier::Simplifier() {
    static opencc_t const handle = opencc_open("t2s.json");
    if (handle != reinterpret_cast<opencc_t>(-1)) {
        m_handle = handle;
    }
}

Simplifier::~Simplifier() = default;

// The simplified form of a character, unless the code page cannot hold it (some simplified
// forms live only in Unicode's extensions, such as 𫗦 for 餔) while it holds the original.
std::u16string Simplifier::SimplifiedOrKept(std::u16string_view character) const {
    const std::string utf8 = CString(character).ToUtf8();
    char* converted =
        opencc_convert_utf8(static_cast<opencc_t>(m_handle), utf8.data(), utf8.size());
    if (converted == nullptr) {
        return std::u16string(character);
    }
    const std::u16string simplified = CString::FromUtf8(converted).str();
    opencc_convert_utf8_free(converted);
    std::size_t lost = 0;
    CodePage::Encode(simplified, &lost);
    std::size_t originalLost = 0;
    CodePage::Encode(character, &originalLost);
    return lost != 0 && originalLost == 0 ? std::u16string(character) : simplified;
}

CString Simplifier::Simplify(const CString& text) const {
    std::u16string out;
    const std::u16string_view in = text.view();
    for (std::size_t i = 0; i < in.size();) {
        const bool pair = in[i] >= 0xD800 && in[i] <= 0xDBFF && i + 1 < in.size();
        const std::u16string_view character = in.substr(i, pair ? 2 : 1);
        i += character.size();
        if (IsMiddleDotStandIn(character[0])) {
            out += u'\u00B7';
        } else if (m_handle == nullptr || InGb2312(character)) {
            out += character;
        } else {
            out += SimplifiedOrKept(character);
        }
    }
    return CString(std::move(out));
}
