#pragma once
// The search index one open library searches through: opened at its first full-text search and
// kept, checked again whenever one of the three files looks different from the last time (the
// check may take the digests of both library files, and a stale index is not checked twice).

#include "library/SearchIndex.h"

#include <memory>
#include <string>

class CSearchIndexInUse {
public:
    // The index beside the index file `indexPath` while it describes `library`; null otherwise.
    const CSearchIndex* For(const std::string& indexPath, const SearchedLibrary& library);
    // Forgets what was checked (the files it was checked through are closed).
    void Forget() { *this = CSearchIndexInUse(); }

private:
    bool m_bChecked = false;
    FileStamp m_self; // the search index's file
    FileStamp m_index;
    FileStamp m_data;
    std::unique_ptr<CSearchIndex> m_pIndex;
};
