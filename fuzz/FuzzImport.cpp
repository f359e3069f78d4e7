// poemlib import of arbitrary JSON into an empty library; what it added must pass the check.
// Run with -close_fd_mask=3: the commands print.

#include "fuzz/FuzzSupport.h"
#include "library/LibraryFormat.h"
#include "tools/poemlib/Commands.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static fuzzing::Quiet quiet;
    fuzzing::EmptyFolder();
    LibraryHeader header{};
    header.magic[0] = 'S';
    header.magic[1] = 'C';
    fuzzing::WriteFile("import.idx",
                       std::string_view(reinterpret_cast<const char*>(&header), sizeof header));
    fuzzing::WriteFile("import.dat", {});
    fuzzing::WriteFile("poems.json", std::string_view(reinterpret_cast<const char*>(data), size));
    const std::string lib = fuzzing::Folder() + "import.idx";
    poemlib::RunImport({lib, fuzzing::Folder() + "poems.json", "--dynasty", "唐代"});
    if (poemlib::RunCheck({lib}) != 0) {
        __builtin_trap(); // import wrote something the check finds wrong
    }
    return 0;
}
