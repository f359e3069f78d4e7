// A library with an arbitrary notes file beside it: every poem's notes looked up and composed,
// the file read whole, and poemlib check run over all three files. Nothing may crash, read out
// of bounds, or ask for more memory than the file could fill. Run with -close_fd_mask=3.

#include "fuzz/FuzzSupport.h"
#include "library/PoemLibrary.h"
#include "library/PoemNotes.h"
#include "reading/page/PoemPage.h"
#include "tools/poemlib/Commands.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static fuzzing::Quiet quiet;
    fuzzing::EmptyFolder();
    // The input is the index, then the data file and the notes cut the same way.
    const auto [index, rest] = fuzzing::Split(data, size);
    const auto [texts, notes] =
        fuzzing::Split(reinterpret_cast<const std::uint8_t*>(rest.data()), rest.size());
    fuzzing::WriteFile("kavro.idx", index);
    fuzzing::WriteFile("kavro.dat", texts);
    fuzzing::WriteFile("kavro.notes", notes);
    const CString folder = CString::FromUtf8(fuzzing::Folder());

    CPoemLibrary library(folder);
    if (library.Open()) {
        const std::span<const PoemRecord> records = library.GetRecords();
        for (std::size_t i = 0; i < records.size() && i < 64; ++i) {
            (void)ComposePoemNotes(library, records[i], PageSettings{});
        }
    }
    const NotesFileContents contents = ReadNotesFile(folder + u"kavro.notes");
    if (contents.present && contents.problems.empty() && notes.size() < 16) {
        __builtin_trap(); // a file shorter than its header cannot be sound
    }
    const int result = poemlib::RunCheck({fuzzing::Folder() + "kavro.idx"});
    if (result != 0 && result != 1) {
        __builtin_trap();
    }
    return 0;
}
