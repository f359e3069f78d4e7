#include "tools/poemlib/Simplifier.h"

#include "platform/core/CodePage.h"

#include <algorithm>
#include <dlfcn.h>
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

// GB2312 proper: its Chinese characters are the code page's rows B0 to F7, columns A1 to FE.
bool InGb2312(std::u16string_view character) {
    const std::string bytes = CodePage::Encode(character);
    const auto lead = static_cast<unsigned char>(bytes.size() == 2 ? bytes[0] : 0);
    const auto trail = static_cast<unsigned char>(bytes.size() == 2 ? bytes[1] : 0);
    return lead >= 0xB0 && lead <= 0xF7 && trail >= 0xA1 && trail <= 0xFE;
}

// A Chinese character (of the unified blocks, their extensions or the compatibility block):
// what a phrase at the start of a clause must not follow.
bool IsChinese(std::u16string_view character) {
    const char16_t unit = character.front();
    return (unit >= 0x3400 && unit <= 0x9FFF) || (unit >= 0xF900 && unit <= 0xFAFF) ||
           (unit >= 0xD840 && unit <= 0xD8BF);
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

// OpenCC, loaded when the first converter is made: only the import converts, and the other
// commands start sooner without it (a search is over in the time it takes to load).
struct OpenCc {
    decltype(&opencc_open) open = nullptr;
    decltype(&opencc_convert_utf8) convert = nullptr;
    decltype(&opencc_convert_utf8_free) release = nullptr;
};

const OpenCc& LoadedOpenCc() {
    static const OpenCc library = [] {
        OpenCc loaded;
        // Never closed: the converters made from it live as long as the process.
        void* const handle = ::dlopen(LOMEVA_OPENCC_LIBRARY, RTLD_NOW | RTLD_LOCAL);
        if (handle == nullptr) {
            return loaded;
        }
        const auto find = [handle]<class Function>(Function& function, const char* name) {
            function = reinterpret_cast<Function>(::dlsym(handle, name));
        };
        find(loaded.open, "opencc_open");
        find(loaded.convert, "opencc_convert_utf8");
        find(loaded.release, "opencc_convert_utf8_free");
        if (loaded.open == nullptr || loaded.convert == nullptr || loaded.release == nullptr) {
            loaded = {};
        }
        return loaded;
    }();
    return library;
}

void* OpenConverter(const char* config) {
    const OpenCc& library = LoadedOpenCc();
    if (library.open == nullptr) {
        return nullptr;
    }
    const opencc_t handle = library.open(config);
    return handle == reinterpret_cast<opencc_t>(-1) ? nullptr : handle;
}

} // namespace

// OpenCC's tables take a while to load: one set of converters serves the whole process (they
// are still reachable at exit, so nothing leaks).
Simplifier::Simplifier(const ConversionTables& tables) : m_tables(tables) {
    static void* const toSimplified = OpenConverter("t2s.json");
    static void* const toTraditional = OpenConverter("s2t.json");
    static void* const fromJapanese = OpenConverter("jp2t.json");
    m_toSimplified = toSimplified;
    m_toTraditional = toTraditional;
    m_fromJapanese = fromJapanese;
}

Simplifier::~Simplifier() = default;

CString Simplifier::Traditional(const CString& text) const {
    return CString(Convert(m_toTraditional, text.view()));
}

