#pragma once
// Lets test failures show CString values as text.

#include "platform/core/CString.h"

#include <ostream>

inline void PrintTo(const CString& text, std::ostream* out) {
    *out << '"' << text.ToUtf8() << '"';
}
