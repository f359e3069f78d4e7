#include "library/LibraryFiles.h"

#include "platform/core/MappedRead.h"
#include "platform/core/Services.h"

#include <algorithm>
#include <cstring>
#include <sys/mman.h>
#include <unistd.h>

CString OpenFailureMessage(const OpenResult& result) {
    switch (result.failure) {
    case OpenFailure::indexNotOpened:
    case OpenFailure::dataNotOpened:
        return result.fileError.GetErrorMessage(CFileException::kMaxMessage);
    case OpenFailure::headerShort:
        return kCannotReadIndexMessage;
    case OpenFailure::notAnIndex:
        return kNotAnIndexMessage;
    case OpenFailure::none:
    case OpenFailure::recordsMissing:
    case OpenFailure::noMemory:
        break;
    }
    return {};
}

namespace LibraryFiles {

OpenFailure ReadHeader(CFile& index, LibraryHeader& header) {
    if (index.Read(&header, kHeaderSize) < kHeaderSize) {
        return OpenFailure::headerShort;
    }
    return HasSignature(header) ? OpenFailure::none : OpenFailure::notAnIndex;
}

bool HoldsRecords(const CFile& index, std::uint32_t count) {
    const std::int64_t size = index.GetLength();
    return size >= 0 && static_cast<std::uint64_t>(size) >= RecordPosition(count);
}

namespace {

// Copies the records that follow the header, in pieces a read can take.
bool CopyRecords(CFile& index, char* destination, std::uint64_t bytes) {
    for (std::uint64_t done = 0; done < bytes;) {
        const auto chunk = static_cast<unsigned>(std::min<std::uint64_t>(bytes - done, 1u << 30));
        if (index.ReadAt(kHeaderSize + done, destination + done, chunk) < chunk) {
            return false;
        }
        done += chunk;
    }
    return true;
}

} // namespace

bool ReadRecords(CFile& index, std::uint32_t count, RecordArray& records) {
    if (!HoldsRecords(index, count)) {
        return false;
    }
    if (RecordArray mapped = RecordArray::MapIndex(index.GetHandle(), count)) {
        records = std::move(mapped);
        return true;
    }
    return CopyRecords(index, reinterpret_cast<char*>(records.get()),
                       std::uint64_t{kRecordSize} * count);
}

bool ReadRecordsNumbered(CFile& index, std::span<const std::uint32_t> numbers, PoemRecord* out) {
    if (numbers.empty()) {
        return true;
    }
    if (!HoldsRecords(index, numbers.back() + 1)) {
        return false;
    }
    // A few are read one by one; many through a mapping of the part of the file they lie in,
    // whose pages come in only where a record is (the reading stops, and the records are read
    // instead, if the file shrinks).
    constexpr std::size_t kReadOneByOne = 64;
    const auto page = static_cast<std::size_t>(::sysconf(_SC_PAGESIZE));
    const std::size_t from = RecordPosition(numbers.front()) / page * page;
    const std::size_t size = RecordPosition(std::uint64_t{numbers.back()} + 1) - from;
    void* map = numbers.size() <= kReadOneByOne
                    ? MAP_FAILED
                    : ::mmap(nullptr, size, PROT_READ, MAP_PRIVATE, index.GetHandle(),
                             static_cast<off_t>(from));
    if (map != MAP_FAILED) {
        const char* part = static_cast<const char*>(map);
        auto copy = [&] {
            for (std::size_t k = 0; k < numbers.size(); ++k) {
                std::memcpy(static_cast<void*>(out + k), part + (RecordPosition(numbers[k]) - from),
                            kRecordSize);
            }
        };
        const bool copied = MappedRead::ReadMappedGuarded(copy);
        ::munmap(map, size);
        if (copied) {
            return true;
        }
    }
    for (std::size_t k = 0; k < numbers.size(); ++k) {
        if (index.ReadAt(RecordPosition(numbers[k]), out + k, kRecordSize) < kRecordSize) {
            return false;
        }
    }
    return true;
}

void ReadTextBytes(CFile& data, const PoemRecord& record, std::string& bytes) {
    bytes.clear();
    const std::int64_t size = data.GetLength();
    if (size <= static_cast<std::int64_t>(record.offset)) {
        return;
    }
    const auto available = static_cast<std::uint64_t>(size) - record.offset;
    const auto wanted = static_cast<unsigned>(std::min<std::uint64_t>(record.length, available));
    bytes.resize(wanted);
    bytes.resize(data.ReadAt(record.offset, bytes.data(), wanted));
}

} // namespace LibraryFiles
