#include "tools/poemlib/Simplifier.h"

#include "platform/core/CodePage.h"

#include <opencc.h>
#include <vector>

namespace {

constexpr std::u16string_view kMissing = u"□";

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

// Characters newer than the code page whose usual older form it holds: extension A and B forms
// that OpenCC leaves as they are, and the sources' rare spellings of common characters.
const std::map<std::u16string_view, std::u16string_view>& OwnVariants() {
    // clang-format off
    static const std::map<std::u16string_view, std::u16string_view> table = {
        {u"䝙", u"貙"}, {u"䯄", u"騧"}, {u"㧑", u"撝"}, {u"𬙋", u"纕"}, {u"𬴂", u"騑"}, {u"䜩", u"宴"},
        {u"䍦", u"篱"}, // 接䍦, a cap, is printed 接篱
        {u"䕷", u"蘼"}, // 荼䕷, the flower, is printed 荼蘼
    };
    // clang-format on
    return table;
}

bool Holds(std::u16string_view character) {
    std::size_t lost = 0;
    CodePage::Encode(character, &lost);
    return lost == 0;
}

// The text split into characters: one code unit, or a surrogate pair.
std::vector<std::u16string_view> Characters(std::u16string_view text) {
    std::vector<std::u16string_view> characters;
    for (std::size_t i = 0; i < text.size();) {
        const bool pair = text[i] >= 0xD800 && text[i] <= 0xDBFF && i + 1 < text.size();
        characters.push_back(text.substr(i, pair ? 2 : 1));
        i += pair ? 2 : 1;
    }
    return characters;
}

void* OpenConverter(const char* config) {
    const opencc_t handle = opencc_open(config);
    return handle == reinterpret_cast<opencc_t>(-1) ? nullptr : handle;
}

} // namespace

// OpenCC's tables take a while to load: one pair of converters serves the whole process (they
// are still reachable at exit, so nothing leaks).
Simplifier::Simplifier() {
    static void* const toSimplified = OpenConverter("t2s.json");
    static void* const toTraditional = OpenConverter("s2t.json");
    m_toSimplified = toSimplified;
    m_toTraditional = toTraditional;
}

Simplifier::~Simplifier() = default;

std::u16string Simplifier::Convert(void* converter, std::u16string_view text) const {
    if (converter == nullptr || text.empty()) {
        return std::u16string(text);
    }
    const std::string utf8 = CString(text).ToUtf8();
    char* converted =
        opencc_convert_utf8(static_cast<opencc_t>(converter), utf8.data(), utf8.size());
    if (converted == nullptr) {
        return std::u16string(text);
    }
    std::u16string result = CString::FromUtf8(converted).str();
    opencc_convert_utf8_free(converted);
    return result;
}

// One character at a time: loses the phrases, keeps the characters aligned.
std::u16string Simplifier::PerCharacter(std::u16string_view text) const {
    std::u16string out;
    for (const std::u16string_view character : Characters(text)) {
        const std::u16string converted = Convert(m_toSimplified, character);
        out += Characters(converted).size() == 1 ? converted : std::u16string(character);
    }
    return out;
}

// A form the code page holds for a character it lacks, or □.
std::u16string Simplifier::VariantOf(std::u16string_view original,
                                     std::u16string_view simplified) const {
    const auto& own = OwnVariants();
    for (const std::u16string_view character : {simplified, original}) {
        if (const auto it = own.find(character); it != own.end() && Holds(it->second)) {
            return std::u16string(it->second);
        }
    }
    for (const std::u16string_view character : {simplified, original}) {
        const std::u16string traditional = Convert(m_toTraditional, character);
        if (Characters(traditional).size() == 1 && Holds(traditional)) {
            return traditional;
        }
    }
    return std::u16string(kMissing);
}

namespace {

// Marks that only look like something the code page has: middle dots, spaces that do not break,
// and the invisible joiners and byte-order marks that some sources carry.
std::u16string WithPlainMarks(std::u16string_view text) {
    std::u16string plain;
    plain.reserve(text.size());
    for (const char16_t ch : text) {
        if (IsMiddleDotStandIn(ch)) {
            plain += u'\u00B7';
        } else if (ch == u'\u00A0' || (ch >= u'\u2002' && ch <= u'\u200A')) {
            plain += u' ';
        } else if (ch != u'\u200B' && ch != u'\u200C' && ch != u'\u200D' && ch != u'\uFEFF') {
            plain += ch;
        }
    }
    return plain;
}

} // namespace

CString Simplifier::Simplify(const CString& text, ReplacementLog* log) const {
    const std::u16string source = WithPlainMarks(text.view());
    std::u16string simplified = Convert(m_toSimplified, source);
    std::size_t lost = 0;
    CodePage::Encode(simplified, &lost);
    if (lost == 0) {
        return CString(std::move(simplified));
    }
    // Some character does not fit: walk the original and the simplified text side by side.
    const std::vector<std::u16string_view> originals = Characters(source);
    std::vector<std::u16string_view> converted = Characters(simplified);
    std::u16string aligned;
    if (converted.size() != originals.size()) {
        aligned = PerCharacter(source);
        converted = Characters(aligned);
    }
    std::u16string out;
    for (std::size_t i = 0; i < converted.size(); ++i) {
        const std::u16string_view original = i < originals.size() ? originals[i] : converted[i];
        if (Holds(converted[i])) {
            out += converted[i];
        } else if (Holds(original)) {
            out += original;
        } else {
            const std::u16string variant = VariantOf(original, converted[i]);
            if (log != nullptr) {
                log->Note(std::u16string(original), variant);
            }
            out += variant;
        }
    }
    return CString(std::move(out));
}
