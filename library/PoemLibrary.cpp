#include "library/PoemLibrary.h"

#include "library/ByteSearch.h"
#include "platform/core/CodePage.h"
#include "platform/core/MappedRead.h"
#include "platform/core/Services.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <new>
#include <optional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

PoemRecord* g_pResult = nullptr;

namespace {

constexpr const char16_t* kCannotReadIndex = u"不能读诗词索引文件.";
constexpr const char16_t* kNotAnIndex = u"不是诗词索引文件,不可用.";
constexpr const char16_t* kNotOpen = u"诗词库没有打开,不能加入诗词.";
constexpr const char16_t* kDataFull = u"诗词数据文件已满,不能再加入诗词.";

void ShowFileError(const CFileException& error) {
    AfxMessageBox(error.GetErrorMessage(CFileException::kMaxMessage));
}

std::u16string_view KeywordOf(const char16_t* keyword) {
    return keyword != nullptr ? std::u16string_view(keyword) : std::u16string_view();
}

} // namespace

CString OpenFailureMessage(const OpenResult& result) {
    switch (result.failure) {
    case OpenFailure::indexNotOpened:
    case OpenFailure::dataNotOpened:
        return result.fileError.GetErrorMessage(CFileException::kMaxMessage);
    case OpenFailure::headerShort:
        return kCannotReadIndex;
    case OpenFailure::notAnIndex:
        return kNotAnIndex;
    case OpenFailure::none:
    case OpenFailure::recordsMissing:
    case OpenFailure::noMemory:
        break;
    }
    return {};
}

void ShowOpenFailure(const OpenResult& result) {
    const CString message = OpenFailureMessage(result);
    if (!message.IsEmpty()) {
        AfxMessageBox(message);
    }
}

CPoemLibrary::CPoemLibrary(const CString& folder)
    : m_strFolder(folder), m_strIndexName(u"kavro.idx"), m_strDataName(u"kavro.dat") {
    g_pResult = nullptr;
}

CPoemLibrary::~CPoemLibrary() {
    if (g_pResult == m_pResult.get()) {
        g_pResult = nullptr;
    }
}

void CPoemLibrary::SetFileNames(const CString& indexName, const CString& dataName) {
    m_strIndexName = indexName;
    m_strDataName = dataName;
}

OpenResult CPoemLibrary::Open(LibraryAccess access) {
    if (g_pResult == m_pResult.get()) {
        g_pResult = nullptr; // an earlier Open's buffer, which this one replaces
    }
    m_pUnreadIndex.reset();
    m_nCount = 0;
    m_nStatedCount = 0;
    OpenResult result;
    auto index = std::make_unique<CFile>();
    if (!index->Open(m_strFolder + m_strIndexName, CFile::modeRead, &result.fileError)) {
        result.failure = OpenFailure::indexNotOpened;
    } else if (index->Read(&m_header, kHeaderSize) < kHeaderSize) {
        result.failure = OpenFailure::headerShort;
    } else if (!HasSignature(m_header)) {
        result.failure = OpenFailure::notAnIndex;
    } else {
        m_nStatedCount = m_header.count;
        if (m_nStatedCount > 0) {
            result.failure = LoadRecords(std::move(index));
        }
    }
    if (result) {
        // The records have their room, so the count is theirs (a failed reading sets it back).
        m_nCount = m_header.count;
        const unsigned mode =
            access == LibraryAccess::readOnly ? CFile::modeRead : CFile::modeReadWrite;
        if (!m_file.Open(m_strFolder + m_strDataName, mode, &result.fileError)) {
            result.failure = OpenFailure::dataNotOpened;
        }
    }
    m_bOpen = static_cast<bool>(result);
    return result;
}

namespace {

// Reads the records that follow the header, in pieces a read can take.
bool ReadRecords(CFile& index, char* destination, std::uint64_t bytes) {
    for (std::uint64_t done = 0; done < bytes;) {
        const auto chunk = static_cast<unsigned>(std::min<std::uint64_t>(bytes - done, 1u << 30));
        if (index.ReadAt(kHeaderSize + done, destination + done, chunk) < chunk) {
            return false;
        }
        done += chunk;
    }
    return true;
}

} // namespace