std::u16string Simplifier::Convert(void* converter, std::u16string_view text) const {
    if (converter == nullptr || text.empty()) {
        return std::u16string(text);
    }
    const std::string utf8 = CString(text).ToUtf8();
    const OpenCc& library = LoadedOpenCc(); // loaded: the converter was made from it
    char* converted = library.convert(static_cast<opencc_t>(converter), utf8.data(), utf8.size());
    if (converted == nullptr) {
        return std::u16string(text);
    }
    std::u16string result = CString::FromUtf8(converted).str();
    library.release(converted);
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

// The text with its variant forms written in their standard forms, each noted in the log.
std::u16string Simplifier::Normalised(std::u16string_view text, ReplacementLog* log) const {
    std::u16string out;
    out.reserve(text.size());
    for (const std::u16string_view character : Characters(text)) {
        const std::u16string* standard = StandardFormOf(character);
        if (standard == nullptr) {
            out += character;
            continue;
        }
        if (log != nullptr) {
            log->Note(std::u16string(character), *standard);
        }
        out += *standard;
    }
    return out;
}

const std::u16string* Simplifier::StandardFormOf(std::u16string_view character) const {
    if (character.front() < 0x3400) {
        return nullptr; // no variant of ours lies before the Chinese characters
    }
    if (m_tables.MayBeVariant(character.front())) {
        if (const std::u16string* standard = m_tables.StandardOf(character)) {
            return standard;
        }
    }
    return JapaneseStandardOf(character);
}

// The form jp2t gives a Japanese form (隠 → 隱) that t2s leaves as it is; GB2312's own
// characters are standard as they stand (jp2t would make 芸 the 藝 it stands for in Japan).
const std::u16string* Simplifier::JapaneseStandardOf(std::u16string_view character) const {
    const std::u16string key(character);
    auto it = m_japaneseForms.find(key);
    if (it == m_japaneseForms.end()) {
        std::u16string form;
        if (m_fromJapanese != nullptr && !InGb2312(character) &&
            Convert(m_toSimplified, character) == character) {
            form = Convert(m_fromJapanese, character);
            if (form == character || Characters(form).size() != 1) {
                form.clear();
            }
        }
        it = m_japaneseForms.emplace(key, std::move(form)).first;
    }
    return it->second.empty() ? nullptr : &it->second;
}

// The phrase of our table that starts at character `i` of the source, or null: the longest
// first, and one that opens a clause only where a clause starts.
const MendedPhrase* Simplifier::PhraseAt(std::u16string_view source,
                                         const std::vector<std::u16string_view>& characters,
                                         std::size_t i) const {
    const std::vector<MendedPhrase>* phrases = m_tables.PhrasesStartingWith(characters[i]);
    if (phrases == nullptr) {
        return nullptr;
    }
    const std::u16string_view rest = source.substr(characters[i].data() - source.data());
    const bool clauseStart = i == 0 || !IsChinese(characters[i - 1]);
    for (const MendedPhrase& phrase : *phrases) {
        if (rest.starts_with(phrase.phrase) && (clauseStart || !phrase.atClauseStart)) {
            return &phrase;
        }
    }
    return nullptr;
}

// The simplified text with the phrases of our table written as the table says, wherever the
// source (with its variants made standard) holds them; `simplified` has one character for each
// of the source's. A phrase is noted in the log where it changes what the phrase tables wrote.
std::u16string Simplifier::Mended(std::u16string_view source, std::u16string simplified,
                                  ReplacementLog* log) const {
    const bool any = std::any_of(source.begin(), source.end(),
                                 [this](char16_t unit) { return m_tables.MayStartPhrase(unit); });
    if (!any) {
        return simplified;
    }
    const std::vector<std::u16string_view> originals = Characters(source);
    const std::vector<std::u16string_view> converted = Characters(simplified);
    std::u16string out;
    out.reserve(simplified.size());
    for (std::size_t i = 0; i < originals.size();) {
        const MendedPhrase* phrase = PhraseAt(source, originals, i);
        if (phrase == nullptr) {
            out += converted[i++];
            continue;
        }
        std::u16string was;
        for (std::size_t k = 0; k < phrase->characters; ++k) {
            was += converted[i + k];
        }
        if (was != phrase->written && log != nullptr) {
            log->Note(phrase->phrase, phrase->written);
        }
        out += phrase->written;
        i += phrase->characters;
    }
    return out;
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

CString Simplifier::Simplify(const CString& text, ConversionLog* log) const {
    const std::u16string source =
        Normalised(WithPlainMarks(text.view()), log != nullptr ? &log->normalised : nullptr);
    const std::vector<std::u16string_view> originals = Characters(source);
    std::u16string simplified = Convert(m_toSimplified, source);
    if (Characters(simplified).size() != originals.size()) {
        simplified = PerCharacter(source); // keeps the characters aligned with the source's
    }
    simplified = Mended(source, std::move(simplified), log != nullptr ? &log->mended : nullptr);
    std::size_t lost = 0;
    CodePage::Encode(simplified, &lost);
    if (lost == 0) {
        return CString(std::move(simplified));
    }
    // Some character does not fit: walk the original and the simplified text side by side.
    const std::vector<std::u16string_view> converted = Characters(simplified);
    std::u16string out;
    for (std::size_t i = 0; i < converted.size(); ++i) {
        const std::u16string_view original = originals[i];
        if (Holds(converted[i])) {
            out += converted[i];
        } else if (Holds(original)) {
            out += original;
        } else {
            const std::u16string variant = VariantOf(original, converted[i]);
            if (log != nullptr) {
                log->replaced.Note(std::u16string(original), variant);
            }
            out += variant;
        }
    }
    return CString(std::move(out));
}
