#pragma once
// Keeping a library's search index up to date with its two files: made afresh from them, and
// brought along by every append. The append keeps an index that describes the files as they
// were, makes a stale or damaged one again, and leaves a library without one without one: a
// library gets its index from `poemlib import`, `create` and `index`.

#include "library/SearchIndex.h"
#include "platform/core/CFile.h"

#include <string>

namespace SearchIndexUpkeep {

// Appended poems the index leaves to be searched one by one before the whole is made again.
inline constexpr std::uint32_t kUnindexedTail = 512;

// Makes the index at `searchPath` afresh from the library's index and data files, open. False
// when it cannot be written (an index that was there is then removed: it no longer holds).
bool Rebuild(const std::string& searchPath, CFile& index, CFile& data);

// The same for the library of the index file `indexPath` and the data file `dataPath`; false
// when they cannot be opened either.
bool RebuildFor(const std::string& indexPath, const std::string& dataPath);

// The library of the two files, open, as the index is checked against it.
SearchedLibrary LibraryOf(CFile& index, CFile& data);

// What the index at `searchPath` is to the library's two files, open.
SearchIndexState StateOf(const std::string& searchPath, CFile& index, CFile& data);

// Removes the index (before the library is rewritten by other means than an append).
void Remove(const std::string& searchPath);

// Around one append: looks at the index before the files change, and afterwards brings it up to
// date (new stamps, or the whole made again).
class CAppendUpkeep {
public:
    CAppendUpkeep(std::string searchPath, CFile& index, CFile& data);
    // After the append wrote both files completely.
    void Appended();

private:
    std::string m_strPath;
    CFile& m_index;
    CFile& m_data;
    SearchIndexState m_before;
    SearchIndexHeader m_header{};
};

} // namespace SearchIndexUpkeep