// Open checks the index and makes room for its records; they are read the first time they are
// needed. A large library's index is tens of megabytes, and the main screen, which shows only the
// header, need not wait for them. The index stays open until then, so that what is read is the
// file that Open checked.
OpenFailure CPoemLibrary::LoadRecords(std::unique_ptr<CFile> index) {
    // A count the file cannot hold fails here, before anything is allocated for it.
    const std::uint32_t count = m_header.count;
    const std::int64_t size = index->GetLength();
    if (size < 0 || static_cast<std::uint64_t>(size) < RecordPosition(count)) {
        return OpenFailure::recordsMissing;
    }
    m_pRecords = RecordArray::Allocate(count);
    m_pResult = RecordArray::Allocate(count);
    if (!m_pRecords || !m_pResult) {
        m_pRecords = RecordArray();
        m_pResult = RecordArray();
        return OpenFailure::noMemory;
    }
    g_pResult = m_pResult.get();
    m_nResultFilled = 0; // fresh memory reads as zero
    m_pUnreadIndex = std::move(index);
    return OpenFailure::none;
}

// The records are read in place through a mapping of the index when it can be had, and copied
// into the room Open made otherwise. Either way the index must still hold every one of them.
bool CPoemLibrary::MapOrReadRecords(CFile& index) {
    const std::int64_t size = index.GetLength();
    if (size < 0 || static_cast<std::uint64_t>(size) < RecordPosition(m_nCount)) {
        return false;
    }
    if (RecordArray mapped = RecordArray::MapIndex(index.GetHandle(), m_nCount)) {
        m_pRecords = std::move(mapped);
        return true;
    }
    return ReadRecords(index, reinterpret_cast<char*>(m_pRecords.get()),
                       std::uint64_t{kRecordSize} * m_nCount);
}

bool CPoemLibrary::ReadRecordsIfDue() {
    if (m_pUnreadIndex == nullptr) {
        return m_bOpen;
    }
    const std::unique_ptr<CFile> index = std::move(m_pUnreadIndex);
    if (!MapOrReadRecords(*index)) {
        // The file failed under the reader (a disk error, or shortened since Open): the library
        // closes as if Open had failed, and says so.
        m_pRecords = RecordArray();
        m_nCount = 0;
        if (m_bOpen) {
            m_bOpen = false;
            AfxMessageBox(kCannotReadIndex);
        }
    }
    return m_bOpen;
}

CString CPoemLibrary::GetName() const {
    return CodePage::Decode(m_header.name, sizeof m_header.name);
}

CString CPoemLibrary::GetAuthor() const {
    return CodePage::Decode(m_header.author, sizeof m_header.author);
}

CString CPoemLibrary::GetVersion() const {
    const auto version = static_cast<unsigned>(m_header.version);
    return CString::Formatted(u"%0u.%0u.%0u", version / 10000, version % 10000 / 100,
                              version % 100);
}

CString CPoemLibrary::GetDate() const {
    const auto date = static_cast<unsigned>(m_header.date);
    return CString::Formatted(u"%04u-%02u-%02u", date / 10000, date % 10000 / 100, date % 100);
}

bool CPoemLibrary::ReadTextBytes(const PoemRecord& record, std::string& bytes) {
    bytes.clear();
    if (!m_bOpen) {
        return false;
    }
    // Read only what the data file holds from the offset: a length near 4 GiB must neither
    // wrap nor ask for gigabytes.
    const std::int64_t size = m_file.GetLength();
    if (size <= static_cast<std::int64_t>(record.offset)) {
        return true;
    }
    const auto available = static_cast<std::uint64_t>(size) - record.offset;
    const auto wanted = static_cast<unsigned>(std::min<std::uint64_t>(record.length, available));
    bytes.resize(wanted);
    bytes.resize(m_file.ReadAt(record.offset, bytes.data(), wanted));
    return true;
}

std::span<const PoemRecord> CPoemLibrary::GetRecords() {
    ReadRecordsIfDue();
    if (!m_pRecords) {
        return {};
    }
    return {m_pRecords.get(), m_nCount};
}

bool CPoemLibrary::IsOpen() {
    return ReadRecordsIfDue();
}

int CPoemLibrary::ReadText(const PoemRecord* record, CString& text) {
    if (record == nullptr) {
        return -1;
    }
    std::string bytes;
    ReadTextBytes(*record, bytes);
    // The decoder stops at the first zero byte or at the end of what was read, so a text
    // stored without its zero byte ends where the data does.
    text = CodePage::Decode(bytes.data(), bytes.size());
    return static_cast<int>(std::min<std::size_t>(bytes.size(), std::numeric_limits<int>::max()));
}

