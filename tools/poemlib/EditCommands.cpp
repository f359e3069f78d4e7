// The commands that write: add appends a poem as the add-poem screen does, create makes a new
// empty library pair.

#include "library/LibraryFormat.h"
#include "library/PoemEntry.h"
#include "platform/core/CodePage.h"
#include "tools/poemlib/Cli.h"
#include "tools/poemlib/Commands.h"
#include "tools/poemlib/SearchIndexRenewal.h"

#include <cerrno>
#include <charconv>
#include <cstring>
#include <fcntl.h>
#include <iostream>
#include <iterator>
#include <unistd.h>

namespace poemlib {
namespace {

// A terminal gives bare line feeds; the handheld's edit control gives CR LF, which is what the
// library stores.
std::string WithCrLf(const std::string& text) {
    std::string out;
    out.reserve(text.size() + text.size() / 16);
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r')) {
            out += '\r';
        }
        out += text[i];
    }
    return out;
}

// Parses the decimal numbers of "X.Y.Z" or "YYYY-MM-DD" into `parts`.
bool ParseParts(const std::string& text, char separator, unsigned (&parts)[3]) {
    const char* p = text.data();
    const char* end = p + text.size();
    for (int i = 0; i < 3; ++i) {
        const auto [next, error] = std::from_chars(p, end, parts[i]);
        if (error != std::errc() || next == p) {
            return false;
        }
        p = next;
        if (i < 2) {
            if (p == end || *p != separator) {
                return false;
            }
            ++p;
        }
    }
    return p == end;
}

std::int32_t ParseVersion(const std::string& text) {
    unsigned v[3];
    if (!ParseParts(text, '.', v) || v[0] > 214747 || v[1] > 99 || v[2] > 99) {
        throw UsageError{"--version must be X.Y.Z with Y and Z below 100: " + text};
    }
    return static_cast<std::int32_t>(v[0] * 10000 + v[1] * 100 + v[2]);
}

std::int32_t ParseDate(const std::string& text) {
    unsigned d[3];
    if (text.size() != 10 || !ParseParts(text, '-', d) || d[1] < 1 || d[1] > 12 || d[2] < 1 ||
        d[2] > 31) {
        throw UsageError{"--date must be YYYY-MM-DD: " + text};
    }
    return static_cast<std::int32_t>(d[0] * 10000 + d[1] * 100 + d[2]);
}

// Fills a header field with UTF-8 text converted to the code page; false when it is too long.
bool FillHeaderField(char* field, std::size_t width, const std::string& utf8) {
    const std::string bytes = CodePage::Encode(Utf16(utf8).view());
    if (bytes.size() >= width) {
        return false;
    }
    std::memcpy(field, bytes.data(), bytes.size());
    return true;
}

// Creates a file that must not exist yet and writes `bytes` to it.
bool CreateNewFile(const std::string& path, const void* bytes, std::size_t size) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (fd < 0) {
        PrintError("poemlib: cannot create " + path + ": " + std::strerror(errno));
        return false;
    }
    const bool written = size == 0 || ::write(fd, bytes, size) == static_cast<ssize_t>(size);
    const bool closed = ::close(fd) == 0;
    if (!written || !closed) {
        PrintError("poemlib: cannot write " + path);
    }
    return written && closed;
}

bool Exists(const std::string& path) {
    return ::access(path.c_str(), F_OK) == 0;
}

} // namespace

int RunAdd(const Args& args) {
    const Arguments arguments(args, {}, {"title", "author", "form"});
    const std::string lib = arguments.Positional(1)[0];
    const CString title = Utf16(arguments.RequiredOption("title"));
    const CString author = Utf16(arguments.RequiredOption("author"));
    const auto form = arguments.Option("form");
    const CString formText = form ? Utf16(*form) : CString();

    const auto library = OpenLibrary(lib);
    if (!library) {
        return kFailure;
    }
    const std::string input((std::istreambuf_iterator<char>(std::cin)),
                            std::istreambuf_iterator<char>());
    CString refusal;
    auto entry = PrepareEntry(title, author, form ? formText.GetString() : nullptr,
                              Utf16(WithCrLf(input)), refusal);
    if (!entry) {
        PrintError(Utf8(refusal));
        return kFailure;
    }
    if (!library->AppendPoem(entry->record, entry->text.data(),
                             static_cast<unsigned>(entry->text.size()))) {
        return kFailure;
    }
    return kSuccess;
}

int RunCreate(const Args& args) {
    const Arguments arguments(args, {}, {"name", "author", "version", "date"});
    const std::string lib = arguments.Positional(1)[0];
    const LibraryPath path = ParseLibraryPath(lib);
    LibraryHeader header{};
    header.magic[0] = 'S';
    header.magic[1] = 'C';
    if (!FillHeaderField(header.name, sizeof header.name, arguments.RequiredOption("name"))) {
        PrintError("poemlib: the name takes at most 32 Chinese characters (64 bytes)");
        return kFailure;
    }
    if (!FillHeaderField(header.author, sizeof header.author, arguments.RequiredOption("author"))) {
        PrintError("poemlib: the author takes at most 8 Chinese characters (16 bytes)");
        return kFailure;
    }
    header.version = ParseVersion(arguments.RequiredOption("version"));
    header.date = ParseDate(arguments.RequiredOption("date"));

    const std::string indexPath = path.folder + path.indexName;
    const std::string dataPath = path.folder + path.dataName;
    for (const auto& existing : {indexPath, dataPath}) {
        if (Exists(existing)) {
            PrintError("poemlib: " + existing + " already exists; it is left as it is");
            return kFailure;
        }
    }
    // The data file first: an index without its data file would be listed as a library.
    if (!CreateNewFile(dataPath, nullptr, 0)) {
        return kFailure;
    }
    if (!CreateNewFile(indexPath, &header, sizeof header)) {
        ::unlink(dataPath.c_str());
        return kFailure;
    }
    RenewSearchIndex(lib); // without it, the library is searched all the same
    return kSuccess;
}

} // namespace poemlib
