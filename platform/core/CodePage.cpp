#include "platform/core/CodePage.h"

#include "platform/core/CodePageTables.h"

#include <cstdint>

namespace {

// The tables are iconv's, asked when the program was built: nothing is asked of iconv, and
// nothing is built, when a program starts.
using namespace CodePageTables;

constexpr char16_t kNone = 0; // no character: the sequence is not valid

// The two-byte characters of one lead byte, by trail byte from kTrailFirst.
const char16_t* PairRow(unsigned lead) {
    return kPairDecoded + (lead - kLeadFirst) * kTrailCount;
}
const std::uint32_t* PairUtf8Row(unsigned lead) {
    return kPairUtf8 + (lead - kLeadFirst) * kTrailCount;
}

// Code units that no byte sequence or more than one decodes to, U+FFFD among them: a search in
// bytes could miss them.
bool IsAmbiguous(char16_t unit) {
    return (kAmbiguous[unit / 64] >> unit % 64 & 1) != 0;
}

bool IsLead(unsigned char byte) {
    return byte >= kLeadFirst && byte <= kLeadLast;
}

// Decodes the character at bytes[i], or kNone when the bytes there are not valid; sets `used`
// to the bytes it takes (1 when invalid).
inline char16_t DecodeAt(const unsigned char* bytes, size_t i, size_t end, size_t& used) {
    const unsigned char b = bytes[i];
    used = 1;
    if (b < 0x80) {
        return b;
    }
    if (IsLead(b) && i + 1 < end) {
        const unsigned char trail = bytes[i + 1];
        if (trail >= kTrailFirst && trail <= kTrailLast) {
            const char16_t ch = PairRow(b)[trail - kTrailFirst];
            if (ch != kNone) {
                used = 2;
                return ch;
            }
        }
    }
    return kSingleDecoded[b];
}

struct Encoded {
    std::uint16_t code; // the bytes, high byte first for a two-byte character
    size_t units;       // code units of the text it stands for
    bool missing;       // the code page has no such character: the code is '?'
};

Encoded EncodeAt(std::u16string_view text, size_t i) {
    const char16_t unit = text[i];
    const bool pair = unit >= 0xD800 && unit <= 0xDBFF && i + 1 < text.size() &&
                      text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF;
    const std::uint16_t code = kEncoded[unit];
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
    out.reserve(out.size() + end);
    for (size_t i = 0; i < end;) {
        size_t used = 1;
        const char16_t ch = DecodeAt(data, i, end, used);
        out += ch != kNone ? ch : kReplacement;
        i += used;
    }
}

char* DecodeUtf8(const char* bytes, size_t width, char* to) {
    if (bytes == nullptr) {
        return to;
    }
    const auto* data = reinterpret_cast<const unsigned char*>(bytes);
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
                packed = PairUtf8Row(b)[trail - kTrailFirst];
            }
        }
        if (packed != 0) {
            i += 2;
        } else {
            packed = kSingleUtf8[b]; // alone, valid or not (U+FFFD), and decoding goes on after it
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
    size_t written = 0;
    for (size_t i = 0; i < text.size() && text[i] != 0;) {
        const Encoded e = EncodeAt(text, i);
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
        size_t missing = 0;
        for (size_t i = 0; i < text.size() && text[i] != 0;) {
            const Encoded e = EncodeAt(text, i);
            missing += e.missing ? 1 : 0;
            i += e.units;
        }
        *unencodable = missing;
    }
    return out;
}

std::optional<std::string> SearchBytes(std::u16string_view text) {
    for (const char16_t unit : text) {
        if (IsAmbiguous(unit)) {
            return std::nullopt;
        }
    }
    return Encode(text);
}

size_t CharacterLength(const char* bytes, size_t position, size_t end) {
    size_t used = 1;
    DecodeAt(reinterpret_cast<const unsigned char*>(bytes), position, end, used);
    return used;
}

size_t CharacterStartFrom(const char* bytes, size_t position, size_t target, size_t end) {
    const auto* data = reinterpret_cast<const unsigned char*>(bytes);
    while (position < target) {
        size_t used = 1;
        if (data[position] >= 0x80) {
            DecodeAt(data, position, end, used);
        }
        position += used;
    }
    return position;
}

size_t ValidPrefix(const char* bytes, size_t size) {
    const auto* data = reinterpret_cast<const unsigned char*>(bytes);
    for (size_t i = 0; i < size;) {
        size_t used = 1;
        if (data[i] != 0 && DecodeAt(data, i, size, used) == kNone) {
            return i;
        }
        i += used;
    }
    return size;
}

} // namespace CodePage
