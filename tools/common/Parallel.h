#pragma once
// The generators make their numbered files (pictures, pieces of music) side by side.

#include <algorithm>
#include <atomic>
#include <mutex>
#include <thread>
#include <vector>

namespace generators {

// Calls make(n) for n = 1 … count on up to four threads. make returns an error, empty when all
// went well; the result is one of the errors, or empty when there was none.
template <class Error, class Make> Error MakeNumberedInParallel(int count, Make make) {
    std::atomic<int> next{1};
    std::mutex errorLock;
    Error error;
    auto work = [&] {
        for (int n = next++; n <= count; n = next++) {
            Error failure = make(n);
            if (failure != Error()) {
                const std::lock_guard lock(errorLock);
                error = std::move(failure);
            }
        }
    };
    const unsigned threads = std::clamp(std::thread::hardware_concurrency(), 1u, 4u);
    std::vector<std::jthread> pool;
    for (unsigned i = 1; i < threads; ++i) {
        pool.emplace_back(work);
    }
    work();
    pool.clear();
    return error;
}

} // namespace generators
