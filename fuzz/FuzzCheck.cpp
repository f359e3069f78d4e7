// poemlib check on an arbitrary index and data file pair. Run with -close_fd_mask=3: the
// command prints what it finds.

#include "fuzz/FuzzSupport.h"
#include "tools/poemlib/Commands.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static fuzzing::Quiet quiet;
    fuzzing::EmptyFolder();
    const auto [index, rest] = fuzzing::Split(data, size);
    fuzzing::WriteFile("check.idx", index);
    fuzzing::WriteFile("check.dat", rest);
    const int result = poemlib::RunCheck({fuzzing::Folder() + "check.idx"});
    if (result != 0 && result != 1) {
        __builtin_trap();
    }
    return 0;
}
