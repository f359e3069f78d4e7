// The library's speed on the large library of bench/make-large-library.sh, side by side with the
// reference tools measured in the same run: ripgrep over the same texts and fields in UTF-8, and
// cat over the index file.
//  - in process: opening the library and the selections, each the median of several runs;
//  - end to end, as a user runs them: poemlib info and poemlib search (one library, and every
//    library of the program folder), started afresh each time and timed by hyperfine beside the
//    reference command in rounds that take turns, median and spread of many runs.
//   search_bench [DIR [BIN]]  DIR holds large.idx/.dat and the UTF-8 files (default
//                             ~/.cache/lomeva-bench); BIN the build's bin folder (default ../bin
//                             beside this program), whose ../lomeva is the program folder

#include "bench/Measure.h"
#include "library/PoemLibrary.h"
#include "platform/core/Services.h"
#include "platform/core/SplitPath.h"
#include "settings/Settings.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <functional>
#include <nlohmann/json.hpp>
#include <optional>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace fs = std::filesystem;

namespace {

using Bench::ResidentBytes;

constexpr int kRuns = 9;
constexpr int kCommandRuns = 40;
constexpr int kCommandRounds = 4;

// Every word a full-text search is measured with: two frequent ones, a rare line and one
// character, which the search index answers each in its own way.
const char16_t* const kWords[] = {u"明月", u"春风", u"明月几时有", u"月"};
const char* const kWordsUtf8[] = {"明月", "春风", "明月几时有", "月"};

double MedianMs(const std::function<void()>& work) {
    return Bench::MedianMs(kRuns, work);
}

// Runs a program and waits for it; its standard output goes to `output` (or nowhere), its
// errors nowhere. True when it ran and exited with 0.
bool RunProgram(const std::vector<std::string>& command, const std::string& output = "/dev/null") {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, output.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0644);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    std::vector<char*> argv;
    for (const auto& arg : command) {
        argv.push_back(const_cast<char*>(arg.c_str()));
    }
    argv.push_back(nullptr);
    pid_t pid = 0;
    int status = -1;
    if (posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ) == 0) {
        waitpid(pid, &status, 0);
    }
    posix_spawn_file_actions_destroy(&actions);
    return status == 0;
}

struct Timing {
    double median = 0; // milliseconds
    double spread = 0; // the standard deviation
};

// Two whole commands (each a list of words, no shell) timed by hyperfine, the same number of
// runs each, in rounds that take turns at going first: this machine's speed drifts over seconds,
// and one block of runs of each would put the drift into the ratio.
std::optional<std::pair<Timing, Timing>> TimeCommands(const std::string& ours,
                                                      const std::string& reference) {
    const std::string json =
        (fs::temp_directory_path() / ("search-bench-" + std::to_string(getpid()) + ".json"))
            .string();
    std::vector<double> times[2]; // milliseconds, ours and the reference's
    for (int round = 0; round < kCommandRounds; ++round) {
        const bool oursFirst = round % 2 == 0;
        const bool ran = RunProgram({"hyperfine", "-N", "--warmup", "2", "--runs",
                                     std::to_string(kCommandRuns / kCommandRounds), "--style",
                                     "none", "--export-json", json, oursFirst ? ours : reference,
                                     oursFirst ? reference : ours});
        const nlohmann::json results = nlohmann::json::parse(std::ifstream(json), nullptr, false)
                                           .value("results", nlohmann::json());
        fs::remove(json);
        if (!ran || !results.is_array() || results.size() != 2) {
            return std::nullopt;
        }
        for (std::size_t k = 0; k < 2; ++k) {
            for (const nlohmann::json& time : results[k].value("times", nlohmann::json::array())) {
                times[(k == 0) == oursFirst ? 0 : 1].push_back(time.get<double>() * 1000.0);
            }
        }
    }
    const auto timing = [](const std::vector<double>& runs) {
        double mean = 0;
        for (const double run : runs) {
            mean += run / static_cast<double>(runs.size());
        }
        double variance = 0;
        for (const double run : runs) {
            variance += (run - mean) * (run - mean) / static_cast<double>(runs.size());
        }
        return Timing{Bench::Median(runs), std::sqrt(variance)};
    };
    if (times[0].empty() || times[1].empty()) {
        return std::nullopt;
    }
    return std::pair{timing(times[0]), timing(times[1])};
}

struct Row {
    std::string what;
    std::string ours;
    std::string reference;
    double ratio;
    double target;
};

std::string Ms(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.2f ms", value);
    return text;
}

std::string Ms(const Timing& timing) {
    char text[48];
    std::snprintf(text, sizeof text, "%.2f ms ± %.2f", timing.median, timing.spread);
    return text;
}

void PrintTable(const std::vector<Row>& rows) {
    std::printf("| What | Lomeva | Reference | Ratio | Target |\n");
    std::printf("|---|---|---|---|---|\n");
    for (const Row& row : rows) {
        std::printf("| %s | %s | %s | %.2f | at most %.1f%s |\n", row.what.c_str(),
                    row.ours.c_str(), row.reference.c_str(), row.ratio, row.target,
                    row.ratio <= row.target ? "" : " — missed");
    }
}

// The folder of this program, ending with '/'.
std::string ProgramFolder() {
    std::string path(4096, '\0');
    const ssize_t size = readlink("/proc/self/exe", path.data(), path.size());
    path.resize(size > 0 ? static_cast<std::size_t>(size) : 0);
    return SplitPath(path).folder;
}

