#include "tools/poemlib/Cli.h"

#include "library/FileReads.h"
#include "platform/core/CodePage.h"
#include "platform/core/SplitPath.h"

#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <unistd.h>

namespace poemlib {

Arguments::Arguments(const std::vector<std::string>& args, const std::set<std::string>& flags,
                     const std::set<std::string>& options) {
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg.size() > 2 && arg.starts_with("--")) {
            const std::string name = arg.substr(2);
            if (flags.count(name) != 0) {
                m_flags.insert(name);
            } else if (options.count(name) != 0) {
                if (i + 1 >= args.size()) {
                    throw UsageError{"option " + arg + " needs a value"};
                }
                m_options[name] = args[++i];
            } else {
                throw UsageError{"unknown option " + arg};
            }
        } else {
            m_positional.push_back(arg);
        }
    }
}

std::optional<std::string> Arguments::Option(const std::string& name) const {
    const auto it = m_options.find(name);
    if (it == m_options.end()) {
        return std::nullopt;
    }
    return it->second;
}

std::string Arguments::RequiredOption(const std::string& name) const {
    const auto value = Option(name);
    if (!value) {
        throw UsageError{"missing --" + name};
    }
    return *value;
}

const std::vector<std::string>& Arguments::Positional(std::size_t count) const {
    if (m_positional.size() != count) {
        throw UsageError{"expected " + std::to_string(count) + " argument" +
                         (count == 1 ? "" : "s")};
    }
    return m_positional;
}

LibraryPath ParseLibraryPath(const std::string& lib) {
    const std::string extension = ".idx";
    if (lib.size() < extension.size() || !lib.ends_with(extension)) {
        throw UsageError{"LIB must be the path of an index file ending in .idx: " + lib};
    }
    auto [folder, indexName] = SplitPath(lib);
    LibraryPath path;
    path.folder = folder.empty() ? "./" : std::move(folder);
    path.indexName = std::move(indexName);
    path.dataName = path.indexName.substr(0, path.indexName.size() - extension.size()) + ".dat";
    return path;
}

namespace {

// The reason a library did not open, in the reader's words where it has them.
std::string OpenFailureLine(const std::string& lib, const OpenResult& result) {
    const CString message = OpenFailureMessage(result);
    if (!message.IsEmpty()) {
        return Utf8(message);
    }
    if (result.failure == OpenFailure::noMemory) {
        return "poemlib: " + lib + ": not enough memory for the records";
    }
    return "poemlib: " + lib + ": the index file holds fewer records than its header counts";
}

} // namespace

std::unique_ptr<CPoemLibrary> OpenLibrary(const std::string& lib, Records records,
                                          LibraryAccess access) {
    const LibraryPath path = ParseLibraryPath(lib);
    auto library = std::make_unique<CPoemLibrary>(Utf16(path.folder));
    library->SetFileNames(Utf16(path.indexName), Utf16(path.dataName));
    const OpenResult opened = library->Open(access);
    if (!opened) {
        PrintError(OpenFailureLine(lib, opened));
        return nullptr;
    }
    // A reading that fails (the index cut short since Open) closes the library, which says so.
    if (records == Records::read && !library->IsOpen()) {
        return nullptr;
    }
    return library;
}

namespace {

// Text at least this long goes out as it is: a search gathers its lines itself, tens of
// kilobytes at a time, and copying them through the C library's buffer took a tenth of its time.
constexpr std::size_t kWrittenAsItIs = 16 * 1024;

// Why the output could not all be written (errno's value), or 0; after a failure, nothing more
// is tried.
int g_outputError = 0;

} // namespace

void Print(std::string_view utf8) {
    if (g_outputError != 0) {
        return;
    }
    if (utf8.size() < kWrittenAsItIs) {
        if (std::fwrite(utf8.data(), 1, utf8.size(), stdout) != utf8.size()) {
            g_outputError = errno != 0 ? errno : EIO;
        }
        return;
    }
    // What the buffer holds goes first, so that the output keeps its order.
    if (std::fflush(stdout) != 0 || !WriteWhole(STDOUT_FILENO, utf8.data(), utf8.size())) {
        g_outputError = errno != 0 ? errno : EIO;
    }
}

int EndOutput(int code) {
    if (g_outputError == 0 && (std::fflush(stdout) != 0 || std::ferror(stdout) != 0)) {
        g_outputError = errno != 0 ? errno : EIO;
    }
    if (g_outputError == 0) {
        return code;
    }
    PrintError(std::string("poemlib: cannot write the output: ") + std::strerror(g_outputError));
    return kFailure;
}

void PrintError(const std::string& utf8) {
    std::fputs((utf8 + "\n").c_str(), stderr);
}

std::string Utf8(const CString& text) {
    return text.ToUtf8();
}

CString Utf16(const std::string& utf8) {
    return CString::FromUtf8(utf8);
}

std::string FieldText(const char* field, std::size_t width) {
    return CodePage::Decode(field, width).ToUtf8();
}

std::uint32_t ParseRecordNumber(const std::string& text, std::uint32_t count) {
    std::uint32_t number = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
    if (error != std::errc() || end != text.data() + text.size() || number < 1 || number > count) {
        throw UsageError{"N must be a record number from 1 to " + std::to_string(count) + ": " +
                         text};
    }
    return number;
}

} // namespace poemlib
