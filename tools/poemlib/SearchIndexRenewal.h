#pragma once
// A command that appends many poems at once (import) renews the library's search index once at
// its end, instead of at every batch: the index is set aside when the command starts and made
// afresh from the library's files when it ends, whether it ends well or not.

#include <string>

namespace poemlib {

class CSearchIndexRenewal {
public:
    // `lib` is the path of the library's index file.
    explicit CSearchIndexRenewal(const std::string& lib);
    ~CSearchIndexRenewal();
    CSearchIndexRenewal(const CSearchIndexRenewal&) = delete;
    CSearchIndexRenewal& operator=(const CSearchIndexRenewal&) = delete;

private:
    std::string m_strIndexPath;
    std::string m_strDataPath;
};

// Makes the search index of the library at `lib` afresh; says so on standard error when it
// cannot (the library is searched all the same).
bool RenewSearchIndex(const std::string& lib);

} // namespace poemlib
