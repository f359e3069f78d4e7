// codepagegen: writes the definitions of the code page 936 tables (platform/core/CodePageTables.h)
// as C++ source, at build time. They are the C library's iconv's own readings, asked once here
// rather than every time a program starts: a single byte at a time, and the pairs a lead
// byte's row at a time. Encoding is their inverse.
//   codepagegen FILE
#include "platform/core/CodePageTables.h"

#include <array>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iconv.h>
#include <iostream>
#include <span>
#include <string>

namespace {

using namespace CodePageTables;

constexpr char16_t kNone = 0; // no character: the sequence is not valid
constexpr char16_t kReplacement = 0xFFFD;

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

// A character's UTF-8 in one word: its bytes from the lowest, their count in the top byte. Every
// character of the page is in the Basic Multilingual Plane, and none is a surrogate.
std::uint32_t PackedUtf8(char16_t ch) {
    if (ch < 0x80) {
        return 1u << 24 | ch;
    }
    if (ch < 0x800) {
        return 2u << 24 | (0x80u | (ch & 0x3Fu)) << 8 | (0xC0u | ch >> 6);
    }
    return 3u << 24 | (0x80u | (ch & 0x3Fu)) << 16 | (0x80u | (ch >> 6 & 0x3Fu)) << 8 |
           (0xE0u | ch >> 12);
}

struct Tables {
    std::array<char16_t, 256> single{};                 // one-byte characters
    std::array<char16_t, kLeads * kTrailCount> pairs{}; // two-byte ones, kNone where none
    std::array<std::uint16_t, kUnits> encode{};         // code unit -> hi << 8 | lo, 0 = none
    std::array<std::uint8_t, kUnits> decodings{};       // 0, 1, or 2 for "more than one"
};

void Decode(Converter& toUtf16, Tables& t) {
    for (unsigned b = 0; b < 0x80; ++b) {
        t.single[b] = static_cast<char16_t>(b);
    }
    for (unsigned b = 0x80; b < 0x100; ++b) {
        const char byte = static_cast<char>(b);
        t.single[b] = DecodeOne(toUtf16, &byte, 1);
    }
    for (unsigned lead = kLeadFirst; lead <= kLeadLast; ++lead) {
        const Row row(t.pairs.data() + (lead - kLeadFirst) * kTrailCount, kTrailCount);
        if (!DecodeRowAtOnce(toUtf16, lead, row)) {
            DecodeRowPairByPair(toUtf16, lead, row);
        }
    }
}

// Encoding is the inverse of decoding: for this code page iconv encodes every character to the
// one byte sequence that decodes to it (the tests compare every code unit with iconv). A unit
// with several decodings encodes to the first of them, single bytes before pairs.
void Invert(Tables& t) {
    auto add = [&](char16_t unit, std::uint16_t code) {
        if (unit == kNone) {
            return;
        }
        if (t.decodings[unit] == 0) {
            t.encode[unit] = code;
        }
        if (t.decodings[unit] < 2) {
            ++t.decodings[unit];
        }
    };
    for (unsigned b = 0; b < 0x100; ++b) {
        add(t.single[b], static_cast<std::uint16_t>(b));
    }
    for (unsigned lead = kLeadFirst; lead <= kLeadLast; ++lead) {
        for (unsigned trail = kTrailFirst; trail <= kTrailLast; ++trail) {
            add(t.pairs[(lead - kLeadFirst) * kTrailCount + trail - kTrailFirst],
                static_cast<std::uint16_t>(lead << 8 | trail));
        }
    }
}

template <class Values, class Value>
void WriteArray(std::ostream& out, const char* type, const char* name, const Values& values,
                Value value) {
    out << "const " << type << ' ' << name << '[' << values.size() << "] = {";
    for (std::size_t i = 0; i < values.size(); ++i) {
        out << (i % 12 == 0 ? "\n    " : " ") << value(i) << ',';
    }
    out << "\n};\n\n";
}

std::string Hex(std::uint64_t value) {
    char text[24];
    std::snprintf(text, sizeof text, "0x%llX", static_cast<unsigned long long>(value));
    return text;
}

void Write(std::ostream& out, const Tables& t) {
    out << "// Made by codepagegen from the C library's iconv: do not edit.\n\n"
        << "#include \"platform/core/CodePageTables.h\"\n\n"
        << "namespace CodePageTables {\n\n";
    WriteArray(out, "char16_t", "kSingleDecoded", t.single,
               [&](std::size_t i) { return Hex(t.single[i]); });
    WriteArray(out, "std::uint32_t", "kSingleUtf8", t.single, [&](std::size_t i) {
        const char16_t ch = t.single[i] != kNone || i == 0 ? t.single[i] : kReplacement;
        return Hex(PackedUtf8(ch));
    });
    WriteArray(out, "char16_t", "kPairDecoded", t.pairs,
               [&](std::size_t i) { return Hex(t.pairs[i]); });
    WriteArray(out, "std::uint32_t", "kPairUtf8", t.pairs, [&](std::size_t i) {
        return Hex(t.pairs[i] != kNone ? PackedUtf8(t.pairs[i]) : 0);
    });
    WriteArray(out, "std::uint16_t", "kEncoded", t.encode,
               [&](std::size_t i) { return Hex(t.encode[i]); });
    // Code units that no byte sequence or more than one decodes to, a bit each: a search in
    // bytes could miss them. Invalid bytes decode to U+FFFD too.
    std::array<std::uint64_t, kUnits / 64> ambiguous{};
    for (unsigned unit = 0; unit < kUnits; ++unit) {
        if (t.decodings[unit] != 1 || unit == kReplacement) {
            ambiguous[unit / 64] |= std::uint64_t{1} << unit % 64;
        }
    }
    WriteArray(out, "std::uint64_t", "kAmbiguous", ambiguous,
               [&](std::size_t i) { return Hex(ambiguous[i]); });
    out << "} // namespace CodePageTables\n";
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: codepagegen FILE\n";
        return 2;
    }
    Converter toUtf16("UTF-16LE", "CP936");
    if (!toUtf16.IsOpen()) {
        std::cerr << "codepagegen: the C library's iconv cannot convert from CP936\n";
        return 1;
    }
    Tables tables;
    Decode(toUtf16, tables);
    Invert(tables);
    std::ofstream out(argv[1], std::ios::binary | std::ios::trunc);
    Write(out, tables);
    out.close();
    if (!out) {
        std::cerr << "codepagegen: cannot write " << argv[1] << '\n';
        return 1;
    }
    return 0;
}
