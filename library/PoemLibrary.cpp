#include "library/PoemLibrary.h"

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
    if (!LibraryFiles::ReadRecords(*index, m_nCount, m_pRecords)) {
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
    if (!ReadRecordsIfDue() || g_pResult == nullptr || m_nCount == 0) {
        return 0; // nothing loaded: nothing to find, and no array to touch
    }
    unsigned found = 0;
    if (field == SEL_ALL) {
        std::copy_n(m_pRecords.get(), m_nCount, g_pResult);
        found = m_nCount;
        if (numbers != nullptr) {
            numbers->resize(m_nCount);
            std::iota(numbers->begin(), numbers->end(), 0u);
        }
    } else {
        const SearchKeyword searched(keyword != nullptr ? std::u16string_view(keyword)
                                                        : std::u16string_view());
        std::vector<std::uint32_t> matches =
            RecordSelection::Find(GetRecords(), m_file, searched, field);
        FillResult(matches);
        found = static_cast<unsigned>(matches.size());
        if (numbers != nullptr) {
            *numbers = std::move(matches);
        }
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

void CPoemLibrary::FillResult(const std::vector<std::uint32_t>& found) {
    for (std::size_t k = 0; k < found.size(); ++k) {
        g_pResult[k] = m_pRecords[found[k]];
    }
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
    return LibraryAppend::Append(m_strFolder + m_strIndexName, m_file, poems);
}
