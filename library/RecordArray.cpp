#include "library/RecordArray.h"

#include "platform/core/MappedRead.h"

#include <sys/mman.h>
#include <utility>

RecordArray RecordArray::Allocate(std::uint32_t count) {
    RecordArray array;
    const std::size_t bytes = std::size_t{kRecordSize} * count;
    if (bytes == 0) {
        return array;
    }
    void* memory =
        ::mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (memory == MAP_FAILED) {
        return array;
    }
    ::madvise(memory, bytes, MADV_HUGEPAGE); // a hint: without huge pages it works all the same
    array.m_records = static_cast<PoemRecord*>(memory);
    array.m_base = memory;
    array.m_bytes = bytes;
    return array;
}

RecordArray RecordArray::MapIndex(int fd, std::uint32_t count) {
    RecordArray array;
    const std::size_t bytes = RecordPosition(count);
    if (count == 0) {
        return array;
    }
    // Private: what the program sees never changes through the mapping. Populated: the pages
    // are in place at once, from the file's cache.
    void* memory = ::mmap(nullptr, bytes, PROT_READ, MAP_PRIVATE | MAP_POPULATE, fd, 0);
    if (memory == MAP_FAILED) {
        return array;
    }
    if (!MappedRead::KeepReadable(memory, bytes)) {
        ::munmap(memory, bytes);
        return array;
    }
    array.m_records = reinterpret_cast<PoemRecord*>(static_cast<char*>(memory) + kHeaderSize);
    array.m_base = memory;
    array.m_bytes = bytes;
    array.m_kept = true;
    return array;
}

RecordArray::~RecordArray() {
    Release();
}

RecordArray::RecordArray(RecordArray&& other) noexcept
    : m_records(std::exchange(other.m_records, nullptr)),
      m_base(std::exchange(other.m_base, nullptr)), m_bytes(std::exchange(other.m_bytes, 0)),
      m_kept(std::exchange(other.m_kept, false)) {}

RecordArray& RecordArray::operator=(RecordArray&& other) noexcept {
    if (this != &other) {
        Release();
        m_records = std::exchange(other.m_records, nullptr);
        m_base = std::exchange(other.m_base, nullptr);
        m_bytes = std::exchange(other.m_bytes, 0);
        m_kept = std::exchange(other.m_kept, false);
    }
    return *this;
}

void RecordArray::Release() {
    if (m_base != nullptr) {
        if (m_kept) {
            MappedRead::StopKeeping(m_base);
        }
        ::munmap(m_base, m_bytes);
    }
    m_records = nullptr;
    m_base = nullptr;
    m_bytes = 0;
    m_kept = false;
}
