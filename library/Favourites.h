#pragma once
// The favourites: copies of the poems the user keeps, in a library of their own beside the
// others, 收藏.idx and 收藏.dat in the user's program folder, made at the first poem kept with
// the library name 收藏, and the poems' notes beside them in 收藏.notes (only while one of them
// has some). It is an ordinary library: the library page offers it and the command line reads
// it; the collection's build never touches it, and an install leaves it out.
//
// A poem is kept once: another of the same whole title, author and text is the same favourite,
// whichever library it comes from. The data file is only ever appended to: a text stays where its
// record finds it for as long as the files are there, so that whatever holds a record of the
// favourites (a reader still showing a poem taken out, the favourites opened as the library) goes
// on reading that poem's text and never another's, even after the last one went. Every change is
// made by new files written whole beside the old ones and renamed over them, the index last when
// a poem comes in and first when one goes, so that an interruption at any point leaves the old
// favourites or the new, each poem with its own notes. In between, the notes file may hold the
// notes of a text that no record refers to (the new one, or the one taken out): nothing shows them,
// since notes are found only beside the record and text they were written for, and the next change
// leaves them out.

#include "library/LibraryFormat.h"
#include "library/PoemNotes.h"
#include "platform/core/CString.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class CFile;
class CPoemLibrary;

inline constexpr const char16_t* kFavouritesName = u"收藏";

// What a favourite keeps of a poem.
struct KeptPoem {
    PoemRecord record{}; // title, author, dynasty and form as stored; length and offset unused
    std::string text;    // the text in the code page, without its zero byte
    PoemNotes notes;     // with the whole title when the record's is cut
};

// The poem of `record` in `library`, its text and notes read now.
KeptPoem KeptPoemOf(CPoemLibrary& library, const PoemRecord& record);
// True when the two are the same favourite: the same whole title, author and text. A poem known
// only by a cut title (kept, or read from a library, without its notes) is the same as one whose
// record's title is cut alike.
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
        failed,  // the files could not be written, or are damaged: Error() says why
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
    CString NotesPath() const;

private:
    struct Stored;
    class CReplacement;

    std::optional<Stored> Load(CString& problem) const;
    bool Keep(Stored& stored, const KeptPoem& poem, bool creating);
    bool OpenData(CFile& data, bool creating);
    bool WriteText(CFile& data, std::uint64_t at, const std::string& text);
    bool PrepareIndex(CReplacement& index, const Stored& stored);
    bool PrepareNotes(CReplacement& notes, const Stored& stored);
    bool Commit(CReplacement& file);
    bool Fail(const CString& path, int osError);

    CString m_strFolder;
    CString m_strError;
};
