// Keeps or takes out one poem of a library among the favourites, as the reader's menu does, so
// that the crash tests can kill it at each write:
//   favourites_tool FOLDER LIBRARY add|remove NUMBER
// FOLDER ends with '/'; LIBRARY is the base name of a library there; NUMBER counts from 0.
// Exits 0 when the poem was kept or taken out, 1 otherwise.

#include "library/Favourites.h"
#include "library/PoemLibrary.h"

#include <cstdio>
#include <string>

int main(int argc, char** argv) {
    if (argc != 5) {
        std::fputs("usage: favourites_tool FOLDER LIBRARY add|remove NUMBER\n", stderr);
        return 2;
    }
    const CString folder = CString::FromUtf8(argv[1]);
    const CString name = CString::FromUtf8(argv[2]);
    const std::string action = argv[3];
    const auto number = static_cast<std::size_t>(std::stoul(argv[4]));
    CPoemLibrary library(folder);
    library.SetFileNames(name + u".idx", name + u".dat");
    if (!library.Open(LibraryAccess::readOnly) || number >= library.GetRecords().size()) {
        std::fputs("favourites_tool: no such poem\n", stderr);
        return 1;
    }
    CFavourites favourites(folder);
    const KeptPoem poem = KeptPoemOf(library, library.GetRecords()[number]);
    const auto outcome = action == "add" ? favourites.Add(poem) : favourites.Remove(poem);
    const bool done =
        outcome == CFavourites::Outcome::added || outcome == CFavourites::Outcome::removed;
    if (!done) {
        std::fprintf(stderr, "favourites_tool: %s\n", favourites.Error().ToUtf8().c_str());
    }
    return done ? 0 : 1;
}
