#pragma once
// One measure beside its baseline, and the line `make bench` prints for it.
#include <QString>
#include <vector>

struct TBenchResult {
    QString name;
    double ours = 0;
    double baseline = 0;
    QString unit;       // "GB/s", "ms", "MiB"
    QString goalOp;     // ">=" or "<="
    double goal = 0;
    // The goal compares ours/baseline, or (for an absolute budget) ours itself in the unit.
    bool goalOnRatio = true;
    int decimals = 1;

    double Ratio() const;
    bool GoalMet() const;
    // BENCH<TAB>name<TAB>ours=..<TAB>baseline=..<TAB>ratio=..<TAB>goal=<op><number>
    QString Line() const;
};

double Median(std::vector<double> values);

// Prints the line on standard output at once (the runner script collects it).
void PrintBenchResult(const TBenchResult &result);
