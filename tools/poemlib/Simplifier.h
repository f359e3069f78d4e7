#pragma once

#include "platform/core/CString.h"

// Makes imported text fit the code page: stand-ins for the middle dot become U+00B7, and each
// character outside GB2312 (the handheld's character set) becomes its simplified form where
// OpenCC has one that the code page holds. Characters of GB2312 are never touched, so 乾 in
// 乾荷叶 stays as it is.
class Simplifier {
public:
    Simplifier();
    ~Simplifier();
    Simplifier(const Simplifier&) = delete;
    Simplifier& operator=(const Simplifier&) = delete;

    bool IsReady() const { return m_handle != nullptr; }
    CString Simplify(const CString& text) const;

private:
    std::u16string SimplifiedOrKept(std::u16string_view character) const;

    void* m_handle = nullptr;
};
