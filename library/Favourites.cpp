#include "library/Favourites.h"

#include "library/PoemLibrary.h"
#include "platform/core/CFile.h"
#include "platform/core/CodePage.h"

#include <cerrno>
#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace {

constexpr const char16_t* kFavouritesAuthor = u"读者";
constexpr std::int32_t kFavouritesVersion = 10000; // 1.0.0

CString IndexName() {
    return CString(kFavouritesName) + u".idx";
}

CString DataName() {
    return CString(kFavouritesName) + u".dat";
}

std::string PathOf(const CString& path) {
    return path.ToUtf8();
}

// Today as the header keeps a date: year * 10000 + month * 100 + day.
std::int32_t Today() {
    const auto days = std::chrono::floor<std::chrono::days>(std::chrono::system_clock::now());
    const std::chrono::year_month_day date(days);
    return static_cast<int>(date.year()) * 10000 + static_cast<int>(unsigned(date.month())) * 100 +
           static_cast<int>(unsigned(date.day()));
}

LibraryHeader NewHeader() {
    LibraryHeader header{};
    header.magic[0] = 'S';
    header.magic[1] = 'C';
    CodePage::Encode(kFavouritesName, header.name, sizeof header.name - 1);
    CodePage::Encode(kFavouritesAuthor, header.author, sizeof header.author - 1);
    header.version = kFavouritesVersion;
    header.date = Today();
    return header;
}

// A field up to its zero byte.
std::string_view FieldBytes(const char* field, std::size_t width) {
    return {field, strnlen(field, width)};
}

// Writes `bytes` as the whole of a new file at `path` (replacing one a past interruption left
// there) and pushes it to the storage; errno says why when it fails.
bool WriteWholeFile(const std::string& path, const std::string& bytes) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) {
        return false;
    }
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t wrote = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (wrote <= 0) {
            const int error = errno;
            ::close(fd);
            errno = error;
            return false;
        }
        done += static_cast<std::size_t>(wrote);
    }
    if (::fsync(fd) != 0) {
        const int error = errno;
        ::close(fd);
        errno = error;
        return false;
    }
    return ::close(fd) == 0;
}

// Pushes a rename in the folder to the storage, so that it outlives a power cut.
void SyncFolder(const std::string& folder) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

std::string IndexBytes(const LibraryHeader& header, const std::vector<PoemRecord>& records) {
    std::string bytes(reinterpret_cast<const char*>(&header), kHeaderSize);
    bytes.append(reinterpret_cast<const char*>(records.data()), records.size() * kRecordSize);
    return bytes;
}

} // namespace

KeptPoem KeptPoemOf(CPoemLibrary& library, const PoemRecord& record) {
    KeptPoem poem;
    poem.record = record;
    poem.record.length = 0;
    poem.record.offset = 0;
    CString text;
    library.ReadText(&record, text);
    poem.text = CodePage::Encode(text.view());
    return poem;
}

bool SameFavourite(const KeptPoem& a, const KeptPoem& b) {
    return FieldBytes(a.record.title, sizeof a.record.title) ==
               FieldBytes(b.record.title, sizeof b.record.title) &&
           FieldBytes(a.record.author, sizeof a.record.author) ==
               FieldBytes(b.record.author, sizeof b.record.author) &&
           a.text == b.text;
}

std::unique_ptr<CPoemLibrary> OpenFavourites(const CString& folder) {
    // A library object takes the result buffer for its own when it is made and opened; the
    // favourites give it back to the open library at once.
    PoemRecord* const result = g_pResult;
    auto library = std::make_unique<CPoemLibrary>(folder);
    library->SetFileNames(IndexName(), DataName());
    const bool opened = static_cast<bool>(library->Open(LibraryAccess::readOnly));
    g_pResult = result;
    if (!opened) {
        return nullptr;
    }
    return library;
}

CFavourites::CFavourites(CString folder) : m_strFolder(std::move(folder)) {}

CString CFavourites::IndexPath() const {
    return m_strFolder + IndexName();
}

CString CFavourites::DataPath() const {
    return m_strFolder + DataName();
}

std::vector<KeptPoem> CFavourites::Poems() const {
    std::vector<KeptPoem> poems;
    const std::unique_ptr<CPoemLibrary> library = OpenFavourites(m_strFolder);
    if (library == nullptr) {
        return poems;
    }
    for (const PoemRecord& record : library->GetRecords()) {
        poems.push_back(KeptPoemOf(*library, record));
    }
    return poems;
}

std::uint32_t CFavourites::Count() const {
    const std::unique_ptr<CPoemLibrary> library = OpenFavourites(m_strFolder);
    return library != nullptr ? static_cast<std::uint32_t>(library->GetRecords().size()) : 0;
}

