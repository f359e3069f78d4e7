// musicgen: composes and plays the program folder's background music.
//
//   musicgen OUTDIR    the numbered pieces (platform/core/ProgramFiles.h): 22,050 Hz, 16-bit
//                      mono, seamless loops

#include "Pieces.h"

#include <cstdio>
#include <filesystem>
#include <system_error>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fputs("usage: musicgen OUTDIR\n", stderr);
        return 2;
    }
    std::error_code ec;
    std::filesystem::create_directories(argv[1], ec);
    if (ec) {
        std::fprintf(stderr, "musicgen: cannot create %s: %s\n", argv[1], ec.message().c_str());
        return 1;
    }
    const std::string error = musicgen::writePieces(argv[1]);
    if (!error.empty()) {
        std::fprintf(stderr, "musicgen: %s\n", error.c_str());
        return 1;
    }
    return 0;
}
