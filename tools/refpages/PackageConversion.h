#pragma once
// Makes the notes the pages take from the collection's package (PackageNotes.h), with the same
// conversion to simplified Chinese in the code page as the poems get.
//
// Biographies: quantangshi/authors.tang.json serves 唐代, quantangshi/authors.song.json and
// songci/author.song.json serve 宋代, each matched to a library's poet by the name as it converts
// (the files are of one dynasty each, and a name may stand there more than once: each different
// text is kept). "--" and empty texts are none; a text that opens with "--" or with the poet's
// own name and a colon loses that opening.
//
// Counts: each source file of a library ("quantangshi/poet.tang.1000.json") has its counts in
// the package's rank folder ("rank/poet/poet.tang.rank.1000.json"), an entry for each poem with
// its author and title (or tune). The files do not always line up entry for entry, so an entry
// is found by its key (author and start of title, converted) and its place among the entries of
// that key, in the order the library was built from its files. The count taken is Baidu's: the
// others count pages of the tune's or title's name far more than of the poem. A poet's name of
// one character (the package lost the rest) or a title of one ("句" for a fragment) has no count:
// a search for it finds pages of anything.

#include "tools/refpages/PackageNotes.h"

#include <string>
#include <utility>
#include <vector>

class Simplifier;

namespace refpages {

// One library's source files, in the order they were imported (paths under `dist`).
struct LibrarySources {
    std::string stem;
    std::vector<std::string> files;
};

// Reads "LIBRARY<TAB>FILE" lines, the files of each library in their order.
std::vector<LibrarySources> ReadSourceList(const std::string& text);

// The notes from the package unpacked at `dist`; files it lacks give nothing. False when a file
// it has cannot be read, with the reason in `error`.
bool ConvertPackageNotes(const std::string& dist, const std::vector<LibrarySources>& libraries,
                         const Simplifier& simplifier, PackageNotes& notes, std::string& error);

// One biography's text as a page shows it, or empty when it is none.
std::string CleanBiography(const std::string& name, const std::string& text);

} // namespace refpages
