#include "library/SearchIndex.h"

#include "library/ContentDigest.h"
#include "library/FileReads.h"
#include "library/SearchIndexNames.h"

#include <algorithm>
#include <bit>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <functional>
#include <iterator>
#include <unistd.h>

namespace {

constexpr std::size_t kReadPiece = 1 << 20;

// The digest of bytes [from, from + size) of the file `fd`, or nothing when it is shorter.
std::optional<std::uint64_t> DigestOfFile(int fd, std::uint64_t from, std::uint64_t size) {
    CContentDigest digest;
    std::vector<char> piece(static_cast<std::size_t>(std::min<std::uint64_t>(size, kReadPiece)));
    for (std::uint64_t done = 0; done < size;) {
        const auto chunk =
            static_cast<std::size_t>(std::min<std::uint64_t>(size - done, kReadPiece));
        if (!ReadWholeAt(fd, from + done, piece.data(), chunk)) {
            return std::nullopt;
        }
        digest.Add({piece.data(), chunk});
        done += chunk;
    }
    return digest.Value();
}

std::uint64_t StampsDigest(const SearchIndexHeader& header) {
    return DigestOf({reinterpret_cast<const char*>(&header.indexStamp), 2 * sizeof(FileStamp)});
}

bool IsWellFormed(const SearchIndexHeader& header, std::uint64_t fileSize) {
    if (std::memcmp(header.magic, kSearchIndexMagic, sizeof header.magic) != 0 ||
        header.version != kSearchIndexVersion || header.headerSize != sizeof header ||
        header.headerDigest != DigestOf({reinterpret_cast<const char*>(&header),
                                         offsetof(SearchIndexHeader, headerDigest)})) {
        return false;
    }
    return header.fileSize == fileSize && header.postingsAt == sizeof header &&
           header.postingsSize <= 0xFFFFFFFFu &&
           header.tablesAt == header.postingsAt + header.postingsSize &&
           header.unitCount <= 0x10000 &&
           header.tablesAt + SearchIndexTables{header.unitCount, header.pairCount}.Size() ==
               header.namesAt &&
           header.namesAt <= header.fileSize &&
           header.namesSize == header.fileSize - header.namesAt;
}

// The library's files are those the index describes: at once by their stamps, otherwise by the
// digests of the parts it describes.
enum class Match { no, byStamps, byDigests };

Match MatchOf(const SearchIndexHeader& header, const SearchedLibrary& library,
              const FileStamp& dataStamp) {
    const std::uint64_t records = header.records;
    if (library.indexStamp.size < RecordPosition(records) || dataStamp.size < header.dataSize) {
        return Match::no;
    }
    // Texts that reach past the part described change as the data file grows.
    if (header.textEnd > header.dataSize && dataStamp.size != header.dataSize) {
        return Match::no;
    }
    const bool stampsHold = header.stampsDigest == StampsDigest(header);
    if (stampsHold && header.indexStamp.trusted && header.dataStamp.trusted &&
        SameFile(header.indexStamp, library.indexStamp) && SameFile(header.dataStamp, dataStamp)) {
        return Match::byStamps;
    }
    std::optional<std::uint64_t> recordsDigest;
    if (library.indexFd >= 0) {
        recordsDigest = DigestOfFile(library.indexFd, kHeaderSize, kRecordSize * records);
    } else if (library.records.size() >= records) {
        recordsDigest = DigestOf({reinterpret_cast<const char*>(library.records.data()),
                                  std::size_t{kRecordSize} * records});
    }
    const std::uint64_t expectedRecords = header.recordsDigest; // copied out of the packed header
    const std::uint64_t expectedData = header.dataDigest;
    if (recordsDigest != expectedRecords ||
        DigestOfFile(library.dataFd, 0, header.dataSize) != expectedData) {
        return Match::no;
    }
    return Match::byDigests;
}

// Where the keyword's units next to each other are all in `records`: the records in both.
std::vector<std::uint32_t> Intersect(const std::vector<std::uint32_t>& a,
                                     const std::vector<std::uint32_t>& b) {
    std::vector<std::uint32_t> both;
    std::set_intersection(a.begin(), a.end(), b.begin(), b.end(), std::back_inserter(both));
    return both;
}

} // namespace

