#pragma once
// What every poemlib command shares: its arguments, the library it works on, and output.

#include "library/PoemLibrary.h"
#include "platform/core/CString.h"
#include "platform/core/Services.h"

#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace poemlib {

enum ExitCode { kSuccess = 0, kFailure = 1, kUsage = 2 };

// Thrown for wrong usage; main prints the message and the command's usage line.
struct UsageError {
    std::string message;
};

class Arguments {
public:
    // `flags` take no value (--json); `options` take one (--title T).
    Arguments(const std::vector<std::string>& args, const std::set<std::string>& flags,
              const std::set<std::string>& options);

    bool Flag(const std::string& name) const { return m_flags.count(name) != 0; }
    std::optional<std::string> Option(const std::string& name) const;
    std::string RequiredOption(const std::string& name) const;
    // The positional arguments; wrong usage unless there are exactly `count`.
    const std::vector<std::string>& Positional(std::size_t count) const;
    const std::vector<std::string>& Positional() const { return m_positional; }

private:
    std::vector<std::string> m_positional;
    std::set<std::string> m_flags;
    std::map<std::string, std::string> m_options;
};

// LIB is the path of an index file; its data file is the same path with .dat in place of .idx
// and the program folder is its folder.
struct LibraryPath {
    std::string folder; // ends with '/'
    std::string indexName;
    std::string dataName;
};
LibraryPath ParseLibraryPath(const std::string& lib);

// Whether a command goes through the records or needs only the header.
enum class Records { read, unread };

// Opens LIB as the reader would and, unless told otherwise, reads its records; on failure prints
// why in one line (the reader's words where it has them) and returns null. Commands that only
// read open it for reading only, so that a library one may not write can still be read.
std::unique_ptr<CPoemLibrary> OpenLibrary(const std::string& lib, Records records = Records::read,
                                          LibraryAccess access = LibraryAccess::readWrite);
// The same for reading only.
inline std::unique_ptr<CPoemLibrary> OpenLibraryToRead(const std::string& lib,
                                                       Records records = Records::read) {
    return OpenLibrary(lib, records, LibraryAccess::readOnly);
}

// Prints UTF-8 text to standard output, or one line to standard error.
void Print(std::string_view utf8);
void PrintError(const std::string& utf8);
// Writes out what standard output still holds: `code` when all the output was written, a
// failure, said once, when some of it could not be (a full disk, say).
int EndOutput(int code);

std::string Utf8(const CString& text);
CString Utf16(const std::string& utf8);
// A record field as text.
std::string FieldText(const char* field, std::size_t width);

// Parses a record number (1-based) within [1, count]; wrong usage otherwise.
std::uint32_t ParseRecordNumber(const std::string& text, std::uint32_t count);

} // namespace poemlib
