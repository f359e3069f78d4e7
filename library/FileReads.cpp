#include "library/FileReads.h"

#include <cerrno>
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

bool WriteWhole(int fd, const void* bytes, std::size_t size) {
    const auto* at = static_cast<const char*>(bytes);
    while (size > 0) {
        const ssize_t n = ::write(fd, at, size);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return false;
        }
        at += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}
