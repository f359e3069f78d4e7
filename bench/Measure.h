#pragma once
// What every benchmark measures with: the process's resident set, and medians of timings.

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <unistd.h>
#include <vector>

namespace Bench {

// Bytes of memory the process holds (its resident set).
inline std::size_t ResidentBytes() {
    std::FILE* statm = std::fopen("/proc/self/statm", "r");
    unsigned long size = 0, resident = 0;
    if (statm != nullptr) {
        if (std::fscanf(statm, "%lu %lu", &size, &resident) != 2) {
            resident = 0;
        }
        std::fclose(statm);
    }
    return resident * static_cast<std::size_t>(sysconf(_SC_PAGESIZE));
}

// The middle value; 0 for none.
inline double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values.empty() ? 0.0 : values[values.size() / 2];
}

// Median of `runs` timings of `work`, in milliseconds.
inline double MedianMs(int runs, const std::function<void()>& work) {
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        const auto start = std::chrono::steady_clock::now();
        work();
        times.push_back(
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                .count());
    }
    return Median(std::move(times));
}

} // namespace Bench