std::string SearchIndexPath(const std::string& indexPath) {
    const std::string extension = ".idx";
    if (indexPath.size() > extension.size() && indexPath.ends_with(extension)) {
        return indexPath.substr(0, indexPath.size() - extension.size()) + ".search";
    }
    return indexPath + ".search";
}

bool WriteSearchIndexStamps(const std::string& path, SearchIndexHeader header,
                            const FileStamp& index, const FileStamp& data) {
    header.indexStamp = index;
    header.dataStamp = data;
    header.stampsDigest = StampsDigest(header);
    const int fd = ::open(path.c_str(), O_WRONLY | O_CLOEXEC);
    if (fd < 0) {
        return false;
    }
    constexpr std::size_t at = offsetof(SearchIndexHeader, indexStamp);
    constexpr std::size_t size = offsetof(SearchIndexHeader, reserved) - at;
    const bool written = ::pwrite(fd, reinterpret_cast<const char*>(&header) + at, size, at) ==
                         static_cast<ssize_t>(size);
    return ::close(fd) == 0 && written;
}

CSearchIndex::CSearchIndex(int fd) : m_fd(fd) {}

CSearchIndex::~CSearchIndex() {
    m_pNames.reset(); // it reads through this
    ::close(m_fd);
}

CSearchIndex::Opened CSearchIndex::Open(const std::string& path, const SearchedLibrary& library) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return {errno == ENOENT ? SearchIndexState::missing : SearchIndexState::damaged, nullptr};
    }
    std::unique_ptr<CSearchIndex> index(new CSearchIndex(fd));
    const FileStamp self = StampOf(fd);
    if (!ReadWholeAt(fd, 0, &index->m_header, sizeof index->m_header) ||
        !IsWellFormed(index->m_header, self.size)) {
        return {SearchIndexState::damaged, nullptr};
    }
    std::vector<std::uint16_t>& units = index->m_firstUnits;
    units.resize(index->m_header.unitCount);
    if (!ReadWholeAt(fd, index->m_header.tablesAt, units.data(), 2 * units.size()) ||
        std::adjacent_find(units.begin(), units.end(), std::greater_equal<>()) != units.end()) {
        return {SearchIndexState::damaged, nullptr};
    }
    const FileStamp dataStamp = StampOf(library.dataFd);
    switch (MatchOf(index->m_header, library, dataStamp)) {
    case Match::no:
        return {SearchIndexState::stale, nullptr};
    case Match::byDigests:
        // Only if the data file did not change while its digest was taken.
        if (SameFile(StampOf(library.dataFd), dataStamp)) {
            WriteSearchIndexStamps(path, index->m_header, library.indexStamp, dataStamp);
        }
        break;
    case Match::byStamps:
        break;
    }
    return {SearchIndexState::current, std::move(index)};
}

bool CSearchIndex::ReadAt(std::uint64_t position, void* bytes, std::size_t size) const {
    return ReadWholeAt(m_fd, position, bytes, size);
}

const CSearchIndexNames* CSearchIndex::Names() const {
    if (!m_bNamesRead) {
        m_pNames = CSearchIndexNames::Read(m_fd, m_header);
        m_bNamesRead = true;
    }
    return m_pNames.get();
}

bool CSearchIndex::ReadBucket(char16_t first, Bucket& bucket) const {
    const auto it = std::lower_bound(m_firstUnits.begin(), m_firstUnits.end(), first);
    if (it == m_firstUnits.end() || *it != first) {
        bucket = {};
        bucket.offsets = {0};
        return true;
    }
    return ReadBucketAt(static_cast<std::size_t>(it - m_firstUnits.begin()), bucket);
}

