#pragma once
// A poem typed by the user, made ready for AppendPoem: the record with its four fields and the
// text buffer. The add-poem screen and the command line's `add` share it, so both store a poem
// the same way and refuse the same input with the same words.

#include "library/LibraryFormat.h"
#include "platform/core/CString.h"

#include <optional>
#include <vector>

// Dynasty of every entered poem, and its form when none is chosen: 现代 as stored bytes.
inline constexpr char kModernEra[5] = {'\xCF', '\xD6', '\xB4', '\xFA', '\0'};

struct PoemEntry {
    PoemRecord record{};
    // Twice the text's UTF-16 length in bytes, zero-filled, the converted text at its start.
    std::vector<char> text;
};

// Converts `value` into a zero-filled record or header field of `width` bytes, keeping its zero
// byte inside. Returns false, leaving the field as it was, when the text is too long; `refusal`
// then names the field (`fieldName`, e.g. 标题) and its limit.
bool EncodeField(char* field, std::size_t width, const CString& value, const char16_t* fieldName,
                 CString& refusal);

// Builds the entry, or returns the message that refuses it: a title longer than 64 bytes, or an
// author or form longer than 16 bytes once converted. A null form stores 现代.
std::optional<PoemEntry> PrepareEntry(const CString& title, const CString& author,
                                      const char16_t* form, const CString& text, CString& refusal);
