#pragma once
// Plain reads at a place in a file, for the files read a part at a time.

#include <cstddef>
#include <cstdint>

// Bytes [position, position + size) of the open file `fd`, read whole; false when it is shorter
// or cannot be read.
bool ReadWholeAt(int fd, std::uint64_t position, void* bytes, std::size_t size);
