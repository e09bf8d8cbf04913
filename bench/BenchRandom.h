#pragma once
// A small deterministic generator (splitmix64): the same seed gives the same data on every machine,
// which the standard distributions do not promise.
#include <cstdint>

class TBenchRandom {
public:
    explicit TBenchRandom(std::uint64_t seed) : m_state(seed) {}

    std::uint64_t Next()
    {
        std::uint64_t z = (m_state += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    // 0 <= value < n
    int Below(int n) { return int(Next() % std::uint64_t(n)); }
    // lo <= value < hi
    double Uniform(double lo, double hi) { return lo + (hi - lo) * double(Next() >> 11) * (1.0 / 9007199254740992.0); }

private:
    std::uint64_t m_state;
};