unsigned CPoemLibrary::Select(const char16_t* keyword, int field,
                              std::vector<std::uint32_t>* numbers) {
    if (numbers != nullptr) {
        numbers->clear();
    }
    if (!ReadRecordsIfDue() || g_pResult == nullptr || m_nCount == 0) {
        return 0; // nothing loaded: nothing to find, and no array to touch
    }
    m_pNumbers = numbers;
    const unsigned found = FillResult(KeywordOf(keyword), field);
    m_pNumbers = nullptr;
    // Every entry after the found ones must be zero. Those past the furthest that any selection
    // has filled still are, so only the ones between are cleared: a search that finds a few poems
    // does not write the whole buffer (tens of megabytes in a large library).
    if (found < m_nResultFilled) {
        std::memset(static_cast<void*>(g_pResult + found), 0,
                    std::size_t{kRecordSize} * (m_nResultFilled - found));
    }
    m_nResultFilled = found;
    return found;
}

void CPoemLibrary::AddResult(unsigned at, std::uint32_t record) {
    g_pResult[at] = m_pRecords[record];
    if (m_pNumbers != nullptr) {
        m_pNumbers->push_back(record);
    }
}

// Writes the matching records to the front of g_pResult and returns how many there are.
unsigned CPoemLibrary::FillResult(std::u16string_view keyword, int field) {
    switch (field) {
    case SEL_ALL:
        std::copy_n(m_pRecords.get(), m_nCount, g_pResult);
        for (std::uint32_t i = 0; m_pNumbers != nullptr && i < m_nCount; ++i) {
            m_pNumbers->push_back(i);
        }
        return m_nCount;
    case SEL_TITLE:
        return SelectByField(keyword, offsetof(PoemRecord, title), sizeof(PoemRecord::title));
    case SEL_AUTHOR:
        return SelectByField(keyword, offsetof(PoemRecord, author), sizeof(PoemRecord::author));
    case SEL_DYNASTY:
        return SelectByField(keyword, offsetof(PoemRecord, dynasty), sizeof(PoemRecord::dynasty));
    case SEL_FORM:
        return SelectByField(keyword, offsetof(PoemRecord, form), sizeof(PoemRecord::form));
    case SEL_FULLTEXT:
        return SelectFullText(keyword);
    default:
        return 0;
    }
}

// Keywords that have one byte form are searched in the code page's bytes, without decoding;
// the others (U+FFFD, characters the page lacks) are searched in the decoded text.
unsigned CPoemLibrary::SelectByField(std::u16string_view keyword, std::size_t fieldOffset,
                                     std::size_t fieldWidth) {
    const std::optional<std::string> needle = CodePage::SearchBytes(keyword);
    if (needle && !needle->empty() && needle->find('\0') == std::string::npos) {
        return SelectByFieldInOnePass(*needle, fieldOffset, fieldWidth);
    }
    unsigned found = 0;
    std::u16string field;
    for (std::uint32_t i = 0; i < m_nCount; ++i) {
        const PoemRecord& record = m_pRecords[i];
        const char* bytes = reinterpret_cast<const char*>(&record) + fieldOffset;
        bool match = false;
        if (needle) {
            match = ByteSearch::ContainsAtCharacter(
                bytes, ByteSearch::TextLength(bytes, fieldWidth), *needle);
        } else {
            field.clear();
            CodePage::DecodeAppend(bytes, fieldWidth, field);
            match = field.find(keyword) != std::u16string::npos;
        }
        if (match) {
            AddResult(found++, i);
        }
    }
    return found;
}

// The needle's bytes are found in all the records at once; a record is checked as above only
// when one of them falls inside the field searched. The hits come in increasing order, so the
// records found are in library order.
unsigned CPoemLibrary::SelectByFieldInOnePass(const std::string& needle, std::size_t fieldOffset,
                                              std::size_t fieldWidth) {
    const std::string_view records(reinterpret_cast<const char*>(m_pRecords.get()),
                                   std::size_t{kRecordSize} * m_nCount);
    std::vector<std::uint64_t> hits;
    ByteSearch::FindAll(records, needle, hits);
    unsigned found = 0;
    std::uint64_t checked = std::numeric_limits<std::uint64_t>::max(); // the record last checked
    for (const std::uint64_t hit : hits) {
        const std::uint64_t record = hit / kRecordSize;
        const std::uint64_t within = hit % kRecordSize;
        if (record == checked || within < fieldOffset ||
            within + needle.size() > fieldOffset + fieldWidth) {
            continue;
        }
        checked = record;
        const char* bytes = records.data() + record * kRecordSize + fieldOffset;
        if (ByteSearch::ContainsAtCharacter(bytes, ByteSearch::TextLength(bytes, fieldWidth),
                                            needle)) {
            AddResult(found++, static_cast<std::uint32_t>(record));
        }
    }
    return found;
}

