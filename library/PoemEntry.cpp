#include "library/PoemEntry.h"

#include "platform/core/CodePage.h"

#include <cstring>

bool EncodeField(char* field, std::size_t width, const CString& value, const char16_t* fieldName,
                 CString& refusal) {
    const std::string bytes = CodePage::Encode(value.view());
    if (bytes.size() >= width) {
        const auto limit = static_cast<unsigned>(width - 1);
        refusal.Format(u"%s太长：最多 %u 个汉字或 %u 个英文字母。", fieldName, limit / 2, limit);
        return false;
    }
    std::memcpy(field, bytes.data(), bytes.size());
    return true;
}

std::optional<PoemEntry> PrepareEntry(const CString& title, const CString& author,
                                      const char16_t* form, const CString& text, CString& refusal) {
    PoemEntry entry;
    PoemRecord& record = entry.record;
    if (!EncodeField(record.title, sizeof record.title, title, u"标题", refusal) ||
        !EncodeField(record.author, sizeof record.author, author, u"作者", refusal)) {
        return std::nullopt;
    }
    if (form == nullptr) {
        std::memcpy(record.form, kModernEra, sizeof kModernEra);
    } else if (!EncodeField(record.form, sizeof record.form, form, u"格律", refusal)) {
        return std::nullopt;
    }
    std::memcpy(record.dynasty, kModernEra, sizeof kModernEra);

    // Every character of the code page takes one or two bytes, so twice the UTF-16 length always
    // holds the text; when it takes less, the zero bytes after it are stored with it.
    entry.text.assign(static_cast<std::size_t>(text.GetLength()) * 2, '\0');
    CodePage::Encode(text.view(), entry.text.data(), entry.text.size());
    return entry;
}