bool CSearchIndex::ReadBucketAt(std::size_t unit, Bucket& bucket) const {
    const SearchIndexTables tables = Tables();
    const std::uint64_t at = m_header.tablesAt;
    std::uint32_t range[2] = {};
    std::uint64_t digest = 0;
    if (!ReadAt(at + tables.FirstPairsAt() + 4 * std::uint64_t{unit}, range, sizeof range) ||
        !ReadAt(at + tables.BucketDigestsAt() + 8 * std::uint64_t{unit}, &digest, sizeof digest) ||
        range[0] >= range[1] || range[1] > m_header.pairCount) {
        return false;
    }
    const std::size_t pairs = range[1] - range[0];
    bucket.seconds.resize(pairs);
    bucket.offsets.resize(pairs + 1);
    if (!ReadAt(at + tables.SecondUnitsAt() + 2 * std::uint64_t{range[0]}, bucket.seconds.data(),
                2 * pairs) ||
        !ReadAt(at + tables.ListOffsetsAt() + 4 * std::uint64_t{range[0]}, bucket.offsets.data(),
                4 * (pairs + 1))) {
        return false;
    }
    const std::uint32_t start = bucket.offsets.front();
    const std::uint32_t end = bucket.offsets.back();
    if (!std::is_sorted(bucket.offsets.begin(), bucket.offsets.end()) ||
        end > m_header.postingsSize ||
        std::adjacent_find(bucket.seconds.begin(), bucket.seconds.end(), std::greater_equal<>()) !=
            bucket.seconds.end()) {
        return false;
    }
    bucket.postings.resize(end - start);
    if (!ReadAt(m_header.postingsAt + start, bucket.postings.data(), bucket.postings.size())) {
        return false;
    }
    CContentDigest check;
    check.Add({reinterpret_cast<const char*>(bucket.seconds.data()), 2 * pairs});
    check.Add({reinterpret_cast<const char*>(bucket.offsets.data()), 4 * (pairs + 1)});
    check.Add({bucket.postings.data(), bucket.postings.size()});
    return check.Value() == digest;
}

// A list's records, each given to `take`, checked to be increasing and described.
template <class Take>
bool CSearchIndex::DecodeList(const Bucket& bucket, std::size_t pair, Take take) const {
    const std::uint32_t base = bucket.offsets.front();
    const auto* at = reinterpret_cast<const unsigned char*>(bucket.postings.data()) +
                     (bucket.offsets[pair] - base);
    const auto* end = reinterpret_cast<const unsigned char*>(bucket.postings.data()) +
                      (bucket.offsets[pair + 1] - base);
    std::uint64_t next = 0; // the least the next record may be
    while (at < end) {
        std::uint64_t gap = 0;
        for (int shift = 0;; shift += 7) {
            if (at == end || shift > 28) {
                return false;
            }
            const unsigned char byte = *at++;
            gap |= std::uint64_t{byte & 0x7Fu} << shift;
            if ((byte & 0x80) == 0) {
                break;
            }
        }
        const std::uint64_t record = next + gap;
        if (record >= m_header.records) {
            return false;
        }
        take(static_cast<std::uint32_t>(record));
        next = record + 1;
    }
    return true;
}

bool CSearchIndex::DecodeList(const Bucket& bucket, std::size_t pair,
                              std::vector<std::uint32_t>& records) const {
    return DecodeList(bucket, pair,
                      [&records](std::uint32_t record) { records.push_back(record); });
}

std::optional<std::vector<std::uint32_t>> CSearchIndex::ListOf(char16_t first,
                                                               char16_t second) const {
    Bucket bucket;
    if (!ReadBucket(first, bucket)) {
        return std::nullopt;
    }
    std::vector<std::uint32_t> records;
    const auto it = std::lower_bound(bucket.seconds.begin(), bucket.seconds.end(), second);
    if (it != bucket.seconds.end() && *it == second &&
        !DecodeList(bucket, static_cast<std::size_t>(it - bucket.seconds.begin()), records)) {
        return std::nullopt;
    }
    return records;
}

