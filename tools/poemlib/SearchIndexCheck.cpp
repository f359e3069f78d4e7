#include "tools/poemlib/SearchIndexCheck.h"

#include "library/SearchIndex.h"
#include "library/SearchIndexUpkeep.h"
#include "platform/core/CFile.h"

namespace poemlib {

std::vector<std::string> SearchIndexProblems(const LibraryPath& path) {
    const std::string indexPath = path.folder + path.indexName;
    const std::string searchPath = SearchIndexPath(indexPath);
    CFile index;
    CFile data;
    if (!index.Open(Utf16(indexPath), CFile::modeRead) ||
        !data.Open(Utf16(path.folder + path.dataName), CFile::modeRead)) {
        return {}; // the files' own problems are said already
    }
    const CSearchIndex::Opened opened =
        CSearchIndex::Open(searchPath, SearchIndexUpkeep::LibraryOf(index, data));
    const std::string remedy = ": poemlib index makes it again";
    switch (opened.state) {
    case SearchIndexState::missing:
        return {};
    case SearchIndexState::stale:
        return {"the search index " + searchPath + " was made from other files than the library's" +
                remedy};
    case SearchIndexState::damaged:
        break;
    case SearchIndexState::current:
        if (opened.index->CheckWhole()) {
            return {};
        }
        break;
    }
    return {"the search index " + searchPath + " is damaged" + remedy};
}

} // namespace poemlib
