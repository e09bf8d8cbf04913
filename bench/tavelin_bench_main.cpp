// tavelin-bench MEASURE WORKDIR [--runs N] [--program PATH] [--minimal-window PATH]
// Runs one measure of `make bench` (scripts/run-bench runs them all) and prints its BENCH lines.
#include "bench/BenchMeasures.h"

#include "app/TTavelinApplication.h"
#include "platform/ErrorReport.h"
#include "platform/TavelinError.h"

#include <QDir>
#include <QFileInfo>

#include <cstdio>
#include <functional>
#include <map>

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    TTavelinApplication app(argc, argv);

    const std::map<QString, std::function<void(const TBenchOptions &)>> measures{
        {QStringLiteral("transform"), BenchTransform}, {QStringLiteral("thumbs7"), BenchThumbs},
        {QStringLiteral("search100k"), BenchSearch},   {QStringLiteral("listopen_blobs"), BenchListOpen},
        {QStringLiteral("import500"), BenchImport},    {QStringLiteral("startup100k"), BenchStartup},
        {QStringLiteral("concurrent"), BenchConcurrent}, {QStringLiteral("search_client"), BenchSearchClient},
        {QStringLiteral("import_client"), BenchImportClient},
        {QStringLiteral("cache_rss"), BenchCacheRss}};

    const QStringList args = app.arguments().mid(1);
    TBenchOptions options;
    options.programPath = QDir(app.applicationDirPath()).filePath(QStringLiteral("../tavelin"));
    options.minimalWindowPath = QDir(app.applicationDirPath()).filePath(QStringLiteral("tavelin-minimal-window"));
    QStringList positional;
    for (int i = 0; i < args.size(); ++i) {
        const QString &a = args[i];
        if (a == QLatin1String("--runs") && i + 1 < args.size())
            options.runs = qMax(5, args[++i].toInt());
        else if (a == QLatin1String("--program") && i + 1 < args.size())
            options.programPath = args[++i];
        else if (a == QLatin1String("--minimal-window") && i + 1 < args.size())
            options.minimalWindowPath = args[++i];
        else
            positional << a;
    }
    const auto measure = positional.size() == 2 ? measures.find(positional[0]) : measures.end();
    if (measure == measures.end()) {
        QStringList names;
        for (const auto &m : measures)
            names << m.first;
        std::fprintf(stderr, "usage: tavelin-bench MEASURE WORKDIR [--runs N] [--program PATH] [--minimal-window PATH]\n"
                             "measures: %s\n",
                     names.join(QLatin1Char(' ')).toUtf8().constData());
        return 2;
    }
    options.workDir = QDir(positional[1]).absolutePath();
    // The start-up measure runs the programs from the catalogue's folder.
    options.programPath = QFileInfo(options.programPath).absoluteFilePath();
    options.minimalWindowPath = QFileInfo(options.minimalWindowPath).absoluteFilePath();
    QDir().mkpath(options.workDir);

    // An error the program would show in a box fails the measure instead.
    QStringList reported;
    SetStandardErrorSink([&](const QString &message) {
        reported << message;
        std::fprintf(stderr, "error report: %s\n", message.toUtf8().constData());
    });
    try {
        measure->second(options);
    } catch (const std::exception &e) {
        const auto *te = dynamic_cast<const TavelinError *>(&e);
        std::fprintf(stderr, "%s failed: %s\n", positional[0].toUtf8().constData(),
                     te ? te->message().toUtf8().constData() : e.what());
        return 1;
    }
    if (!reported.isEmpty()) {
        std::fprintf(stderr, "%s failed: the program reported an error\n", positional[0].toUtf8().constData());
        return 1;
    }
    return 0;
}
