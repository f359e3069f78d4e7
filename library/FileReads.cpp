#include "library/FileReads.h"

#include <unistd.h>

bool ReadWholeAt(int fd, std::uint64_t position, void* bytes, std::size_t size) {
    auto* at = static_cast<char*>(bytes);
    while (size > 0) {
        const ssize_t n = ::pread(fd, at, size, static_cast<off_t>(position));
        if (n <= 0) {
            return false;
        }
        at += n;
        position += static_cast<std::uint64_t>(n);
        size -= static_cast<std::size_t>(n);
    }
    return true;
}
