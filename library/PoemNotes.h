#pragma once
// The notes of a library's poems: readings, glosses, the editors' remarks and the whole title of a
// poem whose record holds it cut. They live in a file of their own beside the library's two
// files, NAME.notes next to NAME.idx and NAME.dat, which a reader that knows nothing of notes
// never opens. A poem added later simply has none.
//
// The notes file never outranks the two files: each poem's notes are kept under the place of its
// text in the data file (offset and length) and a checksum of its record's title and author and
// of the text itself, and they are shown only beside the record and text they were written for.
// Records are copied about (the result buffer holds copies), so nothing is keyed to a record's
// number. A damaged file, or damaged notes of one poem, read as no notes.
//
// The file, all integers little-endian, all text code page 936:
//   header   16 bytes: "SCNOTES" and a zero byte, version (u32, 1), the number of poems (u32)
//   entries  32 bytes a poem, in the order of (offset, length, poem sum):
//              offset, length (u32 each): where the poem's text lies in the data file
//              poem sum (u64): the checksum of title, 0, author, 0, text bytes (to the first zero)
//              notes at, notes size (u32 each): where the poem's notes lie in this file
//              notes sum (u64): the checksum of those notes' bytes
//   notes    each poem's, in the order of the entries and with nothing between them: its whole
//            title (empty when the record's is not cut), then each note, every one ended by a
//            zero byte.

#include "library/LibraryFormat.h"
#include "platform/core/CString.h"

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

class CPoemLibrary;

struct PoemNotes {
    CString fullTitle;          // the title as its source gives it, when the record's is cut
    std::vector<CString> notes; // one a line, in their source's order
    bool IsEmpty() const { return fullTitle.IsEmpty() && notes.empty(); }
    // What a reader sees below the poem, one a line: "原题：" and the whole title first, when
    // there is one, then the notes.
    std::vector<CString> Lines() const;
    friend bool operator==(const PoemNotes&, const PoemNotes&) = default;
};

// The notes file of a library: "全唐诗.idx" gives "全唐诗.notes".
CString NotesFileName(const CString& indexName);

// What the notes of one poem are kept under: its record's title and author and its text, the
// bytes the data file holds up to the first zero byte.
std::uint64_t PoemSum(const PoemRecord& record, std::string_view text);

// The notes of `record`, whose text is `text` as read from the data file, from the notes file at
// `path`. Reads the header, a few entries and one poem's notes, no more. Nothing when there is no
// such file, when it holds nothing for the poem or holds it for another, or when it is damaged.
PoemNotes FindPoemNotes(const CString& path, const PoemRecord& record, const CString& text);
// The same for a record of an open library, its text read afresh.
PoemNotes FindPoemNotes(CPoemLibrary& library, const PoemRecord& record);

// One poem's entry as the file holds it.
struct NotesEntry {
    std::uint32_t offset = 0;
    std::uint32_t length = 0;
    std::uint64_t poemSum = 0;
    PoemNotes notes;
};

// A notes file read whole: what checking, exporting and importing need.
struct NotesFileContents {
    bool present = false;              // whether there is a file at all
    std::vector<NotesEntry> entries;   // those that could be read, in the file's order
    std::vector<std::string> problems; // what is damaged, one a line; empty for a sound file
};
NotesFileContents ReadNotesFile(const CString& path);

// Gathers the notes of a library's poems and writes them as its notes file. To copy poems with
// their notes into a library of one's own: take each poem's notes with FindPoemNotes from the
// library it comes from, append the poem (its record now holds its new place), Add the record,
// its text and those notes here, and Write the file beside the new library once all are in. The
// whole file is written each time, so notes of poems that went are gone with them.
class CNotesWriter {
public:
    // `record` holds the poem's place in the data file; `text` is the text as stored there, up to
    // its first zero byte. A poem without notes adds nothing.
    void Add(const PoemRecord& record, std::string_view text, const PoemNotes& notes);
    // The same with the text as ReadText gives it.
    void Add(const PoemRecord& record, const CString& text, const PoemNotes& notes);
    // An entry kept as another file held it (its poem sum already taken).
    void Add(NotesEntry entry);
    bool IsEmpty() const { return m_entries.empty(); }
    std::size_t Count() const { return m_entries.size(); }

    // Writes the file at `path`: first beside it, then renamed over it, so that a reader finds
    // either the old file or the whole new one. With no notes at all there is no file: `path` is
    // removed. False, with the reason in `error`, when the file cannot be written.
    bool Write(const std::filesystem::path& path, std::string& error) const;
    // The whole file as Write writes it, for a caller that puts it in place itself (there must
    // be notes). False, with the reason in `error`, when they are too many for one file.
    bool Compose(std::string& bytes, std::string& error) const;

private:
    std::vector<NotesEntry> m_entries;
};
