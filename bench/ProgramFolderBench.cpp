// What a start costs the installed reader on a user's own program folder, in process: the look
// over that folder against the installed one (links, the libraries' stamps), median of many, and
// the first start that makes the folder (copies and checksums every library), once.
//   program_folder_bench INSTALLED_FOLDER     (e.g. the lib/lomeva of a cmake --install)
#include "platform/core/ProgramFolder.h"
#include "tests/common/TestLibrary.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

namespace {

double MillisecondsOf(const auto& work) {
    const auto start = std::chrono::steady_clock::now();
    work();
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
        .count();
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fputs("usage: program_folder_bench INSTALLED_FOLDER\n", stderr);
        return 2;
    }
    const std::filesystem::path installed = argv[1];
    testing_support::TempFolder home;
    const std::filesystem::path own = home.Path() / "lomeva";
    std::vector<std::string> notes;
    bool ready = true;
    const double first =
        MillisecondsOf([&] { ready = PrepareOwnProgramFolder(installed, own, notes); });
    if (!ready) {
        for (const auto& note : notes) {
            std::fprintf(stderr, "%s\n", note.c_str());
        }
        return 1;
    }
    constexpr int kRuns = 201;
    std::vector<double> starts;
    for (int i = 0; i < kRuns; ++i) {
        starts.push_back(MillisecondsOf([&] { PrepareOwnProgramFolder(installed, own, notes); }));
    }
    std::sort(starts.begin(), starts.end());
    std::printf("| Each start on a user's own folder (in process) | %.3f ms | | | |\n",
                starts[kRuns / 2]);
    std::printf("| First start, making the folder (in process) | %.1f ms | | | |\n", first);
    return 0;
}
