#include "library/RecordArray.h"

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
    array.m_bytes = bytes;
    return array;
}

RecordArray::~RecordArray() {
    Release();
}

RecordArray::RecordArray(RecordArray&& other) noexcept
    : m_records(std::exchange(other.m_records, nullptr)), m_bytes(std::exchange(other.m_bytes, 0)) {
}

RecordArray& RecordArray::operator=(RecordArray&& other) noexcept {
    if (this != &other) {
        Release();
        m_records = std::exchange(other.m_records, nullptr);
        m_bytes = std::exchange(other.m_bytes, 0);
    }
    return *this;
}

void RecordArray::Release() {
    if (m_records != nullptr) {
        ::munmap(m_records, m_bytes);
        m_records = nullptr;
        m_bytes = 0;
    }
}
