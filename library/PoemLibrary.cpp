#include "library/PoemLibrary.h"

#include "library/SearchIndexNames.h"

#include "platform/core/CodePage.h"
#include "platform/core/Services.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <numeric>
#include <string>
#include <utility>

PoemRecord* g_pResult = nullptr;

namespace {

constexpr const char16_t* kNotOpen = u"诗词库没有打开,不能加入诗词.";

std::u16string_view KeywordOf(const char16_t* keyword) {
    return keyword != nullptr ? std::u16string_view(keyword) : std::u16string_view();
}

} // namespace

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
    } else if ((result.failure = LibraryFiles::ReadHeader(*index, m_header)) == OpenFailure::none) {
        m_nStatedCount = m_header.count;
        if (m_nStatedCount > 0) {
            result.failure = MakeRoomForRecords(std::move(index));
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

// Open checks the index and makes room for its records; they are read the first time they are
// needed. A large library's index is tens of megabytes, and the main screen, which shows only the
// header, need not wait for them. The index stays open until then, so that what is read is the
// file that Open checked.
OpenFailure CPoemLibrary::MakeRoomForRecords(std::unique_ptr<CFile> index) {
    // A count the file cannot hold fails here, before anything is allocated for it.
    const std::uint32_t count = m_header.count;
    if (!LibraryFiles::HoldsRecords(*index, count)) {
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

bool CPoemLibrary::ReadRecordsIfDue() {
    if (m_pUnreadIndex == nullptr) {
        return m_bOpen;
    }
    const std::unique_ptr<CFile> index = std::move(m_pUnreadIndex);
    m_searchIndex.Forget(); // checked against the open index file, now to be closed
    if (LibraryFiles::ReadRecords(*index, m_nCount, m_pRecords)) {
        m_indexReadStamp = StampOf(index->GetHandle());
    } else {
        // The file failed under the reader (a disk error, or shortened since Open): the library
        // closes as if Open had failed, and says so.
        m_pRecords = RecordArray();
        m_nCount = 0;
        if (m_bOpen) {
            m_bOpen = false;
            AfxMessageBox(kCannotReadIndexMessage);
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
    if (m_bOpen) {
        LibraryFiles::ReadTextBytes(m_file, *record, bytes);
    }
    // The decoder stops at the first zero byte or at the end of what was read, so a text
    // stored without its zero byte ends where the data does.
    text = CodePage::Decode(bytes.data(), bytes.size());
    return static_cast<int>(std::min<std::size_t>(bytes.size(), std::numeric_limits<int>::max()));
}

unsigned CPoemLibrary::Select(const char16_t* keyword, SelectField field,
                              std::vector<std::uint32_t>* numbers) {
    if (numbers != nullptr) {
        numbers->clear();
    }
    std::vector<std::uint32_t> matches;
    if (field == SEL_ALL) {
        if (ReadRecordsIfDue() && g_pResult != nullptr) {
            std::copy_n(m_pRecords.get(), m_nCount, g_pResult);
            matches.resize(m_nCount);
            std::iota(matches.begin(), matches.end(), 0u);
        }
    } else if (g_pResult != nullptr) {
        matches = Find(keyword, field);
        if (!ReadRecords(matches, g_pResult)) {
            matches.clear();
        }
    }
    const auto found = static_cast<unsigned>(matches.size());
    if (numbers != nullptr) {
        *numbers = std::move(matches);
    }
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

std::vector<std::uint32_t> CPoemLibrary::Find(const char16_t* keyword, SelectField field) {
    // The search index needs none of the records but those it finds: a search of a library just
    // opened reads no more of its index file than that.
    if (field == SEL_FULLTEXT && m_bOpen && m_nCount > 0) {
        if (auto matches = FindTextIndexed(SearchKeyword(KeywordOf(keyword)))) {
            return std::move(*matches);
        }
    }
    if (!ReadRecordsIfDue() || m_nCount == 0) {
        return {}; // nothing loaded: nothing to find
    }
    if (field == SEL_ALL) {
        std::vector<std::uint32_t> all(m_nCount);
        std::iota(all.begin(), all.end(), 0u);
        return all;
    }
    return RecordSelection::Find(GetRecords(), m_file, SearchKeyword(KeywordOf(keyword)), field);
}

bool CPoemLibrary::ReadRecords(std::span<const std::uint32_t> numbers, PoemRecord* out) {
    if (m_pUnreadIndex != nullptr &&
        LibraryFiles::ReadRecordsNumbered(*m_pUnreadIndex, numbers, out)) {
        return true;
    }
    // From memory, once read; an index file that fails under the reader is read whole, which
    // says so when it fails again.
    if (!ReadRecordsIfDue()) {
        return false;
    }
    for (std::size_t k = 0; k < numbers.size(); ++k) {
        if (numbers[k] >= m_nCount) {
            return false;
        }
        out[k] = m_pRecords[numbers[k]];
    }
    return true;
}

const CSearchIndexNames* CPoemLibrary::SearchNames() {
    const CSearchIndex* index = m_bOpen ? SearchIndexInUse() : nullptr;
    return index != nullptr ? index->Names() : nullptr;
}

std::string CPoemLibrary::IndexPath() const {
    return (m_strFolder + m_strIndexName).ToUtf8();
}

std::optional<std::vector<std::uint32_t>>
CPoemLibrary::FindTextIndexed(const SearchKeyword& keyword) {
    const CSearchIndex* index = SearchIndexInUse();
    if (index == nullptr) {
        return std::nullopt;
    }
    return RecordSelection::FindInTextsIndexed(
        *index, m_nCount,
        [this](std::span<const std::uint32_t> numbers, PoemRecord* out) {
            return ReadRecords(numbers, out);
        },
        m_file, keyword);
}

// The records are those of the index file Open checked, as it is now, or those read from it,
// while it has not changed since.
const CSearchIndex* CPoemLibrary::SearchIndexInUse() {
    const std::string indexPath = IndexPath();
    SearchedLibrary library;
    library.dataFd = m_file.GetHandle();
    if (m_pUnreadIndex != nullptr) {
        library.indexFd = m_pUnreadIndex->GetHandle();
        library.indexStamp = StampOf(library.indexFd);
    } else if (SameFile(StampOfPath(indexPath.c_str()), m_indexReadStamp)) {
        library.indexStamp = m_indexReadStamp;
        library.records = {m_pRecords.get(), m_nCount};
    } else {
        return nullptr; // the index file changed since its records were read
    }
    return m_searchIndex.For(indexPath, library);
}

bool CPoemLibrary::AppendPoem(PoemRecord& record, const char* text, unsigned size) {
    const PoemToAppend poem{&record, text, size};
    return AppendPoems({&poem, 1});
}

bool CPoemLibrary::AppendPoems(std::span<const PoemToAppend> poems) {
    if (!m_bOpen) {
        AfxMessageBox(kNotOpen);
        return false;
    }
    // An index file changed by nothing but this append still holds the records read from it.
    const bool readFromIt =
        m_pUnreadIndex == nullptr && SameFile(StampOfPath(IndexPath().c_str()), m_indexReadStamp);
    if (!LibraryAppend::Append(m_strFolder + m_strIndexName, m_file, poems)) {
        return false;
    }
    if (readFromIt) {
        m_indexReadStamp = StampOfPath(IndexPath().c_str());
    }
    return true;
}
