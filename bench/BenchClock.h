#pragma once
// A monotonic clock for the measures, in nanoseconds.
#include <chrono>
#include <cstdint>

inline std::int64_t BenchNowNs()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

inline double BenchMsSince(std::int64_t startNs)
{
    return double(BenchNowNs() - startNs) / 1e6;
}
