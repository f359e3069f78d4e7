#include "platform/core/ProgramFolder.h"

#include "platform/core/Checksum.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <string_view>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>
#include <utility>
#include <vector>

namespace fs = std::filesystem;

namespace {

constexpr const char* kRecordName = ".lomeva-received";

// A library's files: its index, its data and, when it has them, its notes and its search index,
// which go where the two files go.
bool IsLibraryFile(const fs::path& path) {
    const fs::path extension = path.extension();
    return extension == ".idx" || extension == ".dat" || extension == ".notes" ||
           extension == ".search";
}

// A folder the reader's tools leave behind while they work (".building.…").
bool IsHidden(const fs::path& path) {
    return path.filename().string().starts_with('.');
}

// A file's size, modification time and inode: any install of a new file changes one of them.
std::string StampOf(const fs::path& path) {
    struct stat status {};
    if (::stat(path.c_str(), &status) != 0) {
        return "-";
    }
    std::ostringstream stamp;
    stamp << status.st_size << '.' << status.st_mtim.tv_sec << '.' << status.st_mtim.tv_nsec << '.'
          << status.st_ino;
    return stamp.str();
}

// A 64-bit FNV-1a checksum of the file's bytes, as 16 hexadecimal digits.
std::optional<std::string> ChecksumOf(const fs::path& path) {
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        return std::nullopt;
    }
    CChecksum sum;
    char buffer[1 << 16];
    while (file.read(buffer, sizeof buffer) || file.gcount() > 0) {
        sum.Add(std::string_view(buffer, static_cast<std::size_t>(file.gcount())));
    }
    if (file.bad()) {
        return std::nullopt;
    }
    char text[17];
    std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(sum.Value()));
    return std::string(text);
}

// A library's files; the notes file need not be there.
struct Pair {
    fs::path index;
    fs::path data;
    fs::path notes;
    fs::path search; // the search index, when there is one
};

Pair PairIn(const fs::path& folder, const std::string& base) {
    return {folder / (base + ".idx"), folder / (base + ".dat"), folder / (base + ".notes"),
            folder / (base + ".search")};
}

bool HasNotes(const Pair& pair) {
    std::error_code error;
    return fs::is_regular_file(pair.notes, error);
}

// "IDXSUM DATSUM" of both files, the data's followed by "+NOTESSUM" when the library has notes
// (so that a record of a library without them reads as it always has); nothing when a file
// cannot be read.
std::optional<std::string> SumsOf(const Pair& pair) {
    const auto index = ChecksumOf(pair.index);
    const auto data = ChecksumOf(pair.data);
    const auto notes = HasNotes(pair) ? ChecksumOf(pair.notes) : std::optional<std::string>("");
    if (!index || !data || !notes) {
        return std::nullopt;
    }
    return *index + ' ' + *data + (notes->empty() ? "" : '+' + *notes);
}

// "IDXSTAMP DATSTAMP" of the installed files, the same way.
std::string StampsOf(const Pair& pair) {
    return StampOf(pair.index) + ' ' + StampOf(pair.data) +
           (HasNotes(pair) ? '+' + StampOf(pair.notes) : std::string());
}

// What the user received of one library, and how the installed files looked then.
struct Received {
    std::string sums;  // "IDXSUM DATSUM", or "- -" for a copy of unknown origin
    std::string stamp; // "IDXSTAMP DATSTAMP" of the installed files
};

using Record = std::map<std::string, Received>;

// One line a library: IDXSUM DATSUM IDXSTAMP DATSTAMP NAME (the name last: it may hold spaces).
Record ReadRecord(const fs::path& file) {
    Record record;
    std::ifstream in(file);
    std::string line;
    while (std::getline(in, line)) {
        std::istringstream fields(line);
        std::string indexSum, dataSum, indexStamp, dataStamp, name;
        if (fields >> indexSum >> dataSum >> indexStamp >> dataStamp && fields.get() == ' ' &&
            std::getline(fields, name) && !name.empty()) {
            record[name] = {indexSum + ' ' + dataSum, indexStamp + ' ' + dataStamp};
        }
    }
    return record;
}

