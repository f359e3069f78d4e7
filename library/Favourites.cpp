#include "library/Favourites.h"

#include "library/FileReads.h"
#include "library/PoemLibrary.h"
#include "platform/core/CFile.h"
#include "platform/core/CodePage.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <map>
#include <tuple>
#include <unistd.h>

namespace {

constexpr const char16_t* kFavouritesAuthor = u"读者";
constexpr std::int32_t kFavouritesVersion = 10000; // 1.0.0
constexpr const char16_t* kCannotOpen = u"收藏的诗词库打不开。";

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
    if (!WriteWhole(fd, bytes.data(), bytes.size()) || ::fsync(fd) != 0) {
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

// The poem of `record` with its text read now, its notes not yet.
KeptPoem TextOf(CPoemLibrary& library, const PoemRecord& record, CString& text) {
    KeptPoem poem;
    poem.record = record;
    poem.record.length = 0;
    poem.record.offset = 0;
    library.ReadText(&record, text);
    poem.text = CodePage::Encode(text.view());
    return poem;
}

// The library opened for reading, its files named as the favourites'.
std::unique_ptr<CPoemLibrary> OpenLibrary(const CString& folder, OpenResult& result) {
    // A library object takes the result buffer for its own when it is made and opened; the
    // favourites give it back to the open library at once.
    PoemRecord* const buffer = g_pResult;
    auto library = std::make_unique<CPoemLibrary>(folder);
    library->SetFileNames(IndexName(), DataName());
    result = library->Open(LibraryAccess::readOnly);
    g_pResult = buffer;
    return library;
}

bool Exists(const CString& path) {
    return ::access(PathOf(path).c_str(), F_OK) == 0;
}

} // namespace

// The favourites as their files hold them now.
struct CFavourites::Stored {
    LibraryHeader header{};
    std::vector<PoemRecord> records; // each with its text's place in the data file
    std::vector<KeptPoem> poems;     // what each record keeps, in the same order
    std::uint64_t textsEnd = 0;      // the end of the furthest text a record claims
};

// A file of the favourites replaced in one step: its new bytes written whole beside it and pushed
// to the storage, then renamed over it; or, when the favourites need no such file any more, the
// file taken away. What was written beside it and never put in place goes with this object.
class CFavourites::CReplacement {
public:
    explicit CReplacement(CString path)
        : m_strPath(std::move(path)), m_target(PathOf(m_strPath)), m_fresh(m_target + ".new") {}
    ~CReplacement() {
        if (m_bWritten && !m_bCommitted) {
            ::unlink(m_fresh.c_str());
        }
    }
    CReplacement(const CReplacement&) = delete;
    CReplacement& operator=(const CReplacement&) = delete;

