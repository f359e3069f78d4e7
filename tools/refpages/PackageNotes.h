#pragma once
// What the pages take from the collection's package besides its poems, converted once by the
// libraries' build into `.collection-notes.json` in the program folder (the package itself is not
// at hand when the pages are made again by an ordinary build):
//  - biographies of poets, by dynasty and name, already simplified as the poems are;
//  - how well known each poem of a library is (the package's search counts), by library, keyed
//    by the poem's author and the start of its title, in the library's order.

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace refpages {

inline constexpr const char* kPackageNotesFile = ".collection-notes.json";

struct Biography {
    std::string source; // the collection the package took it from: "全唐诗"
    std::string text;   // paragraphs separated by "\n"
};

struct PackageNotes {
    // dynasty -> poet -> biographies, each different from the others
    std::map<std::string, std::map<std::string, std::vector<Biography>>> biographies;
    // library file stem -> RankKey -> counts of the poems of that key, in the library's order
    std::map<std::string, std::map<std::string, std::vector<long long>>> ranks;
};

// The key that finds a poem's count: its author and the first characters of its title, with
// the mark of a field cut short left out, so that a title the library had to cut still matches.
std::string RankKey(const std::string& author, const std::string& title);

std::string WritePackageNotes(const PackageNotes& notes);
// Nothing when the text is not such a file.
std::optional<PackageNotes> ReadPackageNotes(const std::string& json);

} // namespace refpages
