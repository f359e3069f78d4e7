#pragma once
// Titles longer than the record holds. A cut title keeps its beginning and its distinguishing
// end ("…其二", the last words), and no two poems of one library share a cut title unless their
// whole titles are the same: the end kept grows until the cut title is one of its own.

#include "platform/core/CString.h"

#include <map>
#include <set>
#include <string>

namespace poemlib {

class CTitleCutter {
public:
    // A title the library holds already (as its record stores it), and its whole title.
    void Reserve(const std::string& stored, const CString& whole);

    // The record's title for `whole` in code page bytes: the title itself when it fits in `width`
    // bytes with its zero byte, otherwise cut as above. `cut` says whether it was; `lengthened`
    // whether its end had to grow for it to be distinct.
    std::string Fit(const CString& whole, std::size_t width, bool& cut, bool& lengthened);

private:
    std::set<std::string> m_stored;
    std::map<CString, std::string> m_cuts; // each whole title cut once, the same every time
};

// The part of a title that tells it from its neighbours: a last part after a space that is short
// ("其二", "二首 其一"), otherwise its last four characters.
std::u16string_view DistinguishingEnd(std::u16string_view title);

} // namespace poemlib
