#include "library/FileStamp.h"

#include <chrono>
#include <ctime>
#include <sys/stat.h>
#include <thread>

namespace {

// File systems that keep nanoseconds tick a few milliseconds at a time; those that keep whole
// seconds (their times end in zero nanoseconds) may take two.
constexpr std::int64_t kFineTick = 25'000'000; // nanoseconds
constexpr std::int64_t kCoarseTick = 2'000'000'000;
constexpr std::int64_t kLongestWait = 30'000'000;

std::int64_t Nanoseconds(std::int64_t seconds, std::int64_t nanoseconds) {
    return seconds * 1'000'000'000 + nanoseconds;
}

// How long from now until a stamp of this file may be trusted; zero when it may already be.
std::int64_t TimeToTrust(const struct stat& status) {
    timespec now{};
    ::clock_gettime(CLOCK_REALTIME, &now);
    const std::int64_t changed = Nanoseconds(status.st_mtim.tv_sec, status.st_mtim.tv_nsec);
    const std::int64_t tick = status.st_mtim.tv_nsec == 0 ? kCoarseTick : kFineTick;
    const std::int64_t since = Nanoseconds(now.tv_sec, now.tv_nsec) - changed;
    return since >= tick ? 0 : tick - since;
}

FileStamp StampFrom(const struct stat& status, bool trusted) {
    FileStamp stamp;
    stamp.size = static_cast<std::uint64_t>(status.st_size);
    stamp.mtimeSeconds = status.st_mtim.tv_sec;
    stamp.mtimeNanoseconds = static_cast<std::uint32_t>(status.st_mtim.tv_nsec);
    stamp.trusted = trusted ? 1 : 0;
    return stamp;
}

} // namespace

FileStamp StampOf(int fd) {
    struct stat status {};
    if (::fstat(fd, &status) != 0) {
        return {};
    }
    return StampFrom(status, TimeToTrust(status) == 0);
}

FileStamp StampOfPath(const char* path) {
    struct stat status {};
    if (::stat(path, &status) != 0) {
        return {};
    }
    return StampFrom(status, TimeToTrust(status) == 0);
}

FileStamp SettledStampOf(int fd) {
    struct stat status {};
    if (::fstat(fd, &status) != 0) {
        return {};
    }
    const std::int64_t wait = TimeToTrust(status);
    if (wait > 0 && wait <= kLongestWait) {
        std::this_thread::sleep_for(std::chrono::nanoseconds(wait));
        return StampOf(fd);
    }
    return StampFrom(status, wait == 0);
}

bool SameFile(const FileStamp& a, const FileStamp& b) {
    return a.size == b.size && a.mtimeSeconds == b.mtimeSeconds &&
           a.mtimeNanoseconds == b.mtimeNanoseconds;
}
