#pragma once
// CString <-> QString: both are UTF-16, so the code units pass through unchanged.

#include "platform/core/CString.h"

#include <QString>

inline QString ToQString(const CString& text) {
    return QString::fromUtf16(text.GetString(), text.GetLength());
}

inline CString FromQString(const QString& text) {
    return CString(std::u16string_view(reinterpret_cast<const char16_t*>(text.constData()),
                                       static_cast<size_t>(text.size())));
}
