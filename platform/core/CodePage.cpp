#include "platform/core/CodePage.h"

#include <array>
#include <iconv.h>
#include <memory>
#include <mutex>

namespace {

// Index of a two-byte sequence: lead 0x81-0xFE, trail 0x40-0xFE.
constexpr unsigned kLeadFirst = 0x81, kLeadLast = 0xFE;
constexpr unsigned kTrailFirst = 0x40, kTrailLast = 0xFE;
constexpr unsigned kTrailCount = kTrailLast - kTrailFirst + 1;
constexpr char16_t kNone = 0; // no character: the sequence is not valid

struct Tables {
    std::array<char16_t, 256> single{};                                      // one-byte characters
    std::array<char16_t, (kLeadLast - kLeadFirst + 1) * kTrailCount> pair{}; // two-byte ones
    std::array<std::uint16_t, 0x10000> encode{}; // code unit -> bytes (hi<<8|lo), 0 = none
    // Code units that some other byte sequence also decodes to, or whose encoding does not
    // decode back to them: a search in bytes could miss or misplace them.
    std::array<bool, 0x10000> ambiguous{};
};

class Converter {
public:
    Converter(const char* to, const char* from) : m_cd(iconv_open(to, from)) {}
    ~Converter() {
        if (m_cd != reinterpret_cast<iconv_t>(-1)) {
            iconv_close(m_cd);
        }
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    // Converts one complete input; returns the output size or 0 when iconv refuses it.
    size_t Convert(const char* in, size_t inSize, char* out, size_t outSize) {
        if (m_cd == reinterpret_cast<iconv_t>(-1)) {
            return 0;
        }
        iconv(m_cd, nullptr, nullptr, nullptr, nullptr);
        char* inPtr = const_cast<char*>(in);
        char* outPtr = out;
        size_t inLeft = inSize, outLeft = outSize;
        if (iconv(m_cd, &inPtr, &inLeft, &outPtr, &outLeft) == static_cast<size_t>(-1) ||
            inLeft != 0) {
            return 0;
        }
        return outSize - outLeft;
    }

private:
    iconv_t m_cd;
};

char16_t DecodeOne(Converter& toUtf16, const char* bytes, size_t size) {
    char16_t out[2] = {};
    const size_t n = toUtf16.Convert(bytes, size, reinterpret_cast<char*>(out), sizeof out);
    return n == 2 ? out[0] : kNone; // a character outside the BMP cannot come from this page
}

std::uint16_t DecodeCode(const Tables& t, std::uint16_t code) {
    if (code < 0x100) {
        return t.single[code];
    }
    const unsigned lead = code >> 8, trail = code & 0xFF;
    if (lead < kLeadFirst || lead > kLeadLast || trail < kTrailFirst || trail > kTrailLast) {
        return kNone;
    }
    return t.pair[(lead - kLeadFirst) * kTrailCount + (trail - kTrailFirst)];
}

void MarkAmbiguous(Tables& t) {
    std::array<std::uint8_t, 0x10000> decodings{};
    for (const char16_t ch : t.single) {
        decodings[ch] += ch != kNone ? 1 : 0;
    }
    for (const char16_t ch : t.pair) {
        decodings[ch] += ch != kNone ? 1 : 0;
    }
    for (unsigned unit = 1; unit < 0x10000; ++unit) {
        const std::uint16_t code = t.encode[unit];
        t.ambiguous[unit] = code == 0 || decodings[unit] != 1 || DecodeCode(t, code) != unit;
    }
    t.ambiguous[0] = true;
    t.ambiguous[CodePage::kReplacement] = true;
}

std::unique_ptr<Tables> BuildTables() {
    auto tables = std::make_unique<Tables>();
    Converter toUtf16("UTF-16LE", "CP936");
    for (unsigned b = 0; b < 0x80; ++b) {
        tables->single[b] = static_cast<char16_t>(b);
    }
    for (unsigned b = 0x80; b < 0x100; ++b) {
        const char byte = static_cast<char>(b);
        tables->single[b] = DecodeOne(toUtf16, &byte, 1);
    }
    for (unsigned lead = kLeadFirst; lead <= kLeadLast; ++lead) {
        for (unsigned trail = kTrailFirst; trail <= kTrailLast; ++trail) {
            const char bytes[2] = {static_cast<char>(lead), static_cast<char>(trail)};
            tables->pair[(lead - kLeadFirst) * kTrailCount + (trail - kTrailFirst)] =
                DecodeOne(toUtf16, bytes, 2);
        }
    }
    // Encoding asks iconv for each code unit; surrogates and U+0000 have no encoding here.
    Converter fromUtf16("CP936", "UTF-16LE");
    for (unsigned unit = 1; unit < 0x10000; ++unit) {
        if (unit >= 0xD800 && unit <= 0xDFFF) {
            continue;
        }
        const char16_t in = static_cast<char16_t>(unit);
        unsigned char out[4] = {};
        const size_t n = fromUtf16.Convert(reinterpret_cast<const char*>(&in), sizeof in,
                                           reinterpret_cast<char*>(out), sizeof out);
        if (n == 1) {
            tables->encode[unit] = out[0];
        } else if (n == 2) {
            tables->encode[unit] = static_cast<std::uint16_t>((out[0] << 8) | out[1]);
        }
    }
    MarkAmbiguous(*tables);
    return tables;
}

const Tables& GetTables() {
    static const std::unique_ptr<Tables> tables = BuildTables();
    return *tables;
}

bool IsLead(unsigned char byte) {
    return byte >= kLeadFirst && byte <= kLeadLast;
}

// Decodes the character at bytes[i], or kNone when the bytes there are not valid; sets `used`
// to the bytes it takes (1 when invalid).
char16_t DecodeAt(const Tables& t, const unsigned char* bytes, size_t i, size_t end, size_t& used) {
    const unsigned char b = bytes[i];
    used = 1;
    if (b < 0x80) {
        return b;
    }
    if (IsLead(b) && i + 1 < end) {
        const unsigned char trail = bytes[i + 1];
        if (trail >= kTrailFirst && trail <= kTrailLast) {
            const char16_t ch = t.pair[(b - kLeadFirst) * kTrailCount + (trail - kTrailFirst)];
            if (ch != kNone) {
                used = 2;
                return ch;
            }
        }
    }
    return t.single[b];
}

struct Encoded {
    std::uint16_t code; // the bytes, high byte first for a two-byte character
    size_t units;       // code units of the text it stands for
    bool missing;       // the code page has no such character: the code is '?'
};

Encoded EncodeAt(const Tables& t, std::u16string_view text, size_t i) {
    const char16_t unit = text[i];
    const bool pair = unit >= 0xD800 && unit <= 0xDBFF && i + 1 < text.size() &&
                      text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF;
    const std::uint16_t code = t.encode[unit];
    if (code == 0) {
        return {'?', pair ? 2u : 1u, true}; // one character outside the plane is one '?'
    }
    return {code, 1, false};
}

} // namespace

namespace CodePage {

void DecodeAppend(const char* bytes, size_t width, std::u16string& out) {
    if (bytes == nullptr) {
        return;
    }
    const auto* data = reinterpret_cast<const unsigned char*>(bytes);
    size_t end = 0;
    while (end < width && data[end] != 0) {
        ++end;
    }
    const Tables& t = GetTables();
    out.reserve(out.size() + end);
    for (size_t i = 0; i < end;) {
        size_t used = 1;
        const char16_t ch = DecodeAt(t, data, i, end, used);
        out += ch != kNone ? ch : kReplacement;
        i += used;
    }
}

CString Decode(const char* bytes, size_t width) {
    std::u16string out;
    DecodeAppend(bytes, width, out);
    return CString(std::move(out));
}

size_t Encode(std::u16string_view text, char* out, size_t outSize) {
    const Tables& t = GetTables();
    size_t written = 0;
    for (size_t i = 0; i < text.size() && text[i] != 0;) {
        const Encoded e = EncodeAt(t, text, i);
        const size_t size = e.code > 0xFF ? 2 : 1;
        if (written + size > outSize) {
            break;
        }
        if (size == 2) {
            out[written++] = static_cast<char>(e.code >> 8);
        }
        out[written++] = static_cast<char>(e.code & 0xFF);
        i += e.units;
    }
    return written;
}

std::string Encode(std::u16string_view text, size_t* unencodable) {
    // Every character takes at most two bytes, so this buffer always holds the whole text.
    std::string out(text.size() * 2, '\0');
    out.resize(Encode(text, out.data(), out.size()));
    if (unencodable != nullptr) {
        const Tables& t = GetTables();
        size_t missing = 0;
        for (size_t i = 0; i < text.size() && text[i] != 0;) {
            const Encoded e = EncodeAt(t, text, i);
            missing += e.missing ? 1 : 0;
            i += e.units;
        }
        *unencodable = missing;
    }
    return out;
}

std::optional<std::string> SearchBytes(std::u16string_view text) {
    const Tables& t = GetTables();
    for (const char16_t unit : text) {
        if (t.ambiguous[unit]) {
            return std::nullopt;
        }
    }
    return Encode(text);
}

size_t CharacterLength(const char* bytes, size_t position, size_t end) {
    size_t used = 1;
    DecodeAt(GetTables(), reinterpret_cast<const unsigned char*>(bytes), position, end, used);
    return used;
}

size_t ValidPrefix(const char* bytes, size_t size) {
    const Tables& t = GetTables();
    const auto* data = reinterpret_cast<const unsigned char*>(bytes);
    for (size_t i = 0; i < size;) {
        size_t used = 1;
        if (data[i] != 0 && DecodeAt(t, data, i, size, used) == kNone) {
            return i;
        }
        i += used;
    }
    return size;
}

} // namespace CodePage
