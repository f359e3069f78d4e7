#include "library/SearchIndexInUse.h"

const CSearchIndex* CSearchIndexInUse::For(const std::string& indexPath,
                                           const SearchedLibrary& library) {
    const std::string path = SearchIndexPath(indexPath);
    const FileStamp self = StampOfPath(path.c_str());
    const FileStamp data = StampOf(library.dataFd);
    if (!m_bChecked || !SameFile(m_self, self) || !SameFile(m_index, library.indexStamp) ||
        !SameFile(m_data, data)) {
        m_pIndex = CSearchIndex::Open(path, library).index;
        m_self = StampOfPath(path.c_str()); // its stamps may have been brought up to date just now
        m_index = library.indexStamp;
        m_data = data;
        m_bChecked = true;
    }
    return m_pIndex.get();
}
