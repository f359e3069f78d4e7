#include "platform/ui/TextLayout.h"

#include "platform/ui/UiConstants.h"

namespace {

std::vector<CString> SplitLines(std::u16string_view text) {
    std::vector<CString> lines;
    size_t start = 0;
    while (true) {
        const size_t end = text.find(u'\n', start);
        std::u16string_view line = text.substr(
            start, end == std::u16string_view::npos ? std::u16string_view::npos : end - start);
        if (!line.empty() && line.back() == u'\r') {
            line.remove_suffix(1);
        }
        lines.emplace_back(line);
        if (end == std::u16string_view::npos) {
            return lines;
        }
        start = end + 1;
    }
}

// A single line shows its breaks as nothing at all.
CString WithoutBreaks(std::u16string_view text) {
    std::u16string joined;
    for (char16_t ch : text) {
        if (ch != u'\r' && ch != u'\n') {
            joined += ch;
        }
    }
    return CString(std::move(joined));
}

int LineX(const RECT& rect, UINT format, int width) {
    if ((format & DT_RIGHT) != 0) {
        return rect.right - width;
    }
    if ((format & DT_CENTER) != 0) {
        return rect.left + (rect.right - rect.left - width) / 2;
    }
    return rect.left;
}

int FirstLineY(const RECT& rect, UINT format, int lineHeight) {
    if ((format & DT_SINGLELINE) == 0) {
        return rect.top;
    }
    if ((format & DT_VCENTER) != 0) {
        return rect.top + (rect.bottom - rect.top - lineHeight) / 2;
    }
    if ((format & DT_BOTTOM) != 0) {
        return rect.bottom - lineHeight;
    }
    return rect.top;
}

} // namespace

std::vector<TextLine> LayoutText(const CString& text, const RECT& rect, UINT format, int lineHeight,
                                 const TextMeasure& measure) {
    const std::vector<CString> lines = (format & DT_SINGLELINE) != 0
                                           ? std::vector<CString>{WithoutBreaks(text.view())}
                                           : SplitLines(text.view());
    std::vector<TextLine> placed;
    int y = FirstLineY(rect, format, lineHeight);
    for (const CString& line : lines) {
        const int width = measure(line.view());
        placed.push_back({line, LineX(rect, format, width), y, width});
        y += lineHeight;
    }
    return placed;
}
