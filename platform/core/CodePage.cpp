#include "platform/core/CodePage.h"

#include <array>
#include <atomic>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <iconv.h>
#include <memory>
#include <mutex>
#include <span>

namespace {

// Index of a two-byte sequence: lead 0x81-0xFE, trail 0x40-0xFE.
constexpr unsigned kLeadFirst = 0x81, kLeadLast = 0xFE;
constexpr unsigned kTrailFirst = 0x40, kTrailLast = 0xFE;
constexpr unsigned kTrailCount = kTrailLast - kTrailFirst + 1;
constexpr char16_t kNone = 0; // no character: the sequence is not valid

struct EncodeTables {
    std::array<std::uint16_t, 0x10000> encode{}; // code unit -> bytes (hi<<8|lo), 0 = none
    // Code units that no byte sequence or more than one decodes to: a search in bytes could
    // miss them.
    std::array<bool, 0x10000> ambiguous{};
};

class Converter {
public:
    Converter(const char* to, const char* from) : m_cd(iconv_open(to, from)) {}
    ~Converter() {
        if (IsOpen()) {
            iconv_close(m_cd);
        }
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    bool IsOpen() const { return m_cd != reinterpret_cast<iconv_t>(-1); }

    // Starts a new input: no state of an earlier one carries over.
    void Reset() { iconv(m_cd, nullptr, nullptr, nullptr, nullptr); }

    // One iconv call, advancing the pointers as iconv does. Returns 0 when it converted all
    // the input, otherwise iconv's errno.
    int Step(const char*& in, size_t& inLeft, char*& out, size_t& outLeft) {
        char* inPtr = const_cast<char*>(in);
        const size_t result = iconv(m_cd, &inPtr, &inLeft, &out, &outLeft);
        const int error = result == static_cast<size_t>(-1) ? errno : 0;
        in = inPtr;
        return error;
    }

    // Converts one complete input; returns the output size or 0 when iconv refuses it.
    size_t Convert(const char* in, size_t inSize, char* out, size_t outSize) {
        if (!IsOpen()) {
            return 0;
        }
        Reset();
        char* outPtr = out;
        size_t inLeft = inSize, outLeft = outSize;
        if (Step(in, inLeft, outPtr, outLeft) != 0 || inLeft != 0) {
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

using Row = std::span<char16_t, kTrailCount>; // the two-byte characters of one lead byte

void DecodeRowPairByPair(Converter& toUtf16, unsigned lead, Row row) {
    for (unsigned trail = kTrailFirst; trail <= kTrailLast; ++trail) {
        const char bytes[2] = {static_cast<char>(lead), static_cast<char>(trail)};
        row[trail - kTrailFirst] = DecodeOne(toUtf16, bytes, 2);
    }
}

bool IsSurrogate(char16_t unit) {
    return unit >= 0xD800 && unit <= 0xDFFF;
}

// Decodes a whole row in one iconv call, restarting only after each pair iconv refuses. That
// gives the same characters as asking pair by pair only while every pair iconv converts gives
// exactly one code unit; returns false as soon as it sees anything else, for the caller to ask
// pair by pair.
bool DecodeRowAtOnce(Converter& toUtf16, unsigned lead, Row row) {
    std::array<char, kTrailCount * 2> in{};
    for (unsigned trail = kTrailFirst; trail <= kTrailLast; ++trail) {
        in[(trail - kTrailFirst) * 2] = static_cast<char>(lead);
        in[(trail - kTrailFirst) * 2 + 1] = static_cast<char>(trail);
    }
    // Room for two units a pair, so that a pair giving more shows up as a mismatch below
    // rather than as a full buffer.
    std::array<char16_t, kTrailCount * 2> out{};
    const char* inPtr = in.data();
    size_t inLeft = in.size();
    size_t done = 0; // pairs decided so far
    toUtf16.Reset();
    while (inLeft > 0) {
        const char* start = inPtr;
        char* outPtr = reinterpret_cast<char*>(out.data());
        size_t outLeft = sizeof out;
        const int error = toUtf16.Step(inPtr, inLeft, outPtr, outLeft);
        const size_t consumed = static_cast<size_t>(inPtr - start);
        const size_t units = (sizeof out - outLeft) / sizeof(char16_t);
        if (consumed % 2 != 0 || units != consumed / 2) {
            return false;
        }
        for (size_t i = 0; i < units; ++i) {
            if (IsSurrogate(out[i])) {
                return false;
            }
            row[done++] = out[i];
        }
        if (error == 0) {
            return inLeft == 0;
        }
        if (error != EILSEQ || inLeft < 2) {
            return false;
        }
        row[done++] = kNone; // the pair iconv stopped at is not a character
        inPtr += 2;
        inLeft -= 2;
    }
    return true;
}

constexpr unsigned kLeads = kLeadLast - kLeadFirst + 1;

// A character's UTF-8 in one word: its bytes from the lowest, their count in the top byte. Every
// character of the page is in the Basic Multilingual Plane, and none is a surrogate.
constexpr std::uint32_t PackedUtf8(char16_t ch) {
    if (ch < 0x80) {
        return 1u << 24 | ch;
    }
    if (ch < 0x800) {
        return 2u << 24 | (0x80u | (ch & 0x3Fu)) << 8 | (0xC0u | ch >> 6);
    }
    return 3u << 24 | (0x80u | (ch & 0x3Fu)) << 16 | (0x80u | (ch >> 6 & 0x3Fu)) << 8 |
           (0xE0u | ch >> 12);
}

// Decoding is all that start-up needs (the header fields of the main screen), so it has its
// own table, and the encoding one is built only when something is encoded or searched. The
// two-byte characters are asked of iconv a lead byte's row at a time, when a row is first
// needed: the main screen decodes a few characters, not the 24,000 of the page. Rows may be
// asked for from several threads (the full-text scan checks characters on two).
class DecodeTables {
public:
    DecodeTables() : m_toUtf16("UTF-16LE", "CP936") {
        for (unsigned b = 0; b < 0x80; ++b) {
            single[b] = static_cast<char16_t>(b);
        }
        for (unsigned b = 0x80; b < 0x100; ++b) {
            const char byte = static_cast<char>(b);
            single[b] = DecodeOne(m_toUtf16, &byte, 1);
        }
        for (unsigned b = 0; b < 0x100; ++b) {
            singleUtf8[b] =
                PackedUtf8(single[b] != kNone || b == 0 ? single[b] : CodePage::kReplacement);
        }
    }

    std::array<char16_t, 256> single{}; // one-byte characters
    // The same as UTF-8, packed (PackedUtf8), U+FFFD for a byte that is no character.
    std::array<std::uint32_t, 256> singleUtf8{};

    // The two-byte characters of one lead byte, by trail byte from kTrailFirst.
    const char16_t* RowOf(unsigned lead) const {
        const unsigned i = lead - kLeadFirst;
        if (!m_ready[i].load(std::memory_order_acquire)) [[unlikely]] {
            BuildRow(lead);
        }
        return m_pairs.data() + i * kTrailCount;
    }
    // The same characters as UTF-8, packed (PackedUtf8); 0 where there is none.
    const std::uint32_t* Utf8RowOf(unsigned lead) const {
        const unsigned i = lead - kLeadFirst;
        if (!m_ready[i].load(std::memory_order_acquire)) [[unlikely]] {
            BuildRow(lead);
        }
        return m_pairsUtf8.data() + i * kTrailCount;
    }

private:
    [[gnu::noinline]] void BuildRow(unsigned lead) const {
        const unsigned i = lead - kLeadFirst;
        const std::lock_guard<std::mutex> lock(m_building);
        if (m_ready[i].load(std::memory_order_relaxed)) {
            return;
        }
        // Without the converter, no two-byte characters at all, as asking pair by pair would
        // give.
        const Row row(m_pairs.data() + i * kTrailCount, kTrailCount);
        if (m_toUtf16.IsOpen() && !DecodeRowAtOnce(m_toUtf16, lead, row)) {
            DecodeRowPairByPair(m_toUtf16, lead, row);
        }
        for (unsigned k = 0; k < kTrailCount; ++k) {
            m_pairsUtf8[i * kTrailCount + k] = row[k] != kNone ? PackedUtf8(row[k]) : 0;
        }
        m_ready[i].store(true, std::memory_order_release);
    }

    mutable std::array<char16_t, kLeads * kTrailCount> m_pairs{};
    mutable std::array<std::uint32_t, kLeads * kTrailCount> m_pairsUtf8{};
    mutable std::array<std::atomic<bool>, kLeads> m_ready{};
    mutable std::mutex m_building;
    mutable Converter m_toUtf16;
};

const DecodeTables& GetDecodeTables() {
    static const std::unique_ptr<DecodeTables> tables = std::make_unique<DecodeTables>();
    return *tables;
}

// Encoding is the inverse of decoding: for this code page iconv encodes every character to the
// one byte sequence that decodes to it, so asking iconv for each code unit is not needed (the
// tests compare every code unit with iconv). A unit with several decodings is marked ambiguous
// and encodes to the first of them, single bytes before pairs.
class EncodeBuilder {
public:
    explicit EncodeBuilder(EncodeTables& tables) : m_tables(tables) {}

    void Add(char16_t unit, std::uint16_t code) {
        if (unit == kNone) {
            return;
        }
        if (m_decodings[unit] == 0) {
            m_tables.encode[unit] = code;
        }
        if (m_decodings[unit] < 2) {
            ++m_decodings[unit];
        }
    }

    void MarkAmbiguous() {
        for (unsigned unit = 0; unit < 0x10000; ++unit) {
            m_tables.ambiguous[unit] = m_decodings[unit] != 1;
        }
        m_tables.ambiguous[CodePage::kReplacement] = true; // invalid bytes decode to it too
    }

private:
    EncodeTables& m_tables;
    std::array<std::uint8_t, 0x10000> m_decodings{}; // 0, 1, or 2 for "more than one"
};

std::unique_ptr<EncodeTables> BuildEncodeTables(const DecodeTables& decode) {
    auto tables = std::make_unique<EncodeTables>();
    EncodeBuilder builder(*tables);
    for (unsigned b = 0; b < 0x100; ++b) {
        builder.Add(decode.single[b], static_cast<std::uint16_t>(b));
    }
    for (unsigned lead = kLeadFirst; lead <= kLeadLast; ++lead) {
        const char16_t* row = decode.RowOf(lead);
        for (unsigned trail = kTrailFirst; trail <= kTrailLast; ++trail) {
            builder.Add(row[trail - kTrailFirst], static_cast<std::uint16_t>((lead << 8) | trail));
        }
    }
    builder.MarkAmbiguous();
    return tables;
}

const EncodeTables& GetEncodeTables() {
    static const std::unique_ptr<EncodeTables> tables = BuildEncodeTables(GetDecodeTables());
    return *tables;
}

bool IsLead(unsigned char byte) {
    return byte >= kLeadFirst && byte <= kLeadLast;
}

// Decodes the character at bytes[i], or kNone when the bytes there are not valid; sets `used`
// to the bytes it takes (1 when invalid).
inline char16_t DecodeAt(const DecodeTables& t, const unsigned char* bytes, size_t i, size_t end,
                         size_t& used) {
    const unsigned char b = bytes[i];
    used = 1;
    if (b < 0x80) {
        return b;
    }
    if (IsLead(b) && i + 1 < end) {
        const unsigned char trail = bytes[i + 1];
        if (trail >= kTrailFirst && trail <= kTrailLast) {
            const char16_t ch = t.RowOf(b)[trail - kTrailFirst];
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

Encoded EncodeAt(const EncodeTables& t, std::u16string_view text, size_t i) {
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
    const DecodeTables& t = GetDecodeTables();
    out.reserve(out.size() + end);
    for (size_t i = 0; i < end;) {
        size_t used = 1;
        const char16_t ch = DecodeAt(t, data, i, end, used);
        out += ch != kNone ? ch : kReplacement;
        i += used;
    }
}

char* DecodeUtf8(const char* bytes, size_t width, char* to) {
    if (bytes == nullptr) {
        return to;
    }
    const auto* data = reinterpret_cast<const unsigned char*>(bytes);
    const DecodeTables& t = GetDecodeTables();
    for (size_t i = 0; i < width;) {
        const unsigned char b = data[i];
        if (b < 0x80) {
            if (b == 0) {
                break;
            }
            *to++ = static_cast<char>(b);
            ++i;
            continue;
        }
        std::uint32_t packed = 0;
        if (IsLead(b) && i + 1 < width) {
            const unsigned char trail = data[i + 1];
            if (trail >= kTrailFirst && trail <= kTrailLast) {
                packed = t.Utf8RowOf(b)[trail - kTrailFirst];
            }
        }
        if (packed != 0) {
            i += 2;
        } else {
            packed = t.singleUtf8[b]; // alone, valid or not (U+FFFD), and decoding goes on after it
            ++i;
        }
        // Three bytes written, however many count: no more than the bytes read so far have room
        // for.
        to[0] = static_cast<char>(packed);
        to[1] = static_cast<char>(packed >> 8);
        to[2] = static_cast<char>(packed >> 16);
        to += packed >> 24;
    }
    return to;
}

void DecodeAppendUtf8(const char* bytes, size_t width, std::string& out) {
    const size_t start = out.size();
    out.resize(start + kMostUtf8PerByte * width);
    char* end = DecodeUtf8(bytes, width, out.data() + start);
    out.resize(static_cast<size_t>(end - out.data()));
}

CString Decode(const char* bytes, size_t width) {
    std::u16string out;
    DecodeAppend(bytes, width, out);
    return CString(std::move(out));
}

size_t Encode(std::u16string_view text, char* out, size_t outSize) {
    const EncodeTables& t = GetEncodeTables();
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
        const EncodeTables& t = GetEncodeTables();
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
    const EncodeTables& t = GetEncodeTables();
    for (const char16_t unit : text) {
        if (t.ambiguous[unit]) {
            return std::nullopt;
        }
    }
    return Encode(text);
}

size_t CharacterLength(const char* bytes, size_t position, size_t end) {
    size_t used = 1;
    DecodeAt(GetDecodeTables(), reinterpret_cast<const unsigned char*>(bytes), position, end, used);
    return used;
}

size_t CharacterStartFrom(const char* bytes, size_t position, size_t target, size_t end) {
    const DecodeTables& t = GetDecodeTables();
    const auto* data = reinterpret_cast<const unsigned char*>(bytes);
    while (position < target) {
        size_t used = 1;
        if (data[position] >= 0x80) {
            DecodeAt(t, data, position, end, used);
        }
        position += used;
    }
    return position;
}

size_t ValidPrefix(const char* bytes, size_t size) {
    const DecodeTables& t = GetDecodeTables();
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
