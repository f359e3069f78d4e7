#pragma once
// Plain reads at a place in a file, for the files read a part at a time, and whole writes.

#include <cstddef>
#include <cstdint>

// Bytes [position, position + size) of the open file `fd`, read whole; false when it is shorter
// or cannot be read.
bool ReadWholeAt(int fd, std::uint64_t position, void* bytes, std::size_t size);

// All of `bytes` written to the open file `fd` at its place, however many writes it takes; false,
// errno saying why, when one fails.
bool WriteWhole(int fd, const void* bytes, std::size_t size);