    const CString& Path() const { return m_strPath; }
    // False, with errno saying why, when the new file cannot be written.
    bool Write(const std::string& bytes) {
        m_bWritten = true;
        return WriteWholeFile(m_fresh, bytes);
    }
    void TakeAway() { m_bTakeAway = true; }
    // Puts the new file in place (or takes the old one away); false, with errno, when it cannot.
    bool Commit() {
        const bool done = m_bTakeAway ? ::unlink(m_target.c_str()) == 0 || errno == ENOENT
                                      : ::rename(m_fresh.c_str(), m_target.c_str()) == 0;
        m_bCommitted = done;
        return done;
    }

private:
    CString m_strPath;
    std::string m_target;
    std::string m_fresh;
    bool m_bWritten = false;
    bool m_bTakeAway = false;
    bool m_bCommitted = false;
};

KeptPoem KeptPoemOf(CPoemLibrary& library, const PoemRecord& record) {
    CString text;
    KeptPoem poem = TextOf(library, record, text);
    poem.notes =
        FindPoemNotes(library.GetFolder() + NotesFileName(library.GetIndexName()), record, text);
    return poem;
}

bool SameFavourite(const KeptPoem& a, const KeptPoem& b) {
    // With both whole titles known, they decide; otherwise the records' titles, whole or cut
    // alike, do.
    const bool sameTitle = !a.notes.fullTitle.IsEmpty() && !b.notes.fullTitle.IsEmpty()
                               ? a.notes.fullTitle == b.notes.fullTitle
                               : FieldBytes(a.record.title, sizeof a.record.title) ==
                                     FieldBytes(b.record.title, sizeof b.record.title);
    return sameTitle &&
           FieldBytes(a.record.author, sizeof a.record.author) ==
               FieldBytes(b.record.author, sizeof b.record.author) &&
           a.text == b.text;
}

std::unique_ptr<CPoemLibrary> OpenFavourites(const CString& folder) {
    OpenResult result;
    std::unique_ptr<CPoemLibrary> library = OpenLibrary(folder, result);
    return result ? std::move(library) : nullptr;
}

CFavourites::CFavourites(CString folder) : m_strFolder(std::move(folder)) {}

CString CFavourites::IndexPath() const {
    return m_strFolder + IndexName();
}

CString CFavourites::DataPath() const {
    return m_strFolder + DataName();
}

CString CFavourites::NotesPath() const {
    return m_strFolder + NotesFileName(IndexName());
}

// Nothing, with `problem` empty, when there are no favourites; nothing, with `problem` saying
// why, when their files are there but cannot be read.
std::optional<CFavourites::Stored> CFavourites::Load(CString& problem) const {
    problem.Empty();
    if (!Exists(IndexPath())) {
        return std::nullopt;
    }
    OpenResult result;
    const std::unique_ptr<CPoemLibrary> library = OpenLibrary(m_strFolder, result);
    const std::span<const PoemRecord> records =
        result ? library->GetRecords() : std::span<const PoemRecord>();
    if (!result || !library->IsOpen()) {
        problem = CString(kCannotOpen) + OpenFailureMessage(result);
        return std::nullopt;
    }
    Stored stored;
    stored.header = library->GetHeader();
    stored.records.assign(records.begin(), records.end());
    // The notes file is read once, and each poem finds its notes under its own text's key.
    std::map<std::tuple<std::uint32_t, std::uint32_t, std::uint64_t>, PoemNotes> notes;
    for (NotesEntry& entry : ReadNotesFile(NotesPath()).entries) {
        notes.emplace(std::tuple(entry.offset, entry.length, entry.poemSum),
                      std::move(entry.notes));
    }
    for (const PoemRecord& record : stored.records) {
        CString text;
        KeptPoem poem = TextOf(*library, record, text);
        if (const auto found =
                notes.find(std::tuple(record.offset, record.length, PoemSum(record, poem.text)));
            found != notes.end()) {
            poem.notes = found->second;
        }
        stored.poems.push_back(std::move(poem));
        stored.textsEnd = std::max(stored.textsEnd, std::uint64_t{record.offset} + record.length);
    }
    return stored;
}

std::vector<KeptPoem> CFavourites::Poems() const {
    CString problem;
    std::optional<Stored> stored = Load(problem);
    return stored ? std::move(stored->poems) : std::vector<KeptPoem>();
}

std::uint32_t CFavourites::Count() const {
    const std::unique_ptr<CPoemLibrary> library = OpenFavourites(m_strFolder);
    return library != nullptr ? static_cast<std::uint32_t>(library->GetRecords().size()) : 0;
}

bool CFavourites::Contains(const KeptPoem& poem) const {
    const std::vector<KeptPoem> poems = Poems();
    return std::any_of(poems.begin(), poems.end(),
                       [&](const KeptPoem& kept) { return SameFavourite(kept, poem); });
}

CFavourites::Outcome CFavourites::Add(const KeptPoem& poem) {
    std::optional<Stored> stored = Load(m_strError);
    if (!m_strError.IsEmpty()) {
        return Outcome::failed; // favourites there but damaged are not written over
    }
    const bool creating = !stored;
    if (creating) {
        stored.emplace();
        stored->header = NewHeader();
    }
    for (const KeptPoem& kept : stored->poems) {
        if (SameFavourite(kept, poem)) {
            return Outcome::alreadyKept;
        }
    }
    return Keep(*stored, poem, creating) ? Outcome::added : Outcome::failed;
}

// Everything new is written beside the favourites first, so that a folder or file that cannot be
// written changes nothing. Then the text goes after every byte of the data file and every text a
// record claims (an index mended by hand may claim more than the file holds), then the notes
// file, which gains the notes of a text no record refers to yet, and last the index that does.
bool CFavourites::Keep(Stored& stored, const KeptPoem& poem, bool creating) {
    CFile data;
    if (!OpenData(data, creating)) {
        return false;
    }
    const std::int64_t size = data.GetLength();
    if (size < 0) {
        m_strError = data.LastError().GetErrorMessage();
        return false;
    }
    const std::uint64_t at = std::max(static_cast<std::uint64_t>(size), stored.textsEnd);
    const std::string text = poem.text + '\0';
    if (at + text.size() > 0xFFFFFFFF) {
        m_strError = u"收藏的诗词数据文件已满。";
        return false;
    }
    PoemRecord record = poem.record;
    record.offset = static_cast<std::uint32_t>(at);
    record.length = static_cast<std::uint32_t>(text.size()); // with its zero byte
    stored.records.push_back(record);
    stored.poems.push_back(poem);
    stored.header.count = static_cast<std::uint32_t>(stored.records.size());
    CReplacement index(IndexPath());
    CReplacement notes(NotesPath());
    return PrepareIndex(index, stored) && PrepareNotes(notes, stored) &&
           WriteText(data, at, text) && Commit(notes) && Commit(index);
}

// The first favourite starts the data file afresh: with no index, nothing refers to a data file
// that an interrupted first one may have left.
bool CFavourites::OpenData(CFile& data, bool creating) {
    if (creating && !WriteWholeFile(PathOf(DataPath()), {})) {
        return Fail(DataPath(), errno);
    }
    CFileException error;
    if (!data.Open(DataPath(), CFile::modeReadWrite, &error)) {
        m_strError = error.GetErrorMessage();
        return false;
    }
    return true;
}

bool CFavourites::WriteText(CFile& data, std::uint64_t at, const std::string& text) {
    if (data.Seek(static_cast<std::int64_t>(at), CFile::begin) < 0 ||
        !data.Write(text.data(), static_cast<unsigned>(text.size())) || !data.Flush()) {
        m_strError = data.LastError().GetErrorMessage();
        return false;
    }
    return true;
}

bool CFavourites::PrepareIndex(CReplacement& index, const Stored& stored) {
    return index.Write(IndexBytes(stored.header, stored.records)) || Fail(index.Path(), errno);
}

// The notes of every poem kept, under the places of their texts; no file when none has any.
bool CFavourites::PrepareNotes(CReplacement& notes, const Stored& stored) {
    CNotesWriter writer;
    for (std::size_t i = 0; i < stored.records.size(); ++i) {
        writer.Add(stored.records[i], std::string_view(stored.poems[i].text),
                   stored.poems[i].notes);
    }
    if (writer.IsEmpty()) {
        notes.TakeAway();
        return true;
    }
    std::string bytes;
    std::string error;
    if (!writer.Compose(bytes, error)) {
        m_strError = u"收藏的注释太多，无法写入。";
        return false;
    }
    return notes.Write(bytes) || Fail(notes.Path(), errno);
}

bool CFavourites::Commit(CReplacement& file) {
    if (!file.Commit()) {
        return Fail(file.Path(), errno);
    }
    SyncFolder(PathOf(m_strFolder));
    return true;
}

// The index without the poem goes in first; then the notes without its notes, which until then
// are only those of a text that no record refers to any more.
CFavourites::Outcome CFavourites::Remove(const KeptPoem& poem) {
    std::optional<Stored> stored = Load(m_strError);
    if (!stored) {
        return m_strError.IsEmpty() ? Outcome::notKept : Outcome::failed;
    }
    const auto found =
        std::find_if(stored->poems.begin(), stored->poems.end(),
                     [&](const KeptPoem& kept) { return SameFavourite(kept, poem); });
    if (found == stored->poems.end()) {
        return Outcome::notKept;
    }
    // A copy kept twice by an older program stays: one goes at a time.
    const auto number = found - stored->poems.begin();
    stored->poems.erase(found);
    stored->records.erase(stored->records.begin() + number);
    stored->header.count = static_cast<std::uint32_t>(stored->records.size());
    CReplacement index(IndexPath());
    CReplacement notes(NotesPath());
    if (!PrepareIndex(index, *stored) || !PrepareNotes(notes, *stored) || !Commit(index)) {
        return Outcome::failed;
    }
    // The poem is out once the index is in place; notes left behind if the notes file could not
    // be replaced show nowhere, and the next change leaves them out.
    Commit(notes);
    m_strError.Empty();
    return Outcome::removed;
}

bool CFavourites::Fail(const CString& path, int osError) {
    CFileException error;
    error.SetFromOsError(osError, path);
    m_strError = error.GetErrorMessage();
    return false;
}
