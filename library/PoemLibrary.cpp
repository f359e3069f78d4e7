#include "library/PoemLibrary.h"

#include "library/ByteSearch.h"
#include "library/TextScan.h"
#include "platform/core/CodePage.h"
#include "platform/core/Services.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <new>
#include <optional>
#include <string>
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

// Every place of the data file where the needle's bytes occur is found in one pass, through a
// mapping; the file may shrink under it while it is read, and the search then reads instead.
std::optional<unsigned> CPoemLibrary::SelectFullTextMapped(const std::string& needle) {
    const std::string_view data = m_file.MapView();
    if (data.empty()) {
        return std::nullopt;
    }
    const std::optional<std::vector<std::uint32_t>> matches =
        TextScan::FindInTexts({m_pRecords.get(), m_nCount}, data, needle);
    m_file.ReleaseView();
    if (!matches) {
        return std::nullopt;
    }
    unsigned found = 0;
    for (const std::uint32_t i : *matches) {
        AddResult(found++, i);
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