// A keyword with a byte form is looked for in the whole data file at once, through a mapping;
// the others, and any search the mapping cannot serve, read and decode text by text.
unsigned CPoemLibrary::SelectFullText(std::u16string_view keyword) {
    const std::optional<std::string> needle = CodePage::SearchBytes(keyword);
    if (needle && !needle->empty() && needle->find('\0') == std::string::npos) {
        if (const std::optional<unsigned> found = SelectFullTextMapped(*needle)) {
            return *found;
        }
    }
    return SelectFullTextByReading(keyword, needle);
}

namespace {

constexpr std::uint32_t kPrefetchAhead = 24;       // records
constexpr std::uint32_t kGatherInParallel = 50000; // records, from which a thread pays

// The offset and length of each record's text, and every place of the data file where the
// needle's bytes occur. In a large library a second thread gathers the offsets and lengths into
// an array of their own and then scans the last third of the file, while the calling thread
// scans the rest: the passes over tens of megabytes run side by side. Otherwise, or when no
// thread can be had, the calling thread does it all and the places are read from the records.
class FullTextScan {
public:
    FullTextScan(const PoemRecord* records, std::uint32_t count, std::string_view data,
                 std::string_view needle)
        : m_records(records), m_count(count), m_data(data), m_needle(needle) {}
    ~FullTextScan() { Join(); }
    FullTextScan(const FullTextScan&) = delete;
    FullTextScan& operator=(const FullTextScan&) = delete;

    // Finds every occurrence; false when the file shrank under its mapping meanwhile.
    bool Run() {
        m_hits.reserve(4096);
        std::size_t split = m_data.size(); // where the second thread's part begins
        if (m_count >= kGatherInParallel && std::thread::hardware_concurrency() >= 2) {
            try {
                m_places = std::make_unique_for_overwrite<Place[]>(m_count);
                split = m_data.size() - m_data.size() / 3;
                m_second = std::thread([this, split] { RunSecond(split); });
            } catch (const std::exception&) {
                m_places.reset(); // no thread or no memory: one thread does it all
                split = m_data.size();
            }
        }
        // The first part holds every occurrence that starts before the split.
        const std::string_view first =
            m_data.substr(0, std::min(m_data.size(), split + m_needle.size() - 1));
        auto scanFirst = [&] { ByteSearch::FindAll(first, m_needle, m_hits); };
        const bool scanned = MappedRead::ReadMappedGuarded(scanFirst);
        Join();
        if (m_places != nullptr) {
            for (const std::uint64_t hit : m_secondHits) {
                m_hits.push_back(hit + split);
            }
        }
        return scanned && m_secondScanned;
    }

    const std::vector<std::uint64_t>& Hits() const { return m_hits; }
    // True when a second thread took part, and another may help again.
    bool Parallel() const { return m_places != nullptr; }
    // Offset and length of record i's text.
    std::pair<std::uint32_t, std::uint32_t> Of(std::uint32_t i) const {
        if (m_places != nullptr) {
            return {m_places[i].offset, m_places[i].length};
        }
        return {m_records[i].offset, m_records[i].length};
    }

private:
    struct Place {
        std::uint32_t offset;
        std::uint32_t length;
    };

    void RunSecond(std::size_t split) {
        for (std::uint32_t i = 0; i < m_count; ++i) {
            __builtin_prefetch(&m_records[std::min(i + kPrefetchAhead, m_count - 1)].length);
            m_places[i] = {m_records[i].offset, m_records[i].length};
        }
        m_secondHits.reserve(4096);
        auto scan = [&] { ByteSearch::FindAll(m_data.substr(split), m_needle, m_secondHits); };
        m_secondScanned = MappedRead::ReadMappedGuarded(scan);
    }

    void Join() {
        if (m_second.joinable()) {
            m_second.join();
        }
    }

