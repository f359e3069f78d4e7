// The library's speed on the large library of bench/make-large-library.sh, side by side with the
// reference tools measured in the same run: ripgrep over the same texts and fields in UTF-8, and
// cat over the index file. Each figure is the median of several runs.
// Beside the in-process figures, the command line as a user runs it: poemlib search and info,
// started afresh each time.
//   search_bench [DIR [POEMLIB]]  DIR holds large.idx/.dat and the UTF-8 files (default
//                                 ~/.cache/lomeva-bench); POEMLIB the command line (default
//                                 ../bin/poemlib beside this program)

#include "bench/Measure.h"
#include "library/PoemLibrary.h"
#include "platform/core/Services.h"
#include "settings/Settings.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <functional>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace {

using Bench::ResidentBytes;

constexpr int kRuns = 9;

double MedianMs(const std::function<void()>& work) {
    return Bench::MedianMs(kRuns, work);
}

// Runs a program with its output thrown away; the time includes starting it, as a person
// running it from a shell would wait for it.
void RunQuietly(const std::vector<std::string>& command) {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    std::vector<char*> argv;
    for (const auto& arg : command) {
        argv.push_back(const_cast<char*>(arg.c_str()));
    }
    argv.push_back(nullptr);
    pid_t pid = 0;
    if (posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ) == 0) {
        int status = 0;
        waitpid(pid, &status, 0);
    }
    posix_spawn_file_actions_destroy(&actions);
}

struct Row {
    std::string what;
    double ours;
    double reference;
    std::string referenceName;
    double target;
};

void PrintTable(const std::vector<Row>& rows) {
    std::printf("| What | Lomeva (ms) | Reference (ms) | Ratio | Target |\n");
    std::printf("|---|---|---|---|---|\n");
    for (const Row& row : rows) {
        const double ratio = row.ours / row.reference;
        std::printf("| %s | %.2f | %.2f (%s) | %.2f | at most %.1f%s |\n", row.what.c_str(),
                    row.ours, row.reference, row.referenceName.c_str(), ratio, row.target,
                    ratio <= row.target ? "" : " — missed");
    }
}

// The folder of this program, ending with '/'.
std::string ProgramFolder() {
    std::string path(4096, '\0');
    const ssize_t size = readlink("/proc/self/exe", path.data(), path.size());
    path.resize(size > 0 ? static_cast<std::size_t>(size) : 0);
    return path.substr(0, path.rfind('/') + 1);
}

} // namespace

int main(int argc, char** argv) {
    const std::string home = std::getenv("HOME") != nullptr ? std::getenv("HOME") : ".";
    const std::string dir = (argc > 1 ? std::string(argv[1]) : home + "/.cache/lomeva-bench") + "/";
    CRecordingMessageBox boxes;
    ScopedService<IMessageBoxService> quiet(boxes);
    g_strAppPath = CString::FromUtf8(dir);

    // Open, and the first use that reads the records.
    auto open = [] {
        CPoemLibrary library(g_strAppPath);
        library.SetFileNames(u"large.idx", u"large.dat");
        return library.Open() && !library.GetRecords().empty();
    };
    if (!open()) {
        std::fprintf(stderr, "no large library in %s: run bench/make-large-library.sh\n",
                     dir.c_str());
        return 1;
    }
    const std::string poemlib =
        argc > 2 ? std::string(argv[2]) : ProgramFolder() + "../bin/poemlib";
    std::vector<Row> rows;
    const double catIndex = MedianMs([&] { RunQuietly({"cat", dir + "large.idx"}); });
    rows.push_back({"Open of the large library, its records read", MedianMs([&] { open(); }),
                    catIndex, "cat index", 1.0});
    rows.push_back({"poemlib info, end to end", MedianMs([&] {
                        RunQuietly({poemlib, "info", dir + "large.idx"});
                    }),
                    catIndex, "cat index", 1.0});
    for (const char* keyword : {"明月", "春风"}) {
        const double ours = MedianMs([&] {
            RunQuietly({poemlib, "search", dir + "large.idx", "text", keyword});
        });
        const double reference = MedianMs([&] {
            RunQuietly({"rg", "-c", keyword, dir + "large.txt"});
        });
        rows.push_back({std::string("poemlib search text ") + keyword + ", end to end", ours,
                        reference, "rg -c", 1.0});
    }

    // What the open library holds: its records and, once a selection has filled it, the result
    // buffer.
    const std::size_t residentBefore = ResidentBytes();
    CPoemLibrary library(g_strAppPath);
    library.SetFileNames(u"large.idx", u"large.dat");
    library.Open();
    library.Select(nullptr, SEL_ALL);
    const double bytesPerPoem =
        static_cast<double>(ResidentBytes() - residentBefore) / library.m_nCount;

    struct Search {
        const char* what;
        const char16_t* keyword;
        SelectField field;
        const char* file;
        const char* keywordUtf8;
        double target;
    };
    const Search searches[] = {
        {"full text 明月", u"明月", SEL_FULLTEXT, "large.txt", "明月", 0.6},
        {"full text 春风", u"春风", SEL_FULLTEXT, "large.txt", "春风", 0.6},
        {"title 春", u"春", SEL_TITLE, "titles.txt", "春", 2.0},
        {"author 李白", u"李白", SEL_AUTHOR, "authors.txt", "李白", 2.0},
        {"form 浣溪沙", u"浣溪沙", SEL_FORM, "forms.txt", "浣溪沙", 2.0},
    };
    for (const Search& search : searches) {
        unsigned found = 0;
        const double ours = MedianMs([&] { found = library.Select(search.keyword, search.field); });
        const double reference = MedianMs([&] {
            RunQuietly({"rg", "-c", search.keywordUtf8, dir + search.file});
        });
        rows.push_back(
            {std::string("Select ") + search.what + " (" + std::to_string(found) + " found)", ours,
             reference, "rg -c", search.target});
    }
    std::printf("%u poems; %.1f bytes of memory per poem for the records and the result "
                "buffer\n\n",
                library.m_nCount, bytesPerPoem);
    PrintTable(rows);
    return 0;
}
