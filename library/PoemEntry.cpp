#include "library/PoemEntry.h"

#include "platform/core/CodePage.h"

#include <cstring>

namespace {

// Converts `value` into a zero-filled field, keeping its zero byte inside the width. Returns
// false when the converted text would not leave room for it.
bool FillField(char* field, std::size_t width, const CString& value) {
    const std::string bytes = CodePage::Encode(value.view());
    if (bytes.size() >= width) {
        return false;
    }
    std::memcpy(field, bytes.data(), bytes.size());
    return true;
}

CString TooLong(const char16_t* field, std::size_t width) {
    const auto bytes = static_cast<unsigned>(width - 1);
    return CString::Formatted(u"%s太长：最多 %u 个汉字或 %u 个英文字母。", field, bytes / 2, bytes);
}

} // namespace

std::optional<PoemEntry> PrepareEntry(const CString& title, const CString& author,
                                      const char16_t* form, const CString& text, CString& refusal) {
    PoemEntry entry;
    PoemRecord& record = entry.record;
    if (!FillField(record.title, sizeof record.title, title)) {
        refusal = TooLong(u"标题", sizeof record.title);
        return std::nullopt;
    }
    if (!FillField(record.author, sizeof record.author, author)) {
        refusal = TooLong(u"作者", sizeof record.author);
        return std::nullopt;
    }
    if (form == nullptr) {
        std::memcpy(record.form, kModernEra, sizeof kModernEra);
    } else if (!FillField(record.form, sizeof record.form, form)) {
        refusal = TooLong(u"格律", sizeof record.form);
        return std::nullopt;
    }
    std::memcpy(record.dynasty, kModernEra, sizeof kModernEra);

    // Every character of the code page takes one or two bytes, so twice the UTF-16 length always
    // holds the text; when it takes less, the zero bytes after it are stored with it.
    entry.text.assign(static_cast<std::size_t>(text.GetLength()) * 2, '\0');
    CodePage::Encode(text.view(), entry.text.data(), entry.text.size());
    return entry;
}
