// transform: DecodePictureStream over 64 MiB against memcpy of the same buffer.
#include "bench/BenchClock.h"
#include "bench/BenchMeasures.h"
#include "bench/BenchRandom.h"
#include "bench/BenchResult.h"
#include "bench/BenchRunner.h"

#include "data/PictureTransform.h"
#include "platform/TMemoryStream.h"

#include <cstring>

void BenchTransform(const TBenchOptions &options)
{
    constexpr qint64 kSize = qint64(64) << 20;
    TMemoryStream stream;
    stream.SetSize(kSize);
    TBenchRandom rng(64);
    for (qint64 i = 0; i + 8 <= kSize; i += 8) {
        const std::uint64_t v = rng.Next();
        std::memcpy(stream.Memory() + i, &v, 8);
    }
    QByteArray target(kSize, '\0'); // touched, so no page faults are timed
    volatile char sink = 0;

    auto gbPerSecond = [](std::int64_t ns) { return double(kSize) / double(ns); };
    const auto figures = RunInTurn(
        {[&] {
             const std::int64_t t0 = BenchNowNs();
             DecodePictureStream(stream);
             const std::int64_t ns = BenchNowNs() - t0;
             sink = sink + stream.Memory()[kSize / 2];
             return gbPerSecond(ns);
         },
         [&] {
             const std::int64_t t0 = BenchNowNs();
             std::memcpy(target.data(), stream.Memory(), size_t(kSize));
             const std::int64_t ns = BenchNowNs() - t0;
             sink = sink + target.at(kSize / 2);
             return gbPerSecond(ns);
         }},
        qMax(options.runs, 9));

    TBenchResult r;
    r.name = QStringLiteral("transform");
    r.ours = Median(figures[0]);
    r.baseline = Median(figures[1]);
    r.unit = QStringLiteral("GB/s");
    r.goalOp = QStringLiteral(">=");
    r.goal = 0.5;
    r.decimals = 2;
    PrintBenchResult(r);
}