    const PoemRecord* m_records;
    std::uint32_t m_count;
    std::string_view m_data;
    std::string_view m_needle;
    std::vector<std::uint64_t> m_hits;
    std::unique_ptr<Place[]> m_places;
    std::vector<std::uint64_t> m_secondHits; // from the split on
    bool m_secondScanned = true;
    std::thread m_second;
};

// The first of `hits` (in increasing order) at or after `start`, searching from `from`: a step
// or two when the records come in data-file order, a binary search when they do not.
std::size_t FirstHitFrom(const std::vector<std::uint64_t>& hits, std::size_t from,
                         std::uint64_t start) {
    if (from > 0 && hits[from - 1] >= start) {
        from = 0; // behind the last record: search from the beginning
    }
    for (int step = 0; step < 4 && from < hits.size(); ++step, ++from) {
        if (hits[from] >= start) {
            return from;
        }
    }
    return static_cast<std::size_t>(
        std::lower_bound(hits.begin() + static_cast<std::ptrdiff_t>(from), hits.end(), start) -
        hits.begin());
}

// Appends to `matches` the numbers of the records in [first, end) whose text holds the needle,
// as the plain search would find it: each record with an occurrence inside its text is checked
// up to its first zero byte, on a character. False when the file shrank under its mapping.
bool CheckRecords(const FullTextScan& scan, std::string_view data, std::string_view needle,
                  std::uint32_t first, std::uint32_t end, std::vector<std::uint32_t>& matches) {
    const std::vector<std::uint64_t>& hits = scan.Hits();
    auto check = [&] {
        std::size_t next = 0;
        for (std::uint32_t i = first; i < end && !hits.empty(); ++i) {
            const auto [offset, length] = scan.Of(i);
            const std::size_t start = std::min<std::size_t>(offset, data.size());
            const std::size_t size = std::min<std::size_t>(length, data.size() - start);
            if (size < needle.size()) {
                continue;
            }
            next = FirstHitFrom(hits, next, start);
            if (next == hits.size() || hits[next] + needle.size() > start + size) {
                continue;
            }
            const char* text = data.data() + start;
            if (ByteSearch::ContainsAtCharacter(text, ByteSearch::TextLength(text, size), needle)) {
                matches.push_back(i);
            }
        }
    };
    return MappedRead::ReadMappedGuarded(check);
}

} // namespace

// Every place of the data file where the needle's bytes occur is found in one pass; a record
// whose text holds one of them (texts may overlap, share bytes or run past the end of the file)
// is then checked as the plain search would: up to its first zero byte, on a character.
std::optional<unsigned> CPoemLibrary::SelectFullTextMapped(const std::string& needle) {
    const std::string_view data = m_file.MapView();
    if (data.empty()) {
        return std::nullopt;
    }
    FullTextScan scan(m_pRecords.get(), m_nCount, data, needle);
    bool read = scan.Run();
    // The records are checked in two halves side by side when the scan ran on two threads.
    std::vector<std::uint32_t> matches;
    std::vector<std::uint32_t> secondMatches;
    std::uint32_t split = m_nCount;
    bool secondRead = true;
    std::thread second;
    if (read && scan.Parallel()) {
        try {
            second = std::thread([&, half = m_nCount / 2] {
                secondRead = CheckRecords(scan, data, needle, half, m_nCount, secondMatches);
            });
            split = m_nCount / 2;
        } catch (const std::exception&) {
            split = m_nCount; // no thread: this one checks them all
        }
    }
    read = read && CheckRecords(scan, data, needle, 0, split, matches);
    if (second.joinable()) {
        second.join();
    }
    // The file may shrink under the mapping while it is read: the search then reads instead.
    m_file.ReleaseView();
    if (!read || !secondRead) {
        return std::nullopt;
    }
    unsigned found = 0;
    for (const std::vector<std::uint32_t>* part : {&matches, &secondMatches}) {
        for (const std::uint32_t i : *part) {
            AddResult(found++, i);
        }
    }
    return found;
}

unsigned CPoemLibrary::SelectFullTextByReading(std::u16string_view keyword,
                                               const std::optional<std::string>& needle) {
    unsigned found = 0;
    std::string bytes;
    std::u16string text;
    for (std::uint32_t i = 0; i < m_nCount; ++i) {
        const PoemRecord& record = m_pRecords[i];
        ReadTextBytes(record, bytes);
        bool match = false;
        if (needle) {
            match = ByteSearch::ContainsAtCharacter(
                bytes.data(), ByteSearch::TextLength(bytes.data(), bytes.size()), *needle);
        } else {
            text.clear();
            CodePage::DecodeAppend(bytes.data(), bytes.size(), text);
            match = text.find(keyword) != std::u16string::npos;
        }
        if (match) {
            AddResult(found++, i);
        }
    }
    return found;
}

