#include "library/ReferencePages.h"

namespace {

bool NeedsEscape(char16_t ch, bool first) {
    return ch == u'%' || ch == u'/' || ch == u'\\' || ch == u'#' || (first && ch == u'.');
}

} // namespace

CString PageFileStem(const CString& name) {
    static constexpr char16_t kHex[] = u"0123456789ABCDEF";
    CString stem;
    bool first = true;
    for (const char16_t ch : name.view()) {
        if (NeedsEscape(ch, first)) {
            stem += u'%';
            stem += kHex[(ch >> 4) & 0xF];
            stem += kHex[ch & 0xF];
        } else {
            stem += ch;
        }
        first = false;
    }
    return stem;
}

CString PoetPageName(const CString& author, const CString& dynasty) {
    if (author.IsEmpty()) {
        return {};
    }
    // A poet of no known dynasty has a folder of its own, which no dynasty of the libraries names.
    const CString folder = dynasty.IsEmpty() ? CString(u"未详") : PageFileStem(dynasty);
    return CString(u"poets/") + folder + u"/" + PageFileStem(author) + u".htm";
}

CString FormPageName(const CString& form) {
    if (form.IsEmpty()) {
        return {};
    }
    return CString(u"forms/") + PageFileStem(form) + u".htm";
}
