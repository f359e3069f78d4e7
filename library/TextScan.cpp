#include "library/TextScan.h"

#include "library/ByteSearch.h"
#include "platform/core/MappedRead.h"

#include <algorithm>
#include <exception>
#include <memory>
#include <thread>
#include <utility>

namespace {

constexpr std::uint32_t kPrefetchAhead = 24;       // records
constexpr std::uint32_t kGatherInParallel = 50000; // records, from which a thread pays

// The offset and length of each record's text, and every place of the data file where the
// needle's bytes occur. In a large library a second thread gathers the offsets and lengths into
// an array of their own and then scans the last third of the file, while the calling thread
// scans the rest: the passes over tens of megabytes run side by side. Otherwise, or when no
// thread can be had, the calling thread does it all and the places are read from the records.
class FullTextScan {
public:
    FullTextScan(const PoemRecord* records, std::uint32_t count, std::string_view data,
                 std::string_view needle)
        : m_records(records), m_count(count), m_data(data), m_needle(needle) {}
    ~FullTextScan() { Join(); }
    FullTextScan(const FullTextScan&) = delete;
    FullTextScan& operator=(const FullTextScan&) = delete;

    // Finds every occurrence; false when the file shrank under its mapping meanwhile.
    bool Run() {
        m_hits.reserve(4096);
        std::size_t split = m_data.size(); // where the second thread's part begins
        if (m_count >= kGatherInParallel && std::thread::hardware_concurrency() >= 2) {
            try {
                m_places = std::make_unique_for_overwrite<Place[]>(m_count);
                split = m_data.size() - m_data.size() / 3;
                m_second = std::thread([this, split] { RunSecond(split); });
            } catch (const std::exception&) {
                m_places.reset(); // no thread or no memory: one thread does it all
                split = m_data.size();
            }
        }
        // The first part holds every occurrence that starts before the split.
        const std::string_view first =
            m_data.substr(0, std::min(m_data.size(), split + m_needle.size() - 1));
        auto scanFirst = [&] { ByteSearch::FindAll(first, m_needle, m_hits); };
        const bool scanned = MappedRead::ReadMappedGuarded(scanFirst);
        Join();
        if (m_places != nullptr) {
            for (const std::uint64_t hit : m_secondHits) {
                m_hits.push_back(hit + split);
            }
        }
        return scanned && m_secondScanned;
    }

    const std::vector<std::uint64_t>& Hits() const { return m_hits; }
    // True when a second thread took part, and another may help again.
    bool Parallel() const { return m_places != nullptr; }
    // Offset and length of record i's text.
    std::pair<std::uint32_t, std::uint32_t> Of(std::uint32_t i) const {
        if (m_places != nullptr) {
            return {m_places[i].offset, m_places[i].length};
        }
        return {m_records[i].offset, m_records[i].length};
    }

private:
    struct Place {
        std::uint32_t offset;
        std::uint32_t length;
    };

    void RunSecond(std::size_t split) {
        for (std::uint32_t i = 0; i < m_count; ++i) {
            __builtin_prefetch(&m_records[std::min(i + kPrefetchAhead, m_count - 1)].length);
            m_places[i] = {m_records[i].offset, m_records[i].length};
        }
        m_secondHits.reserve(4096);
        auto scan = [&] { ByteSearch::FindAll(m_data.substr(split), m_needle, m_secondHits); };
        m_secondScanned = MappedRead::ReadMappedGuarded(scan);
    }

    void Join() {
        if (m_second.joinable()) {
            m_second.join();
        }
    }

    const PoemRecord* m_records;
    std::uint32_t m_count;
    std::string_view m_data;
    std::string_view m_needle;
    std::vector<std::uint64_t> m_hits;
    std::unique_ptr<Place[]> m_places;
    std::vector<std::uint64_t> m_secondHits; // from the split on
    bool m_secondScanned = true;
    std::thread m_second;
};

// The first of `hits` (in increasing order) at or after `start`, searching from `from`: a step
// or two when the records come in data-file order, a binary search when they do not.
std::size_t FirstHitFrom(const std::vector<std::uint64_t>& hits, std::size_t from,
                         std::uint64_t start) {
    if (from > 0 && hits[from - 1] >= start) {
        from = 0; // behind the last record: search from the beginning
    }
    for (int step = 0; step < 4 && from < hits.size(); ++step, ++from) {
        if (hits[from] >= start) {
            return from;
        }
    }
    return static_cast<std::size_t>(
        std::lower_bound(hits.begin() + static_cast<std::ptrdiff_t>(from), hits.end(), start) -
        hits.begin());
}

// Appends to `matches` the numbers of the records in [first, end) whose text holds the needle,
// as the plain search would find it: each record with an occurrence inside its text is checked
// up to its first zero byte, on a character. False when the file shrank under its mapping.
bool CheckRecords(const FullTextScan& scan, std::string_view data, std::string_view needle,
                  std::uint32_t first, std::uint32_t end, std::vector<std::uint32_t>& matches) {
    const std::vector<std::uint64_t>& hits = scan.Hits();
    auto check = [&] {
        std::size_t next = 0;
        for (std::uint32_t i = first; i < end && !hits.empty(); ++i) {
            const auto [offset, length] = scan.Of(i);
            const std::size_t start = std::min<std::size_t>(offset, data.size());
            const std::size_t size = std::min<std::size_t>(length, data.size() - start);
            if (size < needle.size()) {
                continue;
            }
            next = FirstHitFrom(hits, next, start);
            if (next == hits.size() || hits[next] + needle.size() > start + size) {
                continue;
            }
            const char* text = data.data() + start;
            if (ByteSearch::ContainsAtCharacter(text, ByteSearch::TextLength(text, size), needle)) {
                matches.push_back(i);
            }
        }
    };
    return MappedRead::ReadMappedGuarded(check);
}

} // namespace

std::optional<std::vector<std::uint32_t>> TextScan::FindInTexts(std::span<const PoemRecord> records,
                                                                std::string_view data,
                                                                std::string_view needle) {
    const auto count = static_cast<std::uint32_t>(records.size());
    FullTextScan scan(records.data(), count, data, needle);
    bool read = scan.Run();
    // The records are checked in two halves side by side when the scan ran on two threads.
    std::vector<std::uint32_t> matches;
    std::vector<std::uint32_t> secondMatches;
    std::uint32_t split = count;
    bool secondRead = true;
    std::thread second;
    if (read && scan.Parallel()) {
        try {
            second = std::thread([&, half = count / 2] {
                secondRead = CheckRecords(scan, data, needle, half, count, secondMatches);
            });
            split = count / 2;
        } catch (const std::exception&) {
            split = count; // no thread: this one checks them all
        }
    }
    read = read && CheckRecords(scan, data, needle, 0, split, matches);
    if (second.joinable()) {
        second.join();
    }
    if (!read || !secondRead) {
        return std::nullopt;
    }
    matches.insert(matches.end(), secondMatches.begin(), secondMatches.end());
    return matches;
}