// A unit alone is in every text that holds a pair starting with it, the text's end included.
std::optional<CSearchIndex::Found> CSearchIndex::FindUnit(char16_t unit) const {
    Bucket bucket;
    if (!ReadBucket(unit, bucket)) {
        return std::nullopt;
    }
    // One bit a record: the lists of a frequent character hold hundreds of thousands of entries.
    std::vector<std::uint64_t> holds((std::size_t{m_header.records} + 63) / 64);
    const auto mark = [&holds](std::uint32_t record) {
        holds[record / 64] |= std::uint64_t{1} << (record % 64);
    };
    for (std::size_t pair = 0; pair < bucket.seconds.size(); ++pair) {
        if (!DecodeList(bucket, pair, mark)) {
            return std::nullopt;
        }
    }
    std::size_t count = 0;
    for (const std::uint64_t word : holds) {
        count += static_cast<std::size_t>(std::popcount(word));
    }
    Found found;
    found.records.reserve(count);
    for (std::size_t w = 0; w < holds.size(); ++w) {
        for (std::uint64_t bits = holds[w]; bits != 0; bits &= bits - 1) {
            found.records.push_back(static_cast<std::uint32_t>(64 * w) +
                                    static_cast<std::uint32_t>(std::countr_zero(bits)));
        }
    }
    return found;
}

std::optional<CSearchIndex::Found> CSearchIndex::Find(std::u16string_view keyword) const {
    Found found;
    if (keyword.empty()) {
        found.records.resize(m_header.records);
        for (std::uint32_t record = 0; record < m_header.records; ++record) {
            found.records[record] = record;
        }
        return found;
    }
    if (keyword.find(kTextEnd) != std::u16string_view::npos) {
        return found; // no text holds it
    }
    if (keyword.size() == 1) {
        return FindUnit(keyword[0]);
    }
    // The records that hold every pair of the keyword: all of them when it has two units.
    for (std::size_t i = 0; i + 1 < keyword.size(); ++i) {
        std::optional<std::vector<std::uint32_t>> list = ListOf(keyword[i], keyword[i + 1]);
        if (!list) {
            return std::nullopt;
        }
        found.records = i == 0 ? std::move(*list) : Intersect(found.records, *list);
        if (found.records.empty()) {
            return found; // a pair no text holds: neither does the keyword
        }
    }
    found.exact = keyword.size() == 2;
    return found;
}

bool CSearchIndex::CheckWhole() const {
    std::vector<std::uint32_t> records;
    Bucket bucket;
    std::uint64_t pairs = 0;
    for (std::size_t unit = 0; unit < m_firstUnits.size(); ++unit) {
        if (!ReadBucketAt(unit, bucket)) {
            return false;
        }
        for (std::size_t pair = 0; pair < bucket.seconds.size(); ++pair) {
            records.clear();
            if (!DecodeList(bucket, pair, records) || records.empty()) {
                return false;
            }
        }
        pairs += bucket.seconds.size();
    }
    return pairs == m_header.pairCount && CheckNames();
}

bool CSearchIndex::CheckNames() const {
    const CSearchIndexNames* names = Names();
    if (names == nullptr) {
        return false;
    }
    constexpr std::uint32_t kPiece = 1 << 14;
    std::vector<std::uint32_t> numbers;
    RecordNames piece;
    for (std::uint32_t start = 0; start < m_header.records; start += kPiece) {
        numbers.resize(std::min(kPiece, m_header.records - start));
        for (std::uint32_t k = 0; k < numbers.size(); ++k) {
            numbers[k] = start + k;
        }
        if (!names->Read(numbers, piece)) {
            return false;
        }
    }
    return true;
}
