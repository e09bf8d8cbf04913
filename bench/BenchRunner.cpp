#include "bench/BenchRunner.h"

std::vector<std::vector<double>> RunInTurn(const std::vector<TBenchContender> &contenders, int runs, int warmups)
{
    const std::size_t n = contenders.size();
    std::vector<std::vector<double>> figures(n);
    for (int round = 0; round < warmups + runs; ++round) {
        for (std::size_t k = 0; k < n; ++k) {
            const std::size_t who = (k + std::size_t(round)) % n;
            const double v = contenders[who]();
            if (round >= warmups)
                figures[who].push_back(v);
        }
    }
    return figures;
}
