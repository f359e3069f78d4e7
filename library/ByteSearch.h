#pragma once
// Finding a keyword's bytes in code page 936 text without decoding it: the selections search
// fields and texts this way.

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace ByteSearch {

// The first occurrence of the (non-empty) needle in text[0, size), or null.
const char* Find(const char* text, std::size_t size, std::string_view needle);

// True when `needle` occurs in text[0, size) starting on a character: the same answer as
// searching the decoded text for the keyword whose bytes it is. An empty needle always occurs.
bool ContainsAtCharacter(const char* text, std::size_t size, std::string_view needle);

// The part of a field or text that decodes: up to its first zero byte.
std::size_t TextLength(const char* text, std::size_t width);

// Appends to `positions`, in increasing order, every position of `text` where the (non-empty)
// needle starts, overlapping occurrences included, whatever characters they fall in.
void FindAll(std::string_view text, std::string_view needle, std::vector<std::uint64_t>& positions);

} // namespace ByteSearch