bool CFavourites::Contains(const KeptPoem& poem) const {
    for (const KeptPoem& kept : Poems()) {
        if (SameFavourite(kept, poem)) {
            return true;
        }
    }
    return false;
}

CFavourites::Outcome CFavourites::Add(const KeptPoem& poem) {
    m_strError.Empty();
    if (Contains(poem)) {
        return Outcome::alreadyKept;
    }
    if (::access(PathOf(IndexPath()).c_str(), F_OK) != 0 && !Create()) {
        return Outcome::failed;
    }
    return Append(poem) ? Outcome::added : Outcome::failed;
}

// The first favourite: an empty library, its data file first, so that the index that makes it a
// library comes last and whole.
bool CFavourites::Create() {
    const std::string data = PathOf(DataPath());
    if (!WriteWholeFile(data, {})) {
        return Fail(DataPath(), errno);
    }
    return ReplaceIndex(NewHeader(), {});
}

// The text after the data file's end, then a new index with its record: until the index is
// replaced, the text is only bytes past what the library refers to.
bool CFavourites::Append(const KeptPoem& poem) {
    std::unique_ptr<CPoemLibrary> library = OpenFavourites(m_strFolder);
    if (library == nullptr) {
        m_strError = u"收藏的诗词库打不开。";
        return false;
    }
    std::vector<PoemRecord> records(library->GetRecords().begin(), library->GetRecords().end());
    LibraryHeader header = library->GetHeader();
    library.reset();
    CFile data;
    CFileException error;
    if (!data.Open(DataPath(), CFile::modeReadWrite, &error)) {
        m_strError = error.GetErrorMessage();
        return false;
    }
    const std::int64_t end = data.SeekToEnd();
    if (end < 0 || end > std::int64_t{0xFFFFFFFF} - std::int64_t(poem.text.size()) - 1) {
        m_strError = u"收藏的诗词数据文件已满。";
        return false;
    }
    const std::string text = poem.text + '\0';
    if (!data.Write(text.data(), static_cast<unsigned>(text.size())) || !data.Flush()) {
        m_strError = data.LastError().GetErrorMessage();
        return false;
    }
    PoemRecord record = poem.record;
    record.offset = static_cast<std::uint32_t>(end);
    record.length = static_cast<std::uint32_t>(text.size()); // with its zero byte
    records.push_back(record);
    header.count = static_cast<std::uint32_t>(records.size());
    return ReplaceIndex(header, records);
}

// Writes the index anew beside the old one and renames it over it: the one step that changes
// the library.
bool CFavourites::ReplaceIndex(const LibraryHeader& header,
                               const std::vector<PoemRecord>& records) {
    const std::string index = PathOf(IndexPath());
    const std::string fresh = index + ".new";
    if (!WriteWholeFile(fresh, IndexBytes(header, records)) ||
        ::rename(fresh.c_str(), index.c_str()) != 0) {
        Fail(IndexPath(), errno);
        ::unlink(fresh.c_str());
        return false;
    }
    SyncFolder(PathOf(m_strFolder));
    return true;
}

CFavourites::Outcome CFavourites::Remove(const KeptPoem& poem) {
    m_strError.Empty();
    std::unique_ptr<CPoemLibrary> library = OpenFavourites(m_strFolder);
    if (library == nullptr) {
        return Outcome::notKept;
    }
    std::vector<PoemRecord> kept;
    bool found = false;
    for (const PoemRecord& record : library->GetRecords()) {
        if (!found && SameFavourite(KeptPoemOf(*library, record), poem)) {
            found = true; // a copy kept twice by an older program stays: one goes at a time
        } else {
            kept.push_back(record);
        }
    }
    if (!found) {
        return Outcome::notKept;
    }
    LibraryHeader header = library->GetHeader();
    header.count = static_cast<std::uint32_t>(kept.size());
    library.reset(); // the files are closed before they are replaced
    if (!ReplaceIndex(header, kept)) {
        return Outcome::failed;
    }
    if (kept.empty()) {
        // Nothing refers to the data file any more: its old texts can go.
        if (::truncate(PathOf(DataPath()).c_str(), 0) == 0) {
            SyncFolder(PathOf(m_strFolder));
        }
    }
    return Outcome::removed;
}

bool CFavourites::Fail(const CString& path, int osError) {
    CFileException error;
    error.Set(osError == ENOSPC ? CFileException::diskFull : CFileException::generic, osError,
              path);
    m_strError = error.GetErrorMessage();
    return false;
}
