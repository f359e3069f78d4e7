#pragma once
// Room for a library's records. A whole library is loaded at once and a large one takes tens of
// megabytes. Either the index file is mapped, its records read in place with no copy, or, when
// it cannot be, the records are copied into memory of their own, for which the array asks the
// kernel for huge pages so that loading is mostly the copy rather than thousands of page
// faults.

#include "library/LibraryFormat.h"

#include <cstddef>
#include <cstdint>

class RecordArray {
public:
    RecordArray() = default;
    // Room for `count` records, or an empty array when the memory cannot be had.
    static RecordArray Allocate(std::uint32_t count);
    // The `count` records of the index file open as `fd`, mapped read-only; an empty array when
    // they cannot be mapped. Should the file be cut short later, the records it no longer holds
    // read as zeros.
    static RecordArray MapIndex(int fd, std::uint32_t count);
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
    void* m_base = nullptr; // the mapping the records are in
    std::size_t m_bytes = 0;
    bool m_kept = false; // a mapped index, registered to read as zeros where the file shrank
};
