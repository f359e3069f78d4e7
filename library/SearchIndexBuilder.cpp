#include "library/SearchIndexBuilder.h"

#include "library/ContentDigest.h"
#include "library/SearchIndexFormat.h"
#include "library/SearchIndexNames.h"
#include "platform/core/CodePage.h"

#include <algorithm>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <unistd.h>

namespace SearchIndexBuilder {

void PairsOf(std::u16string_view text, std::vector<std::uint32_t>& pairs) {
    pairs.clear();
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char16_t next = i + 1 < text.size() ? text[i + 1] : kTextEnd;
        pairs.push_back(std::uint32_t{text[i]} << 16 | next);
    }
    std::sort(pairs.begin(), pairs.end());
    pairs.erase(std::unique(pairs.begin(), pairs.end()), pairs.end());
}

namespace {

// The decoded text of a record, as searching it reads it: what the data holds from its offset,
// at most its length, up to the first zero byte.
void TextOf(const PoemRecord& record, std::string_view data, std::u16string& text) {
    text.clear();
    const std::size_t start = std::min<std::size_t>(record.offset, data.size());
    const std::size_t size = std::min<std::size_t>(record.length, data.size() - start);
    CodePage::DecodeAppend(data.data() + start, size, text);
}

// Calls `each(record number, pairs)` for every record in order.
template <class Each>
void ForEachRecordsPairs(std::span<const PoemRecord> records, std::string_view data, Each each) {
    std::u16string text;
    std::vector<std::uint32_t> pairs;
    for (std::uint32_t i = 0; i < records.size(); ++i) {
        TextOf(records[i], data, text);
        PairsOf(text, pairs);
        each(i, pairs);
    }
}

// Writes a file front to back through a buffer; at the end the header goes over its start.
class CIndexFile {
public:
    explicit CIndexFile(const std::string& path)
        : m_path(path), m_fd(::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644)) {}
    ~CIndexFile() {
        if (m_fd >= 0) {
            ::close(m_fd);
            ::unlink(m_path.c_str()); // never kept: Finish took it away
        }
    }
    CIndexFile(const CIndexFile&) = delete;
    CIndexFile& operator=(const CIndexFile&) = delete;

    bool IsOpen() const { return m_fd >= 0; }
    std::uint64_t Position() const { return m_nWritten + m_buffer.size(); }
    void Put(const void* bytes, std::size_t size) {
        const auto* from = static_cast<const char*>(bytes);
        m_buffer.insert(m_buffer.end(), from, from + size);
        if (m_buffer.size() >= kBuffer) {
            Drain();
        }
    }
    // Writes the header at the start, closes and renames the file to `target`.
    bool Finish(const SearchIndexHeader& header, const std::string& target) {
        Drain();
        const bool written = m_good && ::pwrite(m_fd, &header, sizeof header, 0) ==
                                           static_cast<ssize_t>(sizeof header);
        const bool closed = ::close(m_fd) == 0;
        m_fd = -1;
        if (!written || !closed || ::rename(m_path.c_str(), target.c_str()) != 0) {
            ::unlink(m_path.c_str());
            return false;
        }
        return true;
    }

private:
    static constexpr std::size_t kBuffer = 1 << 20;

    void Drain() {
        const char* at = m_buffer.data();
        std::size_t left = m_buffer.size();
        while (m_good && left > 0) {
            const ssize_t n = ::write(m_fd, at, left);
            if (n <= 0) {
                m_good = false;
                break;
            }
            at += n;
            left -= static_cast<std::size_t>(n);
        }
        m_nWritten += m_buffer.size();
        m_buffer.clear();
    }

    std::string m_path;
    int m_fd;
    std::vector<char> m_buffer;
    std::uint64_t m_nWritten = 0;
    bool m_good = true;
};

void PutGap(std::vector<char>& out, std::uint32_t gap) {
    while (gap >= 0x80) {
        out.push_back(static_cast<char>(gap | 0x80));
        gap >>= 7;
    }
    out.push_back(static_cast<char>(gap));
}

