#include "library/SearchIndexUpkeep.h"

#include "library/LibraryFiles.h"
#include "library/SearchIndexBuilder.h"

#include <algorithm>
#include <unistd.h>

namespace SearchIndexUpkeep {
namespace {

// The whole data file, read (not mapped: it may shrink under the reading).
bool ReadAll(CFile& data, std::string& bytes) {
    const std::int64_t size = data.GetLength();
    if (size < 0) {
        return false;
    }
    bytes.resize(static_cast<std::size_t>(size));
    for (std::size_t done = 0; done < bytes.size();) {
        const auto chunk =
            static_cast<unsigned>(std::min<std::size_t>(bytes.size() - done, 1 << 30));
        const unsigned read = data.ReadAt(done, bytes.data() + done, chunk);
        if (read == 0) {
            return false;
        }
        done += read;
    }
    return true;
}

} // namespace

SearchedLibrary LibraryOf(CFile& index, CFile& data) {
    SearchedLibrary library;
    library.indexFd = index.GetHandle();
    library.indexStamp = StampOf(library.indexFd);
    library.dataFd = data.GetHandle();
    return library;
}

bool Rebuild(const std::string& searchPath, CFile& index, CFile& data) {
    LibraryHeader header{};
    std::string bytes;
    RecordArray records;
    bool read = index.ReadAt(0, &header, kHeaderSize) == kHeaderSize &&
                LibraryFiles::HoldsRecords(index, header.count) && ReadAll(data, bytes);
    if (read && header.count > 0) {
        records = RecordArray::Allocate(header.count);
        read = records && LibraryFiles::ReadRecords(index, header.count, records);
    }
    if (read && SearchIndexBuilder::Write(searchPath, {records.get(), header.count}, bytes,
                                          index.GetHandle(), data.GetHandle())) {
        return true;
    }
    Remove(searchPath);
    return false;
}

bool RebuildFor(const std::string& indexPath, const std::string& dataPath) {
    CFile index;
    CFile data;
    if (!index.Open(CString::FromUtf8(indexPath), CFile::modeRead) ||
        !data.Open(CString::FromUtf8(dataPath), CFile::modeRead)) {
        return false;
    }
    return Rebuild(SearchIndexPath(indexPath), index, data);
}

SearchIndexState StateOf(const std::string& searchPath, CFile& index, CFile& data) {
    return CSearchIndex::Open(searchPath, LibraryOf(index, data)).state;
}

void Remove(const std::string& searchPath) {
    ::unlink(searchPath.c_str());
}

CAppendUpkeep::CAppendUpkeep(std::string searchPath, CFile& index, CFile& data)
    : m_strPath(std::move(searchPath)), m_index(index), m_data(data) {
    const CSearchIndex::Opened opened = CSearchIndex::Open(m_strPath, LibraryOf(index, data));
    m_before = opened.state;
    if (opened.index) {
        m_header = opened.index->Header();
    }
}

// Appended texts go after the part of the data file the index describes, and appended records
// after its records: an index that held before still holds, with the new poems searched one by
// one, unless a described text reaches past its part (it would now read the new bytes), or the
// poems so searched grew too many.
void CAppendUpkeep::Appended() {
    switch (m_before) {
    case SearchIndexState::missing:
        return;
    case SearchIndexState::current: {
        LibraryHeader header{};
        const bool keeps = m_header.textEnd <= m_header.dataSize &&
                           m_index.ReadAt(0, &header, kHeaderSize) == kHeaderSize &&
                           header.count - m_header.records <= kUnindexedTail;
        if (keeps &&
            WriteSearchIndexStamps(m_strPath, m_header, SettledStampOf(m_index.GetHandle()),
                                   SettledStampOf(m_data.GetHandle()))) {
            return;
        }
        break;
    }
    case SearchIndexState::stale:
    case SearchIndexState::damaged:
        break;
    }
    Rebuild(m_strPath, m_index, m_data);
}

} // namespace SearchIndexUpkeep
