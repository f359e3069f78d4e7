// Preloaded into a program under test: the process is killed with SIGKILL just before its
// (N+1)-th write, positioned write or flush to a file other than the standard streams, or its
// (N+1)-th rename or removal of a file, all counted together, where N comes from
// LOMEVA_KILL_AFTER_WRITES. Everything written before stays, as it would on a machine whose
// program was killed at that moment; a kill before a rename leaves the state between two files
// replaced one after the other.

#include <csignal>
#include <cstdlib>
#include <dlfcn.h>
#include <unistd.h>

namespace {

long g_left = -2; // -2: not read yet; -1: no limit

template <class Function> Function* Real(const char* name) {
    return reinterpret_cast<Function*>(dlsym(RTLD_NEXT, name));
}

void Spend() {
    if (g_left == -2) {
        const char* limit = std::getenv("LOMEVA_KILL_AFTER_WRITES");
        g_left = limit != nullptr ? std::atol(limit) : -1;
    }
    if (g_left == 0) {
        kill(getpid(), SIGKILL);
    }
    if (g_left > 0) {
        --g_left;
    }
}

void Spend(int fd) {
    if (fd > 2) {
        Spend();
    }
}

} // namespace

extern "C" {

ssize_t write(int fd, const void* buffer, size_t count) {
    static auto* real = Real<ssize_t(int, const void*, size_t)>("write");
    Spend(fd);
    return real(fd, buffer, count);
}

ssize_t pwrite(int fd, const void* buffer, size_t count, off_t offset) {
    static auto* real = Real<ssize_t(int, const void*, size_t, off_t)>("pwrite");
    Spend(fd);
    return real(fd, buffer, count, offset);
}

int fdatasync(int fd) {
    static auto* real = Real<int(int)>("fdatasync");
    Spend(fd);
    return real(fd);
}

int fsync(int fd) {
    static auto* real = Real<int(int)>("fsync");
    Spend(fd);
    return real(fd);
}

int rename(const char* from, const char* to) {
    static auto* real = Real<int(const char*, const char*)>("rename");
    Spend();
    return real(from, to);
}

int unlink(const char* path) {
    static auto* real = Real<int(const char*)>("unlink");
    Spend();
    return real(path);
}

} // extern "C"
