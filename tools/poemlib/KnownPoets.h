#pragma once
// What the collection's other libraries know of an anthology's poets: their dynasties, and their
// names where the anthology's source lost the end of one. An anthology may say nothing of its
// poets' dynasties (唐诗三百首), or now and then a dynasty its poet is not of ("（宋）韩愈"); its
// source may have lost a character it could not show ("赵令" for 赵令畤).

#include "library/PoemLibrary.h"
#include "platform/core/CString.h"

#include <map>
#include <string>
#include <unordered_map>
#include <vector>

namespace poemlib {

class CKnownPoets {
public:
    // Adds the poets and poems of an open library.
    void Add(CPoemLibrary& library);

    // The poet's whole name when the libraries hold the poem (its first verse) under one longer
    // name that begins with `author`, and under `author` itself not at all; otherwise `author`.
    CString WholeName(const CString& author, const CString& text) const;

    // The dynasty of a poem by `author` whose text is `text`, when `given` is the one its source
    // or the import gives (or empty):
    // - the libraries hold this poet's poem (the same first verse) under other dynasties only, and
    //   no poem of that first verse under `given` by any name: the dynasty they hold the poet's
    //   poem under most;
    // - otherwise `given`, when there is one;
    // - otherwise the dynasty the libraries hold most of the poet's poems under, or empty.
    // `fromPoets` says whether the answer is not `given`.
    CString DynastyOf(const CString& author, const CString& text, const CString& given,
                      bool& fromPoets) const;

private:
    using Counts = std::map<std::u16string, unsigned>; // dynasty -> poems
    struct Verse {
        Counts dynasties;                  // of the poems that begin with it, by any poet
        std::vector<std::u16string> poets; // who wrote them, each once
    };
    std::unordered_map<std::u16string, Counts> m_poets;
    std::unordered_map<std::u16string, Counts> m_poems; // poet and first verse -> dynasties
    std::unordered_map<std::u16string, Verse> m_verses;
};

// The characters of a text's first verse, the key a poem is known by beside its poet: the
// ideographs before the first mark or line break; empty when they are fewer than four (a
// fragment, "句").
std::u16string FirstVerseKey(std::u16string_view text);

} // namespace poemlib
