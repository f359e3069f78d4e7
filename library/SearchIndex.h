#pragma once
// A library's search index (SearchIndexFormat.h), opened beside the library and used only while
// it describes the two files as they are: its stamps say so at once, otherwise the digests of
// the parts it describes are taken afresh. It is read with plain reads, a bucket at a time, so
// that a file cut short or damaged is found out instead of trusted.

#include "library/FileStamp.h"
#include "library/LibraryFormat.h"
#include "library/SearchIndexFormat.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

class CSearchIndexNames;

// The library the index is checked against: its two files now.
struct SearchedLibrary {
    // The index file as it is now, or as it was when its records were read into `records`.
    FileStamp indexStamp;
    // The index file open, when the records are to be read from it (-1 otherwise).
    int indexFd = -1;
    // The records already in memory, when they are (`indexFd` is then -1).
    std::span<const PoemRecord> records;
    int dataFd = -1; // the data file, open
};

enum class SearchIndexState {
    missing, // no search index beside the library
    damaged, // not a search index, or not one this program can read
    stale,   // made from other files than the library's as they are now
    current, // describes the library as it is now
};

class CSearchIndex {
public:
    ~CSearchIndex();
    CSearchIndex(const CSearchIndex&) = delete;
    CSearchIndex& operator=(const CSearchIndex&) = delete;

    struct Opened {
        SearchIndexState state = SearchIndexState::missing;
        std::unique_ptr<CSearchIndex> index; // set when current
    };
    // Opens the index at `path` and checks it against `library`. When only the digests could
    // tell that it is current, its stamps are brought up to date where it may be written.
    static Opened Open(const std::string& path, const SearchedLibrary& library);

    // The library's records it describes, from the first.
    std::uint32_t Records() const { return m_header.records; }
    const SearchIndexHeader& Header() const { return m_header; }

    // The records among the described ones whose text may hold `keyword`, in library order:
    // exactly those that hold it when `exact`, otherwise a few more whose texts are to be
    // searched. Null when the index turns out to be damaged.
    struct Found {
        std::vector<std::uint32_t> records;
        bool exact = true;
    };
    std::optional<Found> Find(std::u16string_view keyword) const;

    // The names it keeps of the records it describes, read at the first call (not from several
    // threads at once); null when they are damaged.
    const CSearchIndexNames* Names() const;

    // Every list and every name of the index read and checked: false when any part is damaged.
    bool CheckWhole() const;

private:
    explicit CSearchIndex(int fd);

    // The pairs of one first unit, read whole and checked against its digest.
    struct Bucket {
        std::vector<std::uint16_t> seconds;
        std::vector<std::uint32_t> offsets; // one more than seconds, from the bucket's start
        std::vector<char> postings;
    };
    // False when damaged; an empty bucket for a unit that begins no pair.
    bool ReadBucket(char16_t first, Bucket& bucket) const;
    bool ReadBucketAt(std::size_t unit, Bucket& bucket) const;
    template <class Take> bool DecodeList(const Bucket& bucket, std::size_t pair, Take take) const;
    bool DecodeList(const Bucket& bucket, std::size_t pair,
                    std::vector<std::uint32_t>& records) const;
    std::optional<Found> FindUnit(char16_t unit) const;
    std::optional<std::vector<std::uint32_t>> ListOf(char16_t first, char16_t second) const;
    bool ReadAt(std::uint64_t position, void* bytes, std::size_t size) const;
    bool CheckNames() const;
    SearchIndexTables Tables() const { return {m_header.unitCount, m_header.pairCount}; }

    // Its fields are read where they lie: on an eight-byte boundary, as their types want.
    alignas(8) SearchIndexHeader m_header{};
    int m_fd;
    std::vector<std::uint16_t> m_firstUnits; // read at Open: a bucket is found among them
    mutable std::unique_ptr<CSearchIndexNames> m_pNames;
    mutable bool m_bNamesRead = false;
};

// The search index's file beside the index file `indexPath`: NAME.search for NAME.idx.
std::string SearchIndexPath(const std::string& indexPath);

// Writes the stamps of the two files into the header of the index at `path`, in place. A torn
// write leaves stamps that their digest refuses: the index is then known by its digests again.
bool WriteSearchIndexStamps(const std::string& path, SearchIndexHeader header,
                            const FileStamp& index, const FileStamp& data);
