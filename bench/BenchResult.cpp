#include "bench/BenchResult.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>

double Median(std::vector<double> values)
{
    if (values.empty())
        return std::numeric_limits<double>::quiet_NaN();
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

double TBenchResult::Ratio() const
{
    if (baseline == 0)
        return ours == 0 ? 1.0 : std::numeric_limits<double>::infinity();
    return ours / baseline;
}

bool TBenchResult::GoalMet() const
{
    const double v = goalOnRatio ? Ratio() : ours;
    return goalOp == QLatin1String(">=") ? v >= goal : v <= goal;
}

namespace {
QString number(double v, int decimals)
{
    if (std::isinf(v))
        return QStringLiteral("inf");
    return QString::number(v, 'f', decimals);
}
} // namespace

QString TBenchResult::Line() const
{
    return QStringLiteral("BENCH\t%1\tours=%2%3\tbaseline=%4%3\tratio=%5\tgoal=%6%7")
        .arg(name, number(ours, decimals), unit, number(baseline, decimals), number(Ratio(), 3), goalOp,
             QString::number(goal));
}

void PrintBenchResult(const TBenchResult &result)
{
    TBenchResult r = result;
    // A run against the catalogue server is told apart from the run on the file.
    if (!qEnvironmentVariableIsEmpty("TAVELIN_BENCH_SERVER"))
        r.name += QStringLiteral("@server");
    std::printf("%s\n", r.Line().toUtf8().constData());
    std::fflush(stdout);
}
