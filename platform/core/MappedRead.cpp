#include "platform/core/MappedRead.h"

#include <atomic>
#include <csetjmp>
#include <csignal>
#include <cstdint>
#include <mutex>
#include <sys/mman.h>
#include <unistd.h>

namespace MappedRead {
namespace {

thread_local sigjmp_buf* t_guard = nullptr; // the guarded work running on this thread, if any
struct sigaction g_previous {};             // what handled SIGBUS before

// The kept mappings: a base of zero is a free slot. The signal handler reads them, so they are
// plain atomics rather than anything that locks or allocates.
constexpr int kSlots = 8;
std::atomic<std::uintptr_t> g_keptBase[kSlots];
std::atomic<std::size_t> g_keptSize[kSlots];
std::uintptr_t g_pageSize = 4096; // set before the handler is installed

// Puts zero pages in place of a kept mapping from the page of `address` to its end; false when
// the address is in none.
bool ZeroFillKept(std::uintptr_t address) {
    for (int i = 0; i < kSlots; ++i) {
        const std::uintptr_t base = g_keptBase[i].load(std::memory_order_acquire);
        const std::size_t size = g_keptSize[i].load(std::memory_order_acquire);
        if (base == 0 || address < base || address >= base + size) {
            continue;
        }
        const std::uintptr_t page = g_pageSize;
        const std::uintptr_t from = address & ~(page - 1);
        const std::uintptr_t end = (base + size + page - 1) & ~(page - 1);
        return ::mmap(reinterpret_cast<void*>(from), end - from, PROT_READ,
                      MAP_PRIVATE | MAP_ANONYMOUS | MAP_FIXED, -1, 0) != MAP_FAILED;
    }
    return false;
}

void OnBusError(int signal, siginfo_t* info, void* context) {
    if (info != nullptr && ZeroFillKept(reinterpret_cast<std::uintptr_t>(info->si_addr))) {
        return; // the read is made again, and finds zeros
    }
    if (t_guard != nullptr) {
        siglongjmp(*t_guard, 1);
    }
    // Not one of ours: give the signal back to whoever had it. Returning runs the faulting
    // instruction again, which now meets that handler (by default, the end of the process).
    if ((g_previous.sa_flags & SA_SIGINFO) != 0 && g_previous.sa_sigaction != nullptr) {
        g_previous.sa_sigaction(signal, info, context);
        return;
    }
    ::sigaction(SIGBUS, &g_previous, nullptr);
}

void InstallHandler() {
    static std::once_flag installed;
    std::call_once(installed, [] {
        g_pageSize = static_cast<std::uintptr_t>(::sysconf(_SC_PAGESIZE));
        struct sigaction action {};
        action.sa_sigaction = &OnBusError;
        action.sa_flags = SA_SIGINFO;
        sigemptyset(&action.sa_mask);
        ::sigaction(SIGBUS, &action, &g_previous);
    });
}

} // namespace

bool ReadMappedGuarded(void (*work)(void*), void* context) {
    InstallHandler();
    sigjmp_buf* const outer = t_guard;
    sigjmp_buf guard;
    if (sigsetjmp(guard, 1) != 0) {
        t_guard = outer;
        return false;
    }
    t_guard = &guard;
    work(context);
    t_guard = outer;
    return true;
}

bool KeepReadable(const void* base, std::size_t size) {
    InstallHandler();
    for (int i = 0; i < kSlots; ++i) {
        std::uintptr_t expected = 0;
        // The size goes in first: a handler that sees the base sees its size.
        if (g_keptBase[i].load(std::memory_order_acquire) == 0) {
            g_keptSize[i].store(size, std::memory_order_release);
            if (g_keptBase[i].compare_exchange_strong(
                    expected, reinterpret_cast<std::uintptr_t>(base), std::memory_order_acq_rel)) {
                return true;
            }
        }
    }
    return false;
}

void StopKeeping(const void* base) {
    for (int i = 0; i < kSlots; ++i) {
        std::uintptr_t expected = reinterpret_cast<std::uintptr_t>(base);
        if (g_keptBase[i].compare_exchange_strong(expected, 0, std::memory_order_acq_rel)) {
            return;
        }
    }
}

} // namespace MappedRead