bool CPoemLibrary::AppendPoem(PoemRecord& record, const char* text, unsigned size) {
    const PoemToAppend poem{&record, text, size};
    return AppendPoems({&poem, 1});
}

bool CPoemLibrary::ReadIndexHeaderForAppend(CFile& index, LibraryHeader& header) {
    CFileException error;
    if (!index.Open(m_strFolder + m_strIndexName, CFile::modeReadWrite, &error)) {
        ShowFileError(error);
        return false;
    }
    if (index.Read(&header, kHeaderSize) < kHeaderSize) {
        AfxMessageBox(kCannotReadIndex);
        return false;
    }
    if (!HasSignature(header)) {
        AfxMessageBox(kNotAnIndex);
        return false;
    }
    // The new records go right after the ones the header counts; an index that does not hold
    // them all is damaged, and writing past its end would count a hole as poems.
    const std::int64_t size = index.GetLength();
    if (size < 0 || static_cast<std::uint64_t>(size) < RecordPosition(header.count)) {
        AfxMessageBox(kCannotReadIndex);
        return false;
    }
    return true;
}

// Writes each text followed by its zero byte at the end of the data file, filling in each
// record's offset and length, and flushes.
bool CPoemLibrary::WriteTexts(std::span<const PoemToAppend> poems) {
    const std::int64_t end = m_file.SeekToEnd();
    if (end < 0) {
        ShowFileError(m_file.LastError());
        return false;
    }
    // Offsets and lengths are 32 bits: a text that would end past 4 GiB could not be found.
    std::uint64_t offset = static_cast<std::uint64_t>(end);
    for (const PoemToAppend& poem : poems) {
        if (offset + poem.size + 1 > std::numeric_limits<std::uint32_t>::max()) {
            AfxMessageBox(kDataFull);
            return false;
        }
        poem.record->length = poem.size + 1;
        poem.record->offset = static_cast<std::uint32_t>(offset);
        offset += poem.size + 1;
    }
    std::vector<char> bytes;
    bytes.reserve(static_cast<std::size_t>(offset - static_cast<std::uint64_t>(end)));
    for (const PoemToAppend& poem : poems) {
        bytes.insert(bytes.end(), poem.text, poem.text + poem.size);
        bytes.push_back('\0');
    }
    if (!m_file.Write(bytes.data(), static_cast<unsigned>(bytes.size())) || !m_file.Flush()) {
        ShowFileError(m_file.LastError());
        return false;
    }
    return true;
}

bool CPoemLibrary::AppendPoems(std::span<const PoemToAppend> poems) {
    if (!m_bOpen) {
        AfxMessageBox(kNotOpen);
        return false;
    }
    CFile index;
    LibraryHeader header{};
    if (!ReadIndexHeaderForAppend(index, header)) {
        return false;
    }
    if (poems.size() > std::numeric_limits<std::uint32_t>::max() - header.count) {
        AfxMessageBox(kDataFull);
        return false;
    }
    // The order keeps every earlier poem readable whenever the writing stops: the texts first,
    // then the records after the counted ones, and the header's new count last. Until the count
    // is written, the new texts and records are only stray bytes past what the library counts.
    if (!WriteTexts(poems)) {
        return false;
    }
    std::vector<PoemRecord> records;
    records.reserve(poems.size());
    for (const PoemToAppend& poem : poems) {
        records.push_back(*poem.record);
    }
    const auto recordBytes = static_cast<unsigned>(records.size() * kRecordSize);
    if (index.Seek(static_cast<std::int64_t>(RecordPosition(header.count)), CFile::begin) < 0 ||
        !index.Write(records.data(), recordBytes) || !index.Flush()) {
        ShowFileError(index.LastError());
        return false;
    }
    header.count += static_cast<std::uint32_t>(poems.size());
    if (index.Seek(0, CFile::begin) < 0 || !index.Write(&header, kHeaderSize) || !index.Flush()) {
        ShowFileError(index.LastError());
        return false;
    }
    return true;
}
