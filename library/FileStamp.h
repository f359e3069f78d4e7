#pragma once
// What a file looked like: its size and modification time. A file written again gets a new time,
// but only as fine as the file system's clock ticks: a stamp taken within a tick of the file's
// last change would not see a second change in the same tick, so such a stamp is not trusted to
// stand for the file's bytes (the search index then checks the bytes themselves).

#include <cstdint>

#pragma pack(push, 1)
struct FileStamp {
    std::uint64_t size = 0;
    std::int64_t mtimeSeconds = 0;
    std::uint32_t mtimeNanoseconds = 0;
    std::uint32_t trusted = 0; // 1 when taken safely after the file's last change
};
#pragma pack(pop)
static_assert(sizeof(FileStamp) == 24);

// The stamp of the open file `fd`; a zero stamp (size 0, untrusted) when it cannot be had.
FileStamp StampOf(int fd);
// The stamp of the file at `path`, followed if it is a link; a zero stamp when there is none.
FileStamp StampOfPath(const char* path);
// The same, waiting first (a few milliseconds at most) when the file changed so lately that its
// stamp could not be trusted yet: what is written down to stand for the file.
FileStamp SettledStampOf(int fd);

// The same file as far as stamps tell: size and time equal.
bool SameFile(const FileStamp& a, const FileStamp& b);