bool WriteRecord(const fs::path& file, const Record& record) {
    const fs::path temporary = file.string() + '.' + std::to_string(::getpid());
    {
        std::ofstream out(temporary, std::ios::trunc);
        for (const auto& [name, received] : record) {
            out << received.sums << ' ' << received.stamp << ' ' << name << '\n';
        }
        if (!out.flush()) {
            return false;
        }
    }
    std::error_code error;
    fs::rename(temporary, file, error);
    return !error;
}

// Copies one file beside its place first, then renames it, so that a copy cut short never
// stands in its place; the copy is the user's to write.
bool CopyFile(const fs::path& source, const fs::path& target) {
    const fs::path temporary = target.parent_path() / ('.' + target.filename().string() + ".copy-" +
                                                       std::to_string(::getpid()));
    std::error_code error;
    fs::copy_file(source, temporary, fs::copy_options::overwrite_existing, error);
    if (!error) {
        fs::permissions(temporary, fs::perms::owner_read | fs::perms::owner_write,
                        fs::perm_options::add, error);
    }
    if (!error) {
        fs::rename(temporary, target, error);
    }
    if (error) {
        fs::remove(temporary, error);
        return false;
    }
    return true;
}

// Copies the installed library over the user's: each file beside its place first, then renamed,
// so that a copy cut short never stands as a library; the notes and the search index first, the
// index last. Notes or a search index of the user's that the installed library has none of go:
// they were the old library's (a stale search index would only be passed over).
bool CopyPair(const Pair& from, const Pair& to) {
    std::error_code error;
    std::vector<std::pair<fs::path, fs::path>> files;
    for (const auto& [source, target] :
         {std::pair{from.notes, to.notes}, {from.search, to.search}}) {
        if (fs::is_regular_file(source, error)) {
            files.emplace_back(source, target);
        } else {
            fs::remove(target, error);
        }
    }
    files.emplace_back(from.data, to.data);
    files.emplace_back(from.index, to.index);
    for (const auto& [source, target] : files) {
        if (!CopyFile(source, target)) {
            return false;
        }
    }
    return true;
}

// The installed search index beside a copy that is exactly the installed library, after an
// install: the copy may have none (it came before the installed library had one), or one of an
// older make that this reader passes over; the installed one describes the copy's files.
void RenewSearchIndex(const Pair& shipped, const Pair& mine) {
    std::error_code error;
    if (fs::exists(shipped.search, error)) {
        CopyFile(shipped.search, mine.search);
    }
}

class COwnFolder {
public:
    COwnFolder(const fs::path& installed, const fs::path& own, std::vector<std::string>& notes)
        : m_installed(installed), m_own(own), m_notes(notes) {}

    bool Prepare() {
        std::error_code error;
        fs::create_directories(m_own, error);
        if (error || !fs::is_directory(m_own, error)) {
            m_notes.push_back("cannot make your program folder " + m_own.string() + ": " +
                              error.message());
            return false;
        }
        return LinkSharedFiles() && SyncLibraries();
    }

private:
    // Links to every installed file that is not a library, and to every installed folder (the
    // pages of poets and forms); a link left dangling by an older install goes first.
    bool LinkSharedFiles() {
        std::error_code error;
        for (const auto& entry : fs::directory_iterator(m_own, error)) {
            std::error_code ignored;
            if (entry.is_symlink(ignored) && !fs::exists(entry.path(), ignored)) {
                fs::remove(entry.path(), ignored);
            }
        }
        for (const auto& entry : fs::directory_iterator(m_installed, error)) {
            std::error_code status;
            const bool linked = entry.is_regular_file(status)
                                    ? !IsLibraryFile(entry.path())
                                    : entry.is_directory(status) && !IsHidden(entry.path());
            if (!linked) {
                continue;
            }
            const fs::path link = m_own / entry.path().filename();
            if (fs::symlink_status(link, status).type() != fs::file_type::not_found) {
                continue;
            }
            fs::create_symlink(entry.path(), link, status);
            if (status) {
                m_notes.push_back("cannot make the link " + link.string() + ": " +
                                  status.message());
                return false;
            }
        }
        return !error;
    }

