#include "tools/poemlib/SearchIndexRenewal.h"

#include "library/SearchIndex.h"
#include "library/SearchIndexUpkeep.h"
#include "tools/poemlib/Cli.h"

namespace poemlib {

CSearchIndexRenewal::CSearchIndexRenewal(const std::string& lib) {
    const LibraryPath path = ParseLibraryPath(lib);
    m_strIndexPath = path.folder + path.indexName;
    m_strDataPath = path.folder + path.dataName;
    SearchIndexUpkeep::Remove(SearchIndexPath(m_strIndexPath));
}

CSearchIndexRenewal::~CSearchIndexRenewal() {
    if (!SearchIndexUpkeep::RebuildFor(m_strIndexPath, m_strDataPath)) {
        PrintError("poemlib: cannot make the search index " + SearchIndexPath(m_strIndexPath));
    }
}

bool RenewSearchIndex(const std::string& lib) {
    const LibraryPath path = ParseLibraryPath(lib);
    const std::string indexPath = path.folder + path.indexName;
    if (!SearchIndexUpkeep::RebuildFor(indexPath, path.folder + path.dataName)) {
        PrintError("poemlib: cannot make the search index " + SearchIndexPath(indexPath));
        return false;
    }
    return true;
}

} // namespace poemlib
