#pragma once
// Conversion between the library files' code page 936 (GBK, a superset of GB2312 that converts
// every GB2312 text exactly as GB2312 does) and UTF-16. The tables are glibc's iconv's own
// readings, a single byte and a pair at a time, asked when the program is built
// (tools/codepagegen); the encoding table is their inverse, which for this code page is exactly
// what iconv encodes.

#include "platform/core/CString.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace CodePage {

constexpr char16_t kReplacement = 0xFFFD;

// Decodes up to the first zero byte or `width` bytes, whichever comes first. A byte sequence
// that is not valid code page 936 decodes as U+FFFD and decoding goes on after its first byte.
CString Decode(const char* bytes, size_t width);
// Appends the decoded text to `out` (the fast path for callers that reuse one string).
void DecodeAppend(const char* bytes, size_t width, std::u16string& out);
// The same text appended as UTF-8 (what Decode(...).ToUtf8() gives), without the UTF-16 string
// between: the command line prints hundreds of thousands of fields this way.
void DecodeAppendUtf8(const char* bytes, size_t width, std::string& out);
// No byte gives more than three of UTF-8 (U+FFFD for one that is not valid).
constexpr size_t kMostUtf8PerByte = 3;
// The same written at `out`, which has room for kMostUtf8PerByte * width bytes; returns where
// the text ends.
char* DecodeUtf8(const char* bytes, size_t width, char* out);

// Encodes into out[0, outSize): never writes past outSize and never splits a two-byte
// character. A character that the code page cannot hold becomes '?'. Returns the bytes
// written; the caller's zero-filled buffer supplies the terminating zero when there is room.
size_t Encode(std::u16string_view text, char* out, size_t outSize);
// The whole text encoded; `unencodable`, when given, counts the characters that became '?'.
std::string Encode(std::u16string_view text, size_t* unencodable = nullptr);

// The one byte string that every occurrence of `text` has in decoded text, or nothing when
// there is none: a character the code page does not hold, U+FFFD (which invalid bytes also
// decode to), or one that two byte sequences decode to. A byte search for it finds exactly what
// a search of the decoded text finds, once each match is checked to start on a character.
std::optional<std::string> SearchBytes(std::u16string_view text);

// Bytes that the character starting at `position` takes when bytes[0, end) is decoded: 2 for
// a valid two-byte character, otherwise 1. Walking from the start gives the character starts.
size_t CharacterLength(const char* bytes, size_t position, size_t end);
// Walks the characters of bytes[0, end) from `position`, a character start, and returns the
// first character start at or after `target`: the same as adding CharacterLength up to it.
size_t CharacterStartFrom(const char* bytes, size_t position, size_t target, size_t end);

// Length of the valid code page 936 prefix of bytes[0, size) (stopping at nothing, not even a
// zero byte): the command line's check uses it to find bytes that are not valid.
size_t ValidPrefix(const char* bytes, size_t size);

} // namespace CodePage