    bool SyncLibraries() {
        const fs::path recordFile = m_own / kRecordName;
        Record record = ReadRecord(recordFile);
        bool changed = !fs::exists(recordFile);
        std::error_code error;
        for (const auto& entry : fs::directory_iterator(m_installed, error)) {
            if (entry.path().extension() != ".idx") {
                continue;
            }
            const std::string base = entry.path().stem().string();
            if (base.find_first_of("\n\r") != std::string::npos ||
                !fs::exists(PairIn(m_installed, base).data)) {
                continue;
            }
            if (!SyncLibrary(base, record, changed)) {
                return false;
            }
        }
        if (changed && !WriteRecord(recordFile, record)) {
            m_notes.push_back("cannot write " + recordFile.string());
        }
        return !error;
    }

    // One installed library: copied when the user has none of that name, renewed while the
    // user's copy is exactly what they received, otherwise left alone.
    bool SyncLibrary(const std::string& base, Record& record, bool& changed) {
        const Pair shipped = PairIn(m_installed, base);
        const Pair mine = PairIn(m_own, base);
        const std::string stamp = StampsOf(shipped);
        std::error_code error;
        const bool haveIndex =
            fs::symlink_status(mine.index, error).type() != fs::file_type::not_found;
        const bool haveData =
            fs::symlink_status(mine.data, error).type() != fs::file_type::not_found;
        const auto found = record.find(base);
        if (haveIndex || haveData) {
            if (found != record.end() && found->second.stamp == stamp) {
                return true; // nothing installed since the last look
            }
        }
        const auto shippedSums = SumsOf(shipped);
        if (!shippedSums) {
            return true; // an installed library that cannot be read is no library to copy
        }
        changed = true;
        if (!haveIndex && !haveData) {
            return Copy(base, shipped, mine, *shippedSums, stamp, record);
        }
        if (found != record.end() && found->second.sums == *shippedSums) {
            found->second.stamp = stamp;
            RenewSearchIndex(shipped, mine);
            return true;
        }
        const auto mineSums = SumsOf(mine);
        if (mineSums && *mineSums == *shippedSums) {
            record[base] = {*shippedSums, stamp};
            RenewSearchIndex(shipped, mine);
            return true;
        }
        if (found != record.end() && mineSums && *mineSums == found->second.sums) {
            return Copy(base, shipped, mine, *shippedSums, stamp, record);
        }
        m_notes.push_back("your library " + base + " differs from the one installed with the " +
                          "reader, so it stays as it is; the installed one is " +
                          shipped.index.string());
        if (found != record.end()) {
            found->second.stamp = stamp;
        } else {
            record[base] = {"- -", stamp};
        }
        return true;
    }

    bool Copy(const std::string& base, const Pair& shipped, const Pair& mine,
              const std::string& sums, const std::string& stamp, Record& record) {
        if (!CopyPair(shipped, mine)) {
            m_notes.push_back("cannot copy the library " + base + " into " + m_own.string());
            return false;
        }
        record[base] = {sums, stamp};
        return true;
    }

    fs::path m_installed;
    fs::path m_own;
    std::vector<std::string>& m_notes;
};

} // namespace

fs::path UserProgramFolder() {
    const char* data = std::getenv("XDG_DATA_HOME");
    if (data != nullptr && data[0] == '/') {
        return fs::path(data) / "lomeva";
    }
    const char* home = std::getenv("HOME");
    if (home != nullptr && home[0] == '/') {
        return fs::path(home) / ".local" / "share" / "lomeva";
    }
    return {};
}

fs::path RunningProgramFolder(const fs::path& installed, const fs::path& own,
                              std::vector<std::string>& notes) {
    if (::access(installed.c_str(), W_OK) == 0) {
        return installed;
    }
    if (own.empty()) {
        notes.push_back("neither XDG_DATA_HOME nor HOME says where your program folder goes");
        return installed;
    }
    return PrepareOwnProgramFolder(installed, own, notes) ? own : installed;
}

bool PrepareOwnProgramFolder(const fs::path& installed, const fs::path& own,
                             std::vector<std::string>& notes) {
    return COwnFolder(installed, own, notes).Prepare();
}