constexpr std::uint32_t kUnits = 0x10000;

// The tables that follow the postings.
struct Tables {
    std::vector<std::uint16_t> firstUnits;
    std::vector<std::uint32_t> firstPairs;
    std::vector<std::uint64_t> bucketDigests;
    std::vector<std::uint16_t> secondUnits;
    std::vector<std::uint32_t> listOffsets;
};

std::uint64_t BucketDigest(const std::uint16_t* seconds, const std::uint32_t* offsets,
                           std::size_t pairs, std::string_view postings) {
    CContentDigest digest;
    digest.Add({reinterpret_cast<const char*>(seconds), 2 * pairs});
    digest.Add({reinterpret_cast<const char*>(offsets), 4 * (pairs + 1)});
    digest.Add(postings);
    return digest.Value();
}

// Every (second unit, record) of one first unit, sorted, becomes its pairs' lists.
void WriteBucket(std::vector<std::uint64_t>::iterator begin,
                 std::vector<std::uint64_t>::iterator end, std::uint32_t first, Tables& tables,
                 CIndexFile& file, std::uint64_t postingsAt, std::vector<char>& postings) {
    if (begin == end) {
        return;
    }
    std::sort(begin, end);
    tables.firstUnits.push_back(static_cast<std::uint16_t>(first));
    tables.firstPairs.push_back(static_cast<std::uint32_t>(tables.secondUnits.size()));
    const std::size_t firstPair = tables.secondUnits.size();
    postings.clear();
    const std::uint64_t bucketAt = file.Position() - postingsAt;
    std::uint32_t previous = 0;
    for (auto it = begin; it != end; ++it) {
        const auto second = static_cast<std::uint16_t>(*it >> 32);
        const auto record = static_cast<std::uint32_t>(*it);
        const bool newPair = it == begin || second != tables.secondUnits.back();
        if (newPair) {
            tables.secondUnits.push_back(second);
            tables.listOffsets.push_back(static_cast<std::uint32_t>(bucketAt + postings.size()));
        }
        PutGap(postings, newPair ? record : record - previous - 1);
        previous = record;
    }
    file.Put(postings.data(), postings.size());
    // The digest covers the list offsets up to where the next bucket starts.
    std::vector<std::uint32_t> offsets(tables.listOffsets.begin() +
                                           static_cast<std::ptrdiff_t>(firstPair),
                                       tables.listOffsets.end());
    offsets.push_back(static_cast<std::uint32_t>(bucketAt + postings.size()));
    tables.bucketDigests.push_back(
        BucketDigest(tables.secondUnits.data() + firstPair, offsets.data(),
                     tables.secondUnits.size() - firstPair, {postings.data(), postings.size()}));
}

std::uint64_t TextEndOf(std::span<const PoemRecord> records) {
    std::uint64_t end = 0;
    for (const PoemRecord& record : records) {
        if (record.length > 0) {
            end = std::max(end, std::uint64_t{record.offset} + record.length);
        }
    }
    return end;
}

} // namespace