// The texts of every library of the program folder as UTF-8, one file each in `texts`, made
// again when a library is newer than its file: what ripgrep searches for the program folder.
bool ExportProgramTexts(const std::string& poemlib, const fs::path& program, const fs::path& texts,
                        std::size_t& libraries) {
    std::error_code error;
    fs::create_directories(texts, error);
    libraries = 0;
    for (const auto& entry : fs::directory_iterator(program, error)) {
        if (entry.path().extension() != ".idx") {
            continue;
        }
        ++libraries;
        const fs::path text = texts / (entry.path().stem().string() + ".txt");
        fs::path data = entry.path();
        data.replace_extension(".dat");
        if (fs::exists(text) && fs::last_write_time(text) >= fs::last_write_time(data, error)) {
            continue;
        }
        if (!RunProgram({poemlib, "export", entry.path().string(), "--format", "text"},
                        text.string())) {
            fs::remove(text);
            return false;
        }
    }
    return libraries > 0;
}

void AddCommandRow(std::vector<Row>& rows, const std::string& what, const std::string& ours,
                   const std::string& reference, const std::string& referenceName, double target) {
    const auto timings = TimeCommands(ours, reference);
    if (!timings) {
        std::fprintf(stderr, "%s: hyperfine did not time both commands\n", what.c_str());
        return;
    }
    rows.push_back({what, Ms(timings->first), Ms(timings->second) + " (" + referenceName + ")",
                    timings->first.median / timings->second.median, target});
}

} // namespace

int main(int argc, char** argv) {
    const std::string home = std::getenv("HOME") != nullptr ? std::getenv("HOME") : ".";
    const std::string dir = (argc > 1 ? std::string(argv[1]) : home + "/.cache/lomeva-bench") + "/";
    const std::string bin = argc > 2 ? std::string(argv[2]) + "/" : ProgramFolder() + "../bin/";
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
    std::vector<Row> rows;
    const double catIndex = MedianMs([&] { RunProgram({"cat", dir + "large.idx"}); });
    const double opened = MedianMs([&] { open(); });
    rows.push_back({"Open of the large library, its records read", Ms(opened),
                    Ms(catIndex) + " (cat index)", opened / catIndex, 1.0});

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
        std::string what;
        const char16_t* keyword;
        SelectField field;
        const char* file;
        const char* keywordUtf8;
        double target;
    };
    std::vector<Search> searches;
    for (std::size_t i = 0; i < std::size(kWords); ++i) {
        searches.push_back({std::string("full text ") + kWordsUtf8[i], kWords[i], SEL_FULLTEXT,
                            "large.txt", kWordsUtf8[i], 0.3});
    }
    searches.push_back({"title 春", u"春", SEL_TITLE, "titles.txt", "春", 2.0});
    searches.push_back({"author 李白", u"李白", SEL_AUTHOR, "authors.txt", "李白", 2.0});
    searches.push_back({"form 浣溪沙", u"浣溪沙", SEL_FORM, "forms.txt", "浣溪沙", 2.0});
    for (const Search& search : searches) {
        unsigned found = 0;
        const double ours = MedianMs([&] { found = library.Select(search.keyword, search.field); });
        const double reference = MedianMs([&] {
            RunProgram({"rg", "-c", search.keywordUtf8, dir + search.file});
        });
        rows.push_back({"Select " + search.what + " (" + std::to_string(found) + " found)",
                        Ms(ours), Ms(reference) + " (rg -c)", ours / reference, search.target});
    }
    // The reader's first search: a library just opened, its search index not yet looked at.
    const double firstSearch = MedianMs([&] {
        CPoemLibrary fresh(g_strAppPath);
        fresh.SetFileNames(u"large.idx", u"large.dat");
        fresh.Open();
        fresh.Select(kWords[0], SEL_FULLTEXT);
    });
    const double firstReference = MedianMs([&] {
        RunProgram({"rg", "-c", kWordsUtf8[0], dir + "large.txt"});
    });
    rows.push_back({std::string("Open and a first Select full text ") + kWordsUtf8[0],
                    Ms(firstSearch), Ms(firstReference) + " (rg -c)", firstSearch / firstReference,
                    0.3});

    const std::string poemlib = bin + "poemlib";
    AddCommandRow(rows, "poemlib info, end to end", poemlib + " info " + dir + "large.idx",
                  "cat " + dir + "large.idx", "cat index", 1.0);
    for (const char* word : kWordsUtf8) {
        AddCommandRow(rows, std::string("poemlib search text ") + word + ", end to end",
                      poemlib + " search " + dir + "large.idx text " + word,
                      "rg -c " + std::string(word) + " " + dir + "large.txt", "rg -c", 0.5);
    }
    // Every library of the program folder at once, against ripgrep over all their texts.
    const fs::path program = fs::path(bin) / ".." / "lomeva";
    std::size_t libraries = 0;
    if (ExportProgramTexts(poemlib, program, fs::path(dir) / "program-texts", libraries)) {
        const std::string line = "明月几时有";
        AddCommandRow(rows,
                      "poemlib search of the program folder (" + std::to_string(libraries) +
                          " libraries) text " + line + ", end to end",
                      poemlib + " search " + fs::weakly_canonical(program).string() + " text " +
                          line,
                      "rg -c " + line + " " + dir + "program-texts", "rg -c over their texts", 0.5);
    } else {
        std::fprintf(stderr, "no libraries in %s to search at once\n", program.c_str());
    }
    std::printf("%u poems; %.1f bytes of memory per poem for the records and the result "
                "buffer\n\n",
                library.m_nCount, bytesPerPoem);
    PrintTable(rows);
    return 0;
}
