#pragma once
// Runs the contenders of one measure in turn, after a warm-up round, so ours and the baselines
// see the same machine state; the order rotates each round so none always goes first.
#include <functional>
#include <vector>

// Each contender runs once and returns its figure (it times itself, leaving out its own setup).
using TBenchContender = std::function<double()>;

// Returns one list of figures per contender, warm-up rounds left out.
std::vector<std::vector<double>> RunInTurn(const std::vector<TBenchContender> &contenders, int runs, int warmups = 1);
