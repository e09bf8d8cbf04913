#pragma once
// The measures of `make bench`. Each makes its own data under the work folder, runs ours and its
// baselines in turn in this process and prints one BENCH line per figure.
#include <QString>

struct TBenchOptions {
    QString workDir;      // a temporary folder the runner script removes afterwards
    int runs = 5;         // measured runs per contender, after one warm-up
    QString programPath;  // the tavelin executable (start-up)
    QString minimalWindowPath; // the one-window baseline program (start-up)
};

void BenchTransform(const TBenchOptions &options);
void BenchThumbs(const TBenchOptions &options);
void BenchSearch(const TBenchOptions &options);
void BenchListOpen(const TBenchOptions &options);
void BenchImport(const TBenchOptions &options);
void BenchStartup(const TBenchOptions &options);
// Against a catalogue server (TAVELIN_BENCH_SERVER) only: 8 workstations searching, 2 importing.
void BenchConcurrent(const TBenchOptions &options);
void BenchSearchClient(const TBenchOptions &options);
void BenchImportClient(const TBenchOptions &options);
void BenchCacheRss(const TBenchOptions &options);

// The 100,000-entry herb catalogue that search100k and startup100k share; made once.
QString HerbCatalogueDir(const TBenchOptions &options);