bool Write(const std::string& path, std::span<const PoemRecord> records, std::string_view data,
           int indexFd, int dataFd) {
    const FileStamp indexBefore = StampOf(indexFd);
    const FileStamp dataBefore = StampOf(dataFd);
    // First the number of pairs of each first unit, then every (first, second, record) in its
    // first unit's place: the records come in order, so each list is in order too.
    std::vector<std::uint64_t> counts(kUnits + 1);
    ForEachRecordsPairs(records, data, [&](std::uint32_t, const std::vector<std::uint32_t>& pairs) {
        for (const std::uint32_t pair : pairs) {
            ++counts[(pair >> 16) + 1];
        }
    });
    for (std::uint32_t first = 0; first < kUnits; ++first) {
        counts[first + 1] += counts[first];
    }
    std::vector<std::uint64_t> placed(counts[kUnits]);
    std::vector<std::uint64_t> next(counts.begin(), counts.end() - 1);
    ForEachRecordsPairs(
        records, data, [&](std::uint32_t record, const std::vector<std::uint32_t>& pairs) {
            for (const std::uint32_t pair : pairs) {
                placed[next[pair >> 16]++] = std::uint64_t{pair & 0xFFFF} << 32 | record;
            }
        });

    CIndexFile file(path + ".new-" + std::to_string(::getpid()));
    if (!file.IsOpen()) {
        return false;
    }
    SearchIndexHeader header{};
    file.Put(&header, sizeof header);
    Tables tables;
    std::vector<char> postings;
    for (std::uint32_t first = 0; first < kUnits; ++first) {
        WriteBucket(placed.begin() + static_cast<std::ptrdiff_t>(counts[first]),
                    placed.begin() + static_cast<std::ptrdiff_t>(counts[first + 1]), first, tables,
                    file, sizeof header, postings);
    }
    placed = {};
    const std::uint64_t postingsSize = file.Position() - sizeof header;
    if (postingsSize > 0xFFFFFFFFu) {
        return false; // list offsets are 32 bits
    }
    tables.listOffsets.push_back(static_cast<std::uint32_t>(postingsSize));
    tables.firstPairs.push_back(static_cast<std::uint32_t>(tables.secondUnits.size()));
    const std::uint64_t tablesAt = file.Position();
    file.Put(tables.firstUnits.data(), 2 * tables.firstUnits.size());
    file.Put(tables.firstPairs.data(), 4 * tables.firstPairs.size());
    file.Put(tables.bucketDigests.data(), 8 * tables.bucketDigests.size());
    file.Put(tables.secondUnits.data(), 2 * tables.secondUnits.size());
    file.Put(tables.listOffsets.data(), 4 * tables.listOffsets.size());
    const std::string names = SearchIndexNames::Make(records);
    if (names.size() > 0xFFFFFFFFu) {
        return false; // its offsets are 32 bits
    }
    const std::uint64_t namesAt = file.Position();
    file.Put(names.data(), names.size());

    std::memcpy(header.magic, kSearchIndexMagic, sizeof header.magic);
    header.version = kSearchIndexVersion;
    header.headerSize = sizeof header;
    header.records = static_cast<std::uint32_t>(records.size());
    header.unitCount = static_cast<std::uint32_t>(tables.firstUnits.size());
    header.pairCount = static_cast<std::uint32_t>(tables.secondUnits.size());
    header.dataSize = data.size();
    header.textEnd = TextEndOf(records);
    header.recordsDigest =
        DigestOf({reinterpret_cast<const char*>(records.data()), records.size_bytes()});
    header.dataDigest = DigestOf(data);
    header.postingsAt = sizeof header;
    header.postingsSize = postingsSize;
    header.tablesAt = tablesAt;
    header.fileSize = file.Position();
    header.namesAt = namesAt;
    header.namesSize = names.size();
    header.namesDigest = SearchIndexNames::BylinesDigest(names);
    header.headerDigest = DigestOf(
        {reinterpret_cast<const char*>(&header), offsetof(SearchIndexHeader, headerDigest)});
    header.indexStamp = SettledStampOf(indexFd);
    header.dataStamp = SettledStampOf(dataFd);
    // Files that changed while they were read are not the bytes described: their stamps are
    // not trusted, and the digests will tell.
    if (!SameFile(indexBefore, header.indexStamp) || !SameFile(dataBefore, header.dataStamp)) {
        header.indexStamp.trusted = 0;
        header.dataStamp.trusted = 0;
    }
    header.stampsDigest =
        DigestOf({reinterpret_cast<const char*>(&header.indexStamp), 2 * sizeof(FileStamp)});
    return file.Finish(header, path);
}

} // namespace SearchIndexBuilder
