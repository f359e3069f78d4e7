// The code page conversion both ways, and the byte search against the decoded one.

#include "platform/core/CodePage.h"

#include <cstring>
#include <string>

namespace {

bool ContainsAtCharacter(const std::string& text, const std::string& needle) {
    if (needle.empty()) {
        return true;
    }
    std::size_t boundary = 0;
    for (std::size_t at = text.find(needle); at != std::string::npos;
         at = text.find(needle, at + 1)) {
        while (boundary < at) {
            boundary += CodePage::CharacterLength(text.data(), boundary, text.size());
        }
        if (boundary == at) {
            return true;
        }
    }
    return false;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const char* bytes = reinterpret_cast<const char*>(data);
    const std::size_t cut = size / 3;
    const std::string keywordBytes(bytes, cut);
    const std::string textBytes(bytes + cut, size - cut);

    // Decoding stops at the first zero; the valid prefix survives a round trip unchanged.
    const CString text = CodePage::Decode(textBytes.data(), textBytes.size());
    const std::size_t length = ::strnlen(textBytes.data(), textBytes.size());
    const std::size_t valid = CodePage::ValidPrefix(textBytes.data(), length);
    const CString validText = CodePage::Decode(textBytes.data(), valid);
    if (CodePage::Encode(validText.view()) != textBytes.substr(0, valid)) {
        __builtin_trap();
    }
    // Encoding never writes past the buffer.
    char buffer[8];
    std::memset(buffer, 'x', sizeof buffer);
    const std::size_t written = CodePage::Encode(text.view(), buffer, 5);
    if (written > 5 || buffer[5] != 'x') {
        __builtin_trap();
    }
    // A byte search finds what a search of the decoded text finds.
    const CString keyword = CodePage::Decode(keywordBytes.data(), keywordBytes.size());
    if (const auto needle = CodePage::SearchBytes(keyword.view())) {
        const std::string plain = textBytes.substr(0, length);
        const bool byBytes = ContainsAtCharacter(plain, *needle);
        const bool decoded = text.view().find(keyword.view()) != std::u16string_view::npos;
        if (byBytes != decoded) {
            __builtin_trap();
        }
    }
    return 0;
}
