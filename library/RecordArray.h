#pragma once
// Room for a library's records. A whole library is loaded at once and a large one takes tens of
// megabytes: the array asks the kernel for huge pages, so that loading is mostly the copy from
// the file rather than thousands of page faults.

#include "library/LibraryFormat.h"

#include <cstddef>
#include <cstdint>

class RecordArray {
public:
    RecordArray() = default;
    // Room for `count` records, or an empty array when the memory cannot be had.
    static RecordArray Allocate(std::uint32_t count);
    ~RecordArray();
    RecordArray(RecordArray&& other) noexcept;
    RecordArray& operator=(RecordArray&& other) noexcept;
    RecordArray(const RecordArray&) = delete;
    RecordArray& operator=(const RecordArray&) = delete;

    PoemRecord* get() const { return m_records; }
    explicit operator bool() const { return m_records != nullptr; }
    PoemRecord& operator[](std::size_t i) const { return m_records[i]; }

private:
    void Release();

    PoemRecord* m_records = nullptr;
    std::size_t m_bytes = 0;
};
