#pragma once
// The favourites: copies of the poems the user keeps, in a library of their own beside the
// others, 收藏.idx and 收藏.dat in the user's program folder, made at the first poem kept with
// the library name 收藏. It is an ordinary library: the library page offers it and the command
// line reads it; the collection's build never touches it.
//
// A poem is kept once: another of the same title, author and text is the same favourite,
// whichever library it comes from. Every change ends in one step: a new index written beside the
// old one and renamed over it, so that an interruption leaves the old library or the new, never
// a mix. Keeping a poem first appends its text to the data file, where until the new index it
// is only bytes that no record refers to. Taking one out rewrites the index alone: the texts of
// the poems left stay where their records find them (a reader still showing the favourites goes
// on reading them), and the bytes of the text taken out stay unreferenced until the last
// favourite goes, when the data file is emptied.

#include "library/LibraryFormat.h"
#include "platform/core/CString.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class CPoemLibrary;

inline constexpr const char16_t* kFavouritesName = u"收藏";

// What a favourite keeps of a poem.
struct KeptPoem {
    PoemRecord record{}; // title, author, dynasty and form as stored; length and offset unused
    std::string text;    // the text in the code page, without its zero byte
    // The poem's notes go here too, once a library's notes can be read and written.
};

// The poem of `record` in `library`, its text read now.
KeptPoem KeptPoemOf(CPoemLibrary& library, const PoemRecord& record);
// True when the two are the same favourite: the same title, author and text.
bool SameFavourite(const KeptPoem& a, const KeptPoem& b);

// The favourites library opened for reading, beside the open library: its records are read when
// first asked for (GetRecords), its texts with ReadText. It leaves the open library's result
// buffer alone, and must never be asked to Select. Null when there is no favourites library or
// it cannot be opened.
std::unique_ptr<CPoemLibrary> OpenFavourites(const CString& folder);

class CFavourites {
public:
    enum class Outcome {
        added,       // kept now
        alreadyKept, // a poem of the same title, author and text was kept before
        removed,
        notKept, // nothing to take out
        failed,  // the files could not be written: Error() says why
    };

    // `folder` is the user's program folder, ending with its separator.
    explicit CFavourites(CString folder);

    // The poems kept now, as the files hold them.
    std::vector<KeptPoem> Poems() const;
    std::uint32_t Count() const;
    bool Contains(const KeptPoem& poem) const;

    Outcome Add(const KeptPoem& poem);
    Outcome Remove(const KeptPoem& poem);
    // What went wrong with the last Add or Remove that failed, in the program's words.
    const CString& Error() const { return m_strError; }

    CString IndexPath() const;
    CString DataPath() const;

private:
    bool Create();
    bool Append(const KeptPoem& poem);
    bool ReplaceIndex(const LibraryHeader& header, const std::vector<PoemRecord>& records);
    bool Fail(const CString& path, int osError);

    CString m_strFolder;
    CString m_strError;
};
